#include "winapi.h"

#include "inputtracker.h"
#include "textbox.h"

#include <QCursor>
#include <QVariant>

#include <optional>

namespace huvolo {

namespace {

const char *windowLongProperty(int nIndex)
{
    return nIndex == GWL_EXSTYLE ? "_huvolo_exstyle" : "_huvolo_windowlong";
}

qint32 initialValue(HWND hWnd, int nIndex)
{
    const auto *textBox = qobject_cast<const TextBox *>(hWnd);
    return nIndex == GWL_EXSTYLE && textBox && textBox->hasSunkenEdge() ? WS_EX_CLIENTEDGE : 0;
}

} // namespace

qint32 SetWindowLongA(HWND hWnd, int nIndex, qint32 dwNewLong)
{
    if (!hWnd)
        return 0;
    const QVariant stored = hWnd->property(windowLongProperty(nIndex));
    const qint32 previous = stored.isValid() ? stored.toInt() : initialValue(hWnd, nIndex);
    hWnd->setProperty(windowLongProperty(nIndex), dwNewLong);
    if (auto *textBox = qobject_cast<TextBox *>(hWnd); textBox && nIndex == GWL_EXSTYLE)
        textBox->setSunkenEdge(dwNewLong & WS_EX_CLIENTEDGE);
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
