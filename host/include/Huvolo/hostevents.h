#pragma once

#include <Huvolo/hostexport.h>

#include <Huvolo/hosterror.h>

#include <QObject>
#include <QtGlobal>

#include <functional>

class QKeyEvent;
class QMouseEvent;

namespace huvolo {

// Event arguments in the host's terms, and the binding of a control's events
// to a container's handlers.

inline constexpr float TwipsPerPixel = 15.0f;

// Mouse buttons as a host bit set: left 1, right 2, middle 4.
HUVOLO_HOST_EXPORT qint16 mouseButton(Qt::MouseButton button);
HUVOLO_HOST_EXPORT qint16 mouseButtons(Qt::MouseButtons buttons);
// Shift 1, Ctrl 2, Alt 4.
HUVOLO_HOST_EXPORT qint16 shiftState(Qt::KeyboardModifiers modifiers);
// The host's key code of a key event (letters and digits as their upper-case
// character code, Enter 13, Space 32, arrows 37 to 40, F1 112 ...), 0 if none.
HUVOLO_HOST_EXPORT qint16 keyCode(const QKeyEvent *event);
// The typed character as the host's key code for KeyPress, 0 if none.
HUVOLO_HOST_EXPORT qint16 keyAscii(const QKeyEvent *event);

// Connects a control's event to a handler of the receiver. The arguments are
// passed on by reference, so a handler that changes one changes what the
// control sees afterwards; a host error in the handler ends it and is reported.
template <typename Sender, typename... Args, typename Receiver, typename Handler>
QMetaObject::Connection bindEvent(Sender *sender, void (Sender::*event)(Args...), Receiver *receiver, Handler handler)
{
    return QObject::connect(sender, event, receiver, [receiver, handler](Args... args) {
        hostGuard([&] { std::invoke(handler, receiver, std::forward<Args>(args)...); });
    }, Qt::DirectConnection);
}

} // namespace huvolo
