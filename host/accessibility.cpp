#include "accessibility.h"

#include "image.h"
#include "label.h"
#include "picturebox.h"
#include <Huvolo/hosterror.h>
#include <Huvolo/usercontrol.h>

#include <QAccessibleWidget>

namespace huvolo {

namespace {

// A picture box is an image. Its description is the colour under the
// pointer as #RRGGBB, so a screen reader can say what is being pointed at;
// with nothing under the pointer it is the widget's own description.
class PictureBoxAccessible : public QAccessibleWidget
{
public:
    explicit PictureBoxAccessible(PictureBox *box)
        : QAccessibleWidget(box, QAccessible::Graphic)
    {
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Description) {
            if (const QColor colour = box()->pointedColour(); colour.isValid())
                return colour.name(QColor::HexRgb).toUpper();
        }
        return QAccessibleWidget::text(t);
    }

private:
    PictureBox *box() const { return static_cast<PictureBox *>(widget()); }
};

// A custom control, with the role and name the control gives. A push button
// is pressed through the access-key notification, the one way other than the
// mouse to click a control, so pressing it from assistive technology clicks
// it exactly as its access key does.
//
// The control's own caption labels and pictures are parts of its drawing,
// not elements: the control's name already says the caption, and a second
// element with the same text would be read twice and could be reached on its
// own, where it has no action. Other widgets placed inside the control (a
// group box's buttons) are its children.
class UserControlAccessible : public QAccessibleWidget
{
public:
    explicit UserControlAccessible(UserControl *control)
        : QAccessibleWidget(control)
    {
    }

    // Asked each time rather than kept: the interface may be made while the
    // control is still being constructed, before its own answer is there.
    QAccessible::Role role() const override { return control()->accessibleControlRole(); }

    QString text(QAccessible::Text t) const override
    {
        // A name given by the container wins over the control's own.
        if (t == QAccessible::Name && widget()->accessibleName().isEmpty()) {
            if (QString name = control()->accessibleControlName(); !name.isEmpty())
                return name;
        }
        return QAccessibleWidget::text(t);
    }

    int childCount() const override { return int(elements().size()); }

    QAccessibleInterface *child(int index) const override
    {
        const QWidgetList children = elements();
        if (index < 0 || index >= children.size())
            return nullptr;
        return QAccessible::queryAccessibleInterface(children.at(index));
    }

    int indexOfChild(const QAccessibleInterface *child) const override
    {
        if (!child || !child->object() || !child->object()->isWidgetType())
            return -1;
        return int(elements().indexOf(static_cast<QWidget *>(child->object())));
    }

    QStringList actionNames() const override
    {
        QStringList names = QAccessibleWidget::actionNames();
        if (pressable())
            names.prepend(pressAction());
        return names;
    }

    void doAction(const QString &actionName) override
    {
        if (actionName != pressAction()) {
            QAccessibleWidget::doAction(actionName);
            return;
        }
        if (!pressable())
            return;
        // No key was pressed: the notification gets none.
        hostGuard([this] {
            qint16 KeyAscii = 0;
            control()->UserControl_AccessKeyPress(KeyAscii);
        });
    }

private:
    UserControl *control() const { return static_cast<UserControl *>(widget()); }

    // A disabled control takes no access keys, so it offers no Press either.
    bool pressable() const
    {
        return role() == QAccessible::PushButton && widget()->isEnabled();
    }

    QWidgetList elements() const
    {
        QWidgetList children;
        for (QObject *object : widget()->children()) {
            auto *child = qobject_cast<QWidget *>(object);
            if (child && !child->isWindow() && !qobject_cast<Label *>(child) && !qobject_cast<Image *>(child))
                children << child;
        }
        return children;
    }
};

// Asked once for each class of an object's ancestry, most derived first, so
// a class derived from these gets their interface unless a factory knows it.
QAccessibleInterface *hostInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String(PictureBox::staticMetaObject.className()))
        return new PictureBoxAccessible(static_cast<PictureBox *>(object));
    if (className == QLatin1String(UserControl::staticMetaObject.className()))
        return new UserControlAccessible(static_cast<UserControl *>(object));
    // A form is a plain widget shown as a window of its own. The toolkit
    // would call it a client area, a filler with no place in a window list;
    // it is the application's window, named by its title.
    if (className == QLatin1String(QWidget::staticMetaObject.className())) {
        auto *widget = static_cast<QWidget *>(object);
        if (widget->windowType() == Qt::Window)
            return new QAccessibleWidget(widget, QAccessible::Window);
    }
    return nullptr;
}

} // namespace

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(hostInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace huvolo
