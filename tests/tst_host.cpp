#include <Huvolo/colour.h>
#include <Huvolo/hosterror.h>
#include "label.h"
#include "numeric.h"
#include "picturebox.h"
#include <Huvolo/propertybag.h>
#include "testsupport.h"
#include "textbox.h"
#include <Huvolo/usercontrol.h>
#include "winapi.h"

#include <QFontInfo>
#include <QMouseEvent>
#include <QSignalSpy>
#include <QWindow>
#include <QTemporaryDir>
#include <QTest>

#include <array>
#include <cmath>
#include <optional>

using namespace huvolo;

// A widget whose look would follow its extended style, known to the window
// calls only through the hook.
class StyledWidget : public QWidget, public ExtendedStyleHook
{
    Q_OBJECT
    Q_INTERFACES(huvolo::ExtendedStyleHook)

public:
    qint32 initialExStyle() const override { return 7; }
    void applyExStyle(qint32 exStyle) override { applied << exStyle; }

    QList<qint32> applied;
};

class TestHost : public QObject
{
    Q_OBJECT

private slots:
    void bagKeysIgnoreCase_data();
    void bagKeysIgnoreCase();
    void bagDefaults();
    void bagRoundTrip();
    void bagBadJson_data();
    void bagBadJson();
    void bagBadJsonKeepsLoadedBag();
    void copiesAreValues();
    void conversions_data();
    void conversions();
    void errorTextsAreVerbatim_data();
    void errorTextsAreVerbatim();
    void bagRefusesWhatItCannotLoad_data();
    void bagRefusesWhatItCannotLoad();
    void fontsFromQt_data();
    void fontsFromQt();
    void captionsArePlainText_data();
    void captionsArePlainText();

    void integerRounding_data();
    void integerRounding();
    void hexText_data();
    void hexText();
    void colours();

    void pointReadsInnerArea_data();
    void pointReadsInnerArea();
    void guardReportsAndGoesOn();

    void keyCodes_data();
    void keyCodes();

    void paintPicture_data();
    void paintPicture();
    void paintPictureFollowsNearestPixel_data();
    void paintPictureFollowsNearestPixel();
    void paintPictureRefusesBadNumbers_data();
    void paintPictureRefusesBadNumbers();
    void scaleUnits();
    void textBoxExtendedStyle();
    void pointerFromOwnEvents();
    void labelNotifiesEveryCaption();
};

void TestHost::bagKeysIgnoreCase_data()
{
    QTest::addColumn<QString>("written");
    QTest::addColumn<QString>("read");
    QTest::newRow("lower stored, design name read") << "caption" << "Caption";
    QTest::newRow("design name stored, upper read") << "Caption" << "CAPTION";
    QTest::newRow("mixed") << "cApTiOn" << "caption";
}

void TestHost::bagKeysIgnoreCase()
{
    QFETCH(QString, written);
    QFETCH(QString, read);
    PropertyBag bag = PropertyBag::fromJson(QStringLiteral("{\"%1\": \"TOGGLE\"}").arg(written).toUtf8());
    QCOMPARE(bag.ReadProperty(read, QStringLiteral("default")).toString(), QStringLiteral("TOGGLE"));

    bag.WriteProperty(read, QStringLiteral("OTHER"), QString());
    QCOMPARE(bag.count(), 1); // replaced, not added beside
    QCOMPARE(bag.ReadProperty(written).toString(), QStringLiteral("OTHER"));
}

void TestHost::bagDefaults()
{
    PropertyBag bag;
    QCOMPARE(bag.ReadProperty("State", 0).toInt(), 0);
    bag.WriteProperty("State", 1, 0);
    QCOMPARE(bag.ReadProperty("state", 0).toInt(), 1);
    // Writing the default leaves the key out; reading falls back to it.
    bag.WriteProperty("State", 0, 0);
    QVERIFY(!bag.contains("State"));
    bag.WriteProperty("Font", QVariant::fromValue(makeFont("Arial", 9)), QVariant::fromValue(makeFont("Arial", 9)));
    QVERIFY(!bag.contains("Font"));
}

void TestHost::bagRoundTrip()
{
    PropertyBag bag;
    const FontRef font = makeFont("Small Fonts", 6, 700, 2);
    font->Italic = true;
    bag.WriteProperty("State", 7, 0);
    bag.WriteProperty("Enabled", false, true);
    bag.WriteProperty("Caption", QStringLiteral("Grüße \"quoted\""), QString());
    bag.WriteProperty("Font", QVariant::fromValue(font), QVariant());

    const PropertyBag loaded = PropertyBag::fromJson(bag.toJson());
    QCOMPARE(loaded.keys(), bag.keys());
    QCOMPARE(PropertyBag::toLong(loaded.ReadProperty("State"), "State"), 7);
    QCOMPARE(PropertyBag::toBoolean(loaded.ReadProperty("Enabled"), "Enabled"), false);
    QCOMPARE(PropertyBag::toText(loaded.ReadProperty("Caption"), "Caption"), QStringLiteral("Grüße \"quoted\""));
    const FontRef back = PropertyBag::toFont(loaded.ReadProperty("Font"), "Font");
    QVERIFY(back && *back == *font);
}

