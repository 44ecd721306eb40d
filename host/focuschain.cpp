#include "focuschain.h"

#include <QEvent>
#include <QVariant>
#include <QWidget>

namespace huvolo {

namespace {

constexpr char OwnPolicy[] = "_huvolo_own_focus_policy";

QWidget *coveringSibling(const QWidget *widget)
{
    const QWidget *parent = widget->parentWidget();
    if (!parent)
        return nullptr;
    const QObjectList &siblings = parent->children();
    // Later children lie above earlier ones.
    for (qsizetype i = siblings.indexOf(const_cast<QWidget *>(widget)) + 1; i < siblings.size(); ++i) {
        auto *sibling = qobject_cast<QWidget *>(siblings.at(i));
        if (sibling && !sibling->isHidden() && !sibling->isWindow()
            && (sibling->testAttribute(Qt::WA_OpaquePaintEvent) || sibling->autoFillBackground())
            && sibling->geometry().contains(widget->geometry()))
            return sibling;
    }
    return nullptr;
}

class CoveredChildren : public QObject
{
public:
    explicit CoveredChildren(QWidget *container)
        : QObject(container), m_container(container)
    {
        for (QObject *child : container->children())
            if (child->isWidgetType())
                child->installEventFilter(this);
        update();
    }

protected:
    bool eventFilter(QObject *, QEvent *event) override
    {
        switch (event->type()) {
        case QEvent::ShowToParent:
        case QEvent::HideToParent:
        case QEvent::Move:
        case QEvent::Resize:
        case QEvent::ZOrderChange:
            update();
            break;
        default:
            break;
        }
        return false;
    }

private:
    void update()
    {
        for (QObject *child : m_container->children()) {
            auto *widget = qobject_cast<QWidget *>(child);
            if (!widget || widget->isWindow())
                continue;
            QWidget *cover = coveringSibling(widget);
            const QVariant own = widget->property(OwnPolicy);
            if (cover && !own.isValid()) {
                widget->setProperty(OwnPolicy, int(widget->focusPolicy()));
                widget->setFocusPolicy(Qt::NoFocus);
                if (widget->hasFocus()) {
                    if (cover->focusPolicy() & Qt::TabFocus)
                        cover->setFocus(Qt::OtherFocusReason);
                    else
                        widget->clearFocus();
                }
            } else if (!cover && own.isValid()) {
                widget->setFocusPolicy(Qt::FocusPolicy(own.toInt()));
                widget->setProperty(OwnPolicy, QVariant());
            }
        }
    }

    QWidget *m_container;
};

} // namespace

void keepFocusOffCoveredChildren(QWidget *container)
{
    new CoveredChildren(container);
}

bool isCovered(const QWidget *widget)
{
    return coveringSibling(widget) != nullptr;
}

} // namespace huvolo
