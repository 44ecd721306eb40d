#include <Huvolo/xpcmdbutton.h>

#include "embeddedpicture.h"
#include <Huvolo/hosterror.h>
#include <Huvolo/hostevents.h>
#include "label.h"
#include "numeric.h"
#include "skinmetrics.h"
#include "winapi.h"

#include <QTimer>

namespace huvolo {

namespace embedded {
extern const EmbeddedPicture buttonSkin;
} // namespace embedded

namespace {

using namespace skinmetrics;

constexpr OLE_COLOR EnabledCaption = 0x00000000;
constexpr OLE_COLOR DisabledCaption = 0x0092A1A1;

QPoint cursorInClient(const QWidget *surface)
{
    const HWND hWnd = const_cast<QWidget *>(surface);
    POINTAPI point;
    GetCursorPos(point);
    ScreenToClient(hWnd, point);
    return QPoint(point.x, point.y);
}

} // namespace

class xpcmdbuttonPrivate
{
public:
    QTimer *Timer1 = nullptr;
    QImage m_skin = embedded::buttonSkin.image();
    xpcmdbutton::PointerSource m_pointerSource = cursorInClient;

    qint32 m_State = 0;
    qint16 m_RestCell = 0;
};

static_assert(sizeof(xpcmdbutton) == sizeof(CaptionedControl) + sizeof(void *), "xpcmdbutton keeps its data behind d");

xpcmdbutton::xpcmdbutton(QWidget *parent)
    : CaptionedControl(parent),
      d(std::make_unique<xpcmdbuttonPrivate>())
{
    d->Timer1 = new QTimer(this);
    d->Timer1->setObjectName(QStringLiteral("Timer1"));
    d->Timer1->setInterval(10);
    connect(d->Timer1, &QTimer::timeout, this, [this] { hostGuard([this] { Timer1_Timer(); }); });

    // The button has no double click: a quick second press is a press and
    // its release a click, on the surface and on the caption alike.
    setDoubleClicks(false);
    label()->setDoubleClicks(false);
    label()->setAlignment(Qt::AlignCenter);
    label()->setBackColor(vbWindowBackground);
    label()->setForeColor(vbWindowText);
    label()->setTransparent(true);
    label()->setGeometry(CaptionLeft, CaptionTop, CaptionWidth, CaptionHeight);
    label()->setLeft(CaptionLeft);
    label()->setTop(CaptionTop);
    label()->setCaption(QStringLiteral("xpcmdbutton"));
    label()->setAutoSize(true);

    setStoredGeometry(QRect(0, 0, DefaultWidth, DefaultHeight));

    bindEvent(label(), &Label::Click, this, &xpcmdbutton::lbl_Click);
    bindEvent(label(), &Label::Change, this, &xpcmdbutton::lbl_Change);
}

xpcmdbutton::~xpcmdbutton() = default;

qint32 xpcmdbutton::State() const
{
    return d->m_State;
}

void xpcmdbutton::setState(qint32 vNewValue)
{
    d->m_State = vNewValue;
    emit PropertyChanged(QStringLiteral("State"));
    Redraw();
}

void xpcmdbutton::setEnabled(bool New_Enabled)
{
    setSurfaceEnabled(New_Enabled);
    emit PropertyChanged(QStringLiteral("Enabled"));
    Redraw();
    label()->setForeColor(Enabled() ? EnabledCaption : DisabledCaption);
}

void xpcmdbutton::setCaption(const QString &vNewCaption)
{
    // The label's change notification re-centres it and redraws.
    label()->setCaption(vNewCaption);
    emit PropertyChanged(QStringLiteral("Caption"));
    accessibleControlNameChanged();
}

QAccessible::Role xpcmdbutton::accessibleControlRole() const
{
    return QAccessible::PushButton;
}

QSize xpcmdbutton::sizeHint() const
{
    return QSize(DefaultWidth, DefaultHeight);
}

QSize xpcmdbutton::minimumSizeHint() const
{
    return label()->size() + QSize(2 * Edge, 2 * Edge);
}

void xpcmdbutton::setPointerSource(PointerSource source)
{
    d->m_pointerSource = source ? std::move(source) : PointerSource(cursorInClient);
}

void xpcmdbutton::UserControl_Initialize()
{
    Redraw();
}

void xpcmdbutton::UserControl_InitProperties()
{
    d->m_State = 0;
    setEnabled(true);
    setCaption(Ambient().DisplayName);
    setFont(Ambient().Font);
}

void xpcmdbutton::UserControl_ReadProperties(const PropertyBag &PropBag)
{
    d->m_State = PropBag.readLong(QStringLiteral("State"), 0);
    setEnabled(PropBag.readBoolean(QStringLiteral("Enabled"), true));
    setCaption(PropBag.readText(QStringLiteral("Caption"), Ambient().DisplayName));
    setFont(PropBag.readFont(QStringLiteral("Font"), Ambient().Font));
}

void xpcmdbutton::UserControl_WriteProperties(PropertyBag &PropBag)
{
    PropBag.WriteProperty(QStringLiteral("State"), d->m_State, qint32(0));
    PropBag.WriteProperty(QStringLiteral("Enabled"), surfaceEnabled(), true);
    PropBag.WriteProperty(QStringLiteral("Caption"), label()->Caption(), Ambient().DisplayName);
    PropBag.WriteProperty(QStringLiteral("Font"), QVariant::fromValue(Font()), QVariant::fromValue(Ambient().Font));
}

void xpcmdbutton::UserControl_Resize()
{
    Redraw();
    const auto centred = [](float outer, float inner, const char *what) {
        return float(checkedFloat((double(outer) - inner) / 2, QLatin1String(what)));
    };
    label()->setTop(centred(ScaleHeight(), label()->Height(), "label top"));
    label()->setLeft(centred(ScaleWidth(), label()->Width(), "label left"));
}

void xpcmdbutton::UserControl_Show()
{
    Redraw();
}

void xpcmdbutton::UserControl_Click()
{
    emit Click();
}

void xpcmdbutton::UserControl_AccessKeyPress(qint16 &)
{
    emit Click();
}

void xpcmdbutton::UserControl_MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y)
{
    emit MouseDown(Button, Shift, x, Y);
    DrawSkin(1);
}