void TestHost::bagBadJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("named");
    QTest::newRow("not JSON") << QByteArray("{\"caption\": ") << "offset";
    QTest::newRow("trailing garbage") << QByteArray("{} x") << "offset";
    QTest::newRow("list at top") << QByteArray("[1, 2]") << "top level";
    QTest::newRow("null value") << QByteArray("{\"State\": null}") << "\"State\" holds null";
    QTest::newRow("list value") << QByteArray("{\"Caption\": [\"a\"]}") << "\"Caption\" holds a list";
    QTest::newRow("font without name") << QByteArray("{\"font\": {\"Size\": 6}}") << "\"font.Name\"";
    QTest::newRow("font size as text") << QByteArray("{\"font\": {\"Name\": \"Arial\", \"Size\": \"6\"}}") << "\"font.Size\"";
    QTest::newRow("font size zero") << QByteArray("{\"font\": {\"Name\": \"Arial\", \"Size\": 0}}") << "\"font.Size\"";
    QTest::newRow("font weight huge") << QByteArray("{\"font\": {\"Name\": \"A\", \"Size\": 6, \"Weight\": 70000}}") << "\"font.Weight\"";
    QTest::newRow("font italic as number") << QByteArray("{\"font\": {\"Name\": \"A\", \"Size\": 6, \"Italic\": 1}}") << "\"font.Italic\"";
    QTest::newRow("same key twice") << QByteArray("{\"Caption\": \"a\", \"caption\": \"b\"}") << "given twice";
    QTest::newRow("same key twice, same case") << QByteArray(R"({"State": 1, "State": 3e9})") << "\"State\" is given twice";
    QTest::newRow("same key, one escaped") << QByteArray(R"({"State": 1, "St\u0061te": 2})") << "\"State\" is given twice";
    QTest::newRow("font field twice") << QByteArray(R"({"Font": {"Name": "A", "Name": "B", "Size": 6}})")
                                      << "\"Name\" is given twice";
    QTest::newRow("font name empty") << QByteArray(R"({"Font": {"Name": "", "Size": 6}})") << "\"Font.Name\" is empty";
    QTest::newRow("font size NaN-like") << QByteArray(R"({"Font": {"Name": "A", "Size": 2048.5}})") << "\"Font.Size\"";
    QTest::newRow("key with %1") << QByteArray(R"({"%1": null})") << "\"%1\" holds null";
    QTest::newRow("font key with %1") << QByteArray(R"({"%1": {"Name": "", "Size": 6}})") << "\"%1.Name\" is empty";
}

void TestHost::bagBadJson()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, named);
    expectHostError([&] { PropertyBag::fromJson(json); }, HostError::InvalidFileFormat, named);
}

void TestHost::bagBadJsonKeepsLoadedBag()
{
    PropertyBag bag = PropertyBag::fromJson(R"({"caption": "TOGGLE", "State": 1})");
    try {
        bag = PropertyBag::fromJson(R"({"caption": "lost?", "State": [}")");
        QFAIL("bad JSON was accepted");
    } catch (const HostError &) {
    }
    QCOMPARE(bag.ReadProperty("Caption").toString(), QStringLiteral("TOGGLE"));
    QCOMPARE(bag.ReadProperty("State").toInt(), 1);
}

// Bags and errors share their contents between copies; a change to one
// copy, or the end of the original, must not reach another.
void TestHost::copiesAreValues()
{
    PropertyBag original = PropertyBag::fromJson(R"({"caption": "TOGGLE"})");
    PropertyBag copy = original;
    copy.WriteProperty("Caption", QStringLiteral("OTHER"), QString());
    copy.WriteProperty("State", 1, 0);
    PropertyBag assigned;
    assigned = copy;
    assigned.WriteProperty("State", 0, 0);
    QCOMPARE(original.ReadProperty("Caption").toString(), QStringLiteral("TOGGLE"));
    QCOMPARE(original.keys(), QStringList{"caption"});
    QCOMPARE(copy.ReadProperty("caption").toString(), QStringLiteral("OTHER"));
    QCOMPARE(copy.count(), 2);
    QCOMPARE(assigned.count(), 1);

    std::optional<HostError> kept;
    {
        const HostError thrown = HostError::overflow(QStringLiteral("m_State"));
        kept = thrown;
    }
    QCOMPARE(kept->number(), int(HostError::Overflow));
    QCOMPARE(kept->description(), QStringLiteral("Overflow: m_State"));
    QCOMPARE(QByteArray(kept->what()), QByteArray("Run-time error '6': Overflow: m_State"));
}

