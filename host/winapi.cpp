#include "winapi.h"

#include "textbox.h"

#include <QCoreApplication>
#include <QCursor>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QVariant>

#include <optional>

namespace huvolo {

namespace {

// Follows the pointer through the events the application receives anyway.
// Its position is known from a window's pointer event until the pointer
// leaves that window; over another program's window it is not.
class PointerTracker : public QObject
{
public:
    static void install()
    {
        if (!tracker && QCoreApplication::instance()) {
            tracker = new PointerTracker(QCoreApplication::instance());
            QCoreApplication::instance()->installEventFilter(tracker);
        }
    }

    static std::optional<QPoint> known()
    {
        return tracker ? tracker->m_position : std::nullopt;
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (!watched->isWindowType())
            return false;
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            m_position = static_cast<QMouseEvent *>(event)->globalPosition().toPoint();
            break;
        case QEvent::Enter:
            m_position = static_cast<QEnterEvent *>(event)->globalPosition().toPoint();
            break;
        case QEvent::Leave:
            m_position.reset();
            break;
        default:
            break;
        }
        return false;
    }

private:
    using QObject::QObject;

    static inline QPointer<PointerTracker> tracker;
    std::optional<QPoint> m_position;
};

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

void trackPointer()
{
    PointerTracker::install();
}

qint32 GetCursorPos(POINTAPI &lpPoint)
{
    // Asking the window system costs a round trip to the X server; while the
    // pointer is over one of our windows its last event already says where it is.
    const std::optional<QPoint> known = PointerTracker::known();
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
