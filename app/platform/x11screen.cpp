#include "x11screen.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWindow>
#include <QtGui/qguiapplication_platform.h>

#include <xcb/xcb.h>

#include <bit>
#include <cstdlib>
#include <map>
#include <memory>
#include <vector>

namespace huvolo {

namespace {

template <typename Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

// One colour channel of a TrueColor visual: where it sits in a pixel and
// how many bits it has.
struct Channel
{
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0;
    int bits = 0;

    // A channel of fewer than 8 bits, as the server's colour map shows it:
    // value v of n bits at v / (2^n - 1) of full intensity, to the nearest
    // 8-bit value (5-bit 24 gives (24 * 255 + 15) / 31 = 197). A wider
    // channel gives its top 8 bits: that is the 8-bit colour every 8-bit
    // program drew there, whether the server widened it by shifting or by
    // repeating bits (10-bit 800 and 803 both give 200).
    int eightBits(quint32 pixel) const
    {
        const quint32 value = (pixel & mask) >> shift;
        if (bits >= 8)
            return int(value >> (bits - 8));
        return int((value * 255 + max / 2) / max);
    }
};

// How one X screen's root window turns into colours.
struct ScreenFormat
{
    xcb_window_t root = XCB_WINDOW_NONE;
    xcb_colormap_t colormap = XCB_NONE;
    int depth = 0;
    int bitsPerPixel = 0;
    int scanlinePad = 0;
    bool throughMasks = false; // TrueColor; every other class goes through the colour map
    Channel red, green, blue;
    QString problem; // why its pixels cannot be read; empty when they can
};

bool channelFrom(quint32 mask, Channel &channel)
{
    if (mask == 0)
        return false;
    const int shift = std::countr_zero(mask);
    const quint32 max = mask >> shift;
    // A channel's bits are contiguous and at most 16 of them.
    if ((max & (max + 1)) != 0 || max > 0xFFFF)
        return false;
    channel = {mask, shift, max, std::popcount(max)};
    return true;
}

const xcb_visualtype_t *rootVisual(const xcb_screen_t *screen)
{
    for (auto depths = xcb_screen_allowed_depths_iterator(screen); depths.rem; xcb_depth_next(&depths))
        for (auto visuals = xcb_depth_visuals_iterator(depths.data); visuals.rem; xcb_visualtype_next(&visuals))
            if (visuals.data->visual_id == screen->root_visual)
                return visuals.data;
    return nullptr;
}

ScreenFormat formatOf(const xcb_setup_t *setup, const xcb_screen_t *screen, int number)
{
    ScreenFormat format;
    format.root = screen->root;
    format.colormap = screen->default_colormap;
    format.depth = screen->root_depth;
    const QString which = QStringLiteral("X screen %1 (depth %2)").arg(number).arg(screen->root_depth);
    for (auto formats = xcb_setup_pixmap_formats_iterator(setup); formats.rem; xcb_format_next(&formats))
        if (formats.data->depth == screen->root_depth) {
            format.bitsPerPixel = formats.data->bits_per_pixel;
            format.scanlinePad = formats.data->scanline_pad;
        }
    if (format.bitsPerPixel % 8 != 0 || format.bitsPerPixel == 0 || format.bitsPerPixel > 32
        || format.scanlinePad % 8 != 0 || format.scanlinePad == 0) {
        format.problem = QStringLiteral("%1 stores pixels of %2 bits, which cannot be read as colours")
                             .arg(which)
                             .arg(format.bitsPerPixel);
        return format;
    }
    const xcb_visualtype_t *visual = rootVisual(screen);
    if (!visual) {
        format.problem = QStringLiteral("%1 has no visual for its root window").arg(which);
        return format;
    }
    format.throughMasks = visual->_class == XCB_VISUAL_CLASS_TRUE_COLOR;
    if (format.throughMasks
        && !(channelFrom(visual->red_mask, format.red) && channelFrom(visual->green_mask, format.green)
             && channelFrom(visual->blue_mask, format.blue)))
        format.problem = QStringLiteral("%1 has colour masks 0x%2, 0x%3, 0x%4, which cannot be read as colours")
                             .arg(which)
                             .arg(visual->red_mask, 0, 16)
                             .arg(visual->green_mask, 0, 16)
                             .arg(visual->blue_mask, 0, 16);
    return format;
}

// The X screens and the one the pointer was last seen on.
struct Display
{
    xcb_connection_t *connection = nullptr;
    bool mostSignificantFirst = false;
    std::vector<ScreenFormat> screens;
    std::size_t current = 0;
};

// The pixel values of a Z-format image, row by row; none when the image is
// not in the root's format.
std::vector<quint32> pixelValues(const Display &display, const ScreenFormat &format,
                                 const xcb_get_image_reply_t &image, QSize size)
{
    const int bytesPerPixel = format.bitsPerPixel / 8;
    const int padBytes = format.scanlinePad / 8;
    const int stride = (size.width() * bytesPerPixel + padBytes - 1) / padBytes * padBytes;
    if (image.depth != format.depth || xcb_get_image_data_length(&image) < stride * size.height())
        return {};
    const quint8 *data = xcb_get_image_data(&image);
    std::vector<quint32> values;
    values.reserve(std::size_t(size.width()) * std::size_t(size.height()));
    for (int y = 0; y < size.height(); ++y)
        for (int x = 0; x < size.width(); ++x) {
            const quint8 *bytes = data + y * stride + x * bytesPerPixel;
            quint32 value = 0;
            for (int i = 0; i < bytesPerPixel; ++i) {
                const int shift = display.mostSignificantFirst ? 8 * (bytesPerPixel - 1 - i) : 8 * i;
                value |= quint32(bytes[i]) << shift;
            }
            values.push_back(value);
        }
    return values;
}

// The colours a colour map gives the pixel values, one request for all of
// them; an empty map when the server refuses.
std::map<quint32, QRgb> coloursOf(const Display &display, const ScreenFormat &format,
                                  const std::vector<quint32> &values)
{
    std::map<quint32, QRgb> colours;
    for (const quint32 value : values)
        colours.emplace(value, 0);
    std::vector<quint32> pixels;
    pixels.reserve(colours.size());
    for (const auto &entry : colours)
        pixels.push_back(entry.first);
    const XcbReply<xcb_query_colors_reply_t> reply(
        xcb_query_colors_reply(display.connection,
                               xcb_query_colors(display.connection, format.colormap, quint32(pixels.size()),
                                                pixels.data()),
                               nullptr),
        &std::free);
    if (!reply || std::size_t(xcb_query_colors_colors_length(reply.get())) != pixels.size())
        return {};
    const xcb_rgb_t *rgb = xcb_query_colors_colors(reply.get());
    // 16-bit channels to the nearest 8-bit value (an 8-bit c is stored as c * 257).
    const auto eightBits = [](quint16 channel) { return int((quint32(channel) * 255 + 32767) / 65535); };
    for (std::size_t i = 0; i < pixels.size(); ++i)
        colours[pixels[i]] = qRgb(eightBits(rgb[i].red), eightBits(rgb[i].green), eightBits(rgb[i].blue));
    return colours;
}

QImage grabFrom(const Display &display, const QRect &area)
{
    QImage pixels(area.size(), QImage::Format_ARGB32);
    pixels.fill(Qt::transparent);
    const ScreenFormat &format = display.screens[display.current];
    if (!format.problem.isEmpty())
        return pixels;
    xcb_connection_t *connection = display.connection;
    const XcbReply<xcb_get_geometry_reply_t> geometry(
        xcb_get_geometry_reply(connection, xcb_get_geometry(connection, format.root), nullptr), &std::free);
    if (!geometry)
        return pixels;
    const QRect visible = area.intersected(QRect(0, 0, geometry->width, geometry->height));
    if (visible.isEmpty())
        return pixels;
    const XcbReply<xcb_get_image_reply_t> image(
        xcb_get_image_reply(connection,
                            xcb_get_image(connection, XCB_IMAGE_FORMAT_Z_PIXMAP, format.root, int16_t(visible.x()),
                                          int16_t(visible.y()), uint16_t(visible.width()),
                                          uint16_t(visible.height()), ~0u),
                            nullptr),
        &std::free);
    if (!image)
        return pixels;
    const std::vector<quint32> values = pixelValues(display, format, *image, visible.size());
    if (values.empty())
        return pixels;
    std::map<quint32, QRgb> colours;
    if (!format.throughMasks) {
        colours = coloursOf(display, format, values);
        if (colours.empty())
            return pixels;
    }
    for (int y = 0; y < visible.height(); ++y)
        for (int x = 0; x < visible.width(); ++x) {
            const quint32 value = values[std::size_t(y) * std::size_t(visible.width()) + std::size_t(x)];
            const QRgb colour = format.throughMasks ? qRgb(format.red.eightBits(value), format.green.eightBits(value),
                                                           format.blue.eightBits(value))
                                                    : colours[value];
            pixels.setPixel(visible.x() - area.x() + x, visible.y() - area.y() + y, colour | 0xFF000000u);
        }
    return pixels;
}

QString grabStatusText(uint8_t status, const char *what)
{
    switch (status) {
    case XCB_GRAB_STATUS_SUCCESS:
        return {};
    case XCB_GRAB_STATUS_ALREADY_GRABBED:
        return QStringLiteral("another program holds the %1").arg(QLatin1String(what));
    case XCB_GRAB_STATUS_FROZEN:
        return QStringLiteral("another program has frozen the %1").arg(QLatin1String(what));
    case XCB_GRAB_STATUS_NOT_VIEWABLE:
        return QStringLiteral("the picker's window is not shown, so the %1 cannot be taken").arg(QLatin1String(what));
    default:
        return QStringLiteral("the X server did not give the %1").arg(QLatin1String(what));
    }
}

// Asks the X server for the pointer and then the keyboard, and gives them
// straight back: the grab's answer tells whether another program holds
// them, which Qt's own grab, taken next, keeps to itself. (Holding this
// grab instead would stop Qt's from taking over.)
QString takeInput(xcb_connection_t *connection, xcb_window_t window)
{
    const XcbReply<xcb_grab_pointer_reply_t> pointer(
        xcb_grab_pointer_reply(connection,
                               xcb_grab_pointer(connection, 0, window, XCB_EVENT_MASK_NO_EVENT, XCB_GRAB_MODE_ASYNC,
                                                XCB_GRAB_MODE_ASYNC, XCB_WINDOW_NONE, XCB_CURSOR_NONE,
                                                XCB_CURRENT_TIME),
                               nullptr),
        &std::free);
    QString why = grabStatusText(pointer ? pointer->status : 0xFF, "pointer");
    if (why.isEmpty()) {
        const XcbReply<xcb_grab_keyboard_reply_t> keyboard(
            xcb_grab_keyboard_reply(connection,
                                    xcb_grab_keyboard(connection, 0, window, XCB_CURRENT_TIME, XCB_GRAB_MODE_ASYNC,
                                                      XCB_GRAB_MODE_ASYNC),
                                    nullptr),
            &std::free);
        why = grabStatusText(keyboard ? keyboard->status : 0xFF, "keyboard");
        xcb_ungrab_keyboard(connection, XCB_CURRENT_TIME);
    }
    xcb_ungrab_pointer(connection, XCB_CURRENT_TIME);
    xcb_flush(connection);
    return why;
}

// The root of the X screen a Qt screen belongs to: a window made there,
// never shown, knows it.
xcb_window_t rootOf(xcb_connection_t *connection, QScreen *screen)
{
    QWindow probe;
    probe.setScreen(screen);
    probe.create();
    const XcbReply<xcb_query_tree_reply_t> tree(
        xcb_query_tree_reply(connection, xcb_query_tree(connection, xcb_window_t(probe.winId())), nullptr),
        &std::free);
    return tree ? tree->root : xcb_window_t(XCB_WINDOW_NONE);
}

} // namespace

ScreenPicker::Screen x11Screen()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11)
        return {};
    auto display = std::make_shared<Display>();
    display->connection = x11->connection();
    const xcb_setup_t *setup = xcb_get_setup(display->connection);
    display->mostSignificantFirst = setup->image_byte_order == XCB_IMAGE_ORDER_MSB_FIRST;
    int number = 0;
    for (auto roots = xcb_setup_roots_iterator(setup); roots.rem; xcb_screen_next(&roots))
        display->screens.push_back(formatOf(setup, roots.data, number++));
    if (display->screens.empty())
        return {};

    ScreenPicker::Screen screen;
    // Straight from the X server, in device pixels, so the colour is the
    // pixel shown whatever the scale; outside the screen stays transparent.
    screen.grab = [display](const QRect &area) { return grabFrom(*display, area); };
    // Each X screen has a root of its own: the pointer's says which is read.
    screen.pointer = [display] {
        xcb_connection_t *connection = display->connection;
        const XcbReply<xcb_query_pointer_reply_t> reply(
            xcb_query_pointer_reply(connection,
                                    xcb_query_pointer(connection, display->screens[display->current].root),
                                    nullptr),
            &std::free);
        if (!reply)
            return QPoint(-1, -1);
        for (std::size_t i = 0; i < display->screens.size(); ++i)
            if (display->screens[i].root == reply->root)
                display->current = i;
        return QPoint(reply->root_x, reply->root_y);
    };
    screen.problem = [display] { return display->screens[display->current].problem; };
    screen.takeInput = [connection = display->connection](WId window) {
        return takeInput(connection, xcb_window_t(window));
    };
    // Qt's screens of several X screens all start at (0, 0): their roots
    // tell them apart.
    if (display->screens.size() > 1)
        screen.screen = [display]() -> QScreen * {
            const xcb_window_t root = display->screens[display->current].root;
            for (QScreen *candidate : QGuiApplication::screens())
                if (rootOf(display->connection, candidate) == root)
                    return candidate;
            return nullptr;
        };
    return screen;
}

} // namespace huvolo
