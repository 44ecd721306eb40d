// A small X11 clipboard manager, as desktops run one: it owns the
// CLIPBOARD_MANAGER selection, and when a program that is about to exit asks
// it to save the clipboard (a SAVE_TARGETS conversion of CLIPBOARD_MANAGER),
// it fetches the clipboard's text from that program, takes the CLIPBOARD
// selection, answers the request, and serves the text from then on.
// It prints "ready" once it is the manager, and "saved TEXT" after each
// save, one line each. Usage: xclipmanager
#include "xatom.h"

#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>

namespace {

xcb_connection_t *connection = nullptr;
xcb_window_t window = XCB_WINDOW_NONE;
// Events that came while waiting for another, to be handled next.
std::deque<xcb_generic_event_t *> held;

xcb_generic_event_t *nextEvent()
{
    if (held.empty())
        return xcb_wait_for_event(connection);
    xcb_generic_event_t *event = held.front();
    held.pop_front();
    return event;
}

xcb_atom_t atom(const char *name)
{
    return ::atom(connection, name);
}

xcb_window_t owner(xcb_atom_t selection)
{
    xcb_get_selection_owner_reply_t *reply =
        xcb_get_selection_owner_reply(connection, xcb_get_selection_owner(connection, selection), nullptr);
    const xcb_window_t result = reply ? reply->owner : xcb_window_t(XCB_WINDOW_NONE);
    std::free(reply);
    return result;
}

// The server's time now: a zero-length append to a property of our own
// window, whose PropertyNotify carries the time stamp.
xcb_timestamp_t serverTime(xcb_atom_t property)
{
    xcb_change_property(connection, XCB_PROP_MODE_APPEND, window, property, XCB_ATOM_STRING, 8, 0, nullptr);
    xcb_flush(connection);
    for (;;) {
        xcb_generic_event_t *event = xcb_wait_for_event(connection);
        if (!event)
            std::exit(1);
        if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
            const xcb_timestamp_t time = reinterpret_cast<xcb_property_notify_event_t *>(event)->time;
            std::free(event);
            return time;
        }
        held.push_back(event);
    }
}

// Answers a selection request; `property` NONE refuses it.
void notify(const xcb_selection_request_event_t &request, xcb_atom_t property)
{
    xcb_selection_notify_event_t reply{};
    reply.response_type = XCB_SELECTION_NOTIFY;
    reply.time = request.time;
    reply.requestor = request.requestor;
    reply.selection = request.selection;
    reply.target = request.target;
    reply.property = property;
    xcb_send_event(connection, 0, request.requestor, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char *>(&reply));
    xcb_flush(connection);
}

// ICCCM: a requestor of an old kind names no property; the target is used.
xcb_atom_t replyProperty(const xcb_selection_request_event_t &request)
{
    return request.property != XCB_ATOM_NONE ? request.property : request.target;
}

} // namespace

