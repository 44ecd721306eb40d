#pragma once

#include <Huvolo/hostexport.h>

#include <Huvolo/clicktracker.h>
#include <Huvolo/colour.h>
#include <Huvolo/stdfont.h>

#include <QLabel>

namespace huvolo {

// A label constituent of a control: a caption with a change notification on
// every assignment, packed colours, a shared font object, a position kept
// unrounded, and click and mouse notifications in its own coordinates
// (pixels from its top-left corner).
class HUVOLO_HOST_EXPORT Label : public QLabel
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
    float Height() const;
    void setLeft(float left);
    void setTop(float top);
    // Kept unrounded like Left and Top; the widget takes the nearest whole
    // pixel. A negative or non-finite height raises "Invalid property value".
    void setHeight(float height);

    // With double clicks off, the second press of a quick pair is an ordinary
    // press and its release a click, for owners that publish no DblClick.
    void setDoubleClicks(bool on) { m_clicks.setDoubleClicks(on); }

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

    OLE_COLOR m_foreColor = vbWindowText;
    OLE_COLOR m_backColor = vbWindowBackground;
    bool m_transparent = false;
    bool m_autoSize = false;
    FontRef m_font;
    float m_left = 0;
    float m_top = 0;
    float m_height = -1; // unrounded height last set, or -1: the widget's own height counts
    ClickTracker m_clicks;
};

} // namespace huvolo
