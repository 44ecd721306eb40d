#include <Huvolo/captionedcontrol.h>

#include <Huvolo/hosterror.h>
#include <Huvolo/hostevents.h>
#include "label.h"

namespace huvolo {

class CaptionedControlPrivate
{
public:
    Label *lbl = nullptr;
    FontRef m_Font;
};

static_assert(sizeof(CaptionedControl) == sizeof(UserControl) + sizeof(void *),
              "CaptionedControl keeps its data behind d");

CaptionedControl::CaptionedControl(QWidget *parent)
    : UserControl(parent),
      d(std::make_unique<CaptionedControlPrivate>())
{
    d->lbl = new Label(this);
    d->lbl->setObjectName(QStringLiteral("lbl"));
    bindEvent(d->lbl, &Label::MouseDown, this, &CaptionedControl::lbl_MouseDown);
    bindEvent(d->lbl, &Label::MouseMove, this, &CaptionedControl::lbl_MouseMove);
    bindEvent(d->lbl, &Label::MouseUp, this, &CaptionedControl::lbl_MouseUp);
}

CaptionedControl::~CaptionedControl() = default;

Label *CaptionedControl::label() const
{
    return d->lbl;
}

bool CaptionedControl::Enabled() const
{
    return surfaceEnabled();
}

void CaptionedControl::surfaceEnabledChanged(bool New_Enabled)
{
    setEnabled(New_Enabled);
}

QString CaptionedControl::Caption() const
{
    return d->lbl->Caption();
}

QString CaptionedControl::accessibleControlName() const
{
    return Caption();
}

FontRef CaptionedControl::Font() const
{
    return d->m_Font;
}

void CaptionedControl::setFont(const FontRef &vNewFont)
{
    // Refused before anything changes: a font the property bag could not
    // load back would make the whole saved bag unreadable.
    if (!vNewFont)
        throw HostError::invalidValue(QStringLiteral("Font needs a font object"));
    if (const QString problem = vNewFont->problem(QStringLiteral("Font")); !problem.isEmpty())
        throw HostError::invalidValue(problem);
    d->m_Font = vNewFont;
    setSurfaceFont(vNewFont);
    d->lbl->setFont(d->m_Font);
    UserControl_Resize();
    emit PropertyChanged(QStringLiteral("Font"));
}

QFont CaptionedControl::font() const
{
    return d->m_Font ? d->m_Font->toQFont() : QWidget::font();
}

void CaptionedControl::setFont(const QFont &font)
{
    setFont(fontFromQFont(font.resolve(this->font())));
}

void CaptionedControl::writeFont(const FontRef &font)
{
    hostGuard([&] { setFont(font); });
}

void CaptionedControl::writeQFont(const QFont &font)
{
    hostGuard([&] { setFont(font); });
}

void CaptionedControl::lbl_MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y)
{
    UserControl_MouseDown(Button, Shift, x, Y);
}

void CaptionedControl::lbl_MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y)
{
    UserControl_MouseMove(Button, Shift, x, Y);
}

void CaptionedControl::lbl_MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y)
{
    UserControl_MouseUp(Button, Shift, x, Y);
}

void CaptionedControl::lbl_Change()
{
    UserControl_Resize();
    updateGeometry();
}

} // namespace huvolo
