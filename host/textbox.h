#pragma once

#include <Huvolo/hostexport.h>

#include <Huvolo/colour.h>
#include "winapi.h"

#include <QLineEdit>

namespace huvolo {

// A single-line text box with a packed back colour, the host's selection
// properties and a GotFocus notification, sent once the focus-in is over.
// It starts with a sunken edge; the flat look draws a thin single-line
// border instead. Its extended style says which: the edge stays only while
// WS_EX_CLIENTEDGE is set.
class HUVOLO_HOST_EXPORT TextBox : public QLineEdit, public ExtendedStyleHook
{
    Q_OBJECT
    Q_INTERFACES(huvolo::ExtendedStyleHook)

public:
    explicit TextBox(QWidget *parent = nullptr);

    OLE_COLOR BackColor() const { return m_backColor; }
    void setBackColor(OLE_COLOR colour);

    QString Text() const { return text(); }

    // SelStart places the caret and drops the selection; SelLength then
    // selects that many characters from the caret.
    void setSelStart(qint32 start);
    void setSelLength(qint32 length);

    // Where the character at `offset` is drawn, in the box's coordinates;
    // empty past the text's end.
    QRect characterRect(int offset) const;

    bool hasSunkenEdge() const { return hasFrame(); }
    void setSunkenEdge(bool sunken);

    qint32 initialExStyle() const override;
    void applyExStyle(qint32 exStyle) override;

signals:
    void GotFocus();

protected:
    void focusInEvent(QFocusEvent *event) override;
    void paintEvent(QPaintEvent *event) override;

private:
    OLE_COLOR m_backColor = vbWindowBackground;
};

} // namespace huvolo
