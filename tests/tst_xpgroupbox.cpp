// Checks the group box: its frame picture, its drawing, its properties and
// their storage, and the events it raises.

#include "groupboxframe.h"
#include "hosterror.h"
#include "label.h"
#include "xpgroupbox.h"

#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

namespace {

constexpr QRgb outline = 0xFFD0D0BF;
constexpr QRgb shading = 0xFFD3D3C5;
constexpr QRgb yellow = 0xFFFFFF00;
constexpr QRgb red = 0xFFFF0000;

// The frame as listed, written out apart from the generator so a slip in either shows up.
char frameAt(int x, int y)
{
    static const char *const top[3] = {"..OOOOOOOOOOOOOOOOOO..", ".OO................sO.", "OO..................ss"};
    static const char *const bottom[3] = {"OO..................ss", ".OO................sO.", "..OOOOOOOOOOOOOOOOOO.."};
    return y < 3 ? top[y][x] : y > 16 ? bottom[y - 17][x] : (x == 0 || x == 21 ? 'O' : '.');
}

QRgb frameColour(int x, int y)
{
    const char c = frameAt(x, y);
    return c == 'O' ? outline : c == 's' ? shading : 0;
}

// A W x H drawing with the top line at row t: the four corner tiles in
// order, then the straight edges between them, clipped to the surface.
QImage expectedDrawing(int W, int H, int t, QRgb back)
{
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(back);
    const auto put = [&](int x, int y, QRgb colour) {
        if (colour && image.valid(x, y))
            image.setPixel(x, y, colour);
    };
    const int tiles[4][4] = {{0, t, 0, 0}, {W - 3, t, 19, 0}, {W - 3, H - 3, 19, 17}, {0, H - 3, 0, 17}};
    for (const auto &tile : tiles)
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i)
                put(tile[0] + i, tile[1] + j, frameColour(tile[2] + i, tile[3] + j));
    for (int x = 3; x < W - 3; ++x) {
        put(x, t, outline);
        put(x, H - 1, outline);
    }
    for (int y = t + 3; y < H - 3; ++y) {
        put(0, y, outline);
        put(W - 1, y, outline);
    }
    return image;
}

QByteArray firstDifference(const QImage &actual, const QImage &expected)
{
    if (actual.size() != expected.size())
        return "sizes differ";
    for (int y = 0; y < actual.height(); ++y)
        for (int x = 0; x < actual.width(); ++x)
            if (actual.pixel(x, y) != expected.pixel(x, y))
                return QStringLiteral("(%1, %2) is %3, expected %4").arg(x).arg(y)
                    .arg(QColor(actual.pixel(x, y)).name(), QColor(expected.pixel(x, y)).name()).toUtf8();
    return {};
}

#define COMPARE_IMAGES(actual, expected) \
    QVERIFY2((actual) == (expected), firstDifference((actual), (expected)).constData())

void expectHostError(const std::function<void()> &action, int number, const QString &fragment)
{
    try {
        action();
    } catch (const HostError &error) {
        QCOMPARE(error.number(), number);
        QVERIFY2(error.description().contains(fragment), qPrintable(error.description()));
        return;
    }
    QFAIL(qPrintable(QStringLiteral("no error %1 raised").arg(number)));
}

const FontRef ambientFont = makeFont("DejaVu Sans", 8);

template <typename Box = xpgroupbox>
std::unique_ptr<Box> sized()
{
    auto box = std::make_unique<Box>();
    box->setAmbientSource([] { return UserControl::AmbientProperties{"xpgroupbox1", ambientFont}; });
    box->setSurfaceSize(199, 89);
    return box;
}

template <typename Box = xpgroupbox>
std::unique_ptr<Box> placed(const PropertyBag *bag = nullptr)
{
    auto box = sized<Box>();
    box->load(bag);
    return box;
}

Label *caption(const xpgroupbox &box)
{
    return box.findChild<Label *>("lbl");
}

// What a real double click delivers: press, release, the second press as a double click, release.
void doubleClick(QWidget *widget, QPoint at)
{
    QTest::mouseClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseDClick(widget, Qt::LeftButton, {}, at);
    QTest::mouseRelease(widget, Qt::LeftButton, {}, at);
}

class LoggingBox : public xpgroupbox
{
public:
    LoggingBox()
    {
        connect(this, &UserControl::PropertyChanged, this, [this](const QString &key) { log << "notify " + key; });
    }
    void UserControl_Resize() override
    {
        log << "redraw";
        xpgroupbox::UserControl_Resize();
    }
    QStringList log;
};

} // namespace

