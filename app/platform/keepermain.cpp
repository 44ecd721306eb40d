// huvolo's clipboard keeper: a small program of its own, plain xcb and no
// toolkit, so that a keeper that may live for hours costs little. It takes
// the text on its standard input, owns the X clipboard with it and serves
// it until another program owns the clipboard, the display goes or a newer
// keeper of the same user asks it to leave.
//
// Usage: KEEPER --keep-clipboard [--owner WINDOW] <text
// With --owner (the window that owns the clipboard now, as the closing
// window passes it), the keeper takes the clipboard only while that window
// still owns it: it asks that owner when it took the clipboard and claims
// the clipboard with the very same time, which the X server refuses once
// anybody else has taken it since. Without --owner it takes the clipboard
// as any program copying text does.

#include "keepername.h"

#include <xcb/xcb.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

// The most text the keeper takes; far more than anything the window copies.
constexpr std::size_t maximumText = 16 * 1024 * 1024;
// How long the keeper waits for the window that hands the clipboard over to
// say when it took it, and for an older keeper to leave.
constexpr milliseconds handOverTime{1000};
constexpr milliseconds negotiationTime{2000};

struct Free
{
    void operator()(void *pointer) const { std::free(pointer); }
};
template<typename T>
using Reply = std::unique_ptr<T, Free>;

enum Atom {
    Clipboard, Targets, Timestamp, Multiple, AtomPair, Utf8String, Text, TextPlainUtf8, Incr, KeeperProperty,
    AtomCount
};
constexpr const char *atomNames[AtomCount] = {
    "CLIPBOARD", "TARGETS", "TIMESTAMP", "MULTIPLE", "ATOM_PAIR", "UTF8_STRING", "TEXT",
    "text/plain;charset=utf-8", "INCR", "_HUVOLO_KEEPER",
};

class Keeper
{
public:
    Keeper(xcb_connection_t *connection, std::string text) : m_connection(connection), m_text(std::move(text)) {}

    bool open();
    // Owns the clipboard, or tells why not.
    bool takeClipboard(std::optional<xcb_window_t> handingOver);
    int serve(const std::string &socketName);

private:
    xcb_window_t owner();
    std::optional<xcb_timestamp_t> ownersTimestamp(xcb_window_t handingOver);
    xcb_timestamp_t serverTime();
    xcb_generic_event_t *waitForEvent(Clock::time_point deadline, int type, xcb_atom_t atom);
    void handle(xcb_generic_event_t *event);
    void answer(const xcb_selection_request_event_t &request);
    bool convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property);
    bool convertMultiple(xcb_window_t requestor, xcb_atom_t property);
    // The most bytes one property change can carry on this display.
    std::size_t maximumData() const
    {
        return std::size_t(xcb_get_maximum_request_length(m_connection)) * 4 - 64;
    }
    void put(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t type, int format, std::size_t count,
             const void *data);

    xcb_connection_t *m_connection;
    std::string m_text;
    xcb_atom_t m_atoms[AtomCount]{};
    xcb_window_t m_window = XCB_WINDOW_NONE;
    xcb_timestamp_t m_ownedSince = XCB_CURRENT_TIME;
    bool m_lost = false;
};

bool Keeper::open()
{
    xcb_intern_atom_cookie_t cookies[AtomCount];
    for (int i = 0; i < AtomCount; ++i)
        cookies[i] = xcb_intern_atom(m_connection, 0, uint16_t(std::strlen(atomNames[i])), atomNames[i]);
    for (int i = 0; i < AtomCount; ++i) {
        Reply<xcb_intern_atom_reply_t> reply(xcb_intern_atom_reply(m_connection, cookies[i], nullptr));
        if (!reply)
            return false;
        m_atoms[i] = reply->atom;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(m_connection)).data;
    if (!screen)
        return false;
    m_window = xcb_generate_id(m_connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(m_connection, XCB_COPY_FROM_PARENT, m_window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);
    return true;
}

xcb_window_t Keeper::owner()
{
    Reply<xcb_get_selection_owner_reply_t> reply(xcb_get_selection_owner_reply(
        m_connection, xcb_get_selection_owner(m_connection, m_atoms[Clipboard]), nullptr));
    return reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
}

// Waits for an event of `type` about `atom` (a property or a selection) on
// the keeper's window; other events before it are dropped, as the keeper
// owns nothing yet.
xcb_generic_event_t *Keeper::waitForEvent(Clock::time_point deadline, int type, xcb_atom_t atom)
{
    xcb_flush(m_connection);
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            const int eventType = event->response_type & 0x7f;
            if (eventType == type && type == XCB_PROPERTY_NOTIFY
                && reinterpret_cast<xcb_property_notify_event_t *>(event)->window == m_window
                && reinterpret_cast<xcb_property_notify_event_t *>(event)->atom == atom)
                return event;
            if (eventType == type && type == XCB_SELECTION_NOTIFY
                && reinterpret_cast<xcb_selection_notify_event_t *>(event)->requestor == m_window
                && reinterpret_cast<xcb_selection_notify_event_t *>(event)->selection == atom)
                return event;
            std::free(event);
        }
        const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
        if (left <= 0 || xcb_connection_has_error(m_connection))
            return nullptr;
        pollfd wait{xcb_get_file_descriptor(m_connection), POLLIN, 0};
        ::poll(&wait, 1, int(left));
    }
}

