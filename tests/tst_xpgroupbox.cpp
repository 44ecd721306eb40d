// Checks the group box: its frame picture, its drawing, its properties and
// their storage, and the events it raises.

#include "groupboxframe.h"
#include <Huvolo/hosterror.h>
#include "label.h"
#include <Huvolo/placement.h>
#include "testsupport.h"
#include <Huvolo/xpgroupbox.h>

#include <QRegularExpression>
#include <QTest>

#include <cmath>
#include <functional>
#include <memory>

using namespace huvolo;

namespace {

constexpr QRgb outline = 0xFFD0D0BF;
constexpr QRgb shading = 0xFFD3D3C5;
constexpr QRgb yellow = 0xFFFFFF00;
constexpr QRgb red = 0xFFFF0000;

// The frame pixel by pixel (O outline, . transparent, s shading), written apart from the generator.
constexpr const char *frameRows[20] = {
    "..OOOOOOOOOOOOOOOOOO..",
    ".OO................sO.",
    "OO..................ss",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "O....................O",
    "OO..................ss",
    ".OO................sO.",
    "..OOOOOOOOOOOOOOOOOO..",
};

// A W x H drawing with the top line at row t: the four corner tiles, then
// the straight edges between them, clipped to the surface.
QImage expectedDrawing(int W, int H, int t, QRgb back)
{
    QImage image(W, H, QImage::Format_RGB32);
    image.fill(back);
    const auto put = [&](int x, int y, char c) {
        if (c != '.' && image.valid(x, y))
            image.setPixel(x, y, c == 's' ? shading : outline);
    };
    const int tiles[4][4] = {{0, t, 0, 0}, {W - 3, t, 19, 0}, {W - 3, H - 3, 19, 17}, {0, H - 3, 0, 17}};
    for (const auto &tile : tiles)
        for (int j = 0; j < 3; ++j)
            for (int i = 0; i < 3; ++i)
                put(tile[0] + i, tile[1] + j, frameRows[tile[3] + j][tile[2] + i]);
    for (int x = 3; x < W - 3; ++x) {
        put(x, t, 'O');
        put(x, H - 1, 'O');
    }
    for (int y = t + 3; y < H - 3; ++y) {
        put(0, y, 'O');
        put(W - 1, y, 'O');
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

const FontRef ambientFont = makeFont("DejaVu Sans", 8);
const QString fresh = "xpgroupbox1, enabled, DejaVu Sans, back ffff ffff, caption #0046d5 on #ffff00, drawn #ffff00";

UserControl::AmbientProperties ambient()
{
    return UserControl::AmbientProperties{"xpgroupbox1", ambientFont};
}

// Places a box at 199 x 89 in a container named "xpgroupbox1".
void placeIn(xpgroupbox &box, const PropertyBag *bag)
{
    place(&box, StoredRect::fromPixels(QRect(0, 0, 199, 89)), ambient, bag);
}

// A box made as its stored layout says, and placed unless asked not to.
template <typename Box = xpgroupbox>
std::unique_ptr<Box> placed(const PropertyBag *bag = nullptr, bool load = true)
{
    auto box = std::make_unique<Box>();
    if (load)
        placeIn(*box, bag);
    else
        box->setAmbientSource(ambient);
    return box;
}

// Everything a property sets, on the box, its surface, its caption and its drawing.
QString state(const xpgroupbox &box)
{
    const QPalette colours = labelOf(box)->palette();
    return QStringLiteral("%1, %2, %3, back %4 %5, caption %6 on %7, drawn %8").arg(box.Caption())
        .arg(box.Enabled() ? "enabled" : "disabled", box.Font()->Name).arg(box.BackColor(), 0, 16)
        .arg(box.surfaceBackColor(), 0, 16).arg(colours.color(QPalette::Disabled, QPalette::WindowText).name(),
                                                colours.color(QPalette::Window).name(),
                                                QColor(box.image().pixel(100, 40)).name());
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

using Action = std::function<void(LoggingBox &)>;

} // namespace

Q_DECLARE_METATYPE(Action)

class TestXpGroupBox : public QObject
{
    Q_OBJECT

private slots:
    void frameFollowsRules()
    {
        QImage expected(22, 20, QImage::Format_Indexed8);
        expected.setColorTable({outline, qRgba(0xEC, 0xE9, 0xD8, 0), shading, 0xFF000000});
        for (int y = 0; y < 20; ++y)
            for (int x = 0; x < 22; ++x)
                expected.setPixel(x, y, uint(QByteArray("O.s").indexOf(frameRows[y][x])));
        for (const QImage &frame : {QImage(sourceFile("controls/xpgroupbox/frame.png")), pictures::groupBoxFrame()}) {
            QCOMPARE(frame.format(), QImage::Format_Indexed8);
            QCOMPARE(frame.colorTable(), expected.colorTable());
            COMPARE_IMAGES(frame, expected);
        }
        // The box draws from the same pixels, compiled in.
        QCOMPARE(huvolo::embedded::groupBoxFrame.image(),
                 expected.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void drawing_data()
    {
        QTest::addColumn<int>("W");
        QTest::addColumn<int>("H");
        QTest::addColumn<float>("labelHeight");
        QTest::addColumn<int>("t");
        // 12.5 and 13.5 round to even; at 40 x 10 the bottom corners cover the top ones; below 6 px it clips.
        const struct { int W, H; float height; int t; } rows[] = {{199, 89, 13, 6}, {199, 89, 14, 7}, {199, 89, 12.5f, 6},
            {199, 89, 13.5f, 7}, {199, 89, 0, 0}, {40, 10, 13, 6}, {6, 6, 0, 0}, {5, 5, 13, 6}, {2, 3, 0, 0}, {1, 1, 13, 6}};
        for (const auto &r : rows)
            QTest::addRow("%dx%d, caption %g px", r.W, r.H, double(r.height)) << r.W << r.H << r.height << r.t;
    }

    void drawing()
    {
        QFETCH(int, W);
        QFETCH(int, H);
        QFETCH(float, labelHeight);
        QFETCH(int, t);
        auto box = placed();
        box->setSurfaceSize(W, H);
        labelOf(*box)->setHeight(labelHeight);
        box->UserControl_Resize();
        const QImage expected = expectedDrawing(W, H, t, yellow);
        COMPARE_IMAGES(box->image(), expected);
        QCOMPARE(labelOf(*box)->pos(), QPoint(15, 0));
        box->UserControl_Resize();
        COMPARE_IMAGES(box->image(), expected);
    }

    void backColorAndCaption()
    {
        auto box = placed();
        box->setCaption("    ");
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        box->setBackColor(0x000000FF);
        labelOf(*box)->setHeight(13);
        box->UserControl_Resize();
        COMPARE_IMAGES(box->image(), expectedDrawing(199, 89, 6, red));
        // On screen the caption's own red background covers the top line from x = 15.
        const QImage screen = box->grab().toImage();
        QCOMPARE(screen.pixel(14, 6), outline);
        QCOMPARE(screen.pixel(15, 6), red);
        QCOMPARE(screen.pixel(15 + labelOf(*box)->width(), 6), outline);
    }

    void captionHeightOverflow()
    {
        auto box = placed();
        Label *lbl = labelOf(*box);
        lbl->setHeight(32767.4f);
        box->UserControl_Resize();
        COMPARE_IMAGES(box->image(), expectedDrawing(199, 89, 16383, yellow));
        QImage cleared(199, 89, QImage::Format_RGB32);
        cleared.fill(yellow);
        for (const float height : {32767.5f, 70000.0f}) {
            lbl->setHeight(height);
            lbl->setLeft(40);
            expectHostError([&] { box->UserControl_Resize(); }, HostError::Overflow, "caption's height");
            COMPARE_IMAGES(box->image(), cleared);
            QCOMPARE(lbl->x(), 40);
        }
        // From a resize the error is reported and the program goes on.
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Run-time error '6': Overflow: the caption's height"));
        box->setSurfaceSize(150, 60);
        QCOMPARE(box->image().size(), QSize(150, 60));
        expectHostError([&] { lbl->setHeight(-1); }, HostError::InvalidPropertyValue, "label height -1");
        expectHostError([&] { lbl->setHeight(std::nanf("")); }, HostError::InvalidPropertyValue, "label height");
        QCOMPARE(lbl->Height(), 70000.0f);
    }

    void loadAndSave_data()
    {
        QTest::addColumn<QByteArray>("json"); // empty: a new instance, no bag
        QTest::addColumn<QString>("expected");
        QTest::addColumn<int>("keysStored");
        QTest::newRow("new instance") << QByteArray() << fresh << 0;
        QTest::newRow("empty bag") << QByteArray("{}") << fresh << 0;
        QTest::newRow("keys in any case") << QByteArray(R"({"cApTiOn": "Grüße \u0022quoted\u0022", "ENABLED": false,)"
            R"("backcolor": 255, "FONT": {"Name": "DejaVu Serif", "Size": 11, "Weight": 700}})")
            << "Grüße \"quoted\", disabled, DejaVu Serif, back ff ff, caption #a1a192 on #ff0000, drawn #ff0000" << 4;
        QTest::newRow("system colour as a signed value") << QByteArray(R"({"BackColor": -2147483643})")
            << "xpgroupbox1, enabled, DejaVu Sans, back 80000005 80000005, caption #0046d5 on #ffffff, drawn #ffffff" << 1;
        QTest::newRow("texts that convert") << QByteArray(R"({"Enabled": "False", "BackColor": "65280", "Caption": 7})")
            << "7, disabled, DejaVu Sans, back ff00 ff00, caption #a1a192 on #00ff00, drawn #00ff00" << 3;
    }

    void loadAndSave()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, expected);
        QFETCH(int, keysStored);
        const PropertyBag bag = json.isEmpty() ? PropertyBag() : PropertyBag::fromJson(json);
        auto box = placed(json.isEmpty() ? nullptr : &bag);
        QCOMPARE(state(*box), expected);
        QCOMPARE(box->focusPolicy(), Qt::NoFocus);
        const PropertyBag saved = PropertyBag::fromJson(box->save().toJson());
        QCOMPARE(saved.count(), keysStored);
        auto loaded = placed(&saved);
        QCOMPARE(state(*loaded), expected);
        QVERIFY(sameFont(loaded->Font(), box->Font()));
        COMPARE_IMAGES(loaded->image(), box->image());
    }

    void badBagValues_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QString>("error");
        QTest::newRow("Enabled as a word") << QByteArray(R"({"Enabled": "maybe"})") << "13': .*\"Enabled\"";
        QTest::newRow("Font as a text") << QByteArray(R"({"Font": "Arial"})") << "13': .*\"Font\"";
        QTest::newRow("BackColor as a word") << QByteArray(R"({"BackColor": "red"})") << "13': .*\"BackColor\"";
        QTest::newRow("BackColor beyond 32 bits") << QByteArray(R"({"BackColor": 3000000000})") << "6': .*\"BackColor\"";
        QTest::newRow("BackColor beyond 24 bits") << QByteArray(R"({"BackColor": 16777216})") << "380': .*colour 0x01000000";
        QTest::newRow("BackColor unknown system colour") << QByteArray(R"({"BackColor": -2147483393})") << "380': .*system colour";
        QTest::newRow("Caption as a font") << QByteArray(R"({"Caption": {"Name": "A", "Size": 6}})") << "13': .*\"Caption\"";
    }

    void badBagValues()
    {
        QFETCH(QByteArray, json);
        QFETCH(QString, error);
        const PropertyBag bag = PropertyBag::fromJson(json);
        QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Run-time error '" + error));
        auto box = placed(&bag);
        // Whatever was applied, the control saves a bag that loads without error.
        try {
            placed(nullptr, false)->UserControl_ReadProperties(box->save());
        } catch (const HostError &error) {
            QFAIL(error.what());
        }
    }

    void setters_data()
    {
        QTest::addColumn<bool>("loadFirst");
        QTest::addColumn<Action>("action");
        QTest::addColumn<QString>("log");
        QTest::addColumn<QString>("after");
        const auto row = [](const char *name, bool loadFirst, Action action, const char *log, const QString &after) {
            QTest::newRow(name) << loadFirst << action << QString(log) << after;
        };
        const QString disabled = "xpgroupbox1, disabled, DejaVu Sans, back ffff ffff, caption #a1a192 on #ffff00, drawn #ffff00";
        const QString titled = "Colours, enabled, DejaVu Sans, back ffff ffff, caption #0046d5 on #ffff00, drawn #ffff00";
        row("Enabled off", true, [](LoggingBox &b) { b.setEnabled(false); }, "notify Enabled", disabled);
        row("Enabled off through QWidget", true, [](LoggingBox &b) { static_cast<QWidget &>(b).setEnabled(false); },
            "notify Enabled", disabled);
        row("Enabled off through the property system", true, [](LoggingBox &b) { b.setProperty("Enabled", false); },
            "notify Enabled", disabled);
        row("parent disabled", true, [](LoggingBox &b) {
            QWidget parent;
            b.setParent(&parent);
            parent.setEnabled(false);
            QVERIFY(b.Enabled() && !b.isEnabled());
            b.setParent(nullptr);
        }, "", fresh);
        row("Enabled off and on", true, [](LoggingBox &b) { b.setEnabled(false); b.setEnabled(true); },
            "notify Enabled|notify Enabled", fresh);
        row("Font", true, [](LoggingBox &b) {
            const FontRef font = makeFont("DejaVu Sans", 20);
            b.setFont(font);
            QVERIFY(b.Font() == font && b.surfaceFont() == font && labelOf(b)->Font() == font); // the very object
            const int t = labelOf(b)->height() / 2; // the caption follows its font, the top line the caption
            QVERIFY(t > 6 && b.image().pixel(2, t) == outline && b.image().pixel(2, t - 1) == yellow);
        }, "redraw|notify Font", fresh);
        row("BackColor", true, [](LoggingBox &b) { b.setBackColor(0x00FF0000); }, "notify BackColor|redraw",
            "xpgroupbox1, enabled, DejaVu Sans, back ff0000 ff0000, caption #0046d5 on #0000ff, drawn #0000ff");
        row("BackColor invalid", true, [](LoggingBox &b) {
            expectHostError([&] { b.setBackColor(0x01000000); }, HostError::InvalidPropertyValue, "Invalid property value");
        }, "", fresh);
        // A font a saved bag could not load back is refused before anything changes.
        for (const auto &[name, font] : std::initializer_list<std::pair<const char *, FontRef>>{
                 {"Font without a name", makeFont("", 8)}, {"Font of size 0", makeFont("A", 0)},
                 {"Font of size 2049", makeFont("A", 2049)}, {"Font of weight -1", makeFont("A", 8, -1)},
                 {"Font of charset 256", makeFont("A", 8, 400, 256)}, {"no font", FontRef()}}) {
            row(name, true, [font = font](LoggingBox &b) {
                expectHostError([&] { b.setFont(font); }, HostError::InvalidPropertyValue, "Font");
                QVERIFY(b.Font() == ambientFont);
            }, "", fresh);
        }
        row("font through the property system", true, [](LoggingBox &b) {
            b.setProperty("font", QFont("DejaVu Serif", 20, QFont::Bold));
            QVERIFY(b.Font() == b.surfaceFont() && b.Font() == labelOf(b)->Font()); // the very object
            QCOMPARE(b.Font()->Size, 20.0);
            QCOMPARE(b.property("font").value<QFont>(), b.Font()->toQFont());
        }, "redraw|notify Font", "xpgroupbox1, enabled, DejaVu Serif, back ffff ffff, caption #0046d5 on #ffff00, drawn #ffff00");
        // Through the property system a refused value is reported, not thrown.
        row("font refused through the property system", true, [](LoggingBox &b) {
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Run-time error '380': .*\"Font.Size\""));
            b.setProperty("font", QFont("DejaVu Sans", 3000));
        }, "", fresh);
        row("BackColor refused through the property system", true, [](LoggingBox &b) {
            QTest::ignoreMessage(QtCriticalMsg, QRegularExpression("^Run-time error '380': Invalid property value"));
            b.setProperty("BackColor", 0x01000000u);
        }, "", fresh);
        row("Caption", true, [](LoggingBox &b) { b.setCaption("Colours"); }, "redraw|redraw|notify Caption", titled);
        row("Caption through the property system", true, [](LoggingBox &b) { b.setProperty("Caption", "Colours"); },
            "redraw|redraw|notify Caption", titled);
        row("BackColor through the property system", true, [](LoggingBox &b) { b.setProperty("BackColor", 0x00FF0000u); },
            "notify BackColor|redraw",
            "xpgroupbox1, enabled, DejaVu Sans, back ff0000 ff0000, caption #0046d5 on #0000ff, drawn #0000ff");
        row("the caption's own change", true, [](LoggingBox &b) { labelOf(b)->setCaption("Colours"); }, "redraw", titled);
        row("resize", true, [](LoggingBox &b) { b.setSurfaceSize(120, 60); }, "redraw", fresh);
        row("new instance", false, [](LoggingBox &b) { placeIn(b, nullptr); QVERIFY(b.Font() == ambientFont); },
            "redraw|redraw|redraw|notify Caption|notify Enabled|redraw|notify Font|notify BackColor|redraw", fresh);
        row("saved instance", false, [](LoggingBox &b) { const PropertyBag empty; placeIn(b, &empty); },
            "redraw|notify Enabled|redraw|notify Font|notify BackColor|redraw|redraw|redraw|notify Caption", fresh);
    }