class TestXpGroupBox : public QObject
{
    Q_OBJECT

private slots:
    void frameFollowsRules();
    void drawing_data();
    void drawing();
    void backColorAndCaption();
    void captionHeightOverflow_data();
    void captionHeightOverflow();

    void loadFromBag_data();
    void loadFromBag();
    void roundTrip_data();
    void roundTrip();
    void badBagValues_data();
    void badBagValues();
    void enabledRecoloursCaptionOnly();
    void fontIsShared();
    void setterRedraws_data();
    void setterRedraws();
    void notificationsFollowEarlierSteps();

    void events();
    void argumentsByReference();
};

void TestXpGroupBox::frameFollowsRules()
{
    const QImage embedded(":/xpgroupbox/frame.png");
    const QImage generated = pictures::groupBoxFrame();
    const QList<QRgb> palette{0xFFD0D0BF, qRgba(0xEC, 0xE9, 0xD8, 0), 0xFFD3D3C5, 0xFF000000};
    for (const QImage &frame : {embedded, generated}) {
        QCOMPARE(frame.size(), QSize(22, 20));
        QCOMPARE(frame.format(), QImage::Format_Indexed8);
        QCOMPARE(frame.colorTable(), palette);
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 22; ++x)
                QVERIFY2(frame.pixelIndex(x, y) == int(QByteArray("O.s").indexOf(frameAt(x, y))),
                         qPrintable(QStringLiteral("(%1, %2)").arg(x).arg(y)));
    }
}

void TestXpGroupBox::drawing_data()
{
    QTest::addColumn<int>("W");
    QTest::addColumn<int>("H");
    QTest::addColumn<float>("labelHeight");
    QTest::addColumn<int>("t");
    const auto row = [](int W, int H, float height, int t) {
        QTest::addRow("%dx%d, caption %g px", W, H, double(height)) << W << H << height << t;
    };
    row(199, 89, 13, 6);
    row(199, 89, 14, 7);
    row(199, 89, 12.5f, 6); // ties to even: 12
    row(199, 89, 13.5f, 7); // ties to even: 14
    row(199, 89, 0, 0);
    row(40, 10, 13, 6); // bottom corners over the top ones, no side edges
    row(6, 6, 0, 0);
    row(5, 5, 13, 6);
    row(2, 3, 0, 0);
    row(1, 1, 13, 6);
}

void TestXpGroupBox::drawing()
{
    QFETCH(int, W);
    QFETCH(int, H);
    QFETCH(float, labelHeight);
    QFETCH(int, t);
    auto box = placed();
    box->setSurfaceSize(W, H);
    caption(*box)->setHeight(labelHeight);
    box->UserControl_Resize();
    const QImage expected = expectedDrawing(W, H, t, yellow);
    COMPARE_IMAGES(box->image(), expected);
    QCOMPARE(caption(*box)->pos(), QPoint(15, 0));
    box->UserControl_Resize();
    COMPARE_IMAGES(box->image(), expected);
}

void TestXpGroupBox::backColorAndCaption()
{
    auto box = placed();
    box->setCaption("    ");
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    box->setBackColor(0x000000FF);
    caption(*box)->setHeight(13);
    box->UserControl_Resize();
    COMPARE_IMAGES(box->image(), expectedDrawing(199, 89, 6, red));
    QCOMPARE(caption(*box)->BackColor(), OLE_COLOR(0x000000FF));
    // On screen the caption's own background covers the top line from x = 15.
    const QImage screen = box->grab().toImage();
    QCOMPARE(screen.pixel(14, 6), outline);
    QCOMPARE(screen.pixel(15, 6), red);
    QCOMPARE(screen.pixel(15 + caption(*box)->width(), 6), outline);
}

void TestXpGroupBox::captionHeightOverflow_data()
{
    QTest::addColumn<float>("labelHeight");
    QTest::addColumn<bool>("overflows");
    QTest::newRow("32767.4 px gives t = 16383") << 32767.4f << false;
    QTest::newRow("32767.5 px overflows") << 32767.5f << true;
    QTest::newRow("70000 px overflows") << 70000.0f << true;
}