void TestHost::conversions_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("expected"); // the value as text, or "error N"
    QTest::newRow("Boolean from true") << QByteArray(R"({"v": true})") << "Boolean" << "true";
    QTest::newRow("Boolean from text False") << QByteArray(R"({"v": "false"})") << "Boolean" << "false";
    QTest::newRow("Boolean from number") << QByteArray(R"({"v": -1})") << "Boolean" << "true";
    QTest::newRow("Boolean from zero text") << QByteArray(R"({"v": "0"})") << "Boolean" << "false";
    QTest::newRow("Long from number") << QByteArray(R"({"v": 2147483647})") << "Long" << "2147483647";
    QTest::newRow("Long from numeric text") << QByteArray(R"({"v": " 42 "})") << "Long" << "42";
    QTest::newRow("Long ties to even 2.5") << QByteArray(R"({"v": 2.5})") << "Long" << "2";
    QTest::newRow("Long ties to even 3.5") << QByteArray(R"({"v": 3.5})") << "Long" << "4";
    QTest::newRow("Long from true") << QByteArray(R"({"v": true})") << "Long" << "-1";
    QTest::newRow("Text from number") << QByteArray(R"({"v": 12})") << "Text" << "12";
    QTest::newRow("Text from Boolean") << QByteArray(R"({"v": false})") << "Text" << "False";
    QTest::newRow("text for an integer") << QByteArray(R"({"State": "one"})") << "Long" << "error 13";
    QTest::newRow("integer too large") << QByteArray(R"({"State": 3000000000})") << "Long" << "error 6";
    QTest::newRow("integer too small") << QByteArray(R"({"State": -2147483648.6})") << "Long" << "error 6";
    QTest::newRow("text for a Boolean") << QByteArray(R"({"Enabled": "maybe"})") << "Boolean" << "error 13";
    // Words the number parser knows are not decimal numbers.
    QTest::newRow("text nan for an integer") << QByteArray(R"({"State": "nan"})") << "Long" << "error 13";
    QTest::newRow("text -inf for an integer") << QByteArray(R"({"State": " -inf "})") << "Long" << "error 13";
    QTest::newRow("text NaN for a Boolean") << QByteArray(R"({"Enabled": "NaN"})") << "Boolean" << "error 13";
    QTest::newRow("text inf for a Boolean") << QByteArray(R"({"Enabled": "inf"})") << "Boolean" << "error 13";
    QTest::newRow("font for a Boolean") << QByteArray(R"({"Enabled": {"Name": "A", "Size": 6}})") << "Boolean" << "error 13";
    QTest::newRow("font for a text") << QByteArray(R"({"Caption": {"Name": "A", "Size": 6}})") << "Text" << "error 13";
    QTest::newRow("text for a font") << QByteArray(R"({"Font": "Arial"})") << "Font" << "error 13";
    QTest::newRow("a key repeats only in another object")
        << QByteArray(R"({"Name": "x", "Z": {"Name": "A", "Size": 6}})") << "Text" << "x";
}

// Keys and values appear exactly as stored in every message, "%1" included.
void TestHost::errorTextsAreVerbatim_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("kind");
    QTest::addColumn<QString>("description");
    QTest::newRow("overflow") << QByteArray(R"({"%1": 3e9})") << "Long"
                              << R"(Overflow: property "%1" = 3000000000 does not fit a 32-bit integer)";
    QTest::newRow("mismatch") << QByteArray(R"({"%2%1": "x%1"})") << "Long"
                              << R"(Type mismatch: property "%2%1" wants a 32-bit integer, got text "x%1")";
    QTest::newRow("Boolean") << QByteArray(R"({"%1": "%2"})") << "Boolean"
                             << R"(Type mismatch: property "%1" wants a Boolean, got text "%2")";
}

void TestHost::errorTextsAreVerbatim()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, kind);
    QFETCH(QString, description);
    const PropertyBag bag = PropertyBag::fromJson(json);
    const QString key = bag.keys().constFirst();
    try {
        if (kind == "Long")
            PropertyBag::toLong(bag.ReadProperty(key), key);
        else
            PropertyBag::toBoolean(bag.ReadProperty(key), key);
        QFAIL("no error raised");
    } catch (const HostError &error) {
        QCOMPARE(error.description(), description);
        QCOMPARE(QString::fromUtf8(error.what()), "Run-time error '" + QString::number(error.number()) + "': " + description);
    }
}

// What a bag could not load back is refused when it is written, and the bag
// stays as it was.
void TestHost::bagRefusesWhatItCannotLoad_data()
{
    QTest::addColumn<QVariant>("value");
    QTest::addColumn<QString>("named");
    const auto font = [](const char *name, double size, qint16 weight, qint16 charset) {
        return QVariant::fromValue(makeFont(QLatin1String(name), size, weight, charset));
    };
    QTest::newRow("font without a name") << font("", 6, 400, 0) << "\"Font.Name\"";
    QTest::newRow("font of size 0") << font("A", 0, 400, 0) << "\"Font.Size\"";
    QTest::newRow("font of size 2049") << font("A", 2049, 400, 0) << "\"Font.Size\"";
    QTest::newRow("font of NaN size") << font("A", qQNaN(), 400, 0) << "\"Font.Size\"";
    QTest::newRow("font of weight 1001") << font("A", 6, 1001, 0) << "\"Font.Weight\"";
    QTest::newRow("font of charset 256") << font("A", 6, 400, 256) << "\"Font.Charset\"";
    QTest::newRow("NaN") << QVariant(qQNaN()) << "not a finite number";
    QTest::newRow("infinity") << QVariant(qInf()) << "not a finite number";
    QTest::newRow("a list") << QVariant(QVariantList{1, 2}) << "a value is a Boolean, a number, a text or a font";
}