// The server's time now: the time of a change to a property of our own.
xcb_timestamp_t Keeper::serverTime()
{
    xcb_change_property(m_connection, XCB_PROP_MODE_APPEND, m_window, m_atoms[KeeperProperty], XCB_ATOM_STRING, 8,
                        0, nullptr);
    Reply<xcb_generic_event_t> event(
        waitForEvent(Clock::now() + handOverTime, XCB_PROPERTY_NOTIFY, m_atoms[KeeperProperty]));
    return event ? reinterpret_cast<xcb_property_notify_event_t *>(event.get())->time : XCB_CURRENT_TIME;
}

// When `handingOver` took the clipboard, asked of the owner itself (its
// TIMESTAMP target) while it is the owner before and after the answer.
std::optional<xcb_timestamp_t> Keeper::ownersTimestamp(xcb_window_t handingOver)
{
    if (owner() != handingOver)
        return std::nullopt;
    xcb_convert_selection(m_connection, m_window, m_atoms[Clipboard], m_atoms[Timestamp], m_atoms[KeeperProperty],
                          XCB_CURRENT_TIME);
    Reply<xcb_generic_event_t> event(
        waitForEvent(Clock::now() + handOverTime, XCB_SELECTION_NOTIFY, m_atoms[Clipboard]));
    if (!event || reinterpret_cast<xcb_selection_notify_event_t *>(event.get())->property == XCB_ATOM_NONE)
        return std::nullopt;
    Reply<xcb_get_property_reply_t> property(xcb_get_property_reply(
        m_connection,
        xcb_get_property(m_connection, 1, m_window, m_atoms[KeeperProperty], XCB_GET_PROPERTY_TYPE_ANY, 0, 1), nullptr));
    if (!property || property->format != 32 || xcb_get_property_value_length(property.get()) != 4)
        return std::nullopt;
    xcb_timestamp_t time;
    std::memcpy(&time, xcb_get_property_value(property.get()), sizeof time);
    if (time == XCB_CURRENT_TIME || owner() != handingOver)
        return std::nullopt;
    return time;
}

bool Keeper::takeClipboard(std::optional<xcb_window_t> handingOver)
{
    // A text that no request can carry whole is not taken at all, rather
    // than taken and then refused to every reader.
    if (m_text.size() > maximumData()) {
        std::fputs("huvolo: the text is too long for this display's clipboard\n", stderr);
        return false;
    }
    std::optional<xcb_timestamp_t> time;
    if (handingOver) {
        time = ownersTimestamp(*handingOver);
        if (!time) {
            std::fputs("huvolo: the clipboard changed hands before the keeper started\n", stderr);
            return false;
        }
    } else {
        time = serverTime();
    }
    // The server ignores this when the clipboard changed hands after `time`.
    xcb_set_selection_owner(m_connection, m_window, m_atoms[Clipboard], *time);
    if (owner() != m_window) {
        std::fputs("huvolo: another program took the clipboard\n", stderr);
        return false;
    }
    m_ownedSince = *time;
    return true;
}

void Keeper::put(xcb_window_t requestor, xcb_atom_t property, xcb_atom_t type, int format, std::size_t count,
                 const void *data)
{
    xcb_change_property(m_connection, XCB_PROP_MODE_REPLACE, requestor, property, type, uint8_t(format),
                        uint32_t(count), data);
}

