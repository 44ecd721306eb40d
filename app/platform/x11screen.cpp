#include "x11screen.h"

#include <QGuiApplication>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace huvolo {

namespace {

template <typename Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

} // namespace

ScreenPicker::Screen x11Screen()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11)
        return {};
    xcb_connection_t *connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    ScreenPicker::Screen screen;
    // Straight from the X server, in device pixels, so the colour is the
    // pixel shown whatever the scale; outside the screen stays transparent.
    screen.grab = [connection, root](const QRect &area) {
        QImage pixels(area.size(), QImage::Format_ARGB32);
        pixels.fill(Qt::transparent);
        const xcb_get_geometry_cookie_t geometryCookie = xcb_get_geometry(connection, root);
        const XcbReply<xcb_get_geometry_reply_t> geometry(xcb_get_geometry_reply(connection, geometryCookie, nullptr),
                                                          &std::free);
        if (!geometry)
            return pixels;
        const QRect visible = area.intersected(QRect(0, 0, geometry->width, geometry->height));
        if (visible.isEmpty())
            return pixels;
        const XcbReply<xcb_get_image_reply_t> image(
            xcb_get_image_reply(connection,
                                xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, root, int16_t(visible.x()),
                                              int16_t(visible.y()), uint16_t(visible.width()),
                                              uint16_t(visible.height()), ~0u),
                                nullptr),
            &std::free);
        if (!image || image->depth < 24
            || xcb_get_image_data_length(image.get()) < visible.width() * visible.height() * 4)
            return pixels;
        const auto *data = reinterpret_cast<const quint32 *>(xcb_get_image_data(image.get()));
        for (int y = 0; y < visible.height(); ++y)
            for (int x = 0; x < visible.width(); ++x)
                pixels.setPixel(visible.x() - area.x() + x, visible.y() - area.y() + y,
                                data[y * visible.width() + x] | 0xFF000000u);
        return pixels;
    };
    screen.pointer = [connection, root] {
        const XcbReply<xcb_query_pointer_reply_t> reply(
            xcb_query_pointer_reply(connection, xcb_query_pointer(connection, root), nullptr), &std::free);
        return reply ? QPoint(reply->root_x, reply->root_y) : QPoint(-1, -1);
    };
    return screen;
}

} // namespace huvolo
