#pragma once

#include "colour.h"
#include "stdfont.h"

#include <QLabel>

// A label constituent of a control: a caption with a change notification on
// every assignment, packed colours, a shared font object, a position kept
// unrounded, and click and mouse notifications in its own coordinates
// (pixels from its top-left corner).
class Label : public QLabel
{
    Q_OBJECT

public:
    explicit Label(QWidget *parent = nullptr);

    QString Caption() const { return text(); }
    void setCaption(const QString &caption);

    OLE_COLOR ForeColor() const { return m_foreColor; }
    void setForeColor(OLE_COLOR colour);
    OLE_COLOR BackColor() const { return m_backColor; }
    void setBackColor(OLE_COLOR colour);
    // A transparent label shows its container's drawing behind the text.
    void setTransparent(bool transparent);

    FontRef Font() const { return m_font; }
    void setFont(const FontRef &font);

    // Sized to its text: the box follows every caption or font change.
    void setAutoSize(bool autoSize);

    float Left() const { return m_left; }
    float Top() const { return m_top; }
    float Width() const { return float(width()); }
    float Height() const { return float(height()); }
    void setLeft(float left);
    void setTop(float top);

signals:
    void Change();
    void Click();
    void DblClick();
    void MouseDown(qint16 &Button, qint16 &Shift, float &x, float &Y);
    void MouseMove(qint16 &Button, qint16 &Shift, float &x, float &Y);
    void MouseUp(qint16 &Button, qint16 &Shift, float &x, float &Y);

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;

private:
    void applyColours();
    void fitToText();

    OLE_COLOR m_foreColor = host::vbWindowText;
    OLE_COLOR m_backColor = host::vbWindowBackground;
    bool m_transparent = false;
    bool m_autoSize = false;
    FontRef m_font;
    float m_left = 0;
    float m_top = 0;
    bool m_clickPending = false;
};
