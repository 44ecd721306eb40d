#include "usercontrol.h"

#include "hosterror.h"
#include "hostevents.h"
#include "label.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <cmath>

UserControl::UserControl(QWidget *parent)
    : QWidget(parent)
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    resizeSurface();
}

void UserControl::load(const PropertyBag *bag)
{
    hostGuard([this] { UserControl_Initialize(); });
    hostGuard([this, bag] {
        if (bag)
            UserControl_ReadProperties(*bag);
        else
            UserControl_InitProperties();
    });
}

PropertyBag UserControl::save()
{
    PropertyBag bag;
    UserControl_WriteProperties(bag);
    return bag;
}

UserControl::AmbientProperties UserControl::Ambient() const
{
    if (m_ambient)
        return m_ambient();
    return AmbientProperties{objectName(), makeFont(QStringLiteral("MS Sans Serif"), 8.25)};
}

void UserControl::setAmbientSource(AmbientSource source)
{
    m_ambient = std::move(source);
}

void UserControl::setSurfaceSize(int width, int height)
{
    const QSize old = size();
    resize(width, height);
    if (!isVisible() && testAttribute(Qt::WA_PendingResizeEvent)) {
        // Deliver the resize now instead of when the control is first shown.
        setAttribute(Qt::WA_PendingResizeEvent, false);
        QResizeEvent event(size(), old);
        QCoreApplication::sendEvent(this, &event);
    }
}

void UserControl::setSurfaceBackColor(OLE_COLOR colour)
{
    host::toQColor(colour);
    m_backColor = colour;
}

void UserControl::setSurfaceFont(const FontRef &font)
{
    m_font = font;
    QWidget::setFont(font ? font->toQFont() : QFont());
}

void UserControl::assignFont(FontRef &member, const FontRef &font, Label *label)
{
    member = font;
    setSurfaceFont(font);
    label->setFont(member);
    UserControl_Resize();
    emit PropertyChanged(QStringLiteral("Font"));
}

void UserControl::setScaleMode(qint16 mode)
{
    if (mode != vbTwips && mode != vbPixels)
        throw HostError(HostError::InvalidPropertyValue,
                        QStringLiteral("Invalid property value: ScaleMode %1 (1 twips or 3 pixels)").arg(mode));
    m_scaleMode = mode;
}

float UserControl::toScale(double pixels) const
{
    return float(m_scaleMode == vbTwips ? pixels * host::TwipsPerPixel : pixels);
}

float UserControl::ScaleWidth() const
{
    return toScale(width());
}

float UserControl::ScaleHeight() const
{
    return toScale(height());
}

void UserControl::Cls()
{
    resizeSurface();
    m_image.fill(host::toQColor(m_backColor));
    update();
}

void UserControl::PaintPicture(const QImage &Picture, float X1, float Y1, float Width1, float Height1,
                               float X2, float Y2, float Width2, float Height2)
{
    const double unit = m_scaleMode == vbTwips ? 1.0 / host::TwipsPerPixel : 1.0;
    const auto px = [unit](float v) { return std::nearbyint(double(v) * unit); };
    const double dx = px(X1), dy = px(Y1), dw = px(X1 + Width1) - dx, dh = px(Y1 + Height1) - dy;
    const double sx = px(X2), sy = px(Y2), sw = px(X2 + Width2) - sx, sh = px(Y2 + Height2) - sy;
    if (!(dw > 0 && dh > 0 && sw > 0 && sh > 0) || Picture.isNull())
        return;
    resizeSurface();

    // Clip the destination to the surface; the source follows by scaling.
    const int left = int(std::max(0.0, dx)), top = int(std::max(0.0, dy));
    const int right = int(std::min<double>(m_image.width(), dx + dw));
    const int bottom = int(std::min<double>(m_image.height(), dy + dh));
    const QImage source = Picture.convertToFormat(QImage::Format_ARGB32);
    for (int y = top; y < bottom; ++y) {
        const int srcY = int(sy + std::floor((y - dy + 0.5) * sh / dh));
        if (srcY < 0 || srcY >= source.height())
            continue;
        const QRgb *srcLine = reinterpret_cast<const QRgb *>(source.constScanLine(srcY));
        QRgb *dstLine = reinterpret_cast<QRgb *>(m_image.scanLine(y));
        for (int x = left; x < right; ++x) {
            const int srcX = int(sx + std::floor((x - dx + 0.5) * sw / dw));
            if (srcX < 0 || srcX >= source.width())
                continue;
            const QRgb pixel = srcLine[srcX];
            if (qAlpha(pixel) != 0)
                dstLine[x] = pixel | 0xFF000000u;
        }
    }
    update();
}