void TestHost::bagRefusesWhatItCannotLoad()
{
    QFETCH(QVariant, value);
    QFETCH(QString, named);
    PropertyBag bag;
    bag.WriteProperty("Caption", QStringLiteral("kept"), QString());
    bag.WriteProperty("Font", QVariant::fromValue(makeFont("Small Fonts", 6)), QVariant());
    const QByteArray before = bag.toJson();
    expectHostError([&] { bag.WriteProperty("Font", value, QVariant()); }, HostError::InvalidPropertyValue, named);
    QCOMPARE(bag.toJson(), before);
    // A font saved and then changed through its shared object stays as saved.
    const FontRef shared = makeFont("Small Fonts", 6);
    bag.WriteProperty("Font", QVariant::fromValue(shared), QVariant());
    shared->Size = 0;
    QCOMPARE(PropertyBag::fromJson(bag.toJson()).readFont("Font", {})->Size, 6.0);
}

// A Qt font becomes a font object with the same face, size, weight and
// flags, and that object gives back the same Qt font.
void TestHost::fontsFromQt_data()
{
    QTest::addColumn<QFont>("font");
    QTest::addColumn<QString>("made"); // name, size, weight, charset, then I, U and S for the flags
    QTest::newRow("plain") << QFont("DejaVu Sans", 9) << "DejaVu Sans 9 400 0";
    QFont flags("DejaVu Serif", 12, QFont::Bold, true);
    flags.setUnderline(true);
    flags.setStrikeOut(true);
    QTest::newRow("bold, italic, underline, strike-out") << flags << "DejaVu Serif 12 700 0 IUS";
    QFont fractional("Small Fonts");
    fractional.setPointSizeF(6.75);
    fractional.setWeight(QFont::Light);
    QTest::newRow("fractional size, light") << fractional << "Small Fonts 6.75 300 0";
    QFont families;
    families.setFamilies({"DejaVu Serif", "DejaVu Sans"});
    families.setPointSize(10);
    QTest::newRow("the first of several families") << families << "DejaVu Serif 10 400 0";
    QFont pixels("DejaVu Sans");
    pixels.setPixelSize(16);
    QTest::newRow("sized in pixels") << pixels
                                     << QStringLiteral("DejaVu Sans %1 400 0").arg(QFontInfo(pixels).pointSizeF());
}

void TestHost::fontsFromQt()
{
    QFETCH(QFont, font);
    QFETCH(QString, made);
    const FontRef object = fontFromQFont(font);
    QVERIFY(object);
    const QString flags = QString(object->Italic ? "I" : "") + (object->Underline ? "U" : "") + (object->Strikethrough ? "S" : "");
    QCOMPARE(QStringLiteral("%1 %2 %3 %4 %5").arg(object->Name).arg(object->Size).arg(object->Weight).arg(object->Charset)
                 .arg(flags).trimmed(), made);
    QCOMPARE(object->problem("Font"), QString());
    QVERIFY(*fontFromQFont(object->toQFont()) == *object);
}

// A caption is plain text everywhere: markup is shown as typed, and an
// image reference is never opened.
void TestHost::captionsArePlainText_data()
{
    QTest::addColumn<QString>("caption");
    QTest::newRow("bold markup") << "<b>x</b>";
    QTest::newRow("entity") << "&lt;";
    QTest::newRow("image") << "<img src=\"IMAGE\">";
}

void TestHost::captionsArePlainText()
{
    QFETCH(QString, caption);
    QTemporaryDir dir;
    QImage big(200, 200, QImage::Format_RGB32);
    big.fill(Qt::red);
    QVERIFY(big.save(dir.filePath("big.png")));
    caption.replace("IMAGE", dir.filePath("big.png"));

    Label label;
    label.setAutoSize(true);
    label.setCaption(caption);
    QCOMPARE(label.Caption(), caption);
    const QFontMetrics metrics(label.font());
    QVERIFY2(label.width() >= metrics.horizontalAdvance(caption), qPrintable(QString::number(label.width())));
    QVERIFY2(label.height() < 2 * metrics.height(), qPrintable(QString::number(label.height())));
}

