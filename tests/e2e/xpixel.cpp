// Prints the colour of screen pixels as #RRGGBB, one line each, read
// straight from the X server (far quicker than a screenshot per pixel).
// Usage: xpixel X Y [X Y ...]
#include <xcb/xcb.h>

#include <cstdio>
#include <cstdlib>

int main(int argc, char *argv[])
{
    if (argc < 3 || argc % 2 == 0) {
        std::fputs("usage: xpixel X Y [X Y ...]\n", stderr);
        return 2;
    }
    xcb_connection_t *connection = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(connection)) {
        std::fputs("xpixel: cannot open the display\n", stderr);
        return 1;
    }
    const xcb_screen_t *screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
    int status = 0;
    for (int i = 1; i + 1 < argc; i += 2) {
        const auto x = static_cast<int16_t>(std::atoi(argv[i]));
        const auto y = static_cast<int16_t>(std::atoi(argv[i + 1]));
        xcb_get_image_reply_t *reply = xcb_get_image_reply(
            connection, xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, screen->root, x, y, 1, 1, ~0u), nullptr);
        if (!reply || xcb_get_image_data_length(reply) < 3) {
            std::fprintf(stderr, "xpixel: cannot read pixel (%d, %d)\n", x, y);
            status = 1;
        } else {
            const uint8_t *data = xcb_get_image_data(reply); // blue, green, red on a 24-bit little-endian screen
            std::printf("#%02X%02X%02X\n", data[2], data[1], data[0]);
        }
        std::free(reply);
    }
    xcb_disconnect(connection);
    return status;
}
