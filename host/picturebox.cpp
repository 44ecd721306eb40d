#include "picturebox.h"

#include "accessibility.h"
#include <Huvolo/hosterror.h>
#include <Huvolo/hostevents.h>

#include "inputtracker.h"

#include <QAccessible>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <vector>

namespace huvolo {

PictureBox::PictureBox(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true); // moves are reported with or without a button held
    setAttribute(Qt::WA_OpaquePaintEvent);
    trackInput();
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
    if (painter.deviceTransform().isScaling())
        drawPictureOnDevicePixels(painter, inner);
    else
        painter.drawImage(inner.topLeft(), m_picture);
    if (showsFocusCue(this))
        drawFocus(painter, inner);
}

// At a scale other than 1 the toolkit would stretch the picture with its own
// rounding, and the pixel shown under the pointer would not be the pixel
// read. Each device pixel gets the picture pixel under its centre instead,
// the same rule pointerPosition() follows, and the result is copied one to
// one onto the device pixels. It is made again only when the picture or the
// widget's place on the device changes.
void PictureBox::drawPictureOnDevicePixels(QPainter &painter, const QRect &inner)
{
    const QTransform toDevice = painter.deviceTransform();
    const QRectF area = QRectF(QRect(inner.topLeft(), m_picture.size()).intersected(inner));
    const QRect device = toDevice.mapRect(area).toAlignedRect();
    if (device.isEmpty())
        return;
    if (m_devicePictureKey != m_picture.cacheKey() || m_devicePictureTransform != toDevice
        || m_devicePicture.size() != device.size()) {
        const QTransform toLogical = toDevice.inverted();
        m_devicePicture = QImage(device.size(), QImage::Format_ARGB32_Premultiplied);
        m_devicePicture.fill(Qt::transparent);
        std::vector<int> columns(device.width());
        for (int i = 0; i < device.width(); ++i)
            columns[i] = int(std::floor(toLogical.map(QPointF(device.left() + i + 0.5, 0)).x() - inner.left()));
        for (int j = 0; j < device.height(); ++j) {
            const int row = int(std::floor(toLogical.map(QPointF(0, device.top() + j + 0.5)).y() - inner.top()));
            if (row < 0 || row >= m_picture.height() || row >= inner.height())
                continue;
            const auto *source = reinterpret_cast<const QRgb *>(m_picture.constScanLine(row));
            auto *line = reinterpret_cast<QRgb *>(m_devicePicture.scanLine(j));
            for (int i = 0; i < device.width(); ++i) {
                if (columns[i] >= 0 && columns[i] < m_picture.width() && columns[i] < inner.width())
                    line[i] = source[columns[i]] | 0xFF000000u;
            }
        }
        m_devicePictureKey = m_picture.cacheKey();
        m_devicePictureTransform = toDevice;
    }
    painter.save();
    painter.setWorldTransform(toDevice.inverted());
    painter.drawImage(device.topLeft(), m_devicePicture);
    painter.restore();
}

// A dotted line just inside the border, and the keyboard pointer: a small
// square around its pixel, dark and light so it shows on any colour. The
// pixel itself stays uncovered.
void PictureBox::drawFocus(QPainter &painter, const QRect &inner) const
{
    painter.setPen(QPen(palette().color(QPalette::WindowText), 1, Qt::DotLine));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(inner.adjusted(0, 0, -1, -1));
    const QPoint at = inner.topLeft() + m_keyboardPointer;
    painter.setPen(Qt::black);
    painter.drawRect(QRect(at - QPoint(2, 2), QSize(4, 4)));
    painter.setPen(Qt::white);
    painter.drawRect(QRect(at - QPoint(3, 3), QSize(6, 6)));
}

// The point under the pointer, in the box's logical pixels. At a scale other
// than 1 this is the centre of the device pixel under the pointer, taken
// from the window's own event: the event a widget gets is rounded to whole
// logical pixels, which may name the neighbouring pixel.
QPointF PictureBox::pointerPosition(const QMouseEvent *event) const
{
    const qreal scale = devicePixelRatioF();
    const std::optional<WindowPointer> exact = lastWindowPointer();
    if (scale == 1.0 || !exact || !exact->window || exact->window != window()->windowHandle()
        || exact->globalPosition.toPoint() != event->globalPosition().toPoint())
        return event->position();
    const QPointF device = exact->position * scale;
    const QPointF centre((std::floor(device.x() + 1e-4) + 0.5) / scale, (std::floor(device.y() + 1e-4) + 0.5) / scale);
    return centre - QPointF(mapTo(window(), QPoint(0, 0)));
}