void TestHost::conversions()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, kind);
    QFETCH(QString, expected);
    const PropertyBag bag = PropertyBag::fromJson(json);
    const QString key = bag.keys().constFirst();
    const QVariant value = bag.ReadProperty(key);
    QString actual;
    try {
        if (kind == "Boolean")
            actual = PropertyBag::toBoolean(value, key) ? "true" : "false";
        else if (kind == "Long")
            actual = QString::number(PropertyBag::toLong(value, key));
        else if (kind == "Text")
            actual = PropertyBag::toText(value, key);
        else
            actual = PropertyBag::toFont(value, key)->Name;
    } catch (const HostError &error) {
        // Every conversion error names the property it was reading.
        QVERIFY2(error.description().contains('"' + key + '"'), qPrintable(error.description()));
        actual = QStringLiteral("error %1").arg(error.number());
    }
    QCOMPARE(actual, expected);
}

void TestHost::integerRounding_data()
{
    QTest::addColumn<double>("value");
    QTest::addColumn<int>("expected"); // -99999 means overflow
    QTest::newRow("0.5 to 0") << 0.5 << 0;
    QTest::newRow("1.5 to 2") << 1.5 << 2;
    QTest::newRow("-2.5 to -2") << -2.5 << -2;
    QTest::newRow("32767.4") << 32767.4 << 32767;
    QTest::newRow("32767.5 overflows") << 32767.5 << -99999;
    QTest::newRow("-32768.5 to -32768") << -32768.5 << -32768;
    QTest::newRow("-32769 overflows") << -32769.0 << -99999;
}

void TestHost::integerRounding()
{
    QFETCH(double, value);
    QFETCH(int, expected);
    if (expected == -99999)
        expectHostError([&] { huvolo::toInteger(value, "h6"); }, HostError::Overflow, "h6");
    else
        QCOMPARE(int(huvolo::toInteger(value, "h6")), expected);
}

void TestHost::hexText_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<QString>("expected");
    QTest::newRow("zero") << 0 << "0";
    QTest::newRow("ten") << 10 << "A";
    QTest::newRow("255") << 255 << "FF";
    QTest::newRow("minus one") << -1 << "FFFFFFFF";
}

void TestHost::hexText()
{
    QFETCH(int, value);
    QFETCH(QString, expected);
    QCOMPARE(huvolo::hex(value), expected);
}

void TestHost::colours()
{
    QCOMPARE(huvolo::packColour(255, 0, 0), 0x0000FF);
    QCOMPARE(huvolo::packColour(0, 10, 255), 0xFF0A00);
    QCOMPARE(huvolo::toQColor(0x00D54600), QColor(0x00, 0x46, 0xD5));
    QCOMPARE(huvolo::fromQColor(QColor(0xA1, 0xA1, 0x92)), OLE_COLOR(0x0092A1A1));
    QCOMPARE(huvolo::toQColor(huvolo::vbWindowBackground), QGuiApplication::palette().color(QPalette::Base));
    QCOMPARE(huvolo::toQColor(huvolo::vbWindowText), QGuiApplication::palette().color(QPalette::Text));
    expectHostError([] { huvolo::toQColor(0x800000FF); }, HostError::InvalidPropertyValue, "system colour");
    expectHostError([] { huvolo::toQColor(0x01000000); }, HostError::InvalidPropertyValue, "colour");
    expectHostError([] { huvolo::packColour(256, 0, 0); }, HostError::InvalidArgument, "256");
}

void TestHost::pointReadsInnerArea_data()
{
    QTest::addColumn<float>("x");
    QTest::addColumn<float>("y");
    QTest::addColumn<qint32>("expected");
    // The picture is 4 x 3 with pixel (i, j) = i + 16 * j; the box's inner
    // area is 6 x 5 pixels, its back colour 0x00ABCDEF.
    QTest::newRow("first pixel") << 0.0f << 0.0f << 0;
    QTest::newRow("last twip of first pixel") << 14.9f << 14.9f << 0;
    QTest::newRow("second column") << 15.0f << 0.0f << 1;
    QTest::newRow("last picture pixel") << 59.0f << 44.0f << 3 + 32;
    QTest::newRow("strip right of picture") << 60.0f << 0.0f << 0x00ABCDEF;
    QTest::newRow("strip below picture") << 0.0f << 45.0f << 0x00ABCDEF;
    QTest::newRow("last inner pixel") << 89.9f << 74.9f << 0x00ABCDEF;
    QTest::newRow("past the right") << 90.0f << 0.0f << -1;
    QTest::newRow("past the bottom") << 0.0f << 75.0f << -1;
    QTest::newRow("left of the inner area") << -0.1f << 0.0f << -1;
    QTest::newRow("above the inner area") << 0.0f << -15.0f << -1;
}

void TestHost::pointReadsInnerArea()
{
    QFETCH(float, x);
    QFETCH(float, y);
    QFETCH(qint32, expected);
    QImage picture(4, 3, QImage::Format_RGB32);
    for (int j = 0; j < 3; ++j)
        for (int i = 0; i < 4; ++i)
            picture.setPixel(i, j, qRgb(i + 16 * j, 0, 0));
    PictureBox box;
    box.resize(8, 7);
    box.setPicture(picture);
    box.setBackColor(0x00ABCDEF);
    QCOMPARE(box.Point(x, y), expected);
}