// The text as ISO 8859-1, the encoding of STRING; none if it holds other
// characters or is no valid UTF-8.
std::optional<std::string> latin1(std::string_view utf8)
{
    std::string result;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        if (byte < 0x80) {
            result += char(byte);
        } else if ((byte == 0xc2 || byte == 0xc3) && i + 1 < utf8.size()
                   && (static_cast<unsigned char>(utf8[i + 1]) & 0xc0) == 0x80) {
            result += char(((byte & 0x1f) << 6) | (static_cast<unsigned char>(utf8[++i]) & 0x3f));
        } else {
            return std::nullopt;
        }
    }
    return result;
}

bool Keeper::convert(xcb_window_t requestor, xcb_atom_t target, xcb_atom_t property)
{
    const auto is = [&](Atom atom) { return target == m_atoms[atom]; };
    if (is(Targets)) {
        const xcb_atom_t targets[] = {m_atoms[Targets], m_atoms[Timestamp], m_atoms[Multiple], m_atoms[Utf8String],
                                      m_atoms[TextPlainUtf8], XCB_ATOM_STRING, m_atoms[Text]};
        put(requestor, property, XCB_ATOM_ATOM, 32, std::size(targets), targets);
        return true;
    }
    if (is(Timestamp)) {
        put(requestor, property, XCB_ATOM_INTEGER, 32, 1, &m_ownedSince);
        return true;
    }
    std::string data;
    xcb_atom_t type = target;
    if (is(Utf8String) || is(TextPlainUtf8)) {
        data = m_text;
    } else if (target == XCB_ATOM_STRING || is(Text)) {
        // TEXT is the owner's choice of encoding: STRING when it can be.
        if (std::optional<std::string> text = latin1(m_text)) {
            data = std::move(*text);
            type = XCB_ATOM_STRING;
        } else if (is(Text)) {
            data = m_text;
            type = m_atoms[Utf8String];
        } else {
            return false;
        }
    } else {
        return false;
    }
    // Text longer than one request can carry is refused rather than sent in
    // parts (INCR): what the window copies is a few dozen bytes.
    if (data.size() > maximumData())
        return false;
    put(requestor, property, type, 8, data.size(), data.data());
    return true;
}

// MULTIPLE: the requestor's property lists pairs of target and property;
// each is converted, and the pairs that fail get None as their property.
bool Keeper::convertMultiple(xcb_window_t requestor, xcb_atom_t property)
{
    Reply<xcb_get_property_reply_t> reply(xcb_get_property_reply(
        m_connection, xcb_get_property(m_connection, 0, requestor, property, m_atoms[AtomPair], 0, 1024), nullptr));
    if (!reply || reply->format != 32 || reply->type != m_atoms[AtomPair])
        return false;
    const auto *values = static_cast<const xcb_atom_t *>(xcb_get_property_value(reply.get()));
    std::vector<xcb_atom_t> pairs(values, values + xcb_get_property_value_length(reply.get()) / 4);
    pairs.resize(pairs.size() & ~std::size_t(1));
    for (std::size_t i = 0; i < pairs.size(); i += 2)
        if (pairs[i] == m_atoms[Multiple] || pairs[i + 1] == XCB_ATOM_NONE
            || !convert(requestor, pairs[i], pairs[i + 1]))
            pairs[i + 1] = XCB_ATOM_NONE;
    put(requestor, property, m_atoms[AtomPair], 32, pairs.size(), pairs.data());
    return true;
}

void Keeper::answer(const xcb_selection_request_event_t &request)
{
    // Clients from before ICCCM name no property: the target then serves as one.
    const xcb_atom_t property = request.property == XCB_ATOM_NONE ? request.target : request.property;
    bool done = false;
    if (request.selection == m_atoms[Clipboard] && request.owner == m_window && !m_lost
        && (request.time == XCB_CURRENT_TIME || request.time >= m_ownedSince)) {
        if (request.target == m_atoms[Multiple])
            done = request.property != XCB_ATOM_NONE && convertMultiple(request.requestor, property);
        else
            done = convert(request.requestor, request.target, property);
    }
    xcb_selection_notify_event_t notify{};
    notify.response_type = XCB_SELECTION_NOTIFY;
    notify.time = request.time;
    notify.requestor = request.requestor;
    notify.selection = request.selection;
    notify.target = request.target;
    notify.property = done ? property : xcb_atom_t(XCB_ATOM_NONE);
    xcb_send_event(m_connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&notify));
}