int main()
{
    connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("xclipmanager: cannot open the display\n", stderr);
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    window = xcb_generate_id(connection);
    const uint32_t events = XCB_EVENT_MASK_PROPERTY_CHANGE;
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, XCB_CW_EVENT_MASK, &events);

    const xcb_atom_t manager = atom("CLIPBOARD_MANAGER");
    const xcb_atom_t clipboard = atom("CLIPBOARD");
    const xcb_atom_t saveTargets = atom("SAVE_TARGETS");
    const xcb_atom_t targets = atom("TARGETS");
    const xcb_atom_t timestamp = atom("TIMESTAMP");
    const xcb_atom_t utf8 = atom("UTF8_STRING");
    const xcb_atom_t textPlainUtf8 = atom("text/plain;charset=utf-8");
    const xcb_atom_t nullType = atom("NULL");
    const xcb_atom_t saved = atom("XCLIPMANAGER_SAVED");

    const xcb_timestamp_t start = serverTime(saved);
    xcb_set_selection_owner(connection, window, manager, start);
    if (owner(manager) != window) {
        std::fputs("xclipmanager: another clipboard manager runs\n", stderr);
        return 1;
    }
    std::puts("ready");
    std::fflush(stdout);

    std::string text;
    bool serving = false;
    xcb_timestamp_t servingSince = XCB_CURRENT_TIME;
    // The save request being worked on, while the clipboard's owner answers.
    bool saving = false;
    xcb_selection_request_event_t pending{};

    while (xcb_generic_event_t *event = nextEvent()) {
        switch (event->response_type & 0x7f) {
        case XCB_SELECTION_REQUEST: {
            const auto &request = *reinterpret_cast<xcb_selection_request_event_t *>(event);
            const xcb_atom_t property = replyProperty(request);
            if (request.selection == manager && request.target == saveTargets && !saving) {
                // Fetch the clipboard as text; the answer comes as a
                // SelectionNotify to our window.
                saving = true;
                pending = request;
                xcb_convert_selection(connection, window, clipboard, utf8, saved, request.time);
                xcb_flush(connection);
            } else if (request.selection == manager && request.target == targets) {
                const xcb_atom_t list[] = {targets, saveTargets};
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM,
                                    32, 2, list);
                notify(request, property);
            } else if (request.selection == clipboard && serving && request.target == targets) {
                const xcb_atom_t list[] = {targets, timestamp, utf8, textPlainUtf8, XCB_ATOM_STRING};
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, XCB_ATOM_ATOM,
                                    32, 5, list);
                notify(request, property);
            } else if (request.selection == clipboard && serving && request.target == timestamp) {
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property,
                                    XCB_ATOM_INTEGER, 32, 1, &servingSince);
                notify(request, property);
            } else if (request.selection == clipboard && serving
                       && (request.target == utf8 || request.target == textPlainUtf8
                           || request.target == XCB_ATOM_STRING)) {
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, request.requestor, property, request.target, 8,
                                    uint32_t(text.size()), text.data());
                notify(request, property);
            } else {
                notify(request, XCB_ATOM_NONE);
            }
            break;
        }
        case XCB_SELECTION_NOTIFY: {
            const auto &answer = *reinterpret_cast<xcb_selection_notify_event_t *>(event);
            if (!saving || answer.requestor != window)
                break;
            saving = false;
            bool ok = false;
            if (answer.property != XCB_ATOM_NONE) {
                xcb_get_property_reply_t *reply = xcb_get_property_reply(
                    connection, xcb_get_property(connection, 1, window, saved, XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
                    nullptr);
                // Text only, and no incremental transfer: enough for a colour.
                if (reply && reply->format == 8 && reply->type != atom("INCR")) {
                    text.assign(static_cast<const char *>(xcb_get_property_value(reply)),
                                size_t(xcb_get_property_value_length(reply)));
                    ok = true;
                }
                std::free(reply);
            }
            if (ok) {
                servingSince = serverTime(saved);
                xcb_set_selection_owner(connection, window, clipboard, servingSince);
                serving = owner(clipboard) == window;
                ok = serving;
            }
            const xcb_atom_t property = replyProperty(pending);
            if (ok) {
                // SAVE_TARGETS is a side-effect target: success is a
                // zero-length property of type NULL.
                xcb_change_property(connection, XCB_PROP_MODE_REPLACE, pending.requestor, property, nullType, 32, 0,
                                    nullptr);
                std::printf("saved %s\n", text.c_str());
                std::fflush(stdout);
            }
            notify(pending, ok ? property : xcb_atom_t(XCB_ATOM_NONE));
            break;
        }
        case XCB_SELECTION_CLEAR: {
            const auto &clear = *reinterpret_cast<xcb_selection_clear_event_t *>(event);
            if (clear.selection == clipboard)
                serving = false;
            else if (clear.selection == manager) {
                std::free(event);
                return 0;
            }
            break;
        }
        default:
            break;
        }
        std::free(event);
    }
    return 0;
}
