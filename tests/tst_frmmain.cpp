#include "fontfaces.h"
#include "frmmain.h"
#include "label.h"
#include "picturebox.h"
#include "testsupport.h"
#include "textbox.h"
#include <Huvolo/xpcmdbutton.h>

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QApplication>
#include <QClipboard>
#include <QCursor>
#include <QFile>
#include <QFontInfo>
#include <QJsonDocument>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>
#include <QToolTip>

using namespace huvolo;

namespace {

// A move to the inner-area pixel (x, y): the box's border is one pixel wide.
void moveTo(PictureBox *box, int x, int y)
{
    sendMouse(box, QEvent::MouseMove, QPoint(x + 1, y + 1));
}

// Counts the close requests a window receives.
class CloseCounter : public QObject
{
public:
    int count = 0;

    bool eventFilter(QObject *, QEvent *event) override
    {
        count += event->type() == QEvent::Close;
        return false;
    }
};

QColor baseOf(const QWidget *widget)
{
    return widget->palette().color(QPalette::Base);
}

} // namespace

class TestFrmMain : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void windowLayout();
    void startPosition_data();
    void startPosition();
    void getRGB_data();
    void getRGB();
    void padHex_data();
    void padHex();

    void sampleShowsPixel_data();
    void sampleShowsPixel();
    void sampleReadsBothPictures();
    void sampleBeyondPictureShowsBackColour();
    void moveOutsideInnerAreaChangesNothing();
    void clickCopiesOnlyHexText();
    void clickBeforeSampleChangesNothing();
    void doubleClickRewritesWithoutCopying();
    void readOutTipNamesColour();
    void focusSelectsAll_data();
    void focusSelectsAll();

    void toggleButtonPlaced();
    void toggleOnClicks_data();
    void toggleOnClicks();
    void toggleOnAccessKey_data();
    void toggleOnAccessKey();
    void keysDoNotToggle_data();
    void keysDoNotToggle();
    void dragOutDoesNotToggle();
    void hoverAndLeaveDoNotToggle();

    void closeKeys_data();
    void closeKeys();

private:
    void prepareToggle();
    void checkSampleKept();

    QColor sampledBack;
    bool realSmallFonts = false;
    xpcmdbutton *xpcmdToggle = nullptr;
    FrmMain *window = nullptr;
    PictureBox *pctColors = nullptr;
    PictureBox *pctSwatches = nullptr;
    TextBox *txtHex = nullptr;
};

void TestFrmMain::initTestCase()
{
    realSmallFonts = huvolo::addFontFaces();
}

void TestFrmMain::init()
{
    window = new FrmMain;
    pctColors = window->findChild<PictureBox *>("pctColors");
    pctSwatches = window->findChild<PictureBox *>("pctSwatches");
    txtHex = window->findChild<TextBox *>("txtHex");
    xpcmdToggle = window->findChild<xpcmdbutton *>("xpcmdToggle");
    QVERIFY(pctColors && pctSwatches && txtHex && xpcmdToggle);
    QApplication::clipboard()->setText("before");
}

void TestFrmMain::cleanup()
{
    delete window;
}

