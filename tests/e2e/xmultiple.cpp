// Asks the clipboard's owner for several targets at once, with one MULTIPLE
// request, and prints one line per target: "TARGET TYPE TEXT", or
// "TARGET refused". Usage: xmultiple TARGET...
#include "xatom.h"

#include <xcb/xcb.h>

#include <poll.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

static std::string atomName(xcb_connection_t *connection, xcb_atom_t atom)
{
    xcb_get_atom_name_reply_t *reply =
        xcb_get_atom_name_reply(connection, xcb_get_atom_name(connection, atom), nullptr);
    std::string name = reply ? std::string(xcb_get_atom_name_name(reply), xcb_get_atom_name_name_length(reply))
                             : std::string("None");
    std::free(reply);
    return name;
}

int main(int argc, char *argv[])
{
    if (argc < 2) {
        std::fputs("usage: xmultiple TARGET...\n", stderr);
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("xmultiple: cannot open the display\n", stderr);
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    const xcb_window_t window = xcb_generate_id(connection);
    xcb_create_window(connection, XCB_COPY_FROM_PARENT, window, screen->root, 0, 0, 1, 1, 0,
                      XCB_WINDOW_CLASS_INPUT_ONLY, XCB_COPY_FROM_PARENT, 0, nullptr);
    // Each target is converted into a property of its own, named after its place.
    std::vector<xcb_atom_t> pairs;
    for (int i = 1; i < argc; ++i) {
        pairs.push_back(atom(connection, argv[i]));
        pairs.push_back(atom(connection, ("XMULTIPLE_" + std::to_string(i)).c_str()));
    }
    const xcb_atom_t list = atom(connection, "XMULTIPLE");
    xcb_change_property(connection, XCB_PROP_MODE_REPLACE, window, list, atom(connection, "ATOM_PAIR"), 32,
                        pairs.size(), pairs.data());
    xcb_convert_selection(connection, window, atom(connection, "CLIPBOARD"), atom(connection, "MULTIPLE"), list,
                          XCB_CURRENT_TIME);
    xcb_flush(connection);
    for (;;) {
        pollfd wait{xcb_get_file_descriptor(connection), POLLIN, 0};
        xcb_generic_event_t *event = xcb_poll_for_event(connection);
        if (!event) {
            if (xcb_connection_has_error(connection) || poll(&wait, 1, 2000) <= 0) {
                std::fputs("xmultiple: no answer from the clipboard's owner\n", stderr);
                return 1;
            }
            continue;
        }
        const bool answered = (event->response_type & 0x7f) == XCB_SELECTION_NOTIFY;
        const bool refused = answered && reinterpret_cast<xcb_selection_notify_event_t *>(event)->property == XCB_ATOM_NONE;
        std::free(event);
        if (refused) {
            std::puts("MULTIPLE refused");
            return 0;
        }
        if (answered)
            break;
    }
    xcb_get_property_reply_t *answer = xcb_get_property_reply(
        connection, xcb_get_property(connection, 0, window, list, XCB_GET_PROPERTY_TYPE_ANY, 0, 1024), nullptr);
    const auto *done = static_cast<const xcb_atom_t *>(xcb_get_property_value(answer));
    const int count = xcb_get_property_value_length(answer) / 4;
    for (int i = 1; i < argc; ++i) {
        const int at = 2 * (i - 1) + 1;
        if (at >= count || done[at] == XCB_ATOM_NONE) {
            std::printf("%s refused\n", argv[i]);
            continue;
        }
        xcb_get_property_reply_t *value = xcb_get_property_reply(
            connection, xcb_get_property(connection, 1, window, done[at], XCB_GET_PROPERTY_TYPE_ANY, 0, 1 << 20),
            nullptr);
        std::string text;
        if (value && value->format == 8)
            text.assign(static_cast<const char *>(xcb_get_property_value(value)), xcb_get_property_value_length(value));
        else if (value && value->format == 32)
            for (int j = 0; j < xcb_get_property_value_length(value) / 4; ++j) {
                const uint32_t item = static_cast<const uint32_t *>(xcb_get_property_value(value))[j];
                text += (j ? "," : "") + (value->type == XCB_ATOM_ATOM ? atomName(connection, item) : std::to_string(item));
            }
        std::printf("%s %s %s\n", argv[i], value ? atomName(connection, value->type).c_str() : "None", text.c_str());
        std::free(value);
    }
    std::free(answer);
    xcb_disconnect(connection);
    return 0;
}
