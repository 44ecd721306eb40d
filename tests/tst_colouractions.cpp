// The window's additions: the menu, copying in other notations, the recent
// colours and picking from the screen (with a screen made in memory).
#include "colouractions.h"
#include "colournames.h"
#include "frmmain.h"
#include "picturebox.h"
#include "recentcolours.h"
#include "screenpicker.h"
#include "testsupport.h"
#include "textbox.h"

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QTest>
#include <QTimer>
#include <QToolTip>
#include <QPointer>

using namespace huvolo;

namespace {

QStringList texts(const QMenu *menu)
{
    QStringList names;
    for (const QAction *action : menu->actions())
        names << (action->isSeparator() ? QStringLiteral("--") : action->text());
    return names;
}

QMenu *submenu(const QMenu *menu, const QString &text)
{
    for (const QAction *action : menu->actions())
        if (action->text() == text)
            return action->menu();
    return nullptr;
}

// A screen of 40 x 30 device pixels, each (x, y) coloured (10 x, 10 y, 99).
ScreenPicker::Screen memoryScreen(const QPoint *pointer)
{
    QImage screen(40, 30, QImage::Format_ARGB32);
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 40; ++x)
            screen.setPixel(x, y, qRgb(10 * x, 10 * y, 99));
    return ScreenPicker::Screen{[screen](const QRect &area) { return screen.copy(area); },
                                [pointer] { return *pointer; }};
}

} // namespace

class TestColourActions : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void menuBeforeAnySample();
    void copyAs_data();
    void copyAs();
    void recentColours();
    void pickFromScreen_data();
    void pickFromScreen();
    void magnifierMarksTheMiddlePixel();
    void failedPickIsTold();
    void pickAsksTheWindow_data();
    void pickAsksTheWindow();
    void keyboardOpensTheMenu();

private:
    void sampleSwatch(int x, int y);

    FrmMain *window = nullptr;
    ColourActions *actions = nullptr;
    PictureBox *pctSwatches = nullptr;
    TextBox *txtHex = nullptr;
};

void TestColourActions::init()
{
    window = new FrmMain;
    actions = window->colourActions();
    actions->recentColours()->clear();
    pctSwatches = window->findChild<PictureBox *>("pctSwatches");
    txtHex = window->findChild<TextBox *>("txtHex");
    QApplication::clipboard()->setText("before");
}

void TestColourActions::cleanup()
{
    delete window;
}

void TestColourActions::sampleSwatch(int x, int y)
{
    sendMouse(pctSwatches, QEvent::MouseMove, QPoint(x + 1, y + 1));
}