void TestXpGroupBox::captionHeightOverflow()
{
    QFETCH(float, labelHeight);
    QFETCH(bool, overflows);
    auto box = placed();
    Label *lbl = caption(*box);
    lbl->setHeight(labelHeight);
    lbl->setLeft(40);
    if (!overflows) {
        box->UserControl_Resize();
        COMPARE_IMAGES(box->image(), expectedDrawing(199, 89, 16383, yellow));
        return;
    }
    expectHostError([&] { box->UserControl_Resize(); }, HostError::Overflow, "caption's height");
    QImage cleared(199, 89, QImage::Format_RGB32);
    cleared.fill(yellow);
    COMPARE_IMAGES(box->image(), cleared);
    QCOMPARE(lbl->x(), 40);

    // From a resize the error is reported and the program goes on.
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Run-time error '6': Overflow: the caption's height"));
    box->setSurfaceSize(150, 60);
    QCOMPARE(box->image().size(), QSize(150, 60));
    expectHostError([&] { lbl->setHeight(-1); }, HostError::InvalidPropertyValue, "label height -1");
    expectHostError([&] { lbl->setHeight(std::nanf("")); }, HostError::InvalidPropertyValue, "label height");
    QCOMPARE(lbl->Height(), labelHeight);
}

void TestXpGroupBox::loadFromBag_data()
{
    QTest::addColumn<QByteArray>("json"); // empty: a new instance, no bag
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<QString>("fontName");
    QTest::addColumn<OLE_COLOR>("backColor");
    QTest::newRow("new instance") << QByteArray() << "xpgroupbox1" << true << "DejaVu Sans" << OLE_COLOR(0x0000FFFF);
    QTest::newRow("empty bag") << QByteArray("{}") << "xpgroupbox1" << true << "DejaVu Sans" << OLE_COLOR(0x0000FFFF);
    QTest::newRow("keys in any case")
        << QByteArray(R"({"cApTiOn": "Colours", "ENABLED": false, "backcolor": 255, "FONT": {"Name": "DejaVu Serif", "Size": 11}})")
        << "Colours" << false << "DejaVu Serif" << OLE_COLOR(0x000000FF);
    QTest::newRow("system colour as a signed value")
        << QByteArray(R"({"BackColor": -2147483643})") << "xpgroupbox1" << true << "DejaVu Sans" << OLE_COLOR(0x80000005);
    QTest::newRow("texts that convert") << QByteArray(R"({"Enabled": "False", "BackColor": "65280", "Caption": 7})")
                                        << "7" << false << "DejaVu Sans" << OLE_COLOR(0x0000FF00);
}

void TestXpGroupBox::loadFromBag()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    QFETCH(QString, fontName);
    QFETCH(OLE_COLOR, backColor);
    const PropertyBag bag = json.isEmpty() ? PropertyBag() : PropertyBag::fromJson(json);
    auto box = placed(json.isEmpty() ? nullptr : &bag);
    Label *lbl = ::caption(*box);
    QCOMPARE(box->Caption(), caption);
    QCOMPARE(box->Enabled(), enabled);
    QCOMPARE(lbl->ForeColor(), OLE_COLOR(enabled ? 0x00D54600 : 0x0092A1A1));
    QCOMPARE(box->Font()->Name, fontName);
    QCOMPARE(box->BackColor(), backColor);
    QCOMPARE(box->surfaceBackColor(), backColor);
    QCOMPARE(lbl->BackColor(), backColor);
    QCOMPARE(box->image().pixel(100, 40), host::toQColor(backColor).rgb());
    QCOMPARE(box->focusPolicy(), Qt::NoFocus);
}

void TestXpGroupBox::roundTrip_data()
{
    QTest::addColumn<QString>("caption");
    QTest::addColumn<bool>("enabled");
    QTest::addColumn<OLE_COLOR>("backColor");
    QTest::addColumn<int>("keysStored");
    QTest::newRow("defaults") << "xpgroupbox1" << true << OLE_COLOR(0x0000FFFF) << 0;
    QTest::newRow("all changed") << "Grüße \"quoted\"" << false << OLE_COLOR(0x00EEFFC0) << 4;
    QTest::newRow("system colour") << "xpgroupbox1" << true << OLE_COLOR(0x80000005) << 1;
}

void TestXpGroupBox::roundTrip()
{
    QFETCH(QString, caption);
    QFETCH(bool, enabled);
    QFETCH(OLE_COLOR, backColor);
    QFETCH(int, keysStored);
    auto box = placed();
    box->setCaption(caption);
    box->setEnabled(enabled);
    box->setBackColor(backColor);
    if (keysStored == 4)
        box->setFont(makeFont("DejaVu Serif", 12, 700));
    const PropertyBag saved = PropertyBag::fromJson(box->save().toJson());
    QCOMPARE(saved.count(), keysStored);
    auto loaded = placed(&saved);
    QCOMPARE(loaded->Caption(), caption);
    QCOMPARE(loaded->Enabled(), enabled);
    QCOMPARE(loaded->BackColor(), backColor);
    QVERIFY(sameFont(loaded->Font(), box->Font()));
    COMPARE_IMAGES(loaded->image(), box->image());
}

