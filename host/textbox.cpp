#include "textbox.h"

#include <QPainter>

#include <algorithm>

namespace huvolo {

TextBox::TextBox(QWidget *parent)
    : QLineEdit(parent)
{
}

void TextBox::setBackColor(OLE_COLOR colour)
{
    QPalette p = palette();
    p.setColor(QPalette::Base, toQColor(colour));
    setPalette(p);
    m_backColor = colour;
}

void TextBox::setSelStart(qint32 start)
{
    setCursorPosition(std::clamp<qint32>(start, 0, qint32(text().size())));
}

void TextBox::setSelLength(qint32 length)
{
    const int start = hasSelectedText() ? selectionStart() : cursorPosition();
    setSelection(start, std::clamp<qint32>(length, 0, qint32(text().size()) - start));
}

void TextBox::setSunkenEdge(bool sunken)
{
    setFrame(sunken);
    setTextMargins(sunken ? QMargins() : QMargins(2, 0, 2, 0));
}

void TextBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    emit GotFocus();
}

void TextBox::paintEvent(QPaintEvent *event)
{
    QLineEdit::paintEvent(event);
    if (hasFrame())
        return;
    QPainter painter(this);
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawRect(rect().adjusted(0, 0, -1, -1));
}

} // namespace huvolo