    // Whatever a setter accepts is saved, written as JSON, read back and
    // loaded into a new box unchanged.
    void roundTrip_data()
    {
        QTest::addColumn<Action>("assign");
        const auto row = [](const char *name, Action assign) { QTest::newRow(name) << assign; };
        row("as placed", [](LoggingBox &) {});
        row("disabled", [](LoggingBox &b) { b.setEnabled(false); });
        row("caption with markup and %1", [](LoggingBox &b) { b.setCaption("<b>%1</b> &lt;"); });
        row("empty caption", [](LoggingBox &b) { b.setCaption(""); });
        row("caption of two lines", [](LoggingBox &b) { b.setCaption(QStringLiteral("Gr\u00fc\u00dfe\n\U0001F600")); });
        row("black", [](LoggingBox &b) { b.setBackColor(0); });
        row("white", [](LoggingBox &b) { b.setBackColor(0x00FFFFFF); });
        row("system button face", [](LoggingBox &b) { b.setBackColor(0x8000000F); });
        row("system window text", [](LoggingBox &b) { b.setBackColor(0x80000008); });
        row("smallest font", [](LoggingBox &b) { b.setFont(makeFont("DejaVu Sans", 0.01, 0, 0)); });
        row("largest font", [](LoggingBox &b) { b.setFont(makeFont("DejaVu Sans", 2048, 1000, 255)); });
        row("font with every flag", [](LoggingBox &b) {
            const FontRef font = makeFont("Small Fonts", 6.75, 700, 2);
            font->Italic = font->Underline = font->Strikethrough = true;
            b.setFont(font);
        });
    }

