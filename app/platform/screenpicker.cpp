#include "screenpicker.h"

#include "accessibility.h"

#include <QCursor>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

namespace huvolo {

namespace {

constexpr int Side = 2 * ScreenPicker::Reach + 1;

} // namespace

ScreenPicker::ScreenPicker(Screen screen, QWidget *parent)
    : QWidget(parent, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      m_screen(std::move(screen)),
      m_area(Side, Side, QImage::Format_ARGB32)
{
    setObjectName(QStringLiteral("ScreenPicker"));
    setAccessibleName(QStringLiteral("Pick from screen"));
    setAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMouseTracking(true);
    setFixedSize(Side * Zoom + 2, Side * Zoom + 2);
    m_area.fill(Qt::transparent);
}

void ScreenPicker::start()
{
    // Which screen the pointer is on decides what can be read.
    const QPoint at = m_screen.pointer ? m_screen.pointer() : QCursor::pos();
    if (const QString why = problem(); !why.isEmpty()) {
        fail(why);
        return;
    }
    // The magnifier shows on the screen the pointer is on. It stays there
    // for the pick: moving a shown window to another X screen would make
    // a new one and lose the grab.
    if (QScreen *on = pointerScreen())
        setScreen(on);
    placeNear(QCursor::pos());
    pointAt(at);
    show();
    // Qt's own grabs say nothing of their outcome: the screen takes the
    // pointer and the keyboard first and tells whether another program
    // holds them, as then no click or key would ever reach the picker.
    if (m_screen.takeInput) {
        if (const QString why = m_screen.takeInput(winId()); !why.isEmpty()) {
            fail(why);
            return;
        }
    }
    grabMouse(QCursor(Qt::CrossCursor));
    grabKeyboard();
}

void ScreenPicker::pointAt(QPoint at)
{
    m_at = at;
    if (m_screen.grab)
        m_area = m_screen.grab(QRect(at - QPoint(Reach, Reach), QSize(Side, Side)));
    update();
    if (readable())
        emit hovered(colour());
}

bool ScreenPicker::readable() const
{
    return qAlpha(m_area.pixel(Reach, Reach)) != 0;
}

QScreen *ScreenPicker::pointerScreen() const
{
    return m_screen.screen ? m_screen.screen() : nullptr;
}

QString ScreenPicker::problem() const
{
    return m_screen.problem ? m_screen.problem() : QString();
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
    if (const QScreen *screen = m_screen.screen ? this->screen() : QGuiApplication::screenAt(pointer)) {
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
        if (!readable()) {
            const QString why = problem();
            fail(why.isEmpty() ? QStringLiteral("the colour under the pointer cannot be read") : why);
            return;
        }
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
    announce(QStringLiteral("Pick from screen ended"));
}

void ScreenPicker::fail(const QString &why)
{
    finish();
    emit failed(why);
    emit cancelled();
}

} // namespace huvolo
