#include "application.h"

#include <QRegularExpression>
#include <QStringList>

#include <cstdio>
#include <cstdlib>

namespace huvolo {

namespace {

const char *programName = "";
// The X display named on the command line (-display NAME), if any.
QString displayArgument;
QStringList startupMessages;
QtMessageHandler previousHandler = nullptr;

// Collects what the toolkit says while it opens the display. A fatal
// message there means no platform could be started: say so in one line and
// leave before the toolkit aborts.
void startupHandler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type != QtFatalMsg) {
        startupMessages << message;
        Q_UNUSED(context);
        return;
    }
    startupMessages << message;
    const QString line = QString::fromLocal8Bit(programName) + QStringLiteral(": ")
                         + displayFailure(startupMessages,
                                          displayArgument.isEmpty() ? qEnvironmentVariable("DISPLAY") : displayArgument,
                                          qEnvironmentVariable("WAYLAND_DISPLAY"));
    std::fprintf(stderr, "%s\n", line.toLocal8Bit().constData());
    std::fflush(stderr);
    std::_Exit(2);
}

QString variable(const char *name, const QString &value)
{
    return value.isEmpty() ? QLatin1String(name) + QStringLiteral(" is not set")
                           : QLatin1String(name) + QStringLiteral("=\"") + value + QLatin1Char('"');
}

} // namespace

QString displayFailure(const QStringList &messages, const QString &displayVariable, const QString &waylandVariable)
{
    static const QRegularExpression plugin(QStringLiteral("Could not (load|find) the Qt platform plugin \"([^\"]*)\""));
    static const QRegularExpression available(QStringLiteral("Available platform plugins are: ([^\\n]*?)\\.?\\s*$"));
    QStringList tried;
    QString known;
    for (const QString &message : messages) {
        if (const QRegularExpressionMatch match = available.match(message); match.hasMatch())
            known = match.captured(1);
        const QRegularExpressionMatch match = plugin.match(message);
        if (!match.hasMatch())
            continue;
        const QString name = match.captured(2);
        QString attempt = QLatin1Char('"') + name + QLatin1Char('"');
        if (match.captured(1) == QLatin1String("find"))
            attempt += QStringLiteral(" (no such platform)");
        else if (name == QLatin1String("xcb"))
            attempt += QStringLiteral(" (") + variable("DISPLAY", displayVariable) + QLatin1Char(')');
        else if (name.startsWith(QLatin1String("wayland")))
            attempt += QStringLiteral(" (") + variable("WAYLAND_DISPLAY", waylandVariable) + QLatin1Char(')');
        if (!tried.contains(attempt))
            tried << attempt;
    }
    QString line = QStringLiteral("cannot open a display");
    if (!tried.isEmpty())
        line += QStringLiteral(": tried the platform ") + tried.join(QStringLiteral(", then "));
    if (!known.isEmpty() && tried.join(QString()).contains(QLatin1String("no such platform")))
        line += QStringLiteral("; available: ") + known;
    return line;
}

namespace {

// Creates an application object of type App the way openApplication
// describes, for the window program and for its windowless helpers alike.
template<typename App>
std::unique_ptr<App> openApplicationObject(int &argc, char **argv, const char *program)
{
    // A platform or an X display named on the command line is a display to try.
    bool displayAsked = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    displayArgument.clear();
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        displayAsked = displayAsked || argument == "-platform" || argument == "--platform";
        if ((argument == "-display" || argument == "--display") && i + 1 < argc) {
            displayAsked = true;
            displayArgument = QString::fromLocal8Bit(argv[i + 1]);
        }
    }
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    if (!displayAsked && qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY")) {
        std::fprintf(stderr, "%s: no display to open a window on (DISPLAY is not set)\n", program);
        std::exit(2);
    }
#endif
    programName = program;
    startupMessages.clear();
    previousHandler = qInstallMessageHandler(startupHandler);
    auto application = std::make_unique<App>(argc, argv);
    qInstallMessageHandler(previousHandler);
    // What the toolkit said on a start that worked still reaches the log.
    for (const QString &message : std::as_const(startupMessages))
        qWarning().noquote() << message;
    startupMessages.clear();
    return application;
}

} // namespace

std::unique_ptr<QApplication> openApplication(int &argc, char **argv, const char *program)
{
    return openApplicationObject<QApplication>(argc, argv, program);
}

std::unique_ptr<QGuiApplication> openGuiApplication(int &argc, char **argv, const char *program)
{
    return openApplicationObject<QGuiApplication>(argc, argv, program);
}

} // namespace huvolo
