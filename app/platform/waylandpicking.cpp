#include "waylandpicking.h"

#include "clipboardkeeper.h"

#include <QProcess>
#include <QStandardPaths>

#include <unistd.h>

namespace huvolo {

QString WaylandScreenPicking::noPortalReason() const
{
    return QStringLiteral("On Wayland, picking from the screen needs a desktop portal that can pick colours "
                          "(xdg-desktop-portal with a backend such as xdg-desktop-portal-gnome, -kde or -wlr); "
                          "none is running.");
}

QString WaylandClipboardKeeping::copyWithoutWindow(const QString &text)
{
    if (m_onXwayland)
        return ClipboardKeeping::copyWithoutWindow(text);
    const QString wlCopy = QStandardPaths::findExecutable(QStringLiteral("wl-copy"));
    if (wlCopy.isEmpty())
        return QStringLiteral("without a window a Wayland program cannot set the clipboard, and wl-copy "
                              "(from wl-clipboard), which can, is not installed");
    // wl-copy forks a server that keeps the text until another program
    // copies, and returns; that server holds none of this program's streams,
    // directory or session.
    QProcess process;
    process.setProgram(wlCopy);
    process.setArguments({QStringLiteral("--type"), QStringLiteral("text/plain;charset=utf-8")});
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.setWorkingDirectory(QStringLiteral("/"));
    process.setChildProcessModifier([] { ::setsid(); });
    process.start();
    if (!process.waitForStarted(5000))
        return QStringLiteral("wl-copy did not start: %1").arg(process.errorString());
    process.write(text.toUtf8());
    process.closeWriteChannel();
    if (!process.waitForFinished(5000)) {
        process.kill();
        process.waitForFinished(1000);
        return QStringLiteral("wl-copy did not finish");
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QStringLiteral("wl-copy failed (status %1)").arg(process.exitCode());
    return {};
}

void WaylandClipboardKeeping::keepAfterExit(const QStringList &arguments)
{
    if (m_onXwayland)
        keepClipboardAfterExit(arguments);
}

} // namespace huvolo