void TestFrmMain::windowLayout()
{
    QCOMPARE(window->windowTitle(), QStringLiteral("Huvolo"));
    QCOMPARE(window->size(), QSize(251, 275));
    QCOMPARE(window->minimumSize(), window->maximumSize());
    QVERIFY(window->windowFlags() & Qt::WindowCloseButtonHint);
    QVERIFY(!(window->windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    QCOMPARE(pctColors->geometry(), QRect(5, 5, 241, 241));
    QCOMPARE(pctSwatches->geometry(), QRect(5, 5, 241, 241));
    QCOMPARE(txtHex->geometry(), QRect(5, 250, 240, 19));
    QCOMPARE(pctColors->Picture().size(), QSize(236, 236));
    QCOMPARE(pctSwatches->Picture().size(), QSize(236, 236));

    // Z-order: later children lie above earlier ones.
    const QObjectList children = window->children();
    QVERIFY(children.indexOf(pctSwatches) < children.indexOf(pctColors));
    QVERIFY(children.indexOf(pctColors) < children.indexOf(txtHex));
    // Tab order by tab index: pctColors, txtHex, pctSwatches.
    QCOMPARE(pctColors->nextInFocusChain(), static_cast<QWidget *>(txtHex));
    QCOMPARE(txtHex->nextInFocusChain(), static_cast<QWidget *>(pctSwatches));

    // At start: wheel shown, swatches not hidden but covered, read-out empty
    // with its default colours and no sunken edge.
    QCOMPARE(pctColors->Visible(), qint16(-1));
    QCOMPARE(pctSwatches->Visible(), qint16(-1));
    QVERIFY(txtHex->text().isEmpty());
    QCOMPARE(baseOf(txtHex), QApplication::palette().color(QPalette::Base));
    QVERIFY(!txtHex->hasSunkenEdge());
}

void TestFrmMain::startPosition_data()
{
    QTest::addColumn<QRect>("available");
    QTest::addColumn<QPoint>("expected");
    QTest::newRow("centred on 1280 x 1024") << QRect(0, 0, 1280, 1024) << QPoint(514, 374);
    QTest::newRow("centred below a panel") << QRect(0, 32, 1280, 992) << QPoint(514, 390);
    QTest::newRow("centred on a second screen") << QRect(1920, 0, 800, 600) << QPoint(2194, 162);
    QTest::newRow("exactly the window's size") << QRect(0, 0, 251, 275) << QPoint(0, 0);
    QTest::newRow("too narrow") << QRect(10, 0, 200, 600) << QPoint(10, 162);
    QTest::newRow("too low") << QRect(0, 20, 800, 240) << QPoint(274, 20);
    QTest::newRow("smaller both ways") << QRect(-100, -50, 160, 120) << QPoint(-100, -50);
}

// Centred where the window fits; otherwise its top-left corner stays on the screen.
void TestFrmMain::startPosition()
{
    QFETCH(QRect, available);
    QFETCH(QPoint, expected);
    QCOMPARE(FrmMain::startPosition(available, QSize(251, 275)), expected);
}

void TestFrmMain::getRGB_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<qint16>("num");
    QTest::addColumn<qint16>("expected");
    QTest::newRow("white blue") << 16777215.0 << qint16(3) << qint16(255);
    QTest::newRow("green of 0xFF00") << 65280.0 << qint16(2) << qint16(255);
    QTest::newRow("red of 0xFF00") << 65280.0 << qint16(1) << qint16(0);
    QTest::newRow("blue of 0x0A0B0C") << double(0x0A0B0C) << qint16(3) << qint16(0x0A);
    QTest::newRow("2^24 out of range") << 16777216.0 << qint16(1) << qint16(-1);
    QTest::newRow("minus one") << -1.0 << qint16(1) << qint16(-1);
    QTest::newRow("below minus one") << -5.0 << qint16(2) << qint16(-1);
    QTest::newRow("NaN") << qQNaN() << qint16(1) << qint16(-1);
    QTest::newRow("channel 0") << 255.0 << qint16(0) << qint16(-1);
    QTest::newRow("channel 4") << 255.0 << qint16(4) << qint16(-1);
    QTest::newRow("negative channel") << 255.0 << qint16(-3) << qint16(-1);
    QTest::newRow("0.5 ties to 0") << 0.5 << qint16(1) << qint16(0);
    QTest::newRow("1.5 ties to 2") << 1.5 << qint16(1) << qint16(2);
    QTest::newRow("255.5 ties to 256") << 255.5 << qint16(2) << qint16(1);
}

void TestFrmMain::getRGB()
{
    QFETCH(double, value);
    QFETCH(qint16, num);
    QFETCH(qint16, expected);
    const double before = value;
    const qint16 numBefore = num;
    QCOMPARE(FrmMain::GetRGB(value, num), expected);
    QVERIFY(value == before || (qIsNaN(value) && qIsNaN(before)));
    QCOMPARE(num, numBefore);
}

void TestFrmMain::padHex_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("expected");
    QTest::newRow("one digit") << "A" << "0A";
    QTest::newRow("zero") << "0" << "00";
    QTest::newRow("empty") << "" << "";
    QTest::newRow("two digits") << "1F" << "1F";
    QTest::newRow("three digits") << "ABC" << "ABC";
}

