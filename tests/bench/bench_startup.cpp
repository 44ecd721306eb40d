// Start-up to first paint of the main window, and peak resident memory.
// Prints one line: "startup_ms=N peak_rss_kb=N".
#include "frmmain.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>

namespace {

class FirstPaint : public QObject
{
public:
    explicit FirstPaint(const QElapsedTimer &clock) : m_clock(clock) {}
    qint64 elapsedMs = -1;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (event->type() == QEvent::Paint && elapsedMs < 0) {
            elapsedMs = m_clock.elapsed();
            // Let this paint finish, then leave.
            QTimer::singleShot(0, qApp, &QCoreApplication::quit);
        }
        return QObject::eventFilter(watched, event);
    }

private:
    const QElapsedTimer &m_clock;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer clock;
    clock.start();
    QApplication app(argc, argv);
    FrmMain window;
    FirstPaint firstPaint(clock);
    window.installEventFilter(&firstPaint);
    window.show();
    app.exec();

    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("startup_ms=%lld peak_rss_kb=%ld\n", static_cast<long long>(firstPaint.elapsedMs), usage.ru_maxrss);
    return firstPaint.elapsedMs < 0 ? 1 : 0;
}
