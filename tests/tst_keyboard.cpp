// Working the window from the keyboard: the picture boxes' keyboard pointer,
// the focus cues, Alt+T and Tab passing by the covered picture.
#include "frmmain.h"
#include "picturebox.h"
#include "testsupport.h"
#include "textbox.h"
#include <Huvolo/xpcmdbutton.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyCombination>
#include <QTest>

using namespace huvolo;

namespace {

using Keys = QList<QKeyCombination>;

QString hexOf(QRgb colour)
{
    return QColor(colour).name().toUpper();
}

} // namespace

class TestKeyboard : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void keyboardPointer_data();
    void keyboardPointer();
    void returnAndSpaceCopy_data();
    void returnAndSpaceCopy();
    void focusCue_data();
    void focusCue();
    void altTClicksWithoutALook();
    void focusLeavesTheCoveredPicture();

private:
    FrmMain *window = nullptr;
    PictureBox *pctColors = nullptr;
    PictureBox *pctSwatches = nullptr;
    TextBox *txtHex = nullptr;
    xpcmdbutton *xpcmdToggle = nullptr;
};

void TestKeyboard::init()
{
    window = new FrmMain;
    pctColors = window->findChild<PictureBox *>("pctColors");
    pctSwatches = window->findChild<PictureBox *>("pctSwatches");
    txtHex = window->findChild<TextBox *>("txtHex");
    xpcmdToggle = window->findChild<xpcmdbutton *>("xpcmdToggle");
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QApplication::clipboard()->setText("before");
}

void TestKeyboard::cleanup()
{
    delete window;
}

void TestKeyboard::keyboardPointer_data()
{
    QTest::addColumn<Keys>("keys");
    QTest::addColumn<QPoint>("pixel"); // of the inner area; it starts in the middle of the picture
    QTest::newRow("right") << Keys{Qt::Key_Right} << QPoint(119, 118);
    QTest::newRow("Shift+Right") << Keys{Qt::SHIFT | Qt::Key_Right} << QPoint(128, 118);
    QTest::newRow("down then left") << Keys{Qt::Key_Down, Qt::Key_Left} << QPoint(117, 119);
    QTest::newRow("up") << Keys{Qt::Key_Up} << QPoint(118, 117);
    QTest::newRow("stops at the left edge") << Keys(13, Qt::SHIFT | Qt::Key_Left) << QPoint(0, 118);
    // Beyond the picture the inner area shows the back colour, as with the mouse.
    QTest::newRow("stops at the last inner pixel") << Keys(13, Qt::SHIFT | Qt::Key_Down) << QPoint(118, 238);
}

// Arrow keys move the keyboard pointer and report it as a pointer move, in
// twips: the read-out follows exactly as it does for the mouse.
void TestKeyboard::keyboardPointer()
{
    QFETCH(Keys, keys);
    QFETCH(QPoint, pixel);
    pctColors->setFocus(Qt::TabFocusReason);
    for (const QKeyCombination key : keys)
        QTest::keyClick(pctColors, key.key(), key.keyboardModifiers());
    QCOMPARE(pctColors->keyboardPointer(), pixel);
    const qint32 packed = pctColors->Point(pixel.x() * 15.0f, pixel.y() * 15.0f);
    const QColor colour(packed & 0xFF, (packed >> 8) & 0xFF, (packed >> 16) & 0xFF);
    QCOMPARE(txtHex->text(), colour.name().toUpper());
    QCOMPARE(txtHex->palette().color(QPalette::Base), colour);
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
}

void TestKeyboard::returnAndSpaceCopy_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Return") << Qt::Key_Return;
    QTest::newRow("Enter") << Qt::Key_Enter;
    QTest::newRow("Space") << Qt::Key_Space;
}

// Return or Space is a click on the picture: the read-out's text is copied.
void TestKeyboard::returnAndSpaceCopy()
{
    QFETCH(Qt::Key, key);
    pctColors->setFocus(Qt::TabFocusReason);
    QTest::keyClick(pctColors, Qt::Key_Right);
    QTest::keyClick(pctColors, key);
    const QString expected = hexOf(pctColors->Picture().pixel(119, 118));
    QCOMPARE(txtHex->text(), expected);
    QCOMPARE(QApplication::clipboard()->text(), expected);
}

void TestKeyboard::focusCue_data()
{
    QTest::addColumn<QString>("control");
    QTest::newRow("wheel") << "pctColors";
    QTest::newRow("TOGGLE") << "xpcmdToggle";
}

// The focus shows after keyboard navigation only: focused by a mouse click,
// or at start-up, every control keeps its designed pixels.
void TestKeyboard::focusCue()
{
    QFETCH(QString, control);
    QWidget *widget = window->findChild<QWidget *>(control);
    txtHex->setFocus(Qt::OtherFocusReason);
    const QImage designed = widget->grab().toImage();

    click(widget, QPoint(8, 8), Qt::RightButton); // a mouse press ends keyboard navigation
    widget->setFocus(Qt::MouseFocusReason);
    QVERIFY(widget->hasFocus());
    QCOMPARE(widget->grab().toImage(), designed);

    txtHex->setFocus(Qt::MouseFocusReason);
    widget->setFocus(Qt::TabFocusReason);
    QTRY_VERIFY(widget->grab().toImage() != designed);
    // The cue's dotted line, inside the edge on the left.
    const QImage cued = widget->grab().toImage();
    int changedOnTheLeft = 0;
    for (int y = 0; y < cued.height(); ++y)
        changedOnTheLeft += cued.pixel(control == "pctColors" ? 1 : 3, y) != designed.pixel(control == "pctColors" ? 1 : 3, y);
    QVERIFY2(changedOnTheLeft >= 4, qPrintable(QString::number(changedOnTheLeft)));

    click(window, QPoint(248, 2), Qt::RightButton);
    QTRY_COMPARE(widget->grab().toImage(), designed);
}

// Alt+T clicks TOGGLE through its access-key notification: Click and no
// mouse event, no change of look.
void TestKeyboard::altTClicksWithoutALook()
{
    QStringList events;
    recordEvents(xpcmdToggle, events);
    const int cell = shownCell(*xpcmdToggle);
    QTest::keyClick(window, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(pctColors->Visible(), qint16(0));
    QCOMPARE(events, QStringList{"Click"});
    QCOMPARE(shownCell(*xpcmdToggle), cell);
    QTest::keyClick(window, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(pctColors->Visible(), qint16(-1));
    QVERIFY(xpcmdToggle->toolTip().contains("Alt+T"));
}

// Keyboard focus never stays on a picture the user cannot see.
void TestKeyboard::focusLeavesTheCoveredPicture()
{
    QTest::keyClick(window, Qt::Key_T, Qt::AltModifier);
    pctSwatches->setFocus(Qt::TabFocusReason);
    QVERIFY(pctSwatches->hasFocus());
    QTest::keyClick(window, Qt::Key_T, Qt::AltModifier);
    QVERIFY(pctColors->hasFocus());
    QCOMPARE(pctSwatches->focusPolicy(), Qt::NoFocus);
    QTest::keyClick(window, Qt::Key_T, Qt::AltModifier);
    QCOMPARE(pctSwatches->focusPolicy(), Qt::StrongFocus);
}

QTEST_MAIN(TestKeyboard)
#include "tst_keyboard.moc"