// Before anything is sampled there is nothing to copy or recall.
void TestColourActions::menuBeforeAnySample()
{
    QMenu menu;
    actions->fillMenu(&menu, window->sampledColour());
    QCOMPARE(texts(&menu), (QStringList{"&Pick from screen", "&Copy as", "&Recent colours"}));
    QCOMPARE(menu.actions().at(0)->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    QVERIFY(!submenu(&menu, "&Copy as")->isEnabled());
    QVERIFY(!submenu(&menu, "&Recent colours")->isEnabled());
    // Offscreen the screen cannot be read and no portal runs: the entry says why.
    QVERIFY(!menu.actions().at(0)->isEnabled());
    QVERIFY(menu.actions().at(0)->toolTip().contains("portal"));
}

void TestColourActions::copyAs_data()
{
    QTest::addColumn<int>("entry");
    QTest::addColumn<QString>("copied");
    // Tile row 1, column 0 of the swatch grid: #412000.
    QTest::newRow("#RRGGBB") << 0 << "#412000";
    QTest::newRow("#rrggbb") << 1 << "#412000";
    QTest::newRow("RRGGBB") << 2 << "412000";
    QTest::newRow("rgb()") << 3 << "rgb(65, 32, 0)";
    QTest::newRow("hsl()") << 4 << "hsl(30, 100%, 13%)";
    QTest::newRow("0xRRGGBB") << 5 << "0x412000";
    QTest::newRow("vec4()") << 10 << "vec4(0.255, 0.125, 0.000, 1.0)";
}

// Each notation copies the last sample; the read-out keeps showing #RRGGBB.
void TestColourActions::copyAs()
{
    QFETCH(int, entry);
    QFETCH(QString, copied);
    sampleSwatch(10, 48);
    QMenu menu;
    actions->fillMenu(&menu, window->sampledColour());
    QMenu *copy = submenu(&menu, "&Copy as");
    QVERIFY(copy && copy->isEnabled());
    QCOMPARE(copy->actions().size(), 11);
    // The entry shows what it copies, then the colour's name.
    QCOMPARE(copy->actions().at(entry)->text(), copied + ", " + colourName(qRgb(0x41, 0x20, 0)));
    copy->actions().at(entry)->trigger();
    QCOMPARE(QApplication::clipboard()->text(), copied);
    QCOMPARE(txtHex->text(), QStringLiteral("#412000"));
    QTRY_COMPARE(actions->recentColours()->colours(), QList<QRgb>{qRgb(0x41, 0x20, 0)});
}

// Copies are remembered newest first, once each; choosing one shows and
// copies it again and brings it to the front; the list can be cleared.
void TestColourActions::recentColours()
{
    sampleSwatch(10, 48);
    click(pctSwatches, QPoint(11, 49));
    sampleSwatch(10, 200);
    click(pctSwatches, QPoint(11, 201));
    const QRgb first = qRgb(0x41, 0x20, 0);
    const QRgb second = pctSwatches->Picture().pixel(10, 200);
    QTRY_COMPARE(actions->recentColours()->colours(), (QList<QRgb>{second, first}));

    QMenu menu;
    actions->fillMenu(&menu, window->sampledColour());
    QMenu *recent = submenu(&menu, "&Recent colours");
    QVERIFY(recent->isEnabled());
    QCOMPARE(texts(recent), (QStringList{colourDescription(second), "#412000, " + colourName(first), "--",
                                         "C&lear recent colours"}));
    const QImage swatch = recent->actions().at(1)->icon().pixmap(16, 16).toImage();
    QCOMPARE(QColor(swatch.pixel(8, 8)), QColor(first));

    QApplication::clipboard()->setText("between");
    recent->actions().at(1)->trigger();
    QCOMPARE(txtHex->text(), QStringLiteral("#412000"));
    QCOMPARE(txtHex->palette().color(QPalette::Base), QColor(first));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("#412000"));
    QTRY_COMPARE(actions->recentColours()->colours(), (QList<QRgb>{first, second}));

    recent->actions().last()->trigger();
    QVERIFY(actions->recentColours()->colours().isEmpty());
}

void TestColourActions::pickFromScreen_data()
{
    QTest::addColumn<QString>("ending");
    QTest::addColumn<QString>("readOut");
    QTest::addColumn<QString>("clipboard");
    // The pointer ends on device pixel (7, 3): #46 1E 63.
    QTest::newRow("left click takes it") << "left click" << "#461E63" << "#461E63";
    QTest::newRow("Esc gives up") << "Esc" << "#412000" << "before";
    QTest::newRow("right click gives up") << "right click" << "#412000" << "before";
}

// While picking, the read-out follows the pixel under the pointer; a left
// click copies it as a click on a picture does; Esc or a right click leave
// the read-out and the clipboard as they were.
void TestColourActions::pickFromScreen()
{
    QFETCH(QString, ending);
    QFETCH(QString, readOut);
    QFETCH(QString, clipboard);
    sampleSwatch(10, 48);
    QPoint pointer(20, 10);
    actions->pickFrom(memoryScreen(&pointer));
    ScreenPicker *picker = nullptr;
    for (QWidget *top : QApplication::topLevelWidgets())
        if (auto *shown = qobject_cast<ScreenPicker *>(top); shown && shown->isVisible())
            picker = shown;
    QVERIFY(picker);
    QCOMPARE(txtHex->text(), QStringLiteral("#C86463")); // (20, 10)
    QVERIFY(!actions->pickFromScreenAction()->isEnabled()); // one picker at a time
    pointer = QPoint(7, 3);
    sendMouse(picker, QEvent::MouseMove, QPoint(2, 2));
    QCOMPARE(txtHex->text(), QStringLiteral("#461E63"));
    QCOMPARE(txtHex->palette().color(QPalette::Base), QColor(0x46, 0x1E, 0x63));

    if (ending == "Esc")
        QTest::keyClick(picker, Qt::Key_Escape);
    else
        click(picker, QPoint(2, 2), ending == "left click" ? Qt::LeftButton : Qt::RightButton);
    QCOMPARE(txtHex->text(), readOut);
    QCOMPARE(txtHex->palette().color(QPalette::Base), QColor(readOut));
    QCOMPARE(QApplication::clipboard()->text(), clipboard);
    QTRY_COMPARE(actions->recentColours()->colours().size(), ending == "left click" ? 1 : 0);
    // The same text a click on a picture copies: the sample is the pick.
    click(pctSwatches, QPoint(11, 49));
    QCOMPARE(QApplication::clipboard()->text(), readOut);
}

