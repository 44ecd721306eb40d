#include "label.h"

#include <Huvolo/hosterror.h>
#include <Huvolo/hostevents.h>

#include <QMouseEvent>

#include <cmath>

namespace huvolo {

namespace {

using MouseSignal = void (Label::*)(qint16 &, qint16 &, float &, float &);

void raiseMouse(Label *label, MouseSignal signal, const QMouseEvent *event, qint16 button)
{
    qint16 shift = shiftState(event->modifiers());
    float x = float(event->position().x());
    float y = float(event->position().y());
    emit (label->*signal)(button, shift, x, y);
}

} // namespace

Label::Label(QWidget *parent)
    : QLabel(parent)
{
    // A caption is shown exactly as stored: "<b>" is text, and no markup can
    // make the label load a file.
    setTextFormat(Qt::PlainText);
    setMouseTracking(true);
    setAutoFillBackground(true);
    applyColours();
}

void Label::setCaption(const QString &caption)
{
    setText(caption);
    fitToText();
    emit Change();
}

void Label::setForeColor(OLE_COLOR colour)
{
    toQColor(colour);
    m_foreColor = colour;
    applyColours();
}

void Label::setBackColor(OLE_COLOR colour)
{
    toQColor(colour);
    m_backColor = colour;
    applyColours();
}

void Label::setTransparent(bool transparent)
{
    m_transparent = transparent;
    setAutoFillBackground(!transparent);
    applyColours();
}

void Label::setFont(const FontRef &font)
{
    m_font = font;
    QLabel::setFont(font ? font->toQFont() : QFont());
    fitToText();
}

void Label::setAutoSize(bool autoSize)
{
    m_autoSize = autoSize;
    fitToText();
}

void Label::setLeft(float left)
{
    m_left = left;
    move(int(std::nearbyint(left)), y());
}

void Label::setTop(float top)
{
    m_top = top;
    move(x(), int(std::nearbyint(top)));
}

float Label::Height() const
{
    // A resize from elsewhere (fitting to the text, a layout) wins over the kept value.
    if (m_height >= 0 && int(std::nearbyint(m_height)) == height())
        return m_height;
    return float(height());
}

void Label::setHeight(float height)
{
    if (!std::isfinite(height) || height < 0 || height > QWIDGETSIZE_MAX)
        throw HostError::invalidValue(QStringLiteral("label height ") + QString::number(height)
                                      + QStringLiteral(" (0 to ") + QString::number(QWIDGETSIZE_MAX)
                                      + QStringLiteral(" pixels)"));
    m_height = height;
    resize(width(), int(std::nearbyint(height)));
}

void Label::applyColours()
{
    QPalette p = palette();
    p.setColor(QPalette::WindowText, toQColor(m_foreColor));
    p.setColor(QPalette::Window, m_transparent ? QColor(Qt::transparent) : toQColor(m_backColor));
    setPalette(p);
}

void Label::fitToText()
{
    if (m_autoSize) {
        m_height = -1;
        resize(sizeHint());
    }
}

void Label::mousePressEvent(QMouseEvent *event)
{
    m_clicks.press(event);
    raiseMouse(this, &Label::MouseDown, event, mouseButton(event->button()));
}

void Label::mouseMoveEvent(QMouseEvent *event)
{
    raiseMouse(this, &Label::MouseMove, event, mouseButtons(event->buttons()));
}

void Label::mouseReleaseEvent(QMouseEvent *event)
{
    const bool click = m_clicks.release(event, rect());
    raiseMouse(this, &Label::MouseUp, event, mouseButton(event->button()));
    if (click)
        emit Click();
}

void Label::mouseDoubleClickEvent(QMouseEvent *event)
{
    const bool doubleClick = m_clicks.doubleClick(event);
    raiseMouse(this, &Label::MouseDown, event, mouseButton(event->button()));
    if (doubleClick)
        emit DblClick();
}

} // namespace huvolo
