#include "clipboardkeeper.h"

#include "application.h"
#include "huvolo.h"

#include <QAbstractNativeEventFilter>
#include <QClipboard>
#include <QDeadlineTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QRegularExpression>
#include <QSocketNotifier>
#include <QTimer>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/mman.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <memory>
#include <string>
#include <vector>

extern char **environ;

namespace huvolo {

namespace {

// The most text the keeper takes; far more than anything the window copies.
constexpr qsizetype maximumText = 16 * 1024 * 1024;

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
bool ownsSelection(xcb_connection_t *connection, const char *name)
{
    const xcb_window_t owner = selectionOwner(connection, name);
    const xcb_setup_t *setup = xcb_get_setup(connection);
    return owner != XCB_WINDOW_NONE && (owner & ~setup->resource_id_mask) == setup->resource_id_base;
}

// Calls `check` whenever the X server tells this program that a selection
// changed hands: Qt's clipboard does not always signal losing it.
class SelectionWatch : public QAbstractNativeEventFilter
{
public:
    explicit SelectionWatch(std::function<void()> check) : m_check(std::move(check)) {}

    bool nativeEventFilter(const QByteArray &eventType, void *message, qintptr *) override
    {
        if (eventType == "xcb_generic_event_t"
            && (static_cast<xcb_generic_event_t *>(message)->response_type & 0x7f) == XCB_SELECTION_CLEAR)
            QMetaObject::invokeMethod(qApp, m_check, Qt::QueuedConnection);
        return false;
    }

private:
    std::function<void()> m_check;
};

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

// Starts the keeper in a session of its own, so it outlives this process and
// the terminal it may have been started from. The text reaches it through an
// anonymous memory file as its standard input: nothing to block on, and
// nothing on its command line for other users to read. Returns its process
// id, or -1.
pid_t startKeeper(const QByteArray &text, const QString &display)
{
    const QByteArray program = QFile::encodeName(QCoreApplication::applicationFilePath());
    if (program.isEmpty())
        return -1;
    const int input = memfd_create("huvolo-clipboard", MFD_CLOEXEC);
    if (input < 0)
        return -1;
    for (qsizetype written = 0; written < text.size();) {
        const ssize_t n = ::write(input, text.constData() + written, size_t(text.size() - written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0) {
            ::close(input);
            return -1;
        }
        written += n;
    }
    ::lseek(input, 0, SEEK_SET);

    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, input, STDIN_FILENO);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    // Standard error stays, for what the keeper may have to report; nothing
    // else of this process's stays open in it.
    posix_spawn_file_actions_addclosefrom_np(&actions, STDERR_FILENO + 1);

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

    const QByteArray option = QByteArray("--") + KeepClipboardOption;
    std::vector<char *> argv{const_cast<char *>(program.constData()), const_cast<char *>(option.constData()),
                             const_cast<char *>("-platform"), const_cast<char *>("xcb"), nullptr};
    std::vector<std::string> environment = keeperEnvironment(display);
    std::vector<char *> envp;
    for (std::string &entry : environment)
        envp.push_back(entry.data());
    envp.push_back(nullptr);

    pid_t pid = -1;
    const int error = posix_spawn(&pid, program.constData(), &actions, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    posix_spawn_file_actions_destroy(&actions);
    ::close(input);
    if (error != 0) {
        std::fprintf(stderr, "huvolo: cannot start the clipboard keeper: %s\n", std::strerror(error));
        return -1;
    }
    return pid;
}

QByteArray readStandardInput()
{
    QByteArray text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            break;
        // Part of a text is not the text: keep none of it.
        if (text.size() + n > maximumText)
            return {};
        text.append(buffer, n);
    }
    return text;
}

// The keepers' meeting place: a local socket in the abstract namespace,
// which needs no file and goes away with the process that listens on it.
sockaddr_un socketAddress(const QString &name, socklen_t *length)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const QByteArray bytes = name.toUtf8().left(qsizetype(sizeof address.sun_path) - 1);
    // A leading NUL byte puts the name in the abstract namespace.
    std::memcpy(address.sun_path + 1, bytes.constData(), size_t(bytes.size()));
    *length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size_t(bytes.size()));
    return address;
}

// Tells the keeper listening on `name`, if any, to leave, and waits up to a
// second for it to close the connection as it goes.
void dismissOlderKeeper(const QString &name)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return;
    socklen_t length = 0;
    const sockaddr_un address = socketAddress(name, &length);
    if (::connect(fd, reinterpret_cast<const sockaddr *>(&address), length) == 0) {
        const QDeadlineTimer deadline(1000);
        pollfd wait{fd, POLLIN, 0};
        char byte;
        while (!deadline.hasExpired() && ::poll(&wait, 1, int(deadline.remainingTime())) != 0)
            if (::read(fd, &byte, 1) <= 0 && errno != EINTR)
                break;
    }
    ::close(fd);
}

