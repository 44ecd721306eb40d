#include <Huvolo/usercontrol.h>

#include "accessibility.h"
#include <Huvolo/clicktracker.h>
#include <Huvolo/hosterror.h>
#include <Huvolo/hostevents.h>
#include "inputtracker.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QResizeEvent>

#include <algorithm>
#include <cmath>
#include <limits>
#include <vector>

namespace huvolo {

namespace {

// A run of whole surface pixels along one axis and the stretch of the
// picture they show: pixel p shows the source pixel under its centre, a
// centre on the line between two pixels showing the lower one (as the
// toolkit's own unsmoothed stretch does).
struct CopySpan
{
    int first;
    int count;
    double source;
    double sourceLength;
};

// Beyond this many source pixels to one surface pixel the toolkit's
// fixed-point stretch loses its way; such copies go one pixel at a time,
// and only a few pixels can show anything then.
constexpr double MaxShrink = 1 << 14;

// The pixels of the destination [d, d + length) that lie on the surface and
// show a pixel of the picture, for the source [s, s + sourceLength). Only
// these are drawn, so the cost follows what is seen, whatever the numbers.
// Pixel p shows source position v = s + (p - d + 0.5) * ratio, that is
// source pixel ceil(v) - 1, which lies in the picture when 0 < v <= picture.
std::vector<CopySpan> copySpans(double d, double length, double s, double sourceLength, int surface, int picture)
{
    const double ratio = sourceLength / length;
    const double first = std::max({d, 0.0, std::floor(d - 0.5 - s / ratio) + 1});
    const double last = std::min({d + length, double(surface), std::floor(d - 0.5 + (picture - s) / ratio) + 1});
    if (!(first < last))
        return {};
    if (ratio <= MaxShrink)
        return {CopySpan{int(first), int(last - first), s + (first - d) * ratio, (last - first) * ratio}};
    std::vector<CopySpan> pixels;
    for (double p = first; p < last; ++p) {
        const double shown = std::clamp(std::ceil(s + (p - d + 0.5) * ratio) - 1, 0.0, double(picture - 1));
        pixels.push_back(CopySpan{int(p), 1, shown, 1});
    }
    return pixels;
}

} // namespace

class UserControlPrivate
{
public:
    QImage m_image;
    OLE_COLOR m_backColor = vbWindowBackground;
    FontRef m_font;
    qint16 m_scaleMode = UserControl::vbTwips;
    UserControl::AmbientSource m_ambient;
    ClickTracker m_clicks;
    bool m_ownEnabled = true;
    bool m_settingEnabled = false;
};

static_assert(sizeof(UserControl) == sizeof(QWidget) + sizeof(void *), "UserControl keeps its data behind d");

UserControl::UserControl(QWidget *parent)
    : QWidget(parent),
      d(std::make_unique<UserControlPrivate>())
{
    setMouseTracking(true);
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMaximumSize(MaxSurfaceSide, MaxSurfaceSide);
    resizeSurface();
    // Controls that poll the pointer then find it without a window-system query.
    trackInput();
    installAccessibility();
}

UserControl::~UserControl() = default;

PropertyBag UserControl::save()
{
    PropertyBag bag;
    UserControl_WriteProperties(bag);
    return bag;
}

UserControl::AmbientProperties UserControl::Ambient() const
{
    if (d->m_ambient)
        return d->m_ambient();
    return AmbientProperties{objectName(), makeFont(QStringLiteral("MS Sans Serif"), 8.25)};
}

void UserControl::setAmbientSource(AmbientSource source)
{
    d->m_ambient = std::move(source);
}

void UserControl::setDoubleClicks(bool on)
{
    d->m_clicks.setDoubleClicks(on);
}

namespace {

void checkSurfaceSize(int width, int height)
{
    if (width < 0 || height < 0 || width > UserControl::MaxSurfaceSide || height > UserControl::MaxSurfaceSide)
        throw HostError::invalidValue(QStringLiteral("surface size ") + QString::number(width) + QStringLiteral(" x ")
                                      + QString::number(height) + QStringLiteral(" pixels; a side is from 0 to ")
                                      + QString::number(UserControl::MaxSurfaceSide) + QStringLiteral(" pixels"));
}

} // namespace

void UserControl::setStoredGeometry(const QRect &pixels)
{
    checkSurfaceSize(pixels.width(), pixels.height());
    setGeometry(pixels);
    // The rectangle is where the layout put the control, not a change of
    // size: no move or resize notification follows when it is shown.
    setAttribute(Qt::WA_PendingMoveEvent, false);
    setAttribute(Qt::WA_PendingResizeEvent, false);
    resizeSurface();
}

void UserControl::setSurfaceSize(int width, int height)
{
    checkSurfaceSize(width, height);
    const QSize old = size();
    resize(width, height);
    if (!isVisible() && testAttribute(Qt::WA_PendingResizeEvent)) {
        // Deliver the resize now instead of when the control is first shown.
        setAttribute(Qt::WA_PendingResizeEvent, false);
        QResizeEvent event(size(), old);
        QCoreApplication::sendEvent(this, &event);
    }
}

void UserControl::setSurfaceEnabled(bool enabled)
{
    d->m_settingEnabled = true;
    setEnabled(enabled);
    d->m_settingEnabled = false;
    d->m_ownEnabled = surfaceEnabled();
}

void UserControl::changeEvent(QEvent *event)
{
    QWidget::changeEvent(event);
    if (event->type() != QEvent::EnabledChange || d->m_settingEnabled || surfaceEnabled() == d->m_ownEnabled)
        return;
    // Changed through QWidget: the control's own property steps follow.
    d->m_ownEnabled = surfaceEnabled();
    hostGuard([this] { surfaceEnabledChanged(d->m_ownEnabled); });
}

OLE_COLOR UserControl::surfaceBackColor() const
{
    return d->m_backColor;
}

void UserControl::setSurfaceBackColor(OLE_COLOR colour)
{
    toQColor(colour);
    d->m_backColor = colour;
}

FontRef UserControl::surfaceFont() const
{
    return d->m_font;
}

void UserControl::setSurfaceFont(const FontRef &font)
{
    d->m_font = font;
    QWidget::setFont(font ? font->toQFont() : QFont());
}

void UserControl::accessibleControlNameChanged()
{
    // A name the container gave stays whatever the control says.
    if (!QAccessible::isActive() || !accessibleName().isEmpty())
        return;
    QAccessibleEvent event(this, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

qint16 UserControl::ScaleMode() const
{
    return d->m_scaleMode;
}

void UserControl::setScaleMode(qint16 mode)
{
    if (mode != vbTwips && mode != vbPixels)
        throw HostError::invalidValue(QStringLiteral("ScaleMode ") + QString::number(mode)
                                      + QStringLiteral(" (1 twips or 3 pixels)"));
    d->m_scaleMode = mode;
}

float UserControl::toScale(double pixels) const
{
    return float(d->m_scaleMode == vbTwips ? pixels * TwipsPerPixel : pixels);
}

float UserControl::ScaleWidth() const
{
    return toScale(width());
}

float UserControl::ScaleHeight() const
{
    return toScale(height());
}

const QImage &UserControl::image() const
{
    return d->m_image;
}

void UserControl::Cls()
{
    resizeSurface();
    d->m_image.fill(toQColor(d->m_backColor));
    update();
}

void UserControl::PaintPicture(const QImage &Picture, float X1, float Y1, float Width1, float Height1,
                               float X2, float Y2, float Width2, float Height2)
{
    // Every number becomes a whole pixel position on the surface's integer
    // grid; one that cannot (not finite, beyond the integer range) is refused
    // before any conversion.
    const double unit = d->m_scaleMode == vbTwips ? 1.0 / TwipsPerPixel : 1.0;
    const auto pixel = [unit](double value, const char *what) {
        const double rounded = std::nearbyint(value * unit);
        if (!(std::fabs(rounded) <= std::numeric_limits<qint32>::max()))
            throw HostError(HostError::InvalidArgument, QStringLiteral("PaintPicture ") + QLatin1String(what)
                                                            + QStringLiteral(" = ") + QString::number(value, 'g', 9)
                                                            + QStringLiteral(" is not a position on the surface"));
        return rounded;
    };
    const double dx = pixel(X1, "X1"), dy = pixel(Y1, "Y1");
    const double dw = pixel(double(X1) + Width1, "X1 + Width1") - dx;
    const double dh = pixel(double(Y1) + Height1, "Y1 + Height1") - dy;
    const double sx = pixel(X2, "X2"), sy = pixel(Y2, "Y2");
    const double sw = pixel(double(X2) + Width2, "X2 + Width2") - sx;
    const double sh = pixel(double(Y2) + Height2, "Y2 + Height2") - sy;
    if (!(dw > 0 && dh > 0 && sw > 0 && sh > 0) || Picture.isNull())
        return;
    resizeSurface();

    const std::vector<CopySpan> across = copySpans(dx, dw, sx, sw, d->m_image.width(), Picture.width());
    const std::vector<CopySpan> down = copySpans(dy, dh, sy, sh, d->m_image.height(), Picture.height());
    if (across.empty() || down.empty())
        return;
    const QImage source = Picture.format() == QImage::Format_ARGB32_Premultiplied || Picture.format() == QImage::Format_RGB32
                              ? Picture : Picture.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    QPainter painter(&d->m_image);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    for (const CopySpan &row : down) {
        for (const CopySpan &column : across) {
            painter.drawImage(QRectF(column.first, row.first, column.count, row.count), source,
                              QRectF(column.source, row.source, column.sourceLength, row.sourceLength));
        }
    }
    update();
}

// The backing image follows the widget's size, also while the widget is
// hidden and Qt holds its resize event back until it is shown.
void UserControl::resizeSurface()
{
    if (d->m_image.size() == size() && !d->m_image.isNull())
        return;
    // Keep what was drawn where it still fits; new area shows the back colour.
    QImage resized(size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    if (resized.isNull())
        throw HostError(HostError::OutOfMemory, QStringLiteral("no room for a surface of ") + QString::number(width())
                                                    + QStringLiteral(" x ") + QString::number(height())
                                                    + QStringLiteral(" pixels"));
    resized.fill(toQColor(d->m_backColor));
    if (!d->m_image.isNull()) {
        QPainter painter(&resized);
        painter.drawImage(0, 0, d->m_image);
    }
    d->m_image = resized;
}

void UserControl::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.drawImage(0, 0, d->m_image);
    // The focus is shown over the drawing, never in it, and only after
    // keyboard navigation: what the control draws stays as it is.
    if (showsFocusCue(this)) {
        painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

void UserControl::focusInEvent(QFocusEvent *event)
{
    QWidget::focusInEvent(event);
    update();
}

void UserControl::focusOutEvent(QFocusEvent *event)
{
    QWidget::focusOutEvent(event);
    update();
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
        qint16 shift = shiftState(event->modifiers());
        float x = toScale(event->position().x());
        float y = toScale(event->position().y());
        (this->*hook)(button, shift, x, y);
    });
}

void UserControl::mousePressEvent(QMouseEvent *event)
{
    d->m_clicks.press(event);
    raiseMouse(&UserControl::UserControl_MouseDown, event, mouseButton(event->button()));
}

void UserControl::mouseMoveEvent(QMouseEvent *event)
{
    raiseMouse(&UserControl::UserControl_MouseMove, event, mouseButtons(event->buttons()));
}

void UserControl::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = d->m_clicks.release(event, rect());
    raiseMouse(&UserControl::UserControl_MouseUp, event, mouseButton(event->button()));
    if (click)
        hostGuard([this] { UserControl_Click(); });
}

void UserControl::mouseDoubleClickEvent(QMouseEvent *event)
{
    const bool doubleClick = d->m_clicks.doubleClick(event);
    raiseMouse(&UserControl::UserControl_MouseDown, event, mouseButton(event->button()));
    if (doubleClick)
        hostGuard([this] { UserControl_DblClick(); });
}

void UserControl::keyPressEvent(QKeyEvent *event)
{
    hostGuard([&] {
        qint16 keyCode = huvolo::keyCode(event);
        qint16 shift = shiftState(event->modifiers());
        UserControl_KeyDown(keyCode, shift);
        if (qint16 ascii = huvolo::keyAscii(event))
            UserControl_KeyPress(ascii);
    });
}

void UserControl::keyReleaseEvent(QKeyEvent *event)
{
    hostGuard([&] {
        qint16 keyCode = huvolo::keyCode(event);
        qint16 shift = shiftState(event->modifiers());
        UserControl_KeyUp(keyCode, shift);
    });
}

void UserControl::UserControl_MouseDown(qint16 &, qint16 &, float &, float &) {}
void UserControl::UserControl_MouseMove(qint16 &, qint16 &, float &, float &) {}
void UserControl::UserControl_MouseUp(qint16 &, qint16 &, float &, float &) {}
void UserControl::UserControl_KeyDown(qint16 &, qint16 &) {}
void UserControl::UserControl_KeyPress(qint16 &) {}
void UserControl::UserControl_KeyUp(qint16 &, qint16 &) {}

} // namespace huvolo