void TestXpGroupBox::badBagValues_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<int>("number");
    QTest::addColumn<QString>("named");
    QTest::newRow("Enabled as a word") << QByteArray(R"({"Enabled": "maybe"})") << 13 << "\"Enabled\"";
    QTest::newRow("Font as a text") << QByteArray(R"({"Font": "Arial"})") << 13 << "\"Font\"";
    QTest::newRow("BackColor as a word") << QByteArray(R"({"BackColor": "red"})") << 13 << "\"BackColor\"";
    QTest::newRow("BackColor beyond 32 bits") << QByteArray(R"({"BackColor": 3000000000})") << 6 << "\"BackColor\"";
    QTest::newRow("BackColor beyond 24 bits") << QByteArray(R"({"BackColor": 16777216})") << 380 << "colour 0x01000000";
    QTest::newRow("BackColor unknown system colour") << QByteArray(R"({"BackColor": -2147483393})") << 380 << "system colour";
    QTest::newRow("Caption as a font") << QByteArray(R"({"Caption": {"Name": "A", "Size": 6}})") << 13 << "\"Caption\"";
}

void TestXpGroupBox::badBagValues()
{
    QFETCH(QByteArray, json);
    QFETCH(int, number);
    QFETCH(QString, named);
    const PropertyBag bag = PropertyBag::fromJson(json);
    QTest::ignoreMessage(QtCriticalMsg, QRegularExpression(QStringLiteral("^Run-time error '%1': .*%2")
                                                               .arg(number).arg(QRegularExpression::escape(named))));
    auto box = placed(&bag);
    // Whatever was applied, the control saves a bag that loads without error.
    const PropertyBag saved = box->save();
    try {
        sized()->UserControl_ReadProperties(saved);
    } catch (const HostError &error) {
        QFAIL(error.what());
    }
}

void TestXpGroupBox::enabledRecoloursCaptionOnly()
{
    auto box = placed();
    const QImage before = box->image();
    box->setEnabled(false);
    QVERIFY(!box->Enabled());
    QCOMPARE(caption(*box)->ForeColor(), OLE_COLOR(0x0092A1A1));
    QCOMPARE(caption(*box)->palette().color(QPalette::Disabled, QPalette::WindowText), QColor(0xA1, 0xA1, 0x92));
    QVERIFY(box->image() == before);
    box->setEnabled(true);
    QCOMPARE(caption(*box)->ForeColor(), OLE_COLOR(0x00D54600));
    QVERIFY(box->image() == before);
}

void TestXpGroupBox::fontIsShared()
{
    auto box = placed();
    QCOMPARE(box->Font(), ambientFont);
    const FontRef font = makeFont("DejaVu Sans", 20);
    box->setFont(font);
    QCOMPARE(box->Font(), font);
    QCOMPARE(box->surfaceFont(), font);
    QCOMPARE(caption(*box)->Font(), font);
    // The caption follows its font, and the top line follows the caption.
    const int t = caption(*box)->height() / 2;
    QVERIFY(t > 6);
    QCOMPARE(box->image().pixel(2, t), outline);
    QCOMPARE(box->image().pixel(2, t - 1), yellow);
}

void TestXpGroupBox::setterRedraws_data()
{
    QTest::addColumn<QString>("action");
    QTest::addColumn<QString>("expected");
    QTest::newRow("Enabled") << "Enabled" << "notify Enabled";
    QTest::newRow("Font") << "Font" << "redraw|notify Font";
    QTest::newRow("BackColor") << "BackColor" << "notify BackColor|redraw";
    QTest::newRow("Caption") << "Caption" << "redraw|redraw|notify Caption";
    QTest::newRow("the caption's own change") << "lbl" << "redraw";
    QTest::newRow("resize") << "resize" << "redraw";
    QTest::newRow("new instance") << "new"
        << "redraw|redraw|redraw|notify Caption|notify Enabled|redraw|notify Font|notify BackColor|redraw";
    QTest::newRow("saved instance") << "saved"
        << "redraw|notify Enabled|redraw|notify Font|notify BackColor|redraw|redraw|redraw|notify Caption";
}

