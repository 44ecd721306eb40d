#include "screenpicker.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include <xcb/xcb.h>

#include <cstdlib>
#include <memory>

namespace huvolo {

namespace {

constexpr int Side = 2 * ScreenPicker::Reach + 1;

template <typename Reply>
using XcbReply = std::unique_ptr<Reply, decltype(&std::free)>;

} // namespace

ScreenPicker::Screen ScreenPicker::x11Screen()
{
    const auto *x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr;
    if (!x11)
        return {};
    xcb_connection_t *connection = x11->connection();
    const xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(connection)).data->root;
    Screen screen;
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

ScreenPicker::ScreenPicker(Screen screen, QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_screen(std::move(screen)),
      m_area(Side, Side, QImage::Format_ARGB32)
{
    setObjectName(QStringLiteral("ScreenPicker"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFixedSize(Side * Zoom + 2, Side * Zoom + 2);
    m_area.fill(Qt::transparent);
}

void ScreenPicker::start()
{
    placeNear(QCursor::pos());
    if (m_screen.pointer)
        pointAt(m_screen.pointer());
    show();
    grabMouse(QCursor(Qt::CrossCursor));
    grabKeyboard();
}

void ScreenPicker::pointAt(QPoint at)
{
    m_at = at;
    if (m_screen.grab)
        m_area = m_screen.grab(QRect(at - QPoint(Reach, Reach), QSize(Side, Side)));
    update();
    emit hovered(colour());
}

QRgb ScreenPicker::colour() const
{
    return m_area.pixel(Reach, Reach) | 0xFF000000u;
}

// The magnifier sits below and to the right of the pointer, or on the
// other side where the screen ends.
void ScreenPicker::placeNear(QPoint pointer)
{
    const int gap = 16;
    QPoint place = pointer + QPoint(gap, gap);
    if (const QScreen *screen = QGuiApplication::screenAt(pointer)) {
        const QRect room = screen->geometry();
        if (place.x() + width() > room.right())
            place.rx() = pointer.x() - gap - width();
        if (place.y() + height() > room.bottom())
            place.ry() = pointer.y() - gap - height();
    }
    move(place);
}

void ScreenPicker::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRect(1, 1, Side * Zoom, Side * Zoom), m_area);
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    // The middle pixel, the one picked, framed dark and light so that the
    // frame shows on any colour.
    const QRect middle(1 + Reach * Zoom, 1 + Reach * Zoom, Zoom, Zoom);
    painter.setPen(Qt::black);
    painter.drawRect(middle.adjusted(-1, -1, 0, 0));
    painter.setPen(Qt::white);
    painter.drawRect(middle.adjusted(-2, -2, 1, 1));
}

void ScreenPicker::mouseMoveEvent(QMouseEvent *event)
{
    // Out of the way first, so that the magnifier is never in what it shows.
    placeNear(event->globalPosition().toPoint());
    pointAt(m_screen.pointer ? m_screen.pointer() : event->globalPosition().toPoint());
}

void ScreenPicker::mousePressEvent(QMouseEvent *event)
{
    if (event->button() == Qt::LeftButton) {
        if (m_screen.pointer)
            pointAt(m_screen.pointer());
        const QRgb taken = colour();
        finish();
        emit picked(taken);
    } else {
        finish();
        emit cancelled();
    }
}

void ScreenPicker::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Escape) {
        finish();
        emit cancelled();
    }
}

void ScreenPicker::finish()
{
    releaseKeyboard();
    releaseMouse();
    close();
}

} // namespace huvolo
