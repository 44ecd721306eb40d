#include "firstpaint.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace huvolo::bench {
namespace {

qint64 clockNs(clockid_t clock)
{
    timespec now{};
    clock_gettime(clock, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

struct Clocks
{
    qint64 wallNs; // CLOCK_MONOTONIC
    qint64 cpuNs; // CLOCK_PROCESS_CPUTIME_ID, all threads
};

Clocks readClocks()
{
    const qint64 cpuNs = clockNs(CLOCK_PROCESS_CPUTIME_ID);
    return {clockNs(CLOCK_MONOTONIC), cpuNs};
}

// Reads "WALL CPU": two runs of digits and one space, nothing else (strtoll
// alone would also take signs and leading blanks).
bool parseClocks(const char *value, Clocks &clocks)
{
    const auto digitAt = [](const char *text) { return *text >= '0' && *text <= '9'; };
    char *end = nullptr;
    errno = 0;
    if (!digitAt(value))
        return false;
    clocks.wallNs = std::strtoll(value, &end, 10);
    if (errno != 0 || *end != ' ' || !digitAt(end + 1))
        return false;
    clocks.cpuNs = std::strtoll(end + 1, &end, 10);
    return errno == 0 && *end == '\0';
}

// The peak of this program image alone: ru_maxrss would also carry the peak of
// the process before exec (the shell that forked it, the launcher).
long peakResidentKiB()
{
    std::FILE *status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long kib = -1;
    while (kib < 0 && std::fgets(line, sizeof line, status))
        if (std::sscanf(line, "VmHWM: %ld kB", &kib) != 1)
            kib = -1;
    std::fclose(status);
    return kib;
}

class FirstPaintProbe : public QObject
{
public:
    FirstPaintProbe(const Clocks &exec, QObject *parent) : QObject(parent), m_exec(exec) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!m_painted && event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
            m_painted = true;
            const Clocks now = readClocks();
            m_wallNs = now.wallNs - m_exec.wallNs;
            m_cpuNs = now.cpuNs - m_exec.cpuNs;
            // Queued, so it runs after this paint has been drawn and flushed.
            QTimer::singleShot(0, this, &FirstPaintProbe::report);
        }
        return false;
    }

private:
    void report()
    {
        const long kib = peakResidentKiB();
        if (kib < 0) {
            std::fputs("cannot read the peak resident memory from /proc/self/status\n", stderr);
            QCoreApplication::exit(1);
            return;
        }
        std::printf("startup_ms=%.3f cpu_ms=%.3f peak_rss_kib=%ld\n", double(m_wallNs) / 1e6, double(m_cpuNs) / 1e6,
                    kib);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    Clocks m_exec;
    bool m_painted = false;
    qint64 m_wallNs = 0;
    qint64 m_cpuNs = 0;
};

// Runs inside the application object's constructor, so the program's own
// start-up code needs no hook: the probe sees every event from the first on.
void installFirstPaintProbe()
{
    const char *value = std::getenv(ExecClocksVariable);
    if (!value)
        return;
    // Readings that are not clock values from before this start would give
    // figures that mean nothing: refuse them rather than print them.
    Clocks exec{};
    const Clocks now = readClocks();
    if (!parseClocks(value, exec) || exec.wallNs <= 0 || exec.wallNs > now.wallNs || exec.cpuNs < 0
        || exec.cpuNs > now.cpuNs) {
        std::fprintf(stderr, "%s=\"%s\" are not clock readings taken before this start\n", ExecClocksVariable, value);
        std::_Exit(2);
    }
    QCoreApplication *app = QCoreApplication::instance();
    app->installEventFilter(new FirstPaintProbe(exec, app));
}

Q_COREAPP_STARTUP_FUNCTION(installFirstPaintProbe)

} // namespace
} // namespace huvolo::bench