void PictureBox::raiseMouseMove(qint16 button, qint16 shift, QPointF inner)
{
    float x = float(inner.x()) * TwipsPerPixel;
    float y = float(inner.y()) * TwipsPerPixel;
    notePointer(QPointF(x, y));
    emit MouseMove(button, shift, x, y);
}

// Whether a sibling above the box covers the box's point `at`, edges
// included. At a fractional scale the toolkit hands the box moves over the
// device pixels along a covering sibling's edge, which that sibling paints.
bool PictureBox::coveredAt(QPointF at) const
{
    const QWidget *parent = parentWidget();
    if (!parent)
        return false;
    const QPointF inParent = at + QPointF(pos());
    const QObjectList &siblings = parent->children();
    for (qsizetype i = siblings.indexOf(const_cast<PictureBox *>(this)) + 1; i < siblings.size(); ++i) {
        const auto *sibling = qobject_cast<const QWidget *>(siblings.at(i));
        if (sibling && sibling->isVisible() && !sibling->isWindow()) {
            const QRectF area(sibling->geometry());
            if (inParent.x() >= area.left() && inParent.x() <= area.right() + 1
                && inParent.y() >= area.top() && inParent.y() <= area.bottom() + 1)
                return true;
        }
    }
    return false;
}

void PictureBox::mouseMoveEvent(QMouseEvent *event)
{
    const QPointF at = pointerPosition(event);
    if (devicePixelRatioF() != 1.0 && !event->buttons() && coveredAt(at))
        return; // the pixel under the pointer is another control's
    const QPointF inner = at - QPointF(innerArea().topLeft());
    // The keyboard pointer starts from wherever the mouse last was.
    const QPoint pixel(int(std::floor(inner.x())), int(std::floor(inner.y())));
    if (innerArea().translated(-innerArea().topLeft()).contains(pixel))
        m_keyboardPointer = pixel;
    raiseMouseMove(mouseButtons(event->buttons()), shiftState(event->modifiers()), inner);
}

void PictureBox::setKeyboardGrid(const QRectF &area, int columns, int rows)
{
    m_gridArea = area;
    m_gridCells = QSize(columns, rows);
}

// Where an arrow takes the keyboard pointer from where it is: `step` pixels
// that way, or on a grid to the middle of the next cell (from outside the
// grid, of the nearest cell).
QPoint PictureBox::keyboardStep(QPoint direction, int step) const
{
    if (m_gridCells.isEmpty() || m_gridArea.isEmpty())
        return m_keyboardPointer + direction * step;
    const double width = m_gridArea.width() / m_gridCells.width();
    const double height = m_gridArea.height() / m_gridCells.height();
    const auto cell = [](double at, double start, double size, int count) {
        return std::clamp(int(std::floor((at - start) / size)), 0, count - 1);
    };
    const int column = std::clamp(cell(m_keyboardPointer.x() + 0.5, m_gridArea.left(), width, m_gridCells.width())
                                      + direction.x(), 0, m_gridCells.width() - 1);
    const int row = std::clamp(cell(m_keyboardPointer.y() + 0.5, m_gridArea.top(), height, m_gridCells.height())
                                   + direction.y(), 0, m_gridCells.height() - 1);
    return QPoint(int(std::floor(m_gridArea.left() + (column + 0.5) * width)),
                  int(std::floor(m_gridArea.top() + (row + 0.5) * height)));
}

void PictureBox::keyPressEvent(QKeyEvent *event)
{
    const int step = event->modifiers() & Qt::ShiftModifier ? 10 : 1;
    QPoint move;
    switch (event->key()) {
    case Qt::Key_Left: move = QPoint(-1, 0); break;
    case Qt::Key_Right: move = QPoint(1, 0); break;
    case Qt::Key_Up: move = QPoint(0, -1); break;
    case Qt::Key_Down: move = QPoint(0, 1); break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        emit Click();
        return;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const QRect inner = innerArea();
    const QPoint to = keyboardStep(move, step);
    m_keyboardPointer = QPoint(std::clamp(to.x(), 0, inner.width() - 1), std::clamp(to.y(), 0, inner.height() - 1));
    update();
    raiseMouseMove(0, shiftState(event->modifiers()), QPointF(m_keyboardPointer));
    emit keyboardPointerMoved();
}

void PictureBox::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    if (m_keyboardPointer.x() < 0) // no pointer yet: the middle of the picture
        m_keyboardPointer = QPoint(std::min(m_picture.width(), innerArea().width()) / 2,
                                   std::min(m_picture.height(), innerArea().height()) / 2);
    update();
}

void PictureBox::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
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
