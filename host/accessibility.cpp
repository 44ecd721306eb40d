#include "accessibility.h"

#include "image.h"
#include "label.h"
#include "picturebox.h"
#include "textbox.h"
#include <Huvolo/hosterror.h>
#include <Huvolo/usercontrol.h>

#include <QAccessibleObject>
#include <QAccessibleWidget>
#include <QAction>
#include <QApplication>
#include <QGuiApplication>
#include <QMenu>
#include <QPointer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <utility>

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

// The text box as editable text, as the toolkit's line edit is, but with
// text attributes that cover the text: the line edit answers every offset
// with an empty run, from which a screen reader builds the line it reads
// and leaves out its last character (a colour read one digit short).
class TextBoxAccessible : public QAccessibleWidget,
                          public QAccessibleTextInterface,
                          public QAccessibleEditableTextInterface
{
public:
    explicit TextBoxAccessible(TextBox *box)
        : QAccessibleWidget(box, QAccessible::EditableText)
    {
    }

    void *interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TextInterface)
            return static_cast<QAccessibleTextInterface *>(this);
        if (type == QAccessible::EditableTextInterface)
            return static_cast<QAccessibleEditableTextInterface *>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State state = QAccessibleWidget::state();
        state.selectableText = true;
        state.editable = !box()->isReadOnly();
        state.readOnly = box()->isReadOnly();
        return state;
    }

    QString text(QAccessible::Text t) const override
    {
        if (t == QAccessible::Value)
            return box()->displayText();
        return QAccessibleWidget::text(t);
    }

    // Text
    void selection(int selectionIndex, int *startOffset, int *endOffset) const override
    {
        *startOffset = *endOffset = 0;
        if (selectionIndex != 0 || !box()->hasSelectedText())
            return;
        *startOffset = box()->selectionStart();
        *endOffset = box()->selectionEnd();
    }
    int selectionCount() const override { return box()->hasSelectedText() ? 1 : 0; }
    void addSelection(int startOffset, int endOffset) override { setSelection(0, startOffset, endOffset); }
    void removeSelection(int selectionIndex) override
    {
        if (selectionIndex == 0)
            box()->deselect();
    }
    void setSelection(int selectionIndex, int startOffset, int endOffset) override
    {
        if (selectionIndex == 0)
            box()->setSelection(startOffset, endOffset - startOffset);
    }
    int cursorPosition() const override { return box()->cursorPosition(); }
    void setCursorPosition(int position) override { box()->setCursorPosition(position); }
    QString text(int startOffset, int endOffset) const override
    {
        if (startOffset > endOffset)
            return {};
        return box()->displayText().mid(startOffset, endOffset - startOffset);
    }
    int characterCount() const override { return int(box()->displayText().size()); }
    QRect characterRect(int offset) const override
    {
        const QRect local = box()->characterRect(offset);
        return local.isEmpty() ? QRect() : QRect(box()->mapToGlobal(local.topLeft()), local.size());
    }
    int offsetAtPoint(const QPoint &point) const override
    {
        return box()->cursorPositionAt(box()->mapFromGlobal(point));
    }
    void scrollToSubstring(int, int endIndex) override { box()->setCursorPosition(endIndex); }
    // The text has one look throughout: one run, without attributes.
    QString attributes(int offset, int *startOffset, int *endOffset) const override
    {
        const int count = characterCount();
        if (offset < 0 || offset > count) {
            *startOffset = *endOffset = -1;
            return {};
        }
        *startOffset = 0;
        *endOffset = count;
        return {};
    }

    // Editable text: as typing would, through the box's own text.
    void deleteText(int startOffset, int endOffset) override { replaceText(startOffset, endOffset, QString()); }
    void insertText(int offset, const QString &text) override { replaceText(offset, offset, text); }
    void replaceText(int startOffset, int endOffset, const QString &text) override
    {
        if (box()->isReadOnly())
            return;
        box()->setText(box()->text().replace(startOffset, endOffset - startOffset, text));
    }

private:
    TextBox *box() const { return static_cast<TextBox *>(widget()); }
};

// Asked once for each class of an object's ancestry, most derived first, so
// a class derived from these gets their interface unless a factory knows it.
QAccessibleInterface *hostInterface(const QString &className, QObject *object)
{
    if (className == QLatin1String(PictureBox::staticMetaObject.className()))
        return new PictureBoxAccessible(static_cast<PictureBox *>(object));
    if (className == QLatin1String(TextBox::staticMetaObject.className()))
        return new TextBoxAccessible(static_cast<TextBox *>(object));
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

// What announce() says through: an element with the notification role that
// appears, for a screen reader, each time it has something new to say. Qt
// 6.4's bridge sends a name or description change without the new text, and
// a screen reader cannot say it; an appearing notification it reads whole.
// The element belongs to no control's children, so it adds nothing to the
// tree a user browses; its parent is the active window.
class Announcer : public QObject
{
public:
    static Announcer *instance()
    {
        static QPointer<Announcer> announcer;
        if (!announcer && QCoreApplication::instance())
            announcer = new Announcer(QCoreApplication::instance());
        return announcer;
    }

    QString text() const { return m_text; }

    void say(const QString &text)
    {
        m_pending.reset();
        present(text);
    }

    // Said once control is back in the event loop, so that a say() in the
    // same turn (a copy right after the colour is shown) takes its place.
    void sayLatest(const QString &text)
    {
        m_pending = text;
        if (m_quiet.isActive() || m_flushQueued)
            return;
        m_flushQueued = true;
        QMetaObject::invokeMethod(this, [this] {
            m_flushQueued = false;
            if (m_pending && !m_quiet.isActive())
                present(*std::exchange(m_pending, std::nullopt));
        }, Qt::QueuedConnection);
    }

private:
    // The shortest time between two of a run's announcements: a key repeat
    // comes every 30 to 50 ms, a colour is said in about half a second.
    static constexpr int QuietMs = 400;

    explicit Announcer(QObject *parent);

    void present(const QString &text)
    {
        // Without assistive technology listening, the event goes nowhere.
        m_quiet.start();
        m_text = text;
        QAccessibleEvent event(m_interface, QAccessible::ObjectShow);
        QAccessible::updateAccessibility(&event);
    }

    QString m_text;
    std::optional<QString> m_pending;
    bool m_flushQueued = false;
    QTimer m_quiet;
    QAccessibleInterface *m_interface = nullptr; // owned by the accessibility cache
};

class AnnouncementAccessible : public QAccessibleObject
{
public:
    explicit AnnouncementAccessible(Announcer *announcer)
        : QAccessibleObject(announcer)
    {
    }

    QAccessibleInterface *parent() const override
    {
        if (QWidget *window = QApplication::activeWindow())
            return QAccessible::queryAccessibleInterface(window);
        return QAccessible::queryAccessibleInterface(QCoreApplication::instance());
    }
    int childCount() const override { return 0; }
    QAccessibleInterface *child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface *) const override { return -1; }
    QAccessible::Role role() const override { return QAccessible::Notification; }
    QAccessible::State state() const override { return {}; }

    QString text(QAccessible::Text t) const override
    {
        return t == QAccessible::Name ? static_cast<Announcer *>(object())->text() : QString();
    }
};

