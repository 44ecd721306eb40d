#pragma once

#include <Huvolo/hostexport.h>

#include <QPoint>
#include <QPointF>
#include <QPointer>
#include <QWindow>

#include <optional>

class QWidget;

namespace huvolo {

// Follows, through the events the application receives anyway, where the
// pointer is and whether the user is working with the keyboard. Started by
// the host's widgets; safe to start more than once.
HUVOLO_HOST_EXPORT void trackInput();

// The pointer's global position from the last pointer event of one of the
// application's windows, while the pointer has not left it; over another
// program's window it is not known.
HUVOLO_HOST_EXPORT std::optional<QPoint> knownPointerPosition();

// The last pointer event a window received, at full precision: widgets get
// positions rounded to whole logical pixels, which at a fractional or
// integer screen scale is not the device pixel under the pointer.
struct WindowPointer
{
    QPointer<QWindow> window;
    QPointF position;       // window-local, logical
    QPointF globalPosition; // logical
};
HUVOLO_HOST_EXPORT std::optional<WindowPointer> lastWindowPointer();

// Whether `widget` has the focus and should show it: after keyboard
// navigation, as desktops do, not after a mouse click and not at start-up,
// so that with the mouse every look stays as designed.
HUVOLO_HOST_EXPORT bool showsFocusCue(const QWidget *widget);

} // namespace huvolo