void TestXpGroupBox::setterRedraws()
{
    QFETCH(QString, action);
    QFETCH(QString, expected);
    const PropertyBag empty;
    auto box = sized<LoggingBox>();
    box->log.clear();
    box->load(action == "saved" ? &empty : nullptr);
    if (action != "new" && action != "saved")
        box->log.clear();
    if (action == "Enabled")
        box->setEnabled(false);
    else if (action == "Font")
        box->setFont(makeFont("DejaVu Sans", 9));
    else if (action == "BackColor")
        box->setBackColor(0x00FF0000);
    else if (action == "Caption")
        box->setCaption("Colours");
    else if (action == "lbl")
        caption(*box)->setCaption("Colours");
    else if (action == "resize")
        box->setSurfaceSize(120, 60);
    QCOMPARE(box->log.join('|'), expected);
}

void TestXpGroupBox::notificationsFollowEarlierSteps()
{
    auto box = placed();
    QStringList seen;
    connect(box.get(), &UserControl::PropertyChanged, this, [&](const QString &key) {
        seen << QStringLiteral("%1: stored %2, surface %3, caption %4 %5").arg(key)
                    .arg(box->BackColor(), 0, 16).arg(box->surfaceBackColor(), 0, 16)
                    .arg(caption(*box)->ForeColor(), 0, 16).arg(box->Enabled() ? "enabled" : "disabled");
    });
    box->setBackColor(0xFF);
    box->setEnabled(false);
    QCOMPARE(seen, QStringList({"BackColor: stored ff, surface ffff, caption d54600 enabled",
                                "Enabled: stored ff, surface ff, caption d54600 disabled"}));
}

void TestXpGroupBox::events()
{
    auto box = placed();
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    QStringList raised;
    const auto mouse = [&raised](const char *name) {
        return [&raised, name](qint16 &Button, qint16 &, float &x, float &Y) {
            raised << QStringLiteral("%1 %2 (%3, %4)").arg(name).arg(Button).arg(x).arg(Y);
        };
    };
    connect(box.get(), &UserControl::MouseDown, this, mouse("down"));
    connect(box.get(), &UserControl::MouseMove, this, mouse("move"));
    connect(box.get(), &UserControl::MouseUp, this, mouse("up"));
    connect(box.get(), &UserControl::Click, this, [&] { raised << "Click"; });
    connect(box.get(), &UserControl::DblClick, this, [&] { raised << "DblClick"; });

    // Each part reports in its own coordinates: the caption's are not moved by its place at (15, 0).
    QTest::mouseClick(box.get(), Qt::LeftButton, {}, QPoint(100, 50));
    QTest::mouseMove(box.get(), QPoint(150, 70));
    doubleClick(box.get(), QPoint(150, 70));
    QCOMPARE(raised, QStringList({"down 1 (100, 50)", "up 1 (100, 50)", "move 0 (150, 70)",
                                  "down 1 (150, 70)", "up 1 (150, 70)", "down 1 (150, 70)", "up 1 (150, 70)"}));
    raised.clear();
    QTest::mouseClick(caption(*box), Qt::LeftButton, {}, QPoint(3, 4));
    QTest::mouseMove(caption(*box), QPoint(5, 2));
    doubleClick(caption(*box), QPoint(5, 2));
    QCOMPARE(raised, QStringList({"down 1 (3, 4)", "up 1 (3, 4)", "Click", "move 0 (5, 2)", "down 1 (5, 2)",
                                  "up 1 (5, 2)", "Click", "down 1 (5, 2)", "DblClick", "up 1 (5, 2)"}));
}

void TestXpGroupBox::argumentsByReference()
{
    auto box = placed();
    box->show();
    QVERIFY(QTest::qWaitForWindowExposed(box.get()));
    connect(box.get(), &UserControl::MouseDown, this, [](qint16 &Button, qint16 &, float &x, float &) {
        Button = 2;
        x = -1;
    });
    // The caption's own arguments come back changed to whoever listens after the control.
    QString afterwards;
    connect(caption(*box), &Label::MouseDown, this, [&](qint16 &Button, qint16 &, float &x, float &) {
        afterwards = QStringLiteral("%1 %2").arg(Button).arg(x);
    });
    QTest::mousePress(caption(*box), Qt::LeftButton, {}, QPoint(3, 4));
    QCOMPARE(afterwards, QStringLiteral("2 -1"));

    qint16 Button = 1, Shift = 0;
    float x = 100, Y = 50;
    box->UserControl_MouseDown(Button, Shift, x, Y);
    QCOMPARE(Button, qint16(2));
    QCOMPARE(x, -1.0f);
}

QTEST_MAIN(TestXpGroupBox)
#include "tst_xpgroupbox.moc"