// Listens on `name`; -1 when another process listens there already.
int listenForNewerKeeper(const QString &name)
{
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    socklen_t length = 0;
    const sockaddr_un address = socketAddress(name, &length);
    if (::bind(fd, reinterpret_cast<const sockaddr *>(&address), length) != 0 || ::listen(fd, 4) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

// Whether the process at the other end of a local connection is this user's:
// abstract sockets are open to every user of the machine.
bool sameUser(int connection)
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    return ::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0
           && credentials.uid == ::getuid();
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
    // host:display.screen; the screen part does not change the clipboard.
    static const QRegularExpression screen(QStringLiteral("(:\\d+)\\.\\d+$"));
    return display.replace(screen, QStringLiteral("\\1"));
}

QString keeperServerName(const QString &display, unsigned userId)
{
    static const QRegularExpression unsafe(QStringLiteral("[^A-Za-z0-9._:-]"));
    return QLatin1String(ApplicationId) + QStringLiteral(".clipboard-keeper.") + QString::number(userId)
           + QLatin1Char('.') + QString(display).replace(unsafe, QStringLiteral("_"));
}

void keepClipboardAfterExit(const QStringList &arguments)
{
    xcb_connection_t *connection = x11Connection();
    QClipboard *clipboard = QGuiApplication::clipboard();
    // Both must agree: only then is the text Qt holds the one on the clipboard.
    if (!connection || !clipboard->ownsClipboard() || !ownsSelection(connection, "CLIPBOARD"))
        return;
    const QMimeData *data = clipboard->mimeData(QClipboard::Clipboard);
    if (!data || !data->hasText())
        return;
    // A clipboard manager takes the text when the application object goes.
    if (selectionOwner(connection, "CLIPBOARD_MANAGER") != XCB_WINDOW_NONE)
        return;

    const pid_t keeper =
        startKeeper(data->text().toUtf8(), clipboardDisplay(arguments, qEnvironmentVariable("DISPLAY")));
    if (keeper < 0)
        return;

    // Stay until the keeper owns the clipboard, so a paste meanwhile finds
    // the text. The window is gone already; this costs the keeper's start.
    const QDeadlineTimer deadline(1000);
    QEventLoop loop;
    QTimer check;
    QObject::connect(&check, &QTimer::timeout, &loop, [&] {
        if (deadline.hasExpired() || !ownsSelection(connection, "CLIPBOARD")
            || ::waitpid(keeper, nullptr, WNOHANG) == keeper)
            loop.quit();
    });
    check.start(5);
    loop.exec();
}

int runClipboardKeeper(int &argc, char **argv)
{
    const QByteArray text = readStandardInput();
    qunsetenv("SESSION_MANAGER");
    const auto application = openGuiApplication(argc, argv, "huvolo");
    QGuiApplication::setQuitOnLastWindowClosed(false);
    xcb_connection_t *connection = x11Connection();
    if (text.isEmpty() || !connection)
        return 0;

    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromUtf8(text), QClipboard::Clipboard);
    const auto lost = [connection] { return !ownsSelection(connection, "CLIPBOARD"); };
    if (lost())
        return 1;
    const auto leaveWhenLost = [lost] {
        if (lost())
            QCoreApplication::quit();
    };
    QObject::connect(clipboard, &QClipboard::changed, application.get(), leaveWhenLost);
    SelectionWatch watch(leaveWhenLost);
    application->installNativeEventFilter(&watch);

    // One keeper per user and display: an older one is told to leave (it
    // leaves anyway once it sees it lost the clipboard), then this one
    // listens under the same name for the next.
    const QString name = keeperServerName(clipboardDisplay({}, qEnvironmentVariable("DISPLAY")), ::getuid());
    int server = -1;
    for (int attempt = 0; attempt < 3 && server < 0; ++attempt) {
        dismissOlderKeeper(name);
        server = listenForNewerKeeper(name);
    }
    std::unique_ptr<QSocketNotifier> notifier;
    if (server >= 0) {
        notifier = std::make_unique<QSocketNotifier>(server, QSocketNotifier::Read);
        QObject::connect(notifier.get(), &QSocketNotifier::activated, application.get(), [server] {
            for (int newer; (newer = ::accept4(server, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
                // The connection closes when this process ends, which tells
                // the newer keeper that this one has gone.
                if (sameUser(newer))
                    QCoreApplication::quit();
                else
                    ::close(newer);
            }
        });
    }
    if (lost())
        return 0;
    return application->exec();
}

} // namespace huvolo