void xpcmdbutton::UserControl_MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y)
{
    if (!d->Timer1->isActive())
        d->Timer1->start();
    const float W = ScaleWidth();
    const float H = ScaleHeight();
    if (x >= 0 && Y >= 0 && x <= W && Y <= H) {
        emit MouseMove(Button, Shift, x, Y);
        // A container's handler may have changed Button.
        if (Button == 1)
            DrawSkin(1);
        else
            DrawSkin(3);
    }
}

void xpcmdbutton::UserControl_MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y)
{
    emit MouseUp(Button, Shift, x, Y);
    Redraw();
}

void xpcmdbutton::UserControl_KeyDown(qint16 &KeyCode, qint16 &Shift)
{
    emit KeyDown(KeyCode, Shift);
}

void xpcmdbutton::UserControl_KeyPress(qint16 &KeyAscii)
{
    emit KeyPress(KeyAscii);
}

void xpcmdbutton::UserControl_KeyUp(qint16 &KeyCode, qint16 &Shift)
{
    emit KeyUp(KeyCode, Shift);
}

void xpcmdbutton::Redraw()
{
    if (State() == 1)
        d->m_RestCell = 4;
    else if (State() == 0)
        d->m_RestCell = 0;
    if (surfaceEnabled())
        DrawSkin(d->m_RestCell);
    else
        DrawSkin(2);
}

void xpcmdbutton::DrawSkin(const qint16 &cell)
{
    setScaleMode(vbPixels);
    const float W = ScaleWidth();
    const float H = ScaleHeight();
    const auto checked = [](float value, const char *what) {
        return float(checkedFloat(value, QLatin1String(what)));
    };
    const float right = checked(W - int(Edge), "W - 3");
    const float bottom = checked(H - int(Edge), "H - 3");
    const float across = checked(W - 2 * Edge, "W - 6");
    const qint16 h6 = toInteger(double(checked(H - 2 * Edge, "H - 6")), QStringLiteral("h6 (height - 6)"));

    // The cell's far corners and its middle, stretched between the edges.
    constexpr int farX = CellWidth - Edge, farY = CellHeight - Edge;
    PaintPicture(GraphicCell(cell), 0, 0, Edge, Edge, 0, 0, Edge, Edge);
    PaintPicture(GraphicCell(cell), right, 0, Edge, Edge, farX, 0, Edge, Edge);
    PaintPicture(GraphicCell(cell), right, bottom, Edge, Edge, farX, farY, Edge, Edge);
    PaintPicture(GraphicCell(cell), 0, bottom, Edge, Edge, 0, farY, Edge, Edge);
    PaintPicture(GraphicCell(cell), Edge, 0, across, Edge, Edge, 0, InnerWidth, Edge);
    PaintPicture(GraphicCell(cell), right, Edge, Edge, h6, farX, Edge, Edge, InnerHeight);
    PaintPicture(GraphicCell(cell), 0, Edge, Edge, h6, 0, Edge, Edge, InnerHeight);
    PaintPicture(GraphicCell(cell), Edge, bottom, across, Edge, Edge, farY, InnerWidth, Edge);
    PaintPicture(GraphicCell(cell), Edge, Edge, across, h6, Edge, Edge, InnerWidth, InnerHeight);
}

QImage xpcmdbutton::GraphicCell(qint16 cell) const
{
    if (cell < 0 || cell >= CellCount)
        throw HostError(HostError::InvalidArgument, QStringLiteral("skin cell ") + QString::number(cell)
                                                        + QStringLiteral(" (0 to ") + QString::number(CellCount - 1)
                                                        + QLatin1Char(')'));
    return d->m_skin.copy(cell * CellWidth, 0, CellWidth, CellHeight);
}

void xpcmdbutton::Timer1_Timer()
{
    const QPoint point = d->m_pointerSource(this);
    const double L = ScaleLeft();
    const double T = ScaleTop();
    const double W = ScaleWidth();
    const double H = ScaleHeight();
    const double right = checkedFloat(L + W, QStringLiteral("ScaleLeft + ScaleWidth"));
    const double bottom = checkedFloat(T + H, QStringLiteral("ScaleTop + ScaleHeight"));
    if (point.x() < L || point.y() < T || point.x() > right || point.y() > bottom) {
        d->Timer1->stop();
        emit MouseOut();
        Redraw();
    }
}

void xpcmdbutton::lbl_Click()
{
    UserControl_Click();
}

} // namespace huvolo