void TestFrmMain::padHex()
{
    QFETCH(QString, text);
    QFETCH(QString, expected);
    QCOMPARE(FrmMain::PadHex(text), expected);
}

void TestFrmMain::sampleShowsPixel_data()
{
    QTest::addColumn<QColor>("pixel");
    QTest::addColumn<QString>("expected");
    QTest::newRow("red") << QColor(255, 0, 0) << "#FF0000";
    QTest::newRow("green 10 blue 255") << QColor(0, 10, 255) << "#000AFF";
    QTest::newRow("black") << QColor(0, 0, 0) << "#000000";
    QTest::newRow("white") << QColor(255, 255, 255) << "#FFFFFF";
    QTest::newRow("mixed") << QColor(0x12, 0xAB, 0x0F) << "#12AB0F";
}

void TestFrmMain::sampleShowsPixel()
{
    QFETCH(QColor, pixel);
    QFETCH(QString, expected);
    QImage picture = pctColors->Picture();
    picture.setPixel(40, 30, pixel.rgb());
    pctColors->setPicture(picture);

    moveTo(pctColors, 40, 30);
    QCOMPARE(txtHex->text(), expected);
    QCOMPARE(baseOf(txtHex), pixel);
    // The additions see the very colour the read-out shows.
    QCOMPARE(window->sampledColour().rgb(), pixel.rgb());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
}

void TestFrmMain::sampleReadsBothPictures()
{
    // Tile row 1, column 0 of the swatch grid, and the wheel's white corner.
    moveTo(pctSwatches, 10, 48);
    QCOMPARE(txtHex->text(), QStringLiteral("#412000"));
    moveTo(pctColors, 2, 2);
    QCOMPARE(txtHex->text(), QStringLiteral("#FFFFFF"));
}

void TestFrmMain::sampleBeyondPictureShowsBackColour()
{
    moveTo(pctColors, 237, 100);
    const QColor back = QApplication::palette().color(QPalette::Base);
    QCOMPARE(txtHex->text(), back.name().toUpper());
    QCOMPARE(baseOf(txtHex), back);
}

void TestFrmMain::moveOutsideInnerAreaChangesNothing()
{
    moveTo(pctSwatches, 10, 48);
    const QColor before = baseOf(txtHex);
    // The border pixel and points dragged outside the box read -1.
    for (const QPoint pos : {QPoint(0, 0), QPoint(240, 100), QPoint(-20, 30), QPoint(100, 400)}) {
        sendMouse(pctSwatches, QEvent::MouseMove, pos);
        QCOMPARE(txtHex->text(), QStringLiteral("#412000"));
        QCOMPARE(baseOf(txtHex), before);
    }
}

void TestFrmMain::clickCopiesOnlyHexText()
{
    auto *rich = new QMimeData;
    rich->setText("old text");
    rich->setHtml("<b>old</b>");
    rich->setData("application/x-huvolo-test", "payload");
    QApplication::clipboard()->setMimeData(rich);

    moveTo(pctSwatches, 10, 48);
    txtHex->setText("edited by hand");
    click(pctSwatches, QPoint(10, 10));
    QCOMPARE(txtHex->text(), QStringLiteral("#412000"));
    const QMimeData *data = QApplication::clipboard()->mimeData();
    QCOMPARE(data->text(), QStringLiteral("#412000"));
    QCOMPARE(data->formats(), QStringList{"text/plain"});

    // A click on the other picture copies the same, last sample.
    QApplication::clipboard()->setText("between");
    click(pctColors, QPoint(10, 10));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("#412000"));
}

void TestFrmMain::clickBeforeSampleChangesNothing()
{
    click(pctColors, QPoint(10, 10));
    doubleClick(pctSwatches, QPoint(10, 10));
    QVERIFY(txtHex->text().isEmpty());
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("before"));
}