// The backing image follows the widget's size, also while the widget is
// hidden and Qt holds its resize event back until it is shown.
void UserControl::resizeSurface()
{
    if (m_image.size() == size() && !m_image.isNull())
        return;
    // Keep what was drawn where it still fits; new area shows the back colour.
    QImage resized(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    resized.fill(host::toQColor(m_backColor));
    if (!m_image.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, m_image);
    }
    m_image = resized;
}

void UserControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, m_image);
}

void UserControl::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    resizeSurface();
    hostGuard([this] { UserControl_Resize(); });
}

void UserControl::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (!event->spontaneous())
        hostGuard([this] { UserControl_Show(); });
}

void UserControl::raiseMouse(MouseHook hook, const QMouseEvent *event, qint16 button)
{
    hostGuard([&] {
        qint16 shift = host::shiftState(event->modifiers());
        float x = toScale(event->position().x());
        float y = toScale(event->position().y());
        (this->*hook)(button, shift, x, y);
    });
}

void UserControl::mousePressEvent(QMouseEvent *event)
{
    m_clickPending = event->button() == Qt::LeftButton;
    raiseMouse(&UserControl::UserControl_MouseDown, event, host::mouseButton(event->button()));
}

void UserControl::mouseMoveEvent(QMouseEvent *event)
{
    raiseMouse(&UserControl::UserControl_MouseMove, event, host::mouseButtons(event->buttons()));
}

void UserControl::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_clickPending && event->button() == Qt::LeftButton
                       && rect().contains(event->position().toPoint());
    m_clickPending = false;
    raiseMouse(&UserControl::UserControl_MouseUp, event, host::mouseButton(event->button()));
    if (click)
        hostGuard([this] { UserControl_Click(); });
}

void UserControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    if (!m_doubleClicks) {
        mousePressEvent(event);
        return;
    }
    m_clickPending = false;
    raiseMouse(&UserControl::UserControl_MouseDown, event, host::mouseButton(event->button()));
    if (event->button() == Qt::LeftButton)
        hostGuard([this] { UserControl_DblClick(); });
}

void UserControl::keyPressEvent(QKeyEvent *event)
{
    hostGuard([&] {
        qint16 keyCode = host::keyCode(event);
        qint16 shift = host::shiftState(event->modifiers());
        UserControl_KeyDown(keyCode, shift);
        if (qint16 ascii = host::keyAscii(event))
            UserControl_KeyPress(ascii);
    });
}

void UserControl::keyReleaseEvent(QKeyEvent *event)
{
    hostGuard([&] {
        qint16 keyCode = host::keyCode(event);
        qint16 shift = host::shiftState(event->modifiers());
        UserControl_KeyUp(keyCode, shift);
    });
}

void UserControl::UserControl_MouseDown(qint16 &, qint16 &, float &, float &) {}
void UserControl::UserControl_MouseMove(qint16 &, qint16 &, float &, float &) {}
void UserControl::UserControl_MouseUp(qint16 &, qint16 &, float &, float &) {}
void UserControl::UserControl_KeyDown(qint16 &, qint16 &) {}
void UserControl::UserControl_KeyPress(qint16 &) {}
void UserControl::UserControl_KeyUp(qint16 &, qint16 &) {}
