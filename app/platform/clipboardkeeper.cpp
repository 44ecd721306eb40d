#include "clipboardkeeper.h"

#include "keepername.h"

#include <QClipboard>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMimeData>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char **environ;

namespace huvolo {

// The keeper's executable, compiled in (keeperimage.cpp, generated).
extern const unsigned char keeperImage[];
extern const std::size_t keeperImageSize;

namespace {

// Where the keeper's executable sits in the keeper at exec: the descriptor
// right after the standard streams.
constexpr int keeperImageDescriptor = 3;

xcb_connection_t *x11Connection()
{
    auto *application = qobject_cast<QGuiApplication *>(QCoreApplication::instance());
    auto *x11 = application ? application->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    return x11 ? x11->connection() : nullptr;
}

xcb_atom_t internAtom(xcb_connection_t *connection, const char *name)
{
    xcb_intern_atom_reply_t *reply = xcb_intern_atom_reply(
        connection, xcb_intern_atom(connection, 0, uint16_t(qstrlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : xcb_atom_t(XCB_ATOM_NONE);
    std::free(reply);
    return atom;
}

// The window that owns the selection `name` on the X server now, or none.
xcb_window_t selectionOwner(xcb_connection_t *connection, const char *name)
{
    const xcb_atom_t selection = internAtom(connection, name);
    if (selection == XCB_ATOM_NONE)
        return XCB_WINDOW_NONE;
    xcb_get_selection_owner_reply_t *reply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const xcb_window_t owner = reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
    std::free(reply);
    return owner;
}

// Whether a window of this connection owns the selection `name` on the X
// server now. Qt's own view can lag: when another program empties the
// clipboard and then sets it, Qt may take the first step for a clear of its
// own and go on believing it owns the clipboard. The server knows; the
// owner's window id tells which connection made it.
bool ownsSelection(xcb_connection_t *connection, xcb_window_t owner)
{
    const xcb_setup_t *setup = xcb_get_setup(connection);
    return owner != XCB_WINDOW_NONE && (owner & ~setup->resource_id_mask) == setup->resource_id_base;
}

// The environment for the keeper: this one, on the display the window used,
// and without what ties a process to the desktop session or to this
// program's start-up (a session manager would otherwise restart the keeper
// at the next login).
std::vector<std::string> keeperEnvironment(const QString &display)
{
    std::vector<std::string> result;
    for (char **variable = environ; *variable; ++variable) {
        const std::string entry(*variable);
        const std::string name = entry.substr(0, entry.find('='));
        if (name != "DISPLAY" && name != "SESSION_MANAGER" && name != "DESKTOP_STARTUP_ID"
            && name != "XDG_ACTIVATION_TOKEN")
            result.push_back(entry);
    }
    if (!display.isEmpty())
        result.push_back("DISPLAY=" + display.toStdString());
    return result;
}

// An anonymous memory file holding `size` bytes of `data`, its descriptor
// above the standard streams and the keeper's place, closed on exec; -1 on
// failure.
int memoryFile(const char *name, const void *data, std::size_t size)
{
    const int created = memfd_create(name, MFD_CLOEXEC);
    if (created < 0)
        return -1;
    const int fd = ::fcntl(created, F_DUPFD_CLOEXEC, keeperImageDescriptor + 1);
    ::close(created);
    if (fd < 0)
        return -1;
    for (std::size_t written = 0; written < size;) {
        const ssize_t n = ::write(fd, static_cast<const char *>(data) + written, size - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(fd);
            return -1;
        }
        written += std::size_t(n);
    }
    ::lseek(fd, 0, SEEK_SET);
    return fd;
}

// Starts the keeper in a session of its own, so it outlives this process and
// the terminal it may have been started from, with /dev/null for its
// standard output and error and the root as its directory: it holds nothing
// of its starter's. The text reaches it through an anonymous memory file as
// its standard input: nothing to block on, and nothing on its command line
// for other users to read. Its executable comes from this program's memory,
// not from the program's file. Returns its process id, or -1.
pid_t startKeeper(const QByteArray &text, const QString &display, xcb_window_t owner)
{
    const int image = memoryFile("huvolo-clipboard-keeper", keeperImage, keeperImageSize);
    const int input = memoryFile("huvolo-clipboard", text.constData(), std::size_t(text.size()));
    if (image < 0 || input < 0) {
        std::fprintf(stderr, "huvolo: cannot start the clipboard keeper: %s\n", std::strerror(errno));
        for (int fd : {image, input})
            if (fd >= 0)
                ::close(fd);
        return -1;
    }

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_adddup2(&actions, image, keeperImageDescriptor);
    posix_spawn_file_actions_addclosefrom_np(&actions, keeperImageDescriptor + 1);
    posix_spawn_file_actions_addchdir_np(&actions, "/");

    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigemptyset(&none);
    sigset_t defaults;
    sigemptyset(&defaults);
    for (int signal : {SIGPIPE, SIGHUP, SIGINT, SIGTERM, SIGCHLD})
        sigaddset(&defaults, signal);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &defaults);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);

    const std::string program = "/proc/self/fd/" + std::to_string(keeperImageDescriptor);
    std::string option = std::string("--") + KeepClipboardOption;
    std::string ownerOption = "--owner";
    std::string ownerValue = std::to_string(owner);
    std::string name = "huvolo";
    std::vector<char *> argv{name.data(), option.data(), ownerOption.data(), ownerValue.data(), nullptr};
    std::vector<std::string> environment = keeperEnvironment(display);
    std::vector<char *> envp;
    for (std::string &entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.c_str(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input);
    ::close(image);
    if (error != 0) {
        std::fprintf(stderr, "huvolo: cannot start the clipboard keeper: %s\n", std::strerror(error));
        return -1;
    }
    return pid;
}

} // namespace

QString clipboardDisplay(const QStringList &arguments, const QString &displayVariable)
{
    QString display = displayVariable;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if ((argument == QLatin1String("-display") || argument == QLatin1String("--display")) && i + 1 < arguments.size())
            display = arguments.at(++i);
        else if (argument.startsWith(QLatin1String("--display=")))
            display = argument.mid(10);
    }
    return QString::fromStdString(displayWithoutScreen(display.toStdString()));
}

QString keeperServerName(const QString &display, unsigned userId)
{
    return QString::fromStdString(keeperSocketName(display.toStdString(), userId));
}

void keepClipboardAfterExit(const QStringList &arguments)
{
    xcb_connection_t *connection = x11Connection();
    QClipboard *clipboard = QGuiApplication::clipboard();
    if (!connection || !clipboard->ownsClipboard())
        return;
    // Both must agree: only then is the text Qt holds the one on the clipboard.
    const xcb_window_t owner = selectionOwner(connection, "CLIPBOARD");
    if (!ownsSelection(connection, owner))
        return;
    const QMimeData *data = clipboard->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText())
        return;
    // A clipboard manager takes the text when the application object goes.
    if (selectionOwner(connection, "CLIPBOARD_MANAGER") != XCB_WINDOW_NONE)
        return;