    void roundTrip()
    {
        QFETCH(Action, assign);
        auto box = placed<LoggingBox>();
        assign(*box);
        const PropertyBag saved = PropertyBag::fromJson(box->save().toJson());
        auto loaded = placed(&saved);
        QCOMPARE(state(*loaded), state(*box));
        QVERIFY(sameFont(loaded->Font(), box->Font()));
    }

    void setters()
    {
        QFETCH(bool, loadFirst);
        QFETCH(Action, action);
        QFETCH(QString, log);
        QFETCH(QString, after);
        auto box = placed<LoggingBox>(nullptr, loadFirst);
        const QImage before = box->image();
        box->log.clear();
        action(*box);
        QCOMPARE(box->log.join('|'), log);
        QCOMPARE(state(*box), after);
        if (!log.contains("redraw")) // the frame is drawn only by a redraw
            QVERIFY(box->image() == before);
    }

    void notificationsFollowEarlierSteps()
    {
        auto box = placed();
        QStringList seen;
        connect(box.get(), &UserControl::PropertyChanged, this, [&](const QString &key) { seen << key + ": " + state(*box); });
        box->setBackColor(0xFF);
        box->setEnabled(false);
        QCOMPARE(seen, QStringList({"BackColor: xpgroupbox1, enabled, DejaVu Sans, back ff ffff, caption #0046d5 on #ffff00, drawn #ffff00",
                                    "Enabled: xpgroupbox1, disabled, DejaVu Sans, back ff ff, caption #0046d5 on #ff0000, drawn #ff0000"}));
    }

