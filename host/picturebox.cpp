#include "picturebox.h"

#include "accessibility.h"
#include <Huvolo/hosterror.h>
#include <Huvolo/hostevents.h>

#include <QAccessible>
#include <QMouseEvent>
#include <QPainter>

#include <cmath>

namespace huvolo {

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true); // moves are reported with or without a button held
    setAttribute(Qt::WA_OpaquePaintEvent);
    installAccessibility();
}

void PictureBox::setPicture(const QImage &picture)
{
    m_picture = picture.convertToFormat(QImage::Format_RGB32);
    update();
    describePointer();
}

void PictureBox::setBackColor(OLE_COLOR colour)
{
    toQColor(colour); // an unknown colour fails here, before anything changes
    m_backColor = colour;
    update();
    describePointer();
}

qint32 PictureBox::Point(float X, float Y) const
{
    const double px = std::floor(double(X) / TwipsPerPixel);
    const double py = std::floor(double(Y) / TwipsPerPixel);
    const QRect inner = innerArea();
    if (!(px >= 0 && py >= 0 && px < inner.width() && py < inner.height()))
        return -1;
    const int x = int(px);
    const int y = int(py);
    const QColor colour = (x < m_picture.width() && y < m_picture.height())
                              ? QColor(m_picture.pixel(x, y)) : toQColor(m_backColor);
    return qint32(fromQColor(colour));
}

QColor PictureBox::pointedColour() const
{
    if (!m_pointer)
        return {};
    const qint32 colour = Point(float(m_pointer->x()), float(m_pointer->y()));
    return colour == -1 ? QColor() : toQColor(OLE_COLOR(colour));
}

void PictureBox::notePointer(std::optional<QPointF> twips)
{
    m_pointer = twips;
    describePointer();
}

// On the pointer's path: nothing more than a flag test unless assistive
// technology listens, and then an event only when the colour changed.
void PictureBox::describePointer()
{
    if (!QAccessible::isActive())
        return;
    const QColor colour = pointedColour();
    if (colour == m_describedColour)
        return;
    m_describedColour = colour;
    QAccessibleEvent event(this, QAccessible::DescriptionChanged);
    QAccessible::updateAccessibility(&event);
}

void PictureBox::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect inner = innerArea();
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
    painter.fillRect(inner, toQColor(m_backColor));
    // Drawn unsmoothed so the pixel under the pointer is the picture's own.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(inner.topLeft(), m_picture);
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    qint16 button = mouseButtons(event->buttons());
    qint16 shift = shiftState(event->modifiers());
    const QPointF inner = event->position() - QPointF(innerArea().topLeft());
    float x = float(inner.x()) * TwipsPerPixel;
    float y = float(inner.y()) * TwipsPerPixel;
    notePointer(QPointF(x, y));
    emit MouseMove(button, shift, x, y);
}

void PictureBox::mousePressEvent(QMouseEvent *event)
{
    m_clicks.press(event);
}

void PictureBox::mouseReleaseEvent(QMouseEvent *event)
{
    if (m_clicks.release(event, rect()))
        emit Click();
}

void PictureBox::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (m_clicks.doubleClick(event))
        emit DblClick();
}

void PictureBox::leaveEvent(QEvent *event)
{
    QWidget::leaveEvent(event);
    notePointer(std::nullopt);
}

} // namespace huvolo
