#pragma once

#include <QMouseEvent>
#include <QRect>

namespace huvolo {

// How the host turns a widget's presses and releases into Click and
// DblClick notifications, written once for every widget that raises them.
// A click is a left press followed by a left release inside the widget;
// dragged out before the release, it is no click. The second press of a
// quick pair is a double click where the owner publishes one, and otherwise
// an ordinary press whose release is a click.
class ClickTracker
{
public:
    void setDoubleClicks(bool on) { m_doubleClicks = on; }

    void press(const QMouseEvent *event) { m_pending = event->button() == Qt::LeftButton; }

    // Whether this release completes a click inside `area`.
    bool release(const QMouseEvent *event, const QRect &area)
    {
        const bool click = m_pending && event->button() == Qt::LeftButton && area.contains(event->position().toPoint());
        m_pending = false;
        return click;
    }

    // Qt's double-click event, the second press of a quick pair. Returns
    // whether it is a double click; otherwise it counted as a press.
    bool doubleClick(const QMouseEvent *event)
    {
        if (!m_doubleClicks) {
            press(event);
            return false;
        }
        m_pending = false;
        return event->button() == Qt::LeftButton;
    }

private:
    bool m_pending = false;
    bool m_doubleClicks = true;
};

} // namespace huvolo
