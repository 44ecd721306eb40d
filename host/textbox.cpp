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

QRect TextBox::characterRect(int offset) const
{
    const QString shown = displayText();
    if (offset < 0 || offset >= shown.size())
        return {};
    // Measured from the caret, the one place the line edit says where its
    // text is drawn, scrolled or not.
    const QFontMetrics metrics(font());
    const int caret = cursorRect().center().x();
    const int x = caret + metrics.horizontalAdvance(shown.left(offset))
                  - metrics.horizontalAdvance(shown.left(cursorPosition()));
    return QRect(x, cursorRect().top(), metrics.horizontalAdvance(shown.mid(offset, 1)), cursorRect().height());
}

void TextBox::setSunkenEdge(bool sunken)
{
    setFrame(sunken);
    setTextMargins(sunken ? QMargins() : QMargins(2, 0, 2, 0));
}

qint32 TextBox::initialExStyle() const
{
    return hasSunkenEdge() ? WS_EX_CLIENTEDGE : 0;
}

void TextBox::applyExStyle(qint32 exStyle)
{
    setSunkenEdge(exStyle & WS_EX_CLIENTEDGE);
}

// GotFocus comes once the focus has settled, after the toolkit has told
// assistive technology where the focus went: what GotFocus does to the caret
// and the selection would otherwise come first, and a screen reader would
// take the caret's move for the focus change and never say the box's name.
void TextBox::focusInEvent(QFocusEvent *event)
{
    QLineEdit::focusInEvent(event);
    QMetaObject::invokeMethod(this, &TextBox::GotFocus, Qt::QueuedConnection);
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