void TestHost::guardReportsAndGoesOn()
{
    bool after = false;
    QTest::ignoreMessage(QtCriticalMsg, "Run-time error '6': Overflow: h6 = 40000 does not fit a 16-bit integer");
    hostGuard([] { huvolo::toInteger(40000, "h6"); });
    hostGuard([&] { after = true; });
    QVERIFY(after);
}

void TestHost::keyCodes_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("code"); // the Windows virtual-key code a handler sees
    const QList<std::pair<const char *, std::pair<int, int>>> keys{
        {"Backspace", {Qt::Key_Backspace, 8}}, {"Tab", {Qt::Key_Tab, 9}},
        {"Return", {Qt::Key_Return, 13}},      {"keypad Enter", {Qt::Key_Enter, 13}},
        {"Shift", {Qt::Key_Shift, 16}},        {"Control", {Qt::Key_Control, 17}},
        {"Alt", {Qt::Key_Alt, 18}},            {"Pause", {Qt::Key_Pause, 19}},
        {"Caps Lock", {Qt::Key_CapsLock, 20}}, {"Escape", {Qt::Key_Escape, 27}},
        {"Space", {Qt::Key_Space, 32}},        {"Page Up", {Qt::Key_PageUp, 33}},
        {"Page Down", {Qt::Key_PageDown, 34}}, {"End", {Qt::Key_End, 35}},
        {"Home", {Qt::Key_Home, 36}},          {"Left", {Qt::Key_Left, 37}},
        {"Up", {Qt::Key_Up, 38}},              {"Right", {Qt::Key_Right, 39}},
        {"Down", {Qt::Key_Down, 40}},          {"Insert", {Qt::Key_Insert, 45}},
        {"Delete", {Qt::Key_Delete, 46}},      {"0", {Qt::Key_0, 48}},
        {"9", {Qt::Key_9, 57}},                {"A", {Qt::Key_A, 65}},
        {"Z", {Qt::Key_Z, 90}},                {"F1", {Qt::Key_F1, 112}},
        {"F12", {Qt::Key_F12, 123}},           {"F24", {Qt::Key_F24, 135}},
        {"F25 has no code", {Qt::Key_F25, 0}}, {"Menu has no code", {Qt::Key_Menu, 0}},
        {"a letter beyond Z", {Qt::Key_Adiaeresis, 0}},
    };
    for (const auto &[name, row] : keys)
        QTest::newRow(name) << row.first << row.second;
}

// What KeyDown and KeyUp hand a control's handler for each key.
void TestHost::keyCodes()
{
    QFETCH(int, key);
    QFETCH(int, code);
    struct KeyControl : UserControl
    {
        QList<int> seen;
        void UserControl_KeyDown(qint16 &KeyCode, qint16 &) override { seen << KeyCode; }
        void UserControl_KeyUp(qint16 &KeyCode, qint16 &) override { seen << KeyCode; }
    } control;
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier);
    QApplication::sendEvent(&control, &press);
    QApplication::sendEvent(&control, &release);
    QCOMPARE(control.seen, (QList<int>{code, code}));
}

void TestHost::paintPicture_data()
{
    QTest::addColumn<QRectF>("destination");
    QTest::addColumn<QRectF>("source");
    // Rows of the 6 x 4 surface: . back colour, letters picture, ? anything else.
    QTest::addColumn<QString>("expected");
    // The picture is 3 x 2: "ab." over "cde" where "." is transparent.
    QTest::newRow("pixel for pixel") << QRectF(0, 0, 3, 2) << QRectF(0, 0, 3, 2) << "ab....|cde...|......|......";
    QTest::newRow("stretched across") << QRectF(0, 0, 6, 1) << QRectF(0, 1, 3, 1) << "ccddee|......|......|......";
    QTest::newRow("stretched down") << QRectF(5, 0, 1, 4) << QRectF(1, 0, 1, 2) << ".....b|.....b|.....d|.....d";
    QTest::newRow("transparent left out") << QRectF(2, 2, 3, 1) << QRectF(0, 0, 3, 1) << "......|......|..ab..|......";
    QTest::newRow("clipped at the edge") << QRectF(4, 3, 3, 2) << QRectF(0, 0, 3, 2) << "......|......|......|....ab";
    QTest::newRow("zero width") << QRectF(0, 0, 0, 2) << QRectF(0, 0, 3, 2) << "......|......|......|......";
    QTest::newRow("negative height") << QRectF(0, 3, 3, -2) << QRectF(0, 0, 3, 2) << "......|......|......|......";
    QTest::newRow("negative source") << QRectF(0, 0, 3, 2) << QRectF(3, 0, -3, 2) << "......|......|......|......";
}