Announcer::Announcer(QObject *parent)
    : QObject(parent)
{
    m_quiet.setSingleShot(true);
    m_quiet.setInterval(QuietMs);
    connect(&m_quiet, &QTimer::timeout, this, [this] {
        if (m_pending)
            present(*std::exchange(m_pending, std::nullopt));
    });
    m_interface = new AnnouncementAccessible(this);
    QAccessible::registerAccessibleInterface(m_interface);
}

} // namespace

void announce(const QString &text)
{
    if (Announcer *announcer = Announcer::instance())
        announcer->say(text);
}

void announceLatest(const QString &text)
{
    if (Announcer *announcer = Announcer::instance())
        announcer->sayLatest(text);
}

namespace {

// Runs `act` once the window a menu opened over has settled: on X11 that
// window is told it is active again just after a menu opens or closes, and
// a screen reader hearing that after what `act` makes it say would say the
// window instead. So `act` waits for that, or a short while without it.
class WhenSettled : public QObject
{
public:
    WhenSettled(QObject *owner, QWidget *window, std::function<void()> act)
        : QObject(owner), m_window(window), m_act(std::move(act))
    {
        if (m_window)
            m_window->installEventFilter(this);
        QTimer::singleShot(SettleMs, this, &WhenSettled::run);
    }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_window && event->type() == QEvent::WindowActivate)
            QMetaObject::invokeMethod(this, &WhenSettled::run, Qt::QueuedConnection);
        return false;
    }

private:
    static constexpr int SettleMs = 150;

    void run()
    {
        if (m_act)
            std::exchange(m_act, nullptr)();
        deleteLater();
    }

    QPointer<QWidget> m_window;
    std::function<void()> m_act;
};

void selectFirstEntry(QMenu *menu)
{
    if (!menu->isVisible() || menu->activeAction())
        return;
    for (QAction *action : menu->actions()) {
        if (action->isEnabled() && action->isVisible() && !action->isSeparator()) {
            menu->setActiveAction(action);
            return;
        }
    }
}

} // namespace

void makeMenuSpeakable(QMenu *menu)
{
    // The menu's entries as it shows, kept to let go of their accessible
    // interfaces when it goes: an interface made for an entry keeps the menu
    // it was first shown in, and a later menu showing the same entry would
    // otherwise speak for a menu that is gone.
    auto shown = std::make_shared<QList<QPointer<QAction>>>();
    QObject::connect(menu, &QMenu::aboutToShow, menu, [menu, shown] {
        shown->clear();
        for (QAction *action : menu->actions())
            shown->append(action);
        // Opened from the keyboard (no mouse button held), its first entry
        // becomes current, as the arrow keys would make it, and is said.
        if (QGuiApplication::mouseButtons() == Qt::NoButton) {
            auto *settle = new WhenSettled(menu, QApplication::activeWindow(), [menu] { selectFirstEntry(menu); });
            QObject::connect(menu, &QMenu::aboutToHide, settle, &QObject::deleteLater);
        }
    });
    // Closed without choosing, the focus is back where it was; the toolkit
    // does not say so, so the focused control is told again.
    QObject::connect(menu, &QMenu::triggered, menu, [menu] { menu->setProperty("huvoloChosen", true); });
    QObject::connect(menu, &QMenu::aboutToHide, menu, [menu] {
        QWidget *window = QApplication::activeWindow();
        if (!window || menu->property("huvoloChosen").toBool())
            return;
        new WhenSettled(window, window, [window] {
            if (QWidget *focus = window->focusWidget(); focus && focus->hasFocus()) {
                QAccessibleEvent event(focus, QAccessible::Focus);
                QAccessible::updateAccessibility(&event);
            }
        });
    });
    QObject::connect(menu, &QObject::destroyed, [shown] {
        for (const QPointer<QAction> &action : *shown) {
            if (!action)
                continue;
            if (QAccessibleInterface *entry = QAccessible::queryAccessibleInterface(action.data()))
                QAccessible::deleteAccessibleInterface(QAccessible::uniqueId(entry));
        }
    });
}

void installAccessibility()
{
    static const bool installed = [] {
        QAccessible::installFactory(hostInterface);
        return true;
    }();
    Q_UNUSED(installed);
}

} // namespace huvolo
