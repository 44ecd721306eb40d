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
//
// At any screen scale the pixel shown under the pointer is the pixel
// reported: each device pixel shows the picture pixel under its centre, and
// a pointer move reports the centre of the device pixel under the pointer.
//
// From the keyboard, a focused box has a keyboard pointer: the arrow keys
// move it a pixel (ten with Shift), or one cell where the picture is a grid
// of cells, and report it as a pointer move would; Return and Space click.
// Its marker shows only while the focus is shown.
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

    // The inner-area pixel the keyboard pointer is on.
    QPoint keyboardPointer() const { return m_keyboardPointer; }

    // The colour of the pixel the pointer last pointed at over the inner
    // area, as Point reads it now; invalid when the pointer has not moved
    // over the box, has left it, or is on its border.
    QColor pointedColour() const;

    // Makes the arrow keys move the keyboard pointer from cell to cell of a
    // `columns` by `rows` grid filling `area` (inner-area pixels), to each
    // cell's middle pixel.
    void setKeyboardGrid(const QRectF &area, int columns, int rows);

signals:
    void MouseMove(qint16 &Button, qint16 &Shift, float &X, float &Y);
    // An arrow key moved the keyboard pointer; sent after its MouseMove.
    void keyboardPointerMoved();
    void Click();
    void DblClick();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    void mouseDoubleClickEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    void focusInEvent(QFocusEvent *event) override;
    void focusOutEvent(QFocusEvent *event) override;
    void leaveEvent(QEvent *event) override;

private:
    QPointF pointerPosition(const QMouseEvent *event) const;
    bool coveredAt(QPointF at) const;
    void raiseMouseMove(qint16 button, qint16 shift, QPointF inner);
    void drawPictureOnDevicePixels(QPainter &painter, const QRect &inner);
    void drawFocus(QPainter &painter, const QRect &inner) const;
    // Keeps where the pointer is, in twips of the inner area (none when it
    // is away), and tells assistive technology when the colour there changed.
    void notePointer(std::optional<QPointF> twips);
    void describePointer();
    QPoint keyboardStep(QPoint direction, int step) const;

    QImage m_picture;
    QImage m_devicePicture; // the picture as the screen's pixels show it, at a scale other than 1
    QTransform m_devicePictureTransform;
    qint64 m_devicePictureKey = 0;
    QPoint m_keyboardPointer{-1, -1};
    OLE_COLOR m_backColor = vbWindowBackground;
    ClickTracker m_clicks;
    std::optional<QPointF> m_pointer;
    QColor m_describedColour; // last told to assistive technology
    QRectF m_gridArea;
    QSize m_gridCells;
};

} // namespace huvolo