void Keeper::handle(xcb_generic_event_t *event)
{
    switch (event->response_type & 0x7f) {
    case XCB_SELECTION_REQUEST:
        answer(*reinterpret_cast<xcb_selection_request_event_t *>(event));
        break;
    case XCB_SELECTION_CLEAR:
        if (reinterpret_cast<xcb_selection_clear_event_t *>(event)->selection == m_atoms[Clipboard])
            m_lost = true;
        break;
    default:
        // Errors from requestors' windows that went away, property changes.
        break;
    }
}

// The local socket of this user and display, in the abstract namespace.
sockaddr_un socketAddress(const std::string &name, socklen_t *length)
{
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    const std::size_t size = std::min(name.size(), sizeof address.sun_path - 1);
    // A leading NUL byte puts the name in the abstract namespace.
    std::memcpy(address.sun_path + 1, name.data(), size);
    *length = socklen_t(offsetof(sockaddr_un, sun_path) + 1 + size);
    return address;
}

bool sameUser(int connection)
{
    ucred credentials{};
    socklen_t length = sizeof credentials;
    return ::getsockopt(connection, SOL_SOCKET, SO_PEERCRED, &credentials, &length) == 0
           && credentials.uid == ::getuid();
}

// One keeper per user and display, settled after the keeper serves: it
// asks the keeper listening on the name, if any, to leave (connecting is
// the request), and listens there once that one has gone. Nothing here
// blocks: a listener that is not this user's, that takes no connection or
// that stays connected only costs the keeper its listening, never a paste.
// An older keeper leaves anyway as soon as it sees it lost the clipboard.
class Negotiation
{
public:
    explicit Negotiation(std::string name) : m_name(std::move(name)), m_deadline(Clock::now() + negotiationTime)
    {
        connectToOlder();
    }
    ~Negotiation()
    {
        for (int fd : {m_older, m_server})
            if (fd >= 0)
                ::close(fd);
    }

    // The descriptor to watch and for what, or -1.
    pollfd watch() const
    {
        if (m_server >= 0)
            return {m_server, POLLIN, 0};
        return {m_older, POLLIN, 0};
    }
    int timeout() const
    {
        if (m_older < 0)
            return -1;
        return int(std::max<long>(0, std::chrono::duration_cast<milliseconds>(m_deadline - Clock::now()).count()));
    }
    // Whether a newer keeper of this user asked this one to leave.
    bool dismissed() const { return m_dismissed; }

    void ready(short events)
    {
        if (m_server >= 0 && events)
            acceptNewer();
        else if (m_older >= 0 && (events || Clock::now() >= m_deadline))
            olderMayHaveGone(events);
    }

private:
    void connectToOlder()
    {
        if (Clock::now() >= m_deadline || ++m_attempts > 3)
            return;
        m_older = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_older < 0)
            return;
        socklen_t length = 0;
        const sockaddr_un address = socketAddress(m_name, &length);
        if (::connect(m_older, reinterpret_cast<const sockaddr *>(&address), length) == 0 && sameUser(m_older))
            return; // wait for it to hang up as it leaves
        // Nobody listens (ECONNREFUSED), the listener's queue is full
        // (EAGAIN) or it is another user's: listen if the name is free.
        ::close(m_older);
        m_older = -1;
        listen();
    }

    void olderMayHaveGone(short events)
    {
        // Past the deadline the keeper serves on without listening.
        const bool late = Clock::now() >= m_deadline;
        if (!late) {
            if (events == 0)
                return;
            char bytes[256];
            const ssize_t n = ::recv(m_older, bytes, sizeof bytes, MSG_DONTWAIT);
            // It talks instead of leaving: wait on for the hang-up.
            if (n > 0 || (n < 0 && (errno == EAGAIN || errno == EINTR)))
                return;
        }
        ::close(m_older);
        m_older = -1;
        if (!late)
            listen();
    }

    void listen()
    {
        m_server = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (m_server < 0)
            return;
        socklen_t length = 0;
        const sockaddr_un address = socketAddress(m_name, &length);
        if (::bind(m_server, reinterpret_cast<const sockaddr *>(&address), length) == 0 && ::listen(m_server, 8) == 0)
            return;
        ::close(m_server);
        m_server = -1;
        // Someone took the name meanwhile: ask again while time is left.
        if (errno == EADDRINUSE)
            connectToOlder();
    }

    void acceptNewer()
    {
        for (int newer; (newer = ::accept4(m_server, nullptr, nullptr, SOCK_CLOEXEC)) >= 0;) {
            // The connection stays open until this process ends, which
            // tells the newer keeper that this one has gone.
            if (sameUser(newer)) {
                m_dismissed = true;
                return;
            }
            ::close(newer);
        }
    }

    std::string m_name;
    Clock::time_point m_deadline;
    int m_attempts = 0;
    int m_older = -1;
    int m_server = -1;
    bool m_dismissed = false;
};

