#include <Huvolo/xpgroupbox.h>

#include "embeddedpicture.h"
#include <Huvolo/hosterror.h>
#include <Huvolo/hostevents.h>
#include "framemetrics.h"
#include "image.h"
#include "label.h"
#include "numeric.h"

#include <algorithm>

namespace huvolo {

namespace embedded {
extern const EmbeddedPicture groupBoxFrame;
} // namespace embedded

using namespace framemetrics;

namespace {

constexpr OLE_COLOR CaptionEnabledColour = 0x00D54600;  // #0046D5
constexpr OLE_COLOR CaptionDisabledColour = 0x0092A1A1; // #A1A192
constexpr OLE_COLOR DefaultBackColor = 0x0000FFFF;      // #FFFF00

} // namespace

class xpgroupboxPrivate
{
public:
    Image *img = nullptr;

    OLE_COLOR m_BackColor = vbWindowBackground;
};

static_assert(sizeof(xpgroupbox) == sizeof(CaptionedControl) + sizeof(void *), "xpgroupbox keeps its data behind d");

xpgroupbox::xpgroupbox(QWidget *parent)
    : CaptionedControl(parent),
      d(std::make_unique<xpgroupboxPrivate>())
{
    // A group box raises no key events, so it stays out of the tab order.
    setFocusPolicy(Qt::NoFocus);

    // The stored layout. The caption follows its text and font once it
    // changes; until then it keeps its stored size.
    setStoredGeometry(QRect(0, 0, DefaultWidth, DefaultHeight));

    label()->setAutoSize(true);
    label()->setCaption(QStringLiteral("Label1"));
    label()->setBackColor(vbWindowBackground);
    label()->setForeColor(vbWindowText);
    label()->setLeft(32);
    label()->setTop(0);
    label()->resize(CaptionWidth, CaptionHeight);

    d->img = new Image(this);
    d->img->setObjectName(QStringLiteral("img"));
    d->img->setGeometry(70, 32, 22, 20);
    d->img->setPicture(embedded::groupBoxFrame.image());
    d->img->hide();

    bindEvent(label(), &Label::Change, this, &xpgroupbox::lbl_Change);
    bindEvent(label(), &Label::Click, this, &xpgroupbox::lbl_Click);
    bindEvent(label(), &Label::DblClick, this, &xpgroupbox::lbl_DblClick);
}

xpgroupbox::~xpgroupbox() = default;

void xpgroupbox::setEnabled(bool New_Enabled)
{
    setSurfaceEnabled(New_Enabled);
    emit PropertyChanged(QStringLiteral("Enabled"));
    label()->setForeColor(Enabled() ? CaptionEnabledColour : CaptionDisabledColour);
}

OLE_COLOR xpgroupbox::BackColor() const
{
    return d->m_BackColor;
}

void xpgroupbox::setBackColor(OLE_COLOR New_BackColor)
{
    // Checked before it is stored: a value the surface refuses would otherwise
    // be kept, saved, and then fail every later load of the saved bag.
    toQColor(New_BackColor);
    d->m_BackColor = New_BackColor;
    emit PropertyChanged(QStringLiteral("BackColor"));
    setSurfaceBackColor(d->m_BackColor);
    label()->setBackColor(d->m_BackColor);
    UserControl_Resize();
}

void xpgroupbox::writeBackColor(OLE_COLOR colour)
{
    hostGuard([&] { setBackColor(colour); });
}

void xpgroupbox::setCaption(const QString &vNewCaption)
{
    label()->setCaption(vNewCaption);
    UserControl_Resize();
    emit PropertyChanged(QStringLiteral("Caption"));
    accessibleControlNameChanged();
}

QSize xpgroupbox::sizeHint() const
{
    return QSize(DefaultWidth, DefaultHeight).expandedTo(UserControl::sizeHint());
}

QSize xpgroupbox::minimumSizeHint() const
{
    // The caption at its place on the top line and the right-hand corner
    // beside it; below the top line, room for both bottom corners.
    const QSize caption(CaptionLeft + label()->width() + Corner,
                        std::max(label()->height(), label()->height() / 2 + 2 * Corner));
    return caption.expandedTo(UserControl::minimumSizeHint());
}

QAccessible::Role xpgroupbox::accessibleControlRole() const
{
    return QAccessible::Grouping;
}

void xpgroupbox::UserControl_Initialize()
{
    UserControl_Resize();
}

void xpgroupbox::UserControl_InitProperties()
{
    setCaption(Ambient().DisplayName);
    setEnabled(true);
    setFont(Ambient().Font);
    setBackColor(DefaultBackColor);
}

void xpgroupbox::UserControl_ReadProperties(const PropertyBag &PropBag)
{
    setEnabled(PropBag.readBoolean(QStringLiteral("Enabled"), true));
    setFont(PropBag.readFont(QStringLiteral("Font"), Ambient().Font));
    setBackColor(OLE_COLOR(PropBag.readLong(QStringLiteral("BackColor"), qint32(DefaultBackColor))));
    setCaption(PropBag.readText(QStringLiteral("Caption"), Ambient().DisplayName));
}

void xpgroupbox::UserControl_WriteProperties(PropertyBag &PropBag)
{
    PropBag.WriteProperty(QStringLiteral("Caption"), label()->Caption(), Ambient().DisplayName);
    PropBag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    PropBag.WriteProperty(QStringLiteral("Font"), QVariant::fromValue(Font()), QVariant::fromValue(Ambient().Font));
    // Stored as a signed 32-bit value, so system colours (top bit set) read back.
    PropBag.WriteProperty(QStringLiteral("BackColor"), qint32(d->m_BackColor), qint32(DefaultBackColor));
}

void xpgroupbox::UserControl_Resize()
{
    setScaleMode(vbPixels);
    Cls();
    const float W = ScaleWidth();
    const float H = ScaleHeight();
    const float right = W - int(Corner), bottom = H - int(Corner), across = W - 2 * Corner;
    // The top line runs through the middle of the caption.
    const qint16 t = qint16(toInteger(label()->Height(), QStringLiteral("the caption's height")) / 2);
    const qint16 sideTop = toInteger(double(t) + int(Corner), QStringLiteral("the top of the side edges (t + 3)"));
    const double down = double(H - 2 * Corner) - t;
    label()->setTop(0);
    label()->setLeft(CaptionLeft);

    // Corners are copied pixel for pixel; each edge stretches its uniform strip.
    // The frame's far corners, and its outline one pixel wide between them.
    constexpr int farX = FrameWidth - Corner, farY = FrameHeight - Corner;
    constexpr int lastX = FrameWidth - Line, lastY = FrameHeight - Line;
    PaintPicture(d->img->Picture(), 0, t, Corner, Corner, 0, 0, Corner, Corner);
    PaintPicture(d->img->Picture(), right, t, Corner, Corner, farX, 0, Corner, Corner);
    PaintPicture(d->img->Picture(), right, bottom, Corner, Corner, farX, farY, Corner, Corner);
    PaintPicture(d->img->Picture(), 0, bottom, Corner, Corner, 0, farY, Corner, Corner);
    PaintPicture(d->img->Picture(), Corner, t, across, Line, Corner, 0, InnerWidth, Line);
    PaintPicture(d->img->Picture(), W - int(Line), sideTop, Line, float(down), lastX, Corner, Line, InnerHeight);
    PaintPicture(d->img->Picture(), Corner, H - int(Line), across, Line, Corner, lastY, InnerWidth, Line);
    PaintPicture(d->img->Picture(), 0, sideTop, Line, float(down), 0, Corner, Line, InnerHeight);
}

void xpgroupbox::UserControl_MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y)
{
    emit MouseDown(Button, Shift, x, Y);
}

void xpgroupbox::UserControl_MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y)
{
    emit MouseMove(Button, Shift, x, Y);
}

void xpgroupbox::UserControl_MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y)
{
    emit MouseUp(Button, Shift, x, Y);
}

void xpgroupbox::lbl_Click()
{
    emit Click();
}

void xpgroupbox::lbl_DblClick()
{
    emit DblClick();
}

} // namespace huvolo