// The magnifier shows the pixels around the pointer enlarged, the middle one
// framed dark and light.
void TestColourActions::magnifierMarksTheMiddlePixel()
{
    QPoint pointer(20, 10);
    ScreenPicker picker(memoryScreen(&pointer));
    picker.pointAt(pointer);
    const QImage shown = picker.grab().toImage();
    const int zoom = ScreenPicker::Zoom, reach = ScreenPicker::Reach;
    const auto cellColour = [&](int dx, int dy) {
        return QColor(shown.pixel(1 + (reach + dx) * zoom + zoom / 2, 1 + (reach + dy) * zoom + zoom / 2));
    };
    QCOMPARE(cellColour(0, 0), QColor(200, 100, 99));
    QCOMPARE(cellColour(-5, -5), QColor(150, 50, 99));
    QCOMPARE(cellColour(5, 5), QColor(250, 150, 99));
    const int edge = 1 + reach * zoom;
    QCOMPARE(QColor(shown.pixel(edge - 1, edge + zoom / 2)), QColor(Qt::black));
    QCOMPARE(QColor(shown.pixel(edge - 2, edge + zoom / 2)), QColor(Qt::white));
    QCOMPARE(picker.colour(), qRgb(200, 100, 99));
}

// A pick the desktop could not make: the read-out, the clipboard and the
// recent colours stay as they were, a note over the window says why, and
// the entry picks again.
void TestColourActions::failedPickIsTold()
{
    class Failing : public ScreenPick
    {
    public:
        void start() override { emit hovered(qRgb(1, 2, 3)); }
        void fail() { emit failed(QStringLiteral("the picker broke")); }
    };
    window->show();
    sampleSwatch(10, 48);
    auto *pick = new Failing;
    QPointer<Failing> alive(pick);
    actions->pickWith(pick);
    QCOMPARE(txtHex->text(), QStringLiteral("#010203"));
    QVERIFY(!actions->pickFromScreenAction()->isEnabled());
    pick->fail();
    QCOMPARE(txtHex->text(), QStringLiteral("#412000"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
    QTRY_VERIFY(QToolTip::isVisible());
    QCOMPARE(QToolTip::text(), QStringLiteral("Picking from the screen failed: the picker broke"));
    QTRY_VERIFY(!alive);
    QVERIFY(actions->recentColours()->colours().isEmpty());
    actions->pickWith(new Failing);
    QCOMPARE(txtHex->text(), QStringLiteral("#010203"));
}

void TestColourActions::pickAsksTheWindow_data()
{
    QTest::addColumn<bool>("taken");
    QTest::newRow("picked") << true;
    QTest::newRow("given up") << false;
}

// The actions need no main window: a pick asks whatever window they serve to
// keep its read-out, preview what is hovered, then take the pick or put the
// read-out back; nothing else is asked for.
void TestColourActions::pickAsksTheWindow()
{
    QFETCH(bool, taken);
    class Scripted : public ScreenPick
    {
    public:
        void start() override { emit hovered(qRgb(1, 2, 3)); }
        void end(bool take)
        {
            if (take)
                emit picked(qRgb(4, 5, 6));
            else
                emit cancelled();
        }
    };
    QWidget plain;
    ColourActions bare(&plain, QStringLiteral("huvolo-test"), QStringLiteral("pick"));
    QStringList asked;
    connect(&bare, &ColourActions::previewStarted, [&] { asked << "keep"; });
    connect(&bare, &ColourActions::previewRequested, [&](const SampledColour &c) { asked << "show " + c.text(); });
    connect(&bare, &ColourActions::restoreRequested, [&] { asked << "restore"; });
    connect(&bare, &ColourActions::takeRequested, [&](const SampledColour &c) { asked << "take " + c.text(); });
    auto *pick = new Scripted;
    bare.pickWith(pick);
    pick->end(taken);
    QCOMPARE(asked, (QStringList{"keep", "show #010203", taken ? "take #040506" : "restore"}));
}

// Shift+F10, like the Menu key, opens the menu where the focus is.
void TestColourActions::keyboardOpensTheMenu()
{
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QTimer::singleShot(0, [] {
        QWidget *popup = QApplication::activePopupWidget();
        QVERIFY(popup);
        QCOMPARE(texts(qobject_cast<QMenu *>(popup)).first(), QStringLiteral("&Pick from screen"));
        popup->close();
    });
    QTest::keyClick(window, Qt::Key_F10, Qt::ShiftModifier);
}

QTEST_MAIN(TestColourActions)
#include "tst_colouractions.moc"
