// What assistive technology is told about the window and the controls: each
// element's role, name, description, actions and children.

#include "accessibility.h"
#include "frmmain.h"
#include "picturebox.h"
#include "testsupport.h"
#include "textbox.h"
#include <Huvolo/placement.h>
#include <Huvolo/xpcmdbutton.h>
#include <Huvolo/xpgroupbox.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QKeyEvent>
#include <QMenu>
#include <QTest>

#include <memory>

using namespace huvolo;

namespace {

QString nameOf(QAccessibleInterface *iface)
{
    return iface ? iface->text(QAccessible::Name) : QStringLiteral("(none)");
}

template <typename Control>
Control *placeNew(QWidget *parent, const char *name, const QRect &geometry, const QString &caption)
{
    auto *control = new Control(parent);
    control->setObjectName(QLatin1String(name));
    place(control, StoredRect::fromPixels(geometry),
          [] { return UserControl::AmbientProperties{QStringLiteral("Ambient"), makeFont("DejaVu Sans", 8)}; },
          nullptr);
    hostGuard([&] { control->setCaption(caption); });
    return control;
}

} // namespace

class TestAccessibility : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void elements_data();
    void elements();
    void descriptionIsColourUnderPointer_data();
    void descriptionIsColourUnderPointer();
    void nameFollowsCaption_data();
    void nameFollowsCaption();
    void readOutIsOneTextRun_data();
    void readOutIsOneTextRun();
    void arrowSteps_data();
    void arrowSteps();
    void menuEntryOutlivesMenu();

private:
    QWidget *element(const QString &name) const;

    std::unique_ptr<FrmMain> window;
    // A group box holding an enabled, a disabled and a container-named button.
    std::unique_ptr<QWidget> form;
};

void TestAccessibility::init()
{
    window = std::make_unique<FrmMain>();
    form = std::make_unique<QWidget>();
    form->setWindowTitle(QStringLiteral("Form"));
    auto *group = placeNew<xpgroupbox>(form.get(), "grpLooks", QRect(8, 8, 199, 89), QStringLiteral("Looks"));
    placeNew<xpcmdbutton>(group, "cmdOk", QRect(9, 40, 57, 21), QStringLiteral("OK"));
    auto *off = placeNew<xpcmdbutton>(group, "cmdOff", QRect(71, 40, 57, 21), QStringLiteral("Off"));
    hostGuard([off] { off->setEnabled(false); });
    auto *named = placeNew<xpcmdbutton>(group, "cmdNamed", QRect(133, 40, 57, 21), QStringLiteral("Apply"));
    named->setAccessibleName(QStringLiteral("Apply the colour"));
}

void TestAccessibility::cleanup()
{
    window.reset();
    form.reset();
}

QWidget *TestAccessibility::element(const QString &name) const
{
    if (name == QLatin1String("FrmMain"))
        return window.get();
    if (auto *widget = window->findChild<QWidget *>(name))
        return widget;
    return form->findChild<QWidget *>(name);
}

void TestAccessibility::elements_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QAccessible::Role>("role");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("actions");
    QTest::addColumn<QStringList>("children"); // by name, in order
    const QString press = QAccessibleActionInterface::pressAction();
    const QString focus = QAccessibleActionInterface::setFocusAction();
    QTest::newRow("the window") << "FrmMain" << QAccessible::Window << "Huvolo" << QStringList{}
                                << QStringList{"Colour swatches", "Colour wheel", "Colour", "TOGGLE"};
    QTest::newRow("the wheel") << "pctColors" << QAccessible::Graphic << "Colour wheel" << QStringList{focus}
                               << QStringList{};
    // Covered by the wheel, the swatches take no focus.
    QTest::newRow("the swatches") << "pctSwatches" << QAccessible::Graphic << "Colour swatches"
                                  << QStringList{} << QStringList{};
    QTest::newRow("the read-out") << "txtHex" << QAccessible::EditableText << "Colour"
                                  << QStringList{focus}
                                  << QStringList{};
    QTest::newRow("TOGGLE") << "xpcmdToggle" << QAccessible::PushButton << "TOGGLE" << QStringList{press, focus}
                            << QStringList{};
    QTest::newRow("a group box") << "grpLooks" << QAccessible::Grouping << "Looks" << QStringList{}
                                 << QStringList{"OK", "Off", "Apply the colour"};
    QTest::newRow("a disabled button") << "cmdOff" << QAccessible::PushButton << "Off" << QStringList{}
                                       << QStringList{};
    QTest::newRow("a button its container named") << "cmdNamed" << QAccessible::PushButton << "Apply the colour"
                                                  << QStringList{press, focus} << QStringList{};
}