void TestFrmMain::doubleClickRewritesWithoutCopying()
{
    moveTo(pctColors, 2, 2);
    txtHex->setText("typed");
    QApplication::clipboard()->setText("kept");
    // The first click of the pair copies; the double click itself does not.
    sendMouse(pctColors, QEvent::MouseButtonDblClick, QPoint(10, 10), Qt::LeftButton);
    sendMouse(pctColors, QEvent::MouseButtonRelease, QPoint(10, 10), Qt::LeftButton);
    QCOMPARE(txtHex->text(), QStringLiteral("#FFFFFF"));
    QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
}

// The read-out's tooltip gives the shown colour's hex and name; the read-out
// itself shows only the hex.
void TestFrmMain::readOutTipNamesColour()
{
    window->keepReadOut();
    QVERIFY(txtHex->toolTip().isEmpty());
    moveTo(pctSwatches, 10, 48);
    QCOMPARE(txtHex->text(), QStringLiteral("#412000"));
    QCOMPARE(txtHex->toolTip(), QStringLiteral("#412000, approximately maroon"));
    // Put back as a cancelled pick from the screen does.
    window->restoreReadOut();
    QVERIFY(txtHex->toolTip().isEmpty());
    QVERIFY(txtHex->text().isEmpty());
    QVERIFY(!window->sampledColour().isValid());
    moveTo(pctSwatches, 10, 48);
    window->keepReadOut();
    moveTo(pctColors, 2, 2);
    QCOMPARE(txtHex->toolTip(), QStringLiteral("#FFFFFF, white"));
    window->restoreReadOut();
    QCOMPARE(txtHex->toolTip(), QStringLiteral("#412000, approximately maroon"));
    QCOMPARE(window->sampledColour().rgb(), qRgb(0x41, 0x20, 0));

    // A tooltip open over the read-out changes with the colour, as when an
    // arrow key moves the keyboard pointer with the mouse at rest there.
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window));
    window->showColour(SampledColour(0xFFFF8C00));
    QTest::mouseMove(txtHex);
    QTRY_VERIFY(txtHex->underMouse());
    QToolTip::showText(QCursor::pos(), txtHex->toolTip(), txtHex);
    QTRY_VERIFY(QToolTip::isVisible());
    window->showColour(SampledColour(0xFFFF8C01));
    QCOMPARE(QToolTip::text(), QStringLiteral("#FF8C01, approximately dark orange"));
    QToolTip::hideText();
}

void TestFrmMain::focusSelectsAll_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("hex text") << "#12AB0F";
    QTest::newRow("empty") << "";
}

void TestFrmMain::focusSelectsAll()
{
    QFETCH(QString, text);
    txtHex->setText(text);
    txtHex->setCursorPosition(2);
    // A focus reason for which the line edit itself would not select.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
    QApplication::sendEvent(txtHex, &focusIn);
    // GotFocus comes once the focus-in is over, not inside it.
    QCOMPARE(txtHex->selectedText(), QString());
    QTRY_COMPARE(txtHex->selectedText(), text);
    QCOMPARE(txtHex->hasSelectedText(), !text.isEmpty());
}