    void eventsAndArgumentsByReference()
    {
        auto box = placed();
        box->show();
        QVERIFY(QTest::qWaitForWindowExposed(box.get()));
        QStringList raised;
        recordEvents(box.get(), raised);

        // Each part reports in its own coordinates: the caption's are not moved by its place at (15, 0).
        QTest::mouseClick(box.get(), Qt::LeftButton, {}, QPoint(100, 50));
        QTest::mouseMove(box.get(), QPoint(150, 70));
        doubleClick(box.get(), QPoint(150, 70));
        QTest::mouseClick(labelOf(*box), Qt::LeftButton, {}, QPoint(3, 4));
        QTest::mouseMove(labelOf(*box), QPoint(5, 2));
        doubleClick(labelOf(*box), QPoint(5, 2));
        QCOMPARE(raised.join(", "), "MouseDown(1,0,100,50), MouseUp(1,0,100,50), MouseMove(0,0,150,70), "
                                    "MouseDown(1,0,150,70), MouseUp(1,0,150,70), MouseDown(1,0,150,70), "
                                    "MouseUp(1,0,150,70), " // the surface: no clicks
                                    "MouseDown(1,0,3,4), MouseUp(1,0,3,4), Click, MouseMove(0,0,5,2), "
                                    "MouseDown(1,0,5,2), MouseUp(1,0,5,2), Click, MouseDown(1,0,5,2), DblClick, "
                                    "MouseUp(1,0,5,2)");

        connect(box.get(), &UserControl::MouseDown, this, [](qint16 &Button, qint16 &, float &x, float &) {
            Button = 2;
            x = -1;
        });
        // The caption's own arguments come back changed to whoever listens after the control.
        QString afterwards;
        connect(labelOf(*box), &Label::MouseDown, this, [&](qint16 &Button, qint16 &, float &x, float &) {
            afterwards = QStringLiteral("%1 %2").arg(Button).arg(x);
        });
        QTest::mousePress(labelOf(*box), Qt::LeftButton, {}, QPoint(3, 4));
        QCOMPARE(afterwards, QStringLiteral("2 -1"));

        qint16 Button = 1, Shift = 0;
        float x = 100, Y = 50;
        box->UserControl_MouseDown(Button, Shift, x, Y);
        QCOMPARE(QStringLiteral("%1 %2").arg(Button).arg(x), QStringLiteral("2 -1"));
    }
};

QTEST_MAIN(TestXpGroupBox)
#include "tst_xpgroupbox.moc"

