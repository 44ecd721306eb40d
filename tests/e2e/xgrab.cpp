// Holds the pointer or the keyboard grab, as another program (a screen
// locker, a game, a stuck menu) may, until it is ended. It prints "grabbed"
// once the X server has given it the grab.
// Usage: xgrab pointer|keyboard
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>

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
    // Hold it; the grab ends with the connection when the process is ended.
    for (;;)
        pause();
}
