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

qint64 monotonicNs()
{
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return qint64(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
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
    FirstPaintProbe(qint64 execNs, QObject *parent) : QObject(parent), m_execNs(execNs) {}

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (m_elapsedNs < 0 && event->type() == QEvent::Paint && watched->isWidgetType()
            && static_cast<QWidget *>(watched)->isWindow()) {
            m_elapsedNs = monotonicNs() - m_execNs;
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
        std::printf("startup_ms=%.3f peak_rss_kib=%ld\n", double(m_elapsedNs) / 1e6, kib);
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    qint64 m_execNs;
    qint64 m_elapsedNs = -1;
};

// Runs inside the application object's constructor, so the program's own
// start-up code needs no hook: the probe sees every event from the first on.
void installFirstPaintProbe()
{
    const char *value = std::getenv(ExecTimeVariable);
    if (!value)
        return;
    char *end = nullptr;
    errno = 0;
    const long long execNs = std::strtoll(value, &end, 10);
    // A reading that is not a clock value from before this start would give
    // a figure that means nothing: refuse it rather than print it.
    if (errno != 0 || end == value || *end != '\0' || execNs <= 0 || execNs > monotonicNs()) {
        std::fprintf(stderr, "%s=%s is not a monotonic clock reading taken before this start\n", ExecTimeVariable,
                     value);
        std::_Exit(2);
    }
    QCoreApplication *app = QCoreApplication::instance();
    app->installEventFilter(new FirstPaintProbe(execNs, app));
}

Q_COREAPP_STARTUP_FUNCTION(installFirstPaintProbe)

} // namespace
} // namespace huvolo::bench
