#include "inputtracker.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QMouseEvent>
#include <QWidget>

namespace huvolo {

namespace {

class InputTracker : public QObject
{
public:
    static InputTracker *instance()
    {
        if (!tracker && QCoreApplication::instance()) {
            tracker = new InputTracker(QCoreApplication::instance());
            QCoreApplication::instance()->installEventFilter(tracker);
        }
        return tracker;
    }

    static InputTracker *existing() { return tracker; }

    std::optional<WindowPointer> pointer;
    bool pointerInside = false;
    bool keyboardMode = false;

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::MouseMove:
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
            if (watched->isWindowType()) {
                const auto *mouse = static_cast<QMouseEvent *>(event);
                pointer = WindowPointer{static_cast<QWindow *>(watched), mouse->position(), mouse->globalPosition()};
                pointerInside = true;
            }
            if (event->type() == QEvent::MouseButtonPress || event->type() == QEvent::MouseButtonDblClick)
                setKeyboardMode(false);
            break;
        case QEvent::Enter:
            if (watched->isWindowType()) {
                const auto *enter = static_cast<QEnterEvent *>(event);
                pointer = WindowPointer{static_cast<QWindow *>(watched), enter->position(), enter->globalPosition()};
                pointerInside = true;
            }
            break;
        case QEvent::Leave:
            if (watched->isWindowType())
                pointerInside = false;
            break;
        case QEvent::KeyPress:
            setKeyboardMode(true);
            break;
        case QEvent::FocusIn:
            if (watched->isWidgetType()) {
                const Qt::FocusReason reason = static_cast<QFocusEvent *>(event)->reason();
                if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::ShortcutFocusReason)
                    setKeyboardMode(true);
            }
            break;
        default:
            break;
        }
        return false;
    }

private:
    using QObject::QObject;

    void setKeyboardMode(bool on)
    {
        if (keyboardMode == on)
            return;
        keyboardMode = on;
        // The focused widget shows or drops its cue.
        if (QWidget *focus = QApplication::focusWidget())
            focus->update();
    }

    static inline QPointer<InputTracker> tracker;
};

} // namespace

void trackInput()
{
    InputTracker::instance();
}

std::optional<QPoint> knownPointerPosition()
{
    const InputTracker *tracker = InputTracker::existing();
    if (!tracker || !tracker->pointerInside || !tracker->pointer)
        return std::nullopt;
    return tracker->pointer->globalPosition.toPoint();
}

std::optional<WindowPointer> lastWindowPointer()
{
    const InputTracker *tracker = InputTracker::existing();
    return tracker ? tracker->pointer : std::nullopt;
}

bool showsFocusCue(const QWidget *widget)
{
    const InputTracker *tracker = InputTracker::existing();
    return tracker && tracker->keyboardMode && widget->hasFocus();
}

} // namespace huvolo