// Placed from its stored bag, which keeps its two lower-case keys; the
// caption fits and renders in "Small Fonts" or its stand-in.
void TestFrmMain::toggleButtonPlaced()
{
    QCOMPARE(xpcmdToggle->geometry(), QRect(180, 220, 61, 21));
    QFile stored(QStringLiteral(":/layouts/xpcmdtoggle.json"));
    QVERIFY(stored.open(QIODevice::ReadOnly));
    QCOMPARE(QJsonDocument::fromJson(stored.readAll()),
             QJsonDocument::fromJson(R"({"caption": "TOGGLE",
                                         "font": {"Name": "Small Fonts", "Size": 6, "Weight": 400, "Charset": 0}})"));
    QCOMPARE(xpcmdToggle->Caption(), QStringLiteral("TOGGLE"));
    QVERIFY(sameFont(xpcmdToggle->Font(), makeFont(QStringLiteral("Small Fonts"), 6, 400, 0)));
    QVERIFY(xpcmdToggle->State() == 0 && xpcmdToggle->Enabled());
    QCOMPARE(xpcmdToggle->Ambient().DisplayName, QStringLiteral("xpcmdToggle"));
    QCOMPARE(xpcmdToggle->Ambient().Font->Name, window->font().family());
    const Label *lbl = labelOf(*xpcmdToggle);
    QCOMPARE(QFontInfo(lbl->font()).family(), QLatin1String(realSmallFonts ? "Small Fonts" : "DejaVu Sans"));
    QVERIFY(xpcmdToggle->rect().contains(lbl->geometry()) && lbl->height() >= 7);
    QCOMPARE(QPointF(lbl->Left(), lbl->Top()), QPointF((61 - lbl->Width()) / 2, (21 - lbl->Height()) / 2));
    // Tab index 3, and above both pictures whichever is shown. Tab follows
    // the stored order but passes by the picture that is hidden or covered.
    const auto tabChain = [this] {
        QList<QWidget *> chain;
        for (QWidget *next = txtHex; chain.isEmpty() || next != txtHex; next = next->nextInFocusChain())
            if ((next->focusPolicy() & Qt::TabFocus) && !next->isHidden())
                chain << next;
        return chain;
    };
    QCOMPARE(tabChain(), (QList<QWidget *>{txtHex, xpcmdToggle, pctColors}));
    for (const bool wheel : {false, true}) {
        pctColors->setVisible(wheel);
        for (const QPoint at : {QPoint(180, 220), QPoint(210, 230), QPoint(240, 240)})
            QVERIFY(window->childAt(at) == xpcmdToggle || xpcmdToggle->isAncestorOf(window->childAt(at)));
        QCOMPARE(tabChain(), wheel ? (QList<QWidget *>{txtHex, xpcmdToggle, pctColors})
                                   : (QList<QWidget *>{txtHex, pctSwatches, xpcmdToggle}));
    }
}

// Only a left click or the access key toggles the wheel; no toggle input
// samples or copies. Before one, the grid is sampled, so that a sample or a
// copy would show, and the hover timer finds the pointer away from the button.
void TestFrmMain::prepareToggle()
{
    moveTo(pctSwatches, 10, 48);
    sampledBack = baseOf(txtHex);
    xpcmdToggle->setPointerSource([](const QWidget *) { return QPoint(-10, -10); });
}

void TestFrmMain::checkSampleKept()
{
    QCOMPARE(pctSwatches->Visible(), qint16(-1));
    QCOMPARE((QStringList{txtHex->text(), baseOf(txtHex).name(), QApplication::clipboard()->text()}),
             (QStringList{"#412000", sampledBack.name(), "before"}));
}

void TestFrmMain::toggleOnClicks_data()
{
    // Clicks at (2, 2) of the button or its caption, and the wheel's Visible after each.
    QTest::addColumn<Target>("target");
    QTest::addColumn<Qt::MouseButton>("mouse");
    QTest::addColumn<bool>("pairs"); // every second press comes as a double click
    QTest::addColumn<QList<qint16>>("wheel");
    QTest::newRow("3 clicks") << Target::Surface << Qt::LeftButton << false << QList<qint16>{0, -1, 0};
    QTest::newRow("2 clicks on the caption") << Target::Caption << Qt::LeftButton << false << QList<qint16>{0, -1};
    QTest::newRow("double click") << Target::Surface << Qt::LeftButton << true << QList<qint16>{0, -1};
    QTest::newRow("double clicks on the caption") << Target::Caption << Qt::LeftButton << true
                                                  << QList<qint16>{0, -1, 0, -1};
    QTest::newRow("right click") << Target::Surface << Qt::RightButton << false << QList<qint16>{-1};
}

void TestFrmMain::toggleOnClicks()
{
    QFETCH(Target, target);
    QFETCH(Qt::MouseButton, mouse);
    QFETCH(bool, pairs);
    QFETCH(QList<qint16>, wheel);
    prepareToggle();
    QWidget *widget = widgetOf(xpcmdToggle, target);
    QList<qint16> shown;
    for (int i = 0; i < wheel.size(); ++i) {
        const bool quick = pairs && i % 2 == 1;
        sendMouse(widget, quick ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress, QPoint(2, 2), mouse);
        sendMouse(widget, QEvent::MouseButtonRelease, QPoint(2, 2), mouse);
        shown << pctColors->Visible();
        QCOMPARE(pctSwatches->Visible(), qint16(-1));
    }
    QCOMPARE(shown, wheel);
    checkSampleKept();
}