// Each element has its role, name and actions; its children are the
// controls inside it, never a control's own caption or picture, and lead
// back to it.
void TestAccessibility::elements()
{
    QFETCH(QString, object);
    QFETCH(QAccessible::Role, role);
    QFETCH(QString, name);
    QFETCH(QStringList, actions);
    QFETCH(QStringList, children);
    QWidget *widget = element(object);
    QVERIFY2(widget, qPrintable(object));
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(iface && iface->isValid());
    QCOMPARE(iface->role(), role);
    QCOMPARE(iface->text(QAccessible::Name), name);
    // Only TOGGLE describes itself: it names its access key.
    QCOMPARE(iface->text(QAccessible::Description),
             object == "xpcmdToggle" ? QStringLiteral("Show or hide the colour wheel (Alt+T)") : QString());
    QVERIFY(iface->actionInterface());
    QCOMPARE(iface->actionInterface()->actionNames(), actions);

    QStringList shown;
    for (int i = 0; i < iface->childCount(); ++i) {
        QAccessibleInterface *child = iface->child(i);
        QVERIFY(child);
        shown << nameOf(child);
        QCOMPARE(child->parent(), iface);
        QCOMPARE(iface->indexOfChild(child), i);
    }
    QCOMPARE(shown, children);
    // A control's caption is not an element of its own, even where it is hit.
    if (auto *lbl = widget->findChild<Label *>(QStringLiteral("lbl"), Qt::FindDirectChildrenOnly)) {
        QCOMPARE(iface->indexOfChild(QAccessible::queryAccessibleInterface(lbl)), -1);
        const QPoint caption = lbl->mapToGlobal(lbl->rect().center());
        QCOMPARE(iface->childAt(caption.x(), caption.y()), nullptr);
    }
}

void TestAccessibility::descriptionIsColourUnderPointer_data()
{
    QTest::addColumn<QList<QPoint>>("moves"); // inner-area pixels of the wheel
    QTest::addColumn<bool>("leave");          // then the pointer leaves the box
    QTest::addColumn<QList<QPoint>>("after"); // and comes back to these
    QTest::addColumn<QString>("expected");
    // The wheel's pixel (40, 30) is made red and its back colour #563412;
    // (2, 2) is white. The border is at -1, the inner area 239 wide.
    const QList<QPoint> none;
    QTest::newRow("before any move") << none << false << none << "";
    QTest::newRow("a pixel") << QList<QPoint>{{40, 30}} << false << none << "#FF0000";
    QTest::newRow("beyond the picture") << QList<QPoint>{{237, 100}} << false << none << "#563412";
    QTest::newRow("onto the border") << QList<QPoint>{{40, 30}, {-1, -1}} << false << none << "";
    QTest::newRow("left the box") << QList<QPoint>{{40, 30}} << true << none << "";
    QTest::newRow("back after leaving") << QList<QPoint>{{40, 30}} << true << QList<QPoint>{{2, 2}} << "#FFFFFF";
}

// The wheel's description is the #RRGGBB under the pointer, the very text
// the read-out shows for it, and nothing where no pixel of it is pointed at.
void TestAccessibility::descriptionIsColourUnderPointer()
{
    QFETCH(QList<QPoint>, moves);
    QFETCH(bool, leave);
    QFETCH(QList<QPoint>, after);
    QFETCH(QString, expected);
    auto *pctColors = window->findChild<PictureBox *>(QStringLiteral("pctColors"));
    auto *txtHex = window->findChild<TextBox *>(QStringLiteral("txtHex"));
    QImage picture = pctColors->Picture();
    picture.setPixel(40, 30, qRgb(255, 0, 0));
    pctColors->setPicture(picture);
    pctColors->setBackColor(0x00123456);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(pctColors);

    for (const QPoint inner : moves)
        sendMouse(pctColors, QEvent::MouseMove, inner + QPoint(1, 1));
    if (leave) {
        QEvent event(QEvent::Leave);
        QApplication::sendEvent(pctColors, &event);
    }
    for (const QPoint inner : after)
        sendMouse(pctColors, QEvent::MouseMove, inner + QPoint(1, 1));
    QCOMPARE(iface->text(QAccessible::Description), expected);
    QCOMPARE(pctColors->pointedColour().isValid(), !expected.isEmpty());
    if (!expected.isEmpty())
        QCOMPARE(txtHex->text(), expected);
}

void TestAccessibility::nameFollowsCaption_data()
{
    QTest::addColumn<QString>("object");
    QTest::addColumn<QString>("caption");
    QTest::addColumn<QString>("name");
    QTest::newRow("TOGGLE") << "xpcmdToggle" << "Swap pictures" << "Swap pictures";
    QTest::newRow("a group box") << "grpLooks" << "Colour sources" << "Colour sources";
    QTest::newRow("a button its container named") << "cmdNamed" << "Apply now" << "Apply the colour";
    QTest::newRow("a cleared caption") << "cmdOk" << "" << "";
}

