#pragma once

#include <Huvolo/hostexport.h>

#include <Huvolo/clicktracker.h>
#include <Huvolo/colour.h>

#include <QColor>
#include <QImage>
#include <QPointF>
#include <QWidget>

#include <optional>

namespace huvolo {

// A picture box: a 1-pixel flat border around an inner area that shows its
// picture at natural size at the top-left, and its back colour elsewhere.
// Coordinates are twips of the inner area, 15 to a pixel.
class HUVOLO_HOST_EXPORT PictureBox : public QWidget
{
    Q_OBJECT

public:
    explicit PictureBox(QWidget *parent = nullptr);

    const QImage &Picture() const { return m_picture; }
    void setPicture(const QImage &picture);

    OLE_COLOR BackColor() const { return m_backColor; }
    void setBackColor(OLE_COLOR colour);

    // The host boolean of the box's own visibility: True -1, False 0.
    qint16 Visible() const { return isHidden() ? 0 : -1; }

    // The packed colour of the inner area's pixel at (X, Y) twips, or -1
    // where the point lies outside the inner area.
    qint32 Point(float X, float Y) const;

    QRect innerArea() const { return rect().adjusted(1, 1, -1, -1); }

    // The colour of the pixel the pointer last pointed at over the inner
    // area, as Point reads it now; invalid when the pointer has not moved
    // over the box, has left it, or is on its border.
    QColor pointedColour() const;

signals:
    void MouseMove(qint16 &Button, qint16 &Shift, float &X, float &Y);
    void Click();
    void DblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    // Keeps where the pointer is, in twips of the inner area (none when it
    // is away), and tells assistive technology when the colour there changed.
    void notePointer(std::optional<QPointF> twips);
    void describePointer();

    QImage m_picture;
    OLE_COLOR m_backColor = vbWindowBackground;
    ClickTracker m_clicks;
    std::optional<QPointF> m_pointer;
    QColor m_describedColour; // last told to assistive technology
};

} // namespace huvolo
