#include "huvolo.h"

#include "windowicon.h"
#include "application.h"
#include "applicationid.h"
#include "clipboardkeeper.h"
#include "fontfaces.h"
#include "frmmain.h"
#include "platform.h"
#include "terminationsignals.h"

#include <QCommandLineParser>

#include <cerrno>
#include <cstdio>
#include <cstring>

#include <fcntl.h>
#include <unistd.h>

namespace huvolo {

namespace {

// The options QGuiApplication and QApplication read themselves, with
// whether they take a value; the command line lets them through.
constexpr struct
{
    const char *name;
    bool value;
} qtOptions[] = {
    {"platform", true}, {"platformpluginpath", true}, {"platformtheme", true}, {"plugin", true},
    {"qwindowgeometry", true}, {"qwindowicon", true}, {"qwindowtitle", true}, {"session", true},
    {"display", true}, {"geometry", true}, {"name", true}, {"title", true}, {"visual", true},
    {"style", true}, {"stylesheet", true}, {"reverse", false}, {"widgetcount", false},
    {"nograb", false}, {"dograb", false}, {"sync", false},
};

// The standard streams that were closed when the program started.
bool closedAtStart[3] = {};

// Writes the text out at once; false, with errno set, when that failed or
// the stream was closed when the program started.
bool print(FILE *stream, const QString &text)
{
    const int fd = fileno(stream);
    if (fd >= 0 && fd <= 2 && closedAtStart[fd]) {
        errno = EBADF;
        return false;
    }
    errno = 0;
    const bool written = std::fputs(text.toLocal8Bit().constData(), stream) >= 0;
    const bool flushed = std::fflush(stream) == 0;
    if (written && flushed && !std::ferror(stream))
        return true;
    if (errno == 0)
        errno = EIO;
    return false;
}

// What was asked for could not be written, as coreutils say it.
int writeError(const QString &program)
{
    const int error = errno;
    std::clearerr(stdout);
    print(stderr, program + QStringLiteral(": write error: ") + QString::fromLocal8Bit(std::strerror(error))
                      + QLatin1Char('\n'));
    return 1;
}

} // namespace

std::optional<int> handleCommandLine(const QStringList &arguments, bool *keepClipboard,
                                     std::optional<PickCommand> *pick)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(
        QStringLiteral("Pick a colour from a colour wheel or a grid of swatches and copy it as #RRGGBB."));
    // Qt's options are words after one dash, as in "-platform offscreen".
    parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption help(QStringList{QStringLiteral("h"), QStringLiteral("help")},
                                  QStringLiteral("Show this help and exit."));
    const QCommandLineOption version(QStringList{QStringLiteral("v"), QStringLiteral("version")},
                                     QStringLiteral("Show the version and exit."));
    parser.addOption(help);
    parser.addOption(version);
    QStringList formatNames;
    for (const ColourFormat format : colourFormats)
        formatNames << colourFormatName(format);
    const QCommandLineOption pickOption(
        QStringLiteral("pick"),
        QStringLiteral("Pick one colour from the screen without showing the window, print it, copy it and exit: "
                       "0 when a colour was picked, 1 when given up, 2 when picking is not possible."));
    const QCommandLineOption formatOption(QStringLiteral("format"),
                                          QStringLiteral("With --pick, the notation printed and copied: one of %1 (by default %2).")
                                              .arg(formatNames.join(QStringLiteral(", ")), formatNames.constFirst()),
                                          QStringLiteral("name"), formatNames.constFirst());
    const QCommandLineOption noCopy(QStringLiteral("no-copy"),
                                    QStringLiteral("With --pick, leave the clipboard alone."));
    parser.addOption(pickOption);
    parser.addOption(formatOption);
    parser.addOption(noCopy);
    // The windowless keeper of the clipboard's text that the program starts
    // for itself; not for people, so not in the help.
    QCommandLineOption keeper{QLatin1String(KeepClipboardOption)};
    keeper.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOption(keeper);
    for (const auto &qt : qtOptions) {
        QCommandLineOption option(QLatin1String(qt.name));
        if (qt.value)
            option.setValueName(QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }

    const QString program = QCoreApplication::applicationName();
    // Without an application object yet, the parser does not know the
    // program's name.
    const QString usage = parser.helpText().replace(QStringLiteral("<executable_name>"), program)
                          + QStringLiteral("\nQt's own options, such as -platform NAME, are accepted too.\n");
    if (!parser.parse(arguments)) {
        print(stderr, program + QStringLiteral(": ") + parser.errorText() + QStringLiteral("\n") + usage);
        return 2;
    }
    if (parser.isSet(help))
        return print(stdout, usage) ? 0 : writeError(program);
    if (parser.isSet(version)) {
        const QString text = program + QLatin1Char(' ') + QCoreApplication::applicationVersion() + QLatin1Char('\n');
        return print(stdout, text) ? 0 : writeError(program);
    }
    if (!parser.positionalArguments().isEmpty()) {
        print(stderr, program + QStringLiteral(": unexpected argument '") + parser.positionalArguments().constFirst()
                          + QStringLiteral("'\n") + usage);
        return 2;
    }
    if (!parser.isSet(pickOption) && (parser.isSet(formatOption) || parser.isSet(noCopy))) {
        print(stderr, program + QStringLiteral(": --") + (parser.isSet(formatOption) ? formatOption : noCopy).names().constFirst()
                          + QStringLiteral(" goes with --pick\n") + usage);
        return 2;
    }
    const std::optional<ColourFormat> format = colourFormatNamed(parser.value(formatOption));
    if (!format) {
        print(stderr, program + QStringLiteral(": unknown format '") + parser.value(formatOption)
                          + QStringLiteral("'; one of ") + formatNames.join(QStringLiteral(", ")) + QStringLiteral("\n")
                          + usage);
        return 2;
    }
    if (keepClipboard)
        *keepClipboard = parser.isSet(keeper);
    if (pick && parser.isSet(pickOption))
        *pick = PickCommand{*format, !parser.isSet(noCopy)};
    return std::nullopt;
}

void openStandardStreams()
{
    for (int fd = 0; fd <= 2; ++fd) {
        if (::fcntl(fd, F_GETFD) != -1 || errno != EBADF)
            continue;
        closedAtStart[fd] = true;
        // The lowest free number is this one, as those below are open.
        int opened = ::open("/dev/null", fd == 0 ? O_RDONLY : O_WRONLY);
        if (opened < 0) // no /dev/null (a bare chroot): hold the number with a handle that does nothing
            opened = ::open("/", O_PATH);
        if (opened >= 0 && opened != fd) {
            ::dup2(opened, fd);
            ::close(opened);
        }
    }
}

int run(int &argc, char **argv)
{
    QCoreApplication::setApplicationName(QStringLiteral("huvolo"));
    QCoreApplication::setApplicationVersion(QStringLiteral(HUVOLO_VERSION));
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    bool keepClipboard = false;
    std::optional<PickCommand> pick;
    if (const std::optional<int> status = handleCommandLine(arguments, &keepClipboard, &pick))
        return *status;
    if (keepClipboard)
        return runClipboardKeeper(argc, argv);
    if (pick)
        return runPickCommand(argc, argv, arguments, *pick);

    const auto app = openApplication(argc, argv, "huvolo");
    QGuiApplication::setDesktopFileName(QLatin1String(ApplicationId));
    QGuiApplication::setWindowIcon(applicationIcon());
    addFontFaces();
    FrmMain window;
    window.show();
    closeWindowsOnTerminationSignals();
    const int status = app->exec();
    clipboardKeeping().keepAfterExit(arguments);
    return status;
}

} // namespace huvolo
