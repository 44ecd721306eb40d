// Holds the pointer or the keyboard grab, as another program (a screen
// locker, a game, a stuck menu) may, until its standard input ends or
// gives a line. It prints "grabbed" once the X server has given it the
// grab, and "released" once the server has taken it back.
// Usage: xgrab pointer|keyboard
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char *argv[])
{
    const bool pointer = argc == 2 && std::strcmp(argv[1], "pointer") == 0;
    if (argc != 2 || (!pointer && std::strcmp(argv[1], "keyboard") != 0)) {
        std::fputs("usage: xgrab pointer|keyboard\n", stderr);
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("xgrab: cannot open the display\n", stderr);
        return 1;
    }
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    uint8_t status = XCB_GRAB_STATUS_INVALID_TIME;
    if (pointer) {
        xcb_grab_pointer_reply_t *reply = xcb_grab_pointer_reply(
            connection,
            xcb_grab_pointer(connection, 0, root, XCB_EVENT_MASK_BUTTON_PRESS, XCB_GRAB_MODE_ASYNC,
                             XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE, XCB_CURSOR_NONE, XCB_CURRENT_TIME),
            nullptr);
        status = reply ? reply->status : status;
        std::free(reply);
    } else {
        xcb_grab_keyboard_reply_t *reply = xcb_grab_keyboard_reply(
            connection,
            xcb_grab_keyboard(connection, 0, root, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC),
            nullptr);
        status = reply ? reply->status : status;
        std::free(reply);
    }
    if (status != XCB_GRAB_STATUS_SUCCESS) {
        std::fprintf(stderr, "xgrab: the X server refused the grab (status %d)\n", status);
        return 1;
    }
    std::puts("grabbed");
    std::fflush(stdout);
    char line[64];
    (void)!std::fgets(line, sizeof line, stdin);
    if (pointer)
        xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    else
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
    // A round trip: the server has done the ungrab once it answers.
    std::free(xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr));
    std::puts("released");
    std::fflush(stdout);
    xcb_disconnect(connection);
    return 0;
}