// A new caption renames the control, unless its container gave it a name.
void TestAccessibility::nameFollowsCaption()
{
    QFETCH(QString, object);
    QFETCH(QString, caption);
    QFETCH(QString, name);
    QWidget *widget = element(object);
    QAccessibleInterface *iface = QAccessible::queryAccessibleInterface(widget);
    QVERIFY(!iface->text(QAccessible::Name).isEmpty());
    if (auto *button = qobject_cast<xpcmdbutton *>(widget))
        button->setCaption(caption);
    else
        qobject_cast<xpgroupbox *>(widget)->setCaption(caption);
    QCOMPARE(iface->text(QAccessible::Name), name);
}

void TestAccessibility::readOutIsOneTextRun_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("offset");
    QTest::newRow("first digit") << "#12AB0F" << 0;
    QTest::newRow("last digit") << "#12AB0F" << 6;
    QTest::newRow("end of text") << "#12AB0F" << 7;
    QTest::newRow("empty") << "" << 0;
}

// The read-out's text is one run, whatever offset is asked: a screen reader
// builds the line it reads from these runs.
void TestAccessibility::readOutIsOneTextRun()
{
    QFETCH(QString, text);
    QFETCH(int, offset);
    auto *txtHex = window->findChild<TextBox *>(QStringLiteral("txtHex"));
    txtHex->setText(text);
    QAccessibleTextInterface *readOut = QAccessible::queryAccessibleInterface(txtHex)->textInterface();
    QVERIFY(readOut);
    int start = -1, end = -1;
    readOut->attributes(offset, &start, &end);
    QCOMPARE(start, 0);
    QCOMPARE(end, int(text.size()));
    QCOMPARE(readOut->text(start, end), text);
}

void TestAccessibility::arrowSteps_data()
{
    QTest::addColumn<QString>("picture");
    QTest::addColumn<QList<int>>("keys"); // each with Shift if negative
    QTest::addColumn<QPoint>("expected");
    // From the middle pixel (118, 118): on the wheel pixels; on the swatch
    // grid (tiles 14.375 x 10.75 from (3, 32)) the middle pixel of a tile,
    // from tile (8, 8), Shift or not.
    QTest::newRow("wheel, right") << "pctColors" << QList<int>{Qt::Key_Right} << QPoint(119, 118);
    QTest::newRow("wheel, shift+up") << "pctColors" << QList<int>{-Qt::Key_Up} << QPoint(118, 108);
    QTest::newRow("swatches, right") << "pctSwatches" << QList<int>{Qt::Key_Right} << QPoint(139, 123);
    QTest::newRow("swatches, shift+right") << "pctSwatches" << QList<int>{-Qt::Key_Right} << QPoint(139, 123);
    QTest::newRow("swatches, left, down") << "pctSwatches" << QList<int>{Qt::Key_Left, Qt::Key_Down}
                                          << QPoint(110, 134);
    QTest::newRow("swatches, up to the top row and past it")
        << "pctSwatches" << QList<int>(10, Qt::Key_Up) << QPoint(125, 37);
}

// An arrow moves the keyboard pointer a pixel on the wheel (ten with Shift)
// and a whole swatch on the swatch grid.
void TestAccessibility::arrowSteps()
{
    QFETCH(QString, picture);
    QFETCH(QList<int>, keys);
    QFETCH(QPoint, expected);
    auto *box = window->findChild<PictureBox *>(picture);
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(box, &focusIn);
    QCOMPARE(box->keyboardPointer(), QPoint(118, 118));
    for (const int key : keys)
        QTest::keyClick(box, Qt::Key(std::abs(key)), key < 0 ? Qt::ShiftModifier : Qt::NoModifier);
    QCOMPARE(box->keyboardPointer(), expected);
}

// An entry shared by menus one after another (the window's Pick from
// screen) belongs, for assistive technology, to the menu showing it now, not
// to one that is gone.
void TestAccessibility::menuEntryOutlivesMenu()
{
    QAction shared(QStringLiteral("Pick from screen"));
    for (int opening = 1; opening <= 2; ++opening) {
        QMenu menu(window.get());
        menu.addAction(&shared);
        makeMenuSpeakable(&menu);
        menu.popup(QPoint(0, 0));
        QVERIFY(QTest::qWaitForWindowExposed(&menu));
        QAccessibleInterface *menuInterface = QAccessible::queryAccessibleInterface(&menu);
        QAccessibleInterface *entry = menuInterface->child(0);
        QVERIFY2(entry && entry->isValid(), qPrintable(QStringLiteral("opening %1").arg(opening)));
        QCOMPARE(entry->text(QAccessible::Name), shared.text());
        QCOMPARE(entry->parent(), menuInterface);
        menu.close();
    }
}

QTEST_MAIN(TestAccessibility)
#include "tst_accessibility.moc"