void TestFrmMain::toggleOnAccessKey_data()
{
    QTest::addColumn<bool>("accessible"); // pressed by assistive technology
    QTest::newRow("access key") << false;
    QTest::newRow("Press action") << true;
}

void TestFrmMain::toggleOnAccessKey()
{
    QFETCH(bool, accessible);
    prepareToggle();
    QList<qint16> shown;
    for (int i = 0; i < 3; ++i) {
        if (accessible) {
            QAccessible::queryAccessibleInterface(xpcmdToggle)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        } else {
            qint16 key = 'T';
            xpcmdToggle->UserControl_AccessKeyPress(key);
        }
        shown << pctColors->Visible();
    }
    QCOMPARE(shown, (QList<qint16>{0, -1, 0}));
    checkSampleKept();
}

void TestFrmMain::keysDoNotToggle_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::newRow("Space") << Qt::Key_Space;
    QTest::newRow("Enter") << Qt::Key_Return;
}

void TestFrmMain::keysDoNotToggle()
{
    QFETCH(Qt::Key, key);
    prepareToggle();
    QTest::keyClick(xpcmdToggle, key);
    QCOMPARE(pctColors->Visible(), qint16(-1));
    checkSampleKept();
}

// A press on the button released away from it.
void TestFrmMain::dragOutDoesNotToggle()
{
    prepareToggle();
    sendMouse(xpcmdToggle, QEvent::MouseButtonPress, QPoint(2, 2), Qt::LeftButton);
    sendMouse(xpcmdToggle, QEvent::MouseButtonRelease, QPoint(-30, 2), Qt::LeftButton);
    QCOMPARE(pctColors->Visible(), qint16(-1));
    checkSampleKept();
}

void TestFrmMain::hoverAndLeaveDoNotToggle()
{
    prepareToggle();
    QSignalSpy mouseOut(xpcmdToggle, &xpcmdbutton::MouseOut);
    sendMouse(xpcmdToggle, QEvent::MouseMove, QPoint(2, 2));
    QTRY_COMPARE(mouseOut.count(), 1);
    QCOMPARE(pctColors->Visible(), qint16(-1));
    checkSampleKept();
}

void TestFrmMain::closeKeys_data()
{
    QTest::addColumn<QString>("focus");
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<Qt::KeyboardModifiers>("modifiers");
    QTest::addColumn<bool>("closes");
    QTest::newRow("Ctrl+W in the read-out") << "txtHex" << Qt::Key_W << Qt::KeyboardModifiers(Qt::ControlModifier)
                                            << true;
    QTest::newRow("Ctrl+W on the wheel") << "pctColors" << Qt::Key_W << Qt::KeyboardModifiers(Qt::ControlModifier)
                                         << true;
    QTest::newRow("Ctrl+Q on TOGGLE") << "xpcmdToggle" << Qt::Key_Q << Qt::KeyboardModifiers(Qt::ControlModifier)
                                      << true;
    QTest::newRow("W typed into the read-out") << "txtHex" << Qt::Key_W << Qt::KeyboardModifiers() << false;
}

// Ctrl+W and Ctrl+Q close the window wherever the focus is: a close, as the
// close box makes, after which the program ends with its last window.
void TestFrmMain::closeKeys()
{
    QFETCH(QString, focus);
    QFETCH(Qt::Key, key);
    QFETCH(Qt::KeyboardModifiers, modifiers);
    QFETCH(bool, closes);
    window->show();
    window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QWidget *focused = window->findChild<QWidget *>(focus);
    focused->setFocus();
    CloseCounter closeEvents;
    window->installEventFilter(&closeEvents);
    QTest::keyClick(focused, key, modifiers);
    QCOMPARE(window->isVisible(), !closes);
    QCOMPARE(closeEvents.count, closes ? 1 : 0);
}

QTEST_MAIN(TestFrmMain)
#include "tst_frmmain.moc"

