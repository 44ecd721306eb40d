#include "winapi.h"

#include "inputtracker.h"

#include <QCursor>
#include <QVariant>
#include <QWidget>

#include <optional>

namespace huvolo {

namespace {

const char *windowLongProperty(int nIndex)
{
    return nIndex == GWL_EXSTYLE ? "_huvolo_exstyle" : "_huvolo_windowlong";
}

ExtendedStyleHook *extendedStyleHook(HWND hWnd, int nIndex)
{
    return nIndex == GWL_EXSTYLE ? qobject_cast<ExtendedStyleHook *>(hWnd) : nullptr;
}

} // namespace

qint32 SetWindowLongA(HWND hWnd, int nIndex, qint32 dwNewLong)
{
    if (!hWnd)
        return 0;
    ExtendedStyleHook *hook = extendedStyleHook(hWnd, nIndex);
    const QVariant stored = hWnd->property(windowLongProperty(nIndex));
    const qint32 previous = stored.isValid() ? stored.toInt() : hook ? hook->initialExStyle() : 0;
    hWnd->setProperty(windowLongProperty(nIndex), dwNewLong);
    if (hook)
        hook->applyExStyle(dwNewLong);
    return previous;
}

qint32 GetCursorPos(POINTAPI &lpPoint)
{
    // Asking the window system costs a round trip to the X server; while the
    // pointer is over one of our windows its last event already says where it is.
    const std::optional<QPoint> known = knownPointerPosition();
    const QPoint pos = known ? *known : QCursor::pos();
    lpPoint = POINTAPI{pos.x(), pos.y()};
    return 1;
}

qint32 ScreenToClient(HWND hWnd, POINTAPI &lpPoint)
{
    if (!hWnd)
        return 0;
    const QPoint client = hWnd->mapFromGlobal(QPoint(lpPoint.x, lpPoint.y));
    lpPoint = POINTAPI{client.x(), client.y()};
    return 1;
}

} // namespace huvolo