void TestHost::paintPicture()
{
    QFETCH(QRectF, destination);
    QFETCH(QRectF, source);
    QFETCH(QString, expected);
    const QHash<QChar, QRgb> colours{{'a', 0xFF110000}, {'b', 0xFF220000}, {'c', 0xFF330000},
                                     {'d', 0xFF440000}, {'e', 0xFF550000}};
    QImage picture(3, 2, QImage::Format_ARGB32);
    const QString pattern = QStringLiteral("ab.cde");
    for (int i = 0; i < 6; ++i)
        picture.setPixel(i % 3, i / 3, pattern[i] == '.' ? 0u : colours[pattern[i]]);

    UserControl surface;
    surface.setSurfaceSize(6, 4);
    surface.setSurfaceBackColor(0x00FFFFFF);
    surface.setScaleMode(UserControl::vbPixels);
    surface.Cls();
    surface.PaintPicture(picture, destination.x(), destination.y(), destination.width(), destination.height(),
                         source.x(), source.y(), source.width(), source.height());
    QString actual;
    for (int y = 0; y < 4; ++y) {
        for (int x = 0; x < 6; ++x)
            actual += surface.image().pixel(x, y) == 0xFFFFFFFF ? QChar('.')
                                                                : colours.key(surface.image().pixel(x, y), '?');
        actual += y < 3 ? QStringLiteral("|") : QString();
    }
    QCOMPARE(actual, expected);
}

using Copy = std::array<double, 8>; // destination x, y, width, height, then source

void TestHost::paintPictureFollowsNearestPixel_data()
{
    QTest::addColumn<Copy>("copy");
    QTest::newRow("pixel for pixel") << Copy{2, 3, 12, 10, 0, 0, 12, 10};
    QTest::newRow("stretched 3 times") << Copy{0, 0, 36, 30, 0, 0, 12, 10};
    QTest::newRow("shrunk by 2, centres on pixel lines") << Copy{0, 0, 6, 5, 0, 0, 12, 10};
    QTest::newRow("shrunk by 2.4") << Copy{1, 1, 5, 4, 0, 0, 12, 10};
    QTest::newRow("12 stretched to 18") << Copy{0, 0, 18, 1, 0, 0, 12, 1};
    QTest::newRow("partly left of and above the surface") << Copy{-7, -5, 30, 20, 0, 0, 12, 10};
    QTest::newRow("partly right of and below the surface") << Copy{30, 25, 30, 20, 1, 1, 11, 9};
    QTest::newRow("source partly left of the picture") << Copy{0, 0, 20, 10, -4, 0, 12, 10};
    QTest::newRow("source partly right of and below the picture") << Copy{0, 0, 20, 20, 6, 5, 12, 10};
    QTest::newRow("source outside the picture") << Copy{0, 0, 10, 10, 20, 20, 5, 5};
    QTest::newRow("destination two billion pixels wide") << Copy{-1e9, -1e9, 2e9, 2e9, 0, 0, 12, 10};
    QTest::newRow("source shrunk 20000 times across") << Copy{0, 0, 40, 30, -409995, 0, 800000, 10};
}

// Every surface pixel in the destination shows the picture pixel under its
// centre (the lower one on a line between two), or stays as it was where
// that lies outside the picture; nothing else changes.
void TestHost::paintPictureFollowsNearestPixel()
{
    QFETCH(Copy, copy);
    const auto [dx, dy, dw, dh, sx, sy, sw, sh] = copy;
    QImage picture(12, 10, QImage::Format_ARGB32);
    for (int j = 0; j < picture.height(); ++j)
        for (int i = 0; i < picture.width(); ++i)
            picture.setPixel(i, j, qRgb(10 * i, 10 * j, 200));
    UserControl surface;
    surface.setSurfaceSize(40, 30);
    surface.setSurfaceBackColor(0x00FFFFFF);
    surface.setScaleMode(UserControl::vbPixels);
    surface.Cls();
    surface.PaintPicture(picture, dx, dy, dw, dh, sx, sy, sw, sh);

    const auto shown = [](double p, double d, double length, double s, double sourceLength, int size) {
        if (p < d || p >= d + length)
            return -1;
        const int at = int(std::ceil(s + (p - d + 0.5) * sourceLength / length)) - 1;
        return at >= 0 && at < size ? at : -1;
    };
    QStringList wrong;
    for (int y = 0; y < 30; ++y) {
        for (int x = 0; x < 40; ++x) {
            const int i = shown(x, dx, dw, sx, sw, 12), j = shown(y, dy, dh, sy, sh, 10);
            const QRgb expected = i >= 0 && j >= 0 ? picture.pixel(i, j) : qRgb(255, 255, 255);
            if (surface.image().pixel(x, y) != expected)
                wrong << QStringLiteral("(%1, %2)").arg(x).arg(y);
        }
    }
    QVERIFY2(wrong.isEmpty(), qPrintable(wrong.mid(0, 12).join(' ')));
}

