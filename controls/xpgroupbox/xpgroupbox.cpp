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

xpgroupbox::xpgroupbox(QWidget *parent)
    : CaptionedControl(parent)
{
    // A group box raises no key events, so it stays out of the tab order.
    setFocusPolicy(Qt::NoFocus);

    // The stored layout. The caption follows its text and font once it
    // changes; until then it keeps its stored size.
    setStoredGeometry(QRect(0, 0, DefaultWidth, DefaultHeight));

    lbl->setAutoSize(true);
    lbl->setCaption(QStringLiteral("Label1"));
    lbl->setBackColor(vbWindowBackground);
    lbl->setForeColor(vbWindowText);
    lbl->setLeft(32);
    lbl->setTop(0);
    lbl->resize(CaptionWidth, CaptionHeight);

    img = new Image(this);
    img->setObjectName(QStringLiteral("img"));
    img->setGeometry(70, 32, 22, 20);
    img->setPicture(embedded::groupBoxFrame.image());
    img->hide();

    bindEvent(lbl, &Label::Change, this, &xpgroupbox::lbl_Change);
    bindEvent(lbl, &Label::Click, this, &xpgroupbox::lbl_Click);
    bindEvent(lbl, &Label::DblClick, this, &xpgroupbox::lbl_DblClick);
}

void xpgroupbox::setEnabled(bool New_Enabled)
{
    setSurfaceEnabled(New_Enabled);
    emit PropertyChanged(QStringLiteral("Enabled"));
    lbl->setForeColor(Enabled() ? CaptionEnabledColour : CaptionDisabledColour);
}

OLE_COLOR xpgroupbox::BackColor() const
{
    return m_BackColor;
}

void xpgroupbox::setBackColor(OLE_COLOR New_BackColor)
{
    // Checked before it is stored: a value the surface refuses would otherwise
    // be kept, saved, and then fail every later load of the saved bag.
    toQColor(New_BackColor);
    m_BackColor = New_BackColor;
    emit PropertyChanged(QStringLiteral("BackColor"));
    setSurfaceBackColor(m_BackColor);
    lbl->setBackColor(m_BackColor);
    UserControl_Resize();
}

void xpgroupbox::writeBackColor(OLE_COLOR colour)
{
    hostGuard([&] { setBackColor(colour); });
}

void xpgroupbox::setCaption(const QString &vNewCaption)
{
    lbl->setCaption(vNewCaption);
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
    const QSize caption(CaptionLeft + lbl->width() + Corner,
                        std::max(lbl->height(), lbl->height() / 2 + 2 * Corner));
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
    PropBag.WriteProperty(QStringLiteral("Caption"), lbl->Caption(), Ambient().DisplayName);
    PropBag.WriteProperty(QStringLiteral("Enabled"), Enabled(), true);
    PropBag.WriteProperty(QStringLiteral("Font"), QVariant::fromValue(m_Font), QVariant::fromValue(Ambient().Font));
    // Stored as a signed 32-bit value, so system colours (top bit set) read back.
    PropBag.WriteProperty(QStringLiteral("BackColor"), qint32(m_BackColor), qint32(DefaultBackColor));
}

void xpgroupbox::UserControl_Resize()
{
    setScaleMode(vbPixels);
    Cls();
    const float W = ScaleWidth();
    const float H = ScaleHeight();
    const float right = W - int(Corner), bottom = H - int(Corner), across = W - 2 * Corner;
    // The top line runs through the middle of the caption.
    const qint16 t = qint16(toInteger(lbl->Height(), QStringLiteral("the caption's height")) / 2);
    const qint16 sideTop = toInteger(double(t) + int(Corner), QStringLiteral("the top of the side edges (t + 3)"));
    const double down = double(H - 2 * Corner) - t;
    lbl->setTop(0);
    lbl->setLeft(CaptionLeft);

    // Corners are copied pixel for pixel; each edge stretches its uniform strip.
    // The frame's far corners, and its outline one pixel wide between them.
    constexpr int farX = FrameWidth - Corner, farY = FrameHeight - Corner;
    constexpr int lastX = FrameWidth - Line, lastY = FrameHeight - Line;
    PaintPicture(img->Picture(), 0, t, Corner, Corner, 0, 0, Corner, Corner);
    PaintPicture(img->Picture(), right, t, Corner, Corner, farX, 0, Corner, Corner);
    PaintPicture(img->Picture(), right, bottom, Corner, Corner, farX, farY, Corner, Corner);
    PaintPicture(img->Picture(), 0, bottom, Corner, Corner, 0, farY, Corner, Corner);
    PaintPicture(img->Picture(), Corner, t, across, Line, Corner, 0, InnerWidth, Line);
    PaintPicture(img->Picture(), W - int(Line), sideTop, Line, float(down), lastX, Corner, Line, InnerHeight);
    PaintPicture(img->Picture(), Corner, H - int(Line), across, Line, Corner, lastY, InnerWidth, Line);
    PaintPicture(img->Picture(), 0, sideTop, Line, float(down), 0, Corner, Line, InnerHeight);
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