int Keeper::serve(const std::string &socketName)
{
    Negotiation negotiation(socketName);
    for (;;) {
        while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
            handle(event);
            std::free(event);
        }
        if (xcb_connection_has_error(m_connection))
            return 0;
        if (m_lost || negotiation.dismissed()) {
            // A paste asked of this keeper before it lost the clipboard may
            // still be on its way: one round trip brings every event sent
            // so far, and each gets its answer, so no paste waits forever.
            std::free(xcb_get_input_focus_reply(m_connection, xcb_get_input_focus(m_connection), nullptr));
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_connection)) {
                handle(event);
                std::free(event);
            }
            xcb_flush(m_connection);
            return 0;
        }
        xcb_flush(m_connection);
        pollfd wait[2] = {{xcb_get_file_descriptor(m_connection), POLLIN, 0}, negotiation.watch()};
        if (::poll(wait, 2, negotiation.timeout()) < 0 && errno != EINTR)
            return 1;
        negotiation.ready(wait[1].fd >= 0 ? wait[1].revents : 0);
    }
}

std::optional<std::string> readText()
{
    std::string text;
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return std::nullopt;
        if (n == 0)
            return text;
        // Part of a text is not the text: keep none of it.
        if (text.size() + std::size_t(n) > maximumText)
            return std::nullopt;
        text.append(buffer, std::size_t(n));
    }
}

// A process that may outlive whoever started it holds none of its streams
// and no directory but the root, which can never need unmounting.
void detach(int upTo)
{
    const int null = ::open("/dev/null", O_RDWR | O_CLOEXEC);
    for (int fd = 0; fd <= upTo; ++fd)
        if (null >= 0 && null != fd)
            ::dup2(null, fd);
    if (null > upTo)
        ::close(null);
    if (::chdir("/") != 0)
        return;
}

} // namespace

int main(int argc, char **argv)
{
    ::prctl(PR_SET_NAME, "huvolo-keeper");
    // Whatever descriptors the starter left open stay its own.
    ::close_range(3, ~0U, 0);
    ::signal(SIGPIPE, SIG_IGN);

    std::optional<xcb_window_t> handingOver;
    for (int i = 1; i < argc; ++i) {
        const std::string_view argument = argv[i];
        if (argument == "--owner" && i + 1 < argc) {
            char *end = nullptr;
            const unsigned long window = std::strtoul(argv[++i], &end, 0);
            if (*end != '\0' || window == 0 || window > 0xffffffffUL) {
                std::fprintf(stderr, "huvolo: not a window: '%s'\n", argv[i]);
                return 2;
            }
            handingOver = xcb_window_t(window);
        } else if (argument != "--keep-clipboard") {
            std::fprintf(stderr, "huvolo: unexpected argument '%s'\n", argv[i]);
            return 2;
        }
    }

    const char *displayVariable = std::getenv("DISPLAY");
    if (!displayVariable || !*displayVariable) {
        std::fputs("huvolo: no display to open a window on (DISPLAY is not set)\n", stderr);
        return 2;
    }
    const std::string display = huvolo::displayWithoutScreen(displayVariable);

    std::optional<std::string> text = readText();
    if (!text) {
        std::fputs("huvolo: the clipboard keeper takes at most 16 MiB of text\n", stderr);
        return 1;
    }
    detach(STDOUT_FILENO);
    if (text->empty())
        return 0;

    xcb_connection_t *connection = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fprintf(stderr, "huvolo: cannot open a display: tried \"%s\"\n", displayVariable);
        xcb_disconnect(connection);
        return 2;
    }
    int status = 1;
    {
        Keeper keeper(connection, std::move(*text));
        if (keeper.open() && keeper.takeClipboard(handingOver)) {
            detach(STDERR_FILENO);
            status = keeper.serve(huvolo::keeperSocketName(display, ::getuid()));
        } else if (handingOver) {
            status = 0; // a newer copy stays on the clipboard, as it should
        }
    }
    xcb_disconnect(connection);
    return status;
}
