#pragma once

#include <QImage>
#include <QPoint>
#include <QRgb>
#include <QWidget>

#include <functional>

namespace huvolo {

// Picks a colour from anywhere on the screen. While it runs the pointer is a
// crosshair, a magnifier near it shows the pixels around it enlarged with
// the middle one marked, and every move reports the colour of the device
// pixel under the pointer. A left click takes that colour; Esc or a right
// click gives up.
class ScreenPicker : public QWidget
{
    Q_OBJECT

public:
    // The screen's pixels in a rectangle of device pixels, and the device
    // pixel under the pointer.
    struct Screen
    {
        std::function<QImage(const QRect &devicePixels)> grab;
        std::function<QPoint()> pointer;
    };
    // Device pixels the magnifier shows each way from the middle one, and
    // how many screen pixels one of them takes.
    static constexpr int Reach = 5;
    static constexpr int Zoom = 10;

    explicit ScreenPicker(Screen screen, QWidget *parent = nullptr);

    // Grabs the pointer and the keyboard and starts following the pointer.
    void start();
    // Shows and reports the screen around the device pixel `at`.
    void pointAt(QPoint at);

    QRgb colour() const;

signals:
    void hovered(QRgb colour);
    void picked(QRgb colour);
    void cancelled();
    void failed(const QString &why);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mouseMoveEvent(QMouseEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void finish();
    void placeNear(QPoint logicalPointer);

    Screen m_screen;
    QImage m_area; // the pixels around the pointer, (2 Reach + 1) square
    QPoint m_at{-1, -1};
};

} // namespace huvolo