void TestHost::paintPictureRefusesBadNumbers_data()
{
    QTest::addColumn<Copy>("copy");
    QTest::addColumn<bool>("twips");
    QTest::addColumn<QString>("named");
    QTest::newRow("NaN position") << Copy{qQNaN(), 0, 3, 2, 0, 0, 3, 2} << false << "X1 = nan";
    QTest::newRow("infinite width") << Copy{0, 0, qInf(), 2, 0, 0, 3, 2} << false << "X1 + Width1 = inf";
    QTest::newRow("source beyond the integer range") << Copy{0, 0, 3, 2, 0, 3e9, 3, 2} << false << "Y2 = 3e+09";
    QTest::newRow("negative beyond the integer range") << Copy{0, 0, 3, 2, -3e9, 0, 3, 2} << false << "X2";
    QTest::newRow("end beyond the integer range") << Copy{2e9, 0, 2e9, 2, 0, 0, 3, 2} << false << "X1 + Width1";
    QTest::newRow("twips beyond the integer range") << Copy{0, 0, 45, 30, 0, 0, 3.3e10, 30} << true << "X2 + Width2";
}

void TestHost::paintPictureRefusesBadNumbers()
{
    QFETCH(Copy, copy);
    QFETCH(bool, twips);
    QFETCH(QString, named);
    QImage picture(3, 2, QImage::Format_RGB32);
    picture.fill(Qt::red);
    UserControl surface;
    surface.setSurfaceSize(6, 4);
    surface.setScaleMode(twips ? UserControl::vbTwips : UserControl::vbPixels);
    surface.Cls();
    const QImage before = surface.image();
    expectHostError(
        [&] {
            const auto [dx, dy, dw, dh, sx, sy, sw, sh] = copy;
            surface.PaintPicture(picture, dx, dy, dw, dh, sx, sy, sw, sh);
        },
        HostError::InvalidArgument, "PaintPicture " + named);
    QCOMPARE(surface.image(), before);
}

void TestHost::scaleUnits()
{
    UserControl surface;
    surface.setSurfaceSize(61, 21);
    QCOMPARE(surface.ScaleWidth(), 915.0f);
    QCOMPARE(surface.ScaleHeight(), 315.0f);
    surface.setScaleMode(UserControl::vbPixels);
    QCOMPARE(surface.ScaleWidth(), 61.0f);
    QCOMPARE(surface.ScaleHeight(), 21.0f);
    QCOMPARE(surface.image().size(), QSize(61, 21));
    expectHostError([&] { surface.setScaleMode(2); }, HostError::InvalidPropertyValue, "ScaleMode 2");
    QCOMPARE(surface.ScaleMode(), qint16(UserControl::vbPixels));
}

void TestHost::textBoxExtendedStyle()
{
    TextBox box;
    QVERIFY(box.hasSunkenEdge());
    QCOMPARE(SetWindowLongA(&box, GWL_EXSTYLE, WS_EX_TRANSPARENT), WS_EX_CLIENTEDGE);
    QVERIFY(!box.hasSunkenEdge());
    QCOMPARE(SetWindowLongA(&box, GWL_EXSTYLE, WS_EX_CLIENTEDGE), WS_EX_TRANSPARENT);
    QVERIFY(box.hasSunkenEdge());

    // Any widget may take part through the hook; others keep the value only.
    StyledWidget styled;
    QCOMPARE(SetWindowLongA(&styled, GWL_EXSTYLE, WS_EX_TRANSPARENT), 7);
    QCOMPARE(SetWindowLongA(&styled, -16, 5), 0);
    QCOMPARE(styled.applied, QList<qint32>{WS_EX_TRANSPARENT});
    QWidget plain;
    QCOMPARE(SetWindowLongA(&plain, GWL_EXSTYLE, WS_EX_CLIENTEDGE), 0);
    QCOMPARE(SetWindowLongA(&plain, GWL_EXSTYLE, 0), WS_EX_CLIENTEDGE);
}

// While the pointer is over one of our windows its position comes from the
// last pointer event there; after it leaves, the window system is asked.
void TestHost::pointerFromOwnEvents()
{
    UserControl surface; // controls start the tracking
    surface.setSurfaceSize(60, 40);
    surface.show();
    QVERIFY(QTest::qWaitForWindowExposed(&surface));
    QWindow *window = surface.windowHandle();
    QCursor::setPos(900, 700);
    const QPoint global = surface.mapToGlobal(QPoint(12, 7));
    QMouseEvent move(QEvent::MouseMove, QPointF(12, 7), QPointF(12, 7), QPointF(global), Qt::NoButton,
                     Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &move);
    POINTAPI point;
    GetCursorPos(point);
    QCOMPARE(QPoint(point.x, point.y), global);
    QCOMPARE(ScreenToClient(&surface, point), 1);
    QCOMPARE(QPoint(point.x, point.y), QPoint(12, 7));

    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(window, &leave);
    GetCursorPos(point);
    QCOMPARE(QPoint(point.x, point.y), QCursor::pos());
}

void TestHost::labelNotifiesEveryCaption()
{
    Label label;
    QSignalSpy changes(&label, &Label::Change);
    label.setCaption("TOGGLE");
    label.setCaption("TOGGLE");
    QCOMPARE(changes.count(), 2);
    label.setLeft(10.5f);
    label.setTop(5.5f);
    QCOMPARE(label.Left(), 10.5f);
    QCOMPARE(label.Top(), 5.5f);
}

QTEST_MAIN(TestHost)
#include "tst_host.moc"