    const pid_t keeper =
        startKeeper(data->text().toUtf8(), clipboardDisplay(arguments, qEnvironmentVariable("DISPLAY")), owner);
    if (keeper < 0)
        return;

    // Stay until the keeper owns the clipboard, answering its question of
    // when this program took the clipboard, so a paste meanwhile finds the
    // text. The window is gone already; this costs the keeper's start.
    const QDeadlineTimer deadline(1000);
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (deadline.hasExpired() || !ownsSelection(connection, selectionOwner(connection, "CLIPBOARD"))
            || ::waitpid(keeper, nullptr, WNOHANG) == keeper)
            loop.quit();
    });
    check.start(5);
    loop.exec();
}

int runClipboardKeeper(int &argc, char **argv)
{
    // A display named on the command line reaches the keeper as DISPLAY.
    QStringList commandLine;
    for (int i = 0; i < argc; ++i)
        commandLine << QString::fromLocal8Bit(argv[i]);
    const QString display = clipboardDisplay(commandLine, qEnvironmentVariable("DISPLAY"));
    if (!display.isEmpty())
        qputenv("DISPLAY", display.toLocal8Bit());
    const int image = memoryFile("huvolo-clipboard-keeper", keeperImage, keeperImageSize);
    if (image >= 0) {
        std::string option = std::string("--") + KeepClipboardOption;
        char *arguments[] = {argv[0], option.data(), nullptr};
        ::fexecve(image, arguments, environ);
    }
    std::fprintf(stderr, "huvolo: cannot start the clipboard keeper: %s\n", std::strerror(errno));
    return 1;
}

} // namespace huvolo
