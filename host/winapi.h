#pragma once

#include <Huvolo/hostexport.h>

#include <QObject>
#include <QtGlobal>

class QWidget;

namespace huvolo {

// The few window-system calls the program makes, with their Windows names.
// A window handle is the widget itself.
using HWND = QWidget *;

inline constexpr int GWL_EXSTYLE = -20;
inline constexpr qint32 WS_EX_TRANSPARENT = 0x00000020;
inline constexpr qint32 WS_EX_CLIENTEDGE = 0x00000200;

// A window whose look follows its extended style (GWL_EXSTYLE), such as a
// box with a sunken edge that stays only while WS_EX_CLIENTEDGE is set. The
// widget implements this and names it with Q_INTERFACES; SetWindowLongA
// finds it with qobject_cast and knows no widget class.
class HUVOLO_HOST_EXPORT ExtendedStyleHook
{
public:
    virtual ~ExtendedStyleHook() = default;

    // The extended style the window's look has before any is set.
    virtual qint32 initialExStyle() const = 0;
    // Shows what a new extended style means for the look.
    virtual void applyExStyle(qint32 exStyle) = 0;
};

// Replaces one window value and returns the previous one. For GWL_EXSTYLE on
// a window with an ExtendedStyleHook the visible effect is applied. Other
// windows and indexes keep the value but change nothing.
HUVOLO_HOST_EXPORT qint32 SetWindowLongA(HWND hWnd, int nIndex, qint32 dwNewLong);

struct POINTAPI
{
    qint32 x = 0;
    qint32 y = 0;
};

// The pointer's position on the screen, in pixels. While the pointer is
// over one of the application's windows this comes from its last pointer
// event, without asking the window system (see trackInput).
HUVOLO_HOST_EXPORT qint32 GetCursorPos(POINTAPI &lpPoint);
// Converts a screen point in place into client pixels of hWnd.
HUVOLO_HOST_EXPORT qint32 ScreenToClient(HWND hWnd, POINTAPI &lpPoint);

} // namespace huvolo

Q_DECLARE_INTERFACE(huvolo::ExtendedStyleHook, "org.huvolo.ExtendedStyleHook")
