#include "colourformats.h"

#include <QColor>
#include <QTest>

#include <cstdlib>

using huvolo::ColourFormat;
using huvolo::formatColour;
using huvolo::parseColour;

namespace {

QString hexName(QRgb rgb)
{
    return QStringLiteral("%1").arg(rgb, 8, 16, QLatin1Char('0'));
}

} // namespace

class TestColourFormats : public QObject
{
    Q_OBJECT

private slots:
    void exactFormats_data();
    void exactFormats();
    void roundTripOverSample();
    void alphaIgnored();

    void hslBothWays_data();
    void hslBothWays();
    void hslRounding_data();
    void hslRounding();

    void newNotationsWritten_data();
    void newNotationsWritten();
    void newNotationsRead_data();
    void newNotationsRead();

    void tolerantParse_data();
    void tolerantParse();
    void rejected_data();
    void rejected();
};

void TestColourFormats::exactFormats_data()
{
    QTest::addColumn<QRgb>("rgb");
    QTest::addColumn<ColourFormat>("format");
    QTest::addColumn<QString>("text");

    const struct
    {
        QRgb rgb;
        const char *upper, *lower, *bare, *css, *prefixed;
    } rows[] = {
        {0xFF000000, "#000000", "#000000", "000000", "rgb(0, 0, 0)", "0x000000"},
        {0xFFFFFFFF, "#FFFFFF", "#ffffff", "FFFFFF", "rgb(255, 255, 255)", "0xFFFFFF"},
        {0xFF0A0B0C, "#0A0B0C", "#0a0b0c", "0A0B0C", "rgb(10, 11, 12)", "0x0A0B0C"},
        {0xFFFF8000, "#FF8000", "#ff8000", "FF8000", "rgb(255, 128, 0)", "0xFF8000"},
        {0xFF01F2A9, "#01F2A9", "#01f2a9", "01F2A9", "rgb(1, 242, 169)", "0x01F2A9"},
    };
    for (const auto &row : rows) {
        const auto add = [&](ColourFormat format, const char *text) {
            QTest::addRow("%s %s", row.upper, text) << row.rgb << format << QString::fromLatin1(text);
        };
        add(ColourFormat::HexUpper, row.upper);
        add(ColourFormat::HexLower, row.lower);
        add(ColourFormat::HexBare, row.bare);
        add(ColourFormat::Rgb, row.css);
        add(ColourFormat::Hex0x, row.prefixed);
    }
}

void TestColourFormats::exactFormats()
{
    QFETCH(QRgb, rgb);
    QFETCH(ColourFormat, format);
    QFETCH(QString, text);

    QCOMPARE(formatColour(rgb, format), text);
    QCOMPARE(formatColour(QColor::fromRgb(rgb), format), text);
    const huvolo::ParsedColour parsed = parseColour(text);
    QVERIFY2(parsed.rgb, qPrintable(parsed.error));
    QCOMPARE(hexName(*parsed.rgb), hexName(rgb));
    QVERIFY(parsed.error.isEmpty());
}

// 65,536 distinct colours spread over the whole cube (an odd multiplier is a
// bijection modulo 2^24); all 16.7 million take several seconds per format.
// Every form but hsl() reads back exactly (all 16.7 million colours were
// checked once for each). hsl() loses detail to whole percent, but measured over all 16.7 million colours no channel of the
// colour its text names is more than 5 away.
void TestColourFormats::roundTripOverSample()
{
    for (quint32 i = 0; i < 65536; ++i) {
        const QRgb rgb = 0xFF000000u | ((i * 0x9E3779B1u) & 0xFFFFFFu);
        for (const ColourFormat format : huvolo::colourFormats) {
            const QString text = formatColour(rgb, format);
            const std::optional<QRgb> back = parseColour(text).rgb;
            const int tolerance = format == ColourFormat::Hsl ? 5 : 0;
            const bool close = back && std::abs(qRed(*back) - qRed(rgb)) <= tolerance
                && std::abs(qGreen(*back) - qGreen(rgb)) <= tolerance
                && std::abs(qBlue(*back) - qBlue(rgb)) <= tolerance;
            if (!close) {
                QFAIL(qPrintable(QStringLiteral("%1 wrote %2, which read back as %3")
                                     .arg(hexName(rgb), text, back ? hexName(*back) : QStringLiteral("nothing"))));
            }
        }
    }
}

void TestColourFormats::alphaIgnored()
{
    QCOMPARE(formatColour(QRgb(0x00FF8000), ColourFormat::HexUpper), QStringLiteral("#FF8000"));
    QCOMPARE(formatColour(QRgb(0x80FF8000), ColourFormat::Rgb), QStringLiteral("rgb(255, 128, 0)"));
    QCOMPARE(formatColour(QColor(255, 128, 0, 10), ColourFormat::Hex0x), QStringLiteral("0xFF8000"));
    QCOMPARE(formatColour(QColor::fromHsv(0, 255, 255), ColourFormat::HexUpper), QStringLiteral("#FF0000"));
    QCOMPARE(formatColour(QColor(), ColourFormat::HexUpper), QString());
}

// Colours whose hsl() text reads back as a colour with the same text;
// `parsed` is that colour, which 1% steps cannot always make the original.
void TestColourFormats::hslBothWays_data()
{
    QTest::addColumn<QRgb>("rgb");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRgb>("parsed");

    QTest::newRow("red") << QRgb(0xFFFF0000) << "hsl(0, 100%, 50%)" << QRgb(0xFFFF0000);
    QTest::newRow("yellow") << QRgb(0xFFFFFF00) << "hsl(60, 100%, 50%)" << QRgb(0xFFFFFF00);
    QTest::newRow("lime") << QRgb(0xFF00FF00) << "hsl(120, 100%, 50%)" << QRgb(0xFF00FF00);
    QTest::newRow("cyan") << QRgb(0xFF00FFFF) << "hsl(180, 100%, 50%)" << QRgb(0xFF00FFFF);
    QTest::newRow("blue") << QRgb(0xFF0000FF) << "hsl(240, 100%, 50%)" << QRgb(0xFF0000FF);
    QTest::newRow("magenta") << QRgb(0xFFFF00FF) << "hsl(300, 100%, 50%)" << QRgb(0xFFFF00FF);
    QTest::newRow("black") << QRgb(0xFF000000) << "hsl(0, 0%, 0%)" << QRgb(0xFF000000);
    QTest::newRow("white") << QRgb(0xFFFFFFFF) << "hsl(0, 0%, 100%)" << QRgb(0xFFFFFFFF);
    QTest::newRow("gray") << QRgb(0xFF808080) << "hsl(0, 0%, 50%)" << QRgb(0xFF808080);
    QTest::newRow("silver") << QRgb(0xFFC0C0C0) << "hsl(0, 0%, 75%)" << QRgb(0xFFBFBFBF);
    QTest::newRow("maroon") << QRgb(0xFF800000) << "hsl(0, 100%, 25%)" << QRgb(0xFF800000);
    QTest::newRow("green") << QRgb(0xFF008000) << "hsl(120, 100%, 25%)" << QRgb(0xFF008000);
    QTest::newRow("rebeccapurple") << QRgb(0xFF663399) << "hsl(270, 50%, 40%)" << QRgb(0xFF663399);
    QTest::newRow("steelblue") << QRgb(0xFF4682B4) << "hsl(207, 44%, 49%)" << QRgb(0xFF4682B4);
    QTest::newRow("tomato") << QRgb(0xFFFF6347) << "hsl(9, 100%, 64%)" << QRgb(0xFFFF6347);
    QTest::newRow("orange") << QRgb(0xFFFFA500) << "hsl(39, 100%, 50%)" << QRgb(0xFFFFA600);
    QTest::newRow("crimson") << QRgb(0xFFDC143C) << "hsl(348, 83%, 47%)" << QRgb(0xFFDB143C);
    QTest::newRow("indigo") << QRgb(0xFF4B0082) << "hsl(275, 100%, 25%)" << QRgb(0xFF4A0080);
    // Saturation 12.5% rounds up.
    QTest::newRow("saturation half") << QRgb(0xFF090707) << "hsl(0, 13%, 3%)" << QRgb(0xFF090707);
}

void TestColourFormats::hslBothWays()
{
    QFETCH(QRgb, rgb);
    QFETCH(QString, text);
    QFETCH(QRgb, parsed);

    QCOMPARE(formatColour(rgb, ColourFormat::Hsl), text);
    const huvolo::ParsedColour read = parseColour(text);
    QVERIFY2(read.rgb, qPrintable(read.error));
    QCOMPARE(hexName(*read.rgb), hexName(parsed));
    QCOMPARE(formatColour(*read.rgb, ColourFormat::Hsl), text);
}

// Formatting only: these texts do not name their colour again.
void TestColourFormats::hslRounding_data()
{
    QTest::addColumn<QRgb>("rgb");
    QTest::addColumn<QString>("text");

    // Hue 22.5 degrees rounds up.
    QTest::newRow("hue half") << QRgb(0xFF080300) << "hsl(23, 100%, 2%)";
    // Hue 359.5 rounds to 360, which is 0.
    QTest::newRow("hue wraps") << QRgb(0xFF780001) << "hsl(0, 100%, 24%)";
    QTest::newRow("hue just below 360") << QRgb(0xFFFF0001) << "hsl(0, 100%, 50%)";
    // Lightness 99.6% rounds to 100% but the colour is not white.
    QTest::newRow("almost white") << QRgb(0xFFFEFEFE) << "hsl(0, 0%, 100%)";
    // Lightness 0.2%: the hue and saturation of a colour still count.
    QTest::newRow("almost black blue") << QRgb(0xFF000001) << "hsl(240, 100%, 0%)";
}

void TestColourFormats::hslRounding()
{
    QFETCH(QRgb, rgb);
    QFETCH(QString, text);
    QCOMPARE(formatColour(rgb, ColourFormat::Hsl), text);
}

// Expected texts worked out apart from this code, in double precision, with
// the same published matrices.
void TestColourFormats::newNotationsWritten_data()
{
    QTest::addColumn<QRgb>("rgb");
    QTest::addColumn<ColourFormat>("format");
    QTest::addColumn<QString>("text");

    const struct
    {
        QRgb rgb;
        const char *hsv, *hwb, *lab, *oklch, *vec4;
    } rows[] = {
        {0xFF000000, "hsv(0, 0%, 0%)", "hwb(0 0% 100%)", "lab(0 0 0)", "oklch(0% 0 0)", "vec4(0.000, 0.000, 0.000, 1.0)"},
        {0xFFFFFFFF, "hsv(0, 0%, 100%)", "hwb(0 100% 0%)", "lab(100 0 0)", "oklch(100% 0 0)",
         "vec4(1.000, 1.000, 1.000, 1.0)"},
        {0xFFFF0000, "hsv(0, 100%, 100%)", "hwb(0 0% 0%)", "lab(54.29 80.8 69.89)", "oklch(62.796% 0.25768 29.23)",
         "vec4(1.000, 0.000, 0.000, 1.0)"},
        {0xFF0000FF, "hsv(240, 100%, 100%)", "hwb(240 0% 0%)", "lab(29.57 68.29 -112.03)",
         "oklch(45.201% 0.31321 264.05)", "vec4(0.000, 0.000, 1.000, 1.0)"},
        {0xFF01F2A9, "hsv(161.8, 99.6%, 94.9%)", "hwb(161.8 0.4% 5.1%)", "lab(85.03 -62.93 21.17)",
         "oklch(84.988% 0.18496 162.48)", "vec4(0.004, 0.949, 0.663, 1.0)"},
    };
    for (const auto &row : rows) {
        const auto add = [&](ColourFormat format, const char *text) {
            QTest::addRow("%s", text) << row.rgb << format << QString::fromLatin1(text);
        };
        add(ColourFormat::Hsv, row.hsv);
        add(ColourFormat::Hwb, row.hwb);
        add(ColourFormat::Lab, row.lab);
        add(ColourFormat::Oklch, row.oklch);
        add(ColourFormat::Vec4, row.vec4);
    }
}

void TestColourFormats::newNotationsWritten()
{
    QFETCH(QRgb, rgb);
    QFETCH(ColourFormat, format);
    QFETCH(QString, text);
    QCOMPARE(formatColour(rgb, format), text);
}

void TestColourFormats::newNotationsRead_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRgb>("rgb");

    QTest::newRow("hsv, 127.5 rounds up") << "HSV(30, 100%, 100%)" << QRgb(0xFFFF8000);
    QTest::newRow("hsv decimals") << "hsv( 161.8 , 99.6% , 94.9% )" << QRgb(0xFF01F2A9);
    QTest::newRow("hsv hue 360 is 0") << "hsv(360, 100%, 100%)" << QRgb(0xFFFF0000);
    QTest::newRow("hwb") << "hwb(240 20% 40%)" << QRgb(0xFF333399);
    QTest::newRow("hwb over 100% is a grey") << "hwb(0 60% 60%)" << QRgb(0xFF808080);
    QTest::newRow("lab") << "lab(32.39 38.42 -47.69)" << QRgb(0xFF663399);
    QTest::newRow("lab L as percent") << "lab(54.29% 80.8 69.89)" << QRgb(0xFFFF0000);
    QTest::newRow("lab outside sRGB is clipped") << "lab(50 -200 0)" << QRgb(0xFF00A173);
    QTest::newRow("oklch L as a number") << "oklch(0.62796 0.25768 29.23)" << QRgb(0xFFFF0000);
    QTest::newRow("oklch grey") << "oklch(50% 0 180)" << QRgb(0xFF636363);
    QTest::newRow("oklch outside sRGB is clipped") << "oklch(70% 0.4 150)" << QRgb(0xFF00D600);
    QTest::newRow("vec4 alpha ignored") << "vec4(1.0, 0.5, 0.0, 0.5)" << QRgb(0xFFFF8000);
    QTest::newRow("vec4 short decimals") << "vec4(1, .2, 0.6, 1.)" << QRgb(0xFFFF3399);
}

void TestColourFormats::newNotationsRead()
{
    QFETCH(QString, text);
    QFETCH(QRgb, rgb);
    const huvolo::ParsedColour parsed = parseColour(text);
    QVERIFY2(parsed.rgb, qPrintable(parsed.error));
    QCOMPARE(hexName(*parsed.rgb), hexName(rgb));
}

void TestColourFormats::tolerantParse_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QRgb>("rgb");

    QTest::newRow("spaces around") << "  #FF8000  " << QRgb(0xFFFF8000);
    QTest::newRow("mixed case hex") << "#Ff8000" << QRgb(0xFFFF8000);
    QTest::newRow("bare lower case") << "ff8000" << QRgb(0xFFFF8000);
    QTest::newRow("bare word of hex letters") << "decade" << QRgb(0xFFDECADE);
    QTest::newRow("upper-case 0X") << "0XFF8000" << QRgb(0xFFFF8000);
    QTest::newRow("RGB upper case, no spaces") << "RGB(255,128,0)" << QRgb(0xFFFF8000);
    QTest::newRow("rgb spaces everywhere") << "rgb ( 255 , 128 , 0 )" << QRgb(0xFFFF8000);
    QTest::newRow("rgb leading zeros") << "rgb(007, 000, 255)" << QRgb(0xFF0700FF);
    QTest::newRow("Hsl mixed case") << "Hsl(30,100%,50%)" << QRgb(0xFFFF8000);
    QTest::newRow("hsl spaces before %") << "hsl(30, 100 %, 50 %)" << QRgb(0xFFFF8000);
    // A grey: hue and saturation do not matter; 127.5 rounds up.
    QTest::newRow("hsl grey") << "hsl(359, 0%, 50%)" << QRgb(0xFF808080);
    QTest::newRow("hsl black") << "hsl(200, 100%, 0%)" << QRgb(0xFF000000);
    QTest::newRow("hsl last hue") << "hsl(359, 100%, 50%)" << QRgb(0xFFFF0004);
}

void TestColourFormats::tolerantParse()
{
    QFETCH(QString, text);
    QFETCH(QRgb, rgb);
    const huvolo::ParsedColour parsed = parseColour(text);
    QVERIFY2(parsed.rgb, qPrintable(parsed.error));
    QCOMPARE(hexName(*parsed.rgb), hexName(rgb));
}

void TestColourFormats::rejected_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("reason");

    QTest::newRow("empty") << "" << "empty";
    QTest::newRow("white space") << " \t\n " << "empty";
    QTest::newRow("name") << "red" << "\"red\" is not a colour";
    QTest::newRow("three digits") << "#FFF" << "6 hex digits, found 3";
    QTest::newRow("eight digits, alpha") << "#FF8000FF" << "6 hex digits, found 8";
    QTest::newRow("not hex") << "#FF800G" << "\"G\" is not a hex digit";
    QTest::newRow("space after #") << "# FF8000" << "\" \" is not a hex digit";
    QTest::newRow("full-width digit") << QStringLiteral("#FF800\uFF10") << "is not a hex digit";
    QTest::newRow("0x alone") << "0x" << "0xRRGGBB needs 6 hex digits, found 0";
    QTest::newRow("bare four") << "FF80" << "RRGGBB needs 6 hex digits, found 4";
    QTest::newRow("rgba") << "rgba(1, 2, 3, 0.5)" << "expected \"(\" after rgb";
    QTest::newRow("red too big") << "rgb(256, 0, 0)" << "red 256 is out of range 0 to 255";
    QTest::newRow("blue huge") << "rgb(0, 0, 99999999999)" << "blue 99999999999 is out of range 0 to 255";
    QTest::newRow("negative") << "rgb(-1, 0, 0)" << "expected a whole number for red, found \"-1, 0, 0)\"";
    QTest::newRow("fraction") << "rgb(1.5, 0, 0)" << "red must be a whole number";
    QTest::newRow("percent channel") << "rgb(100%, 0, 0)" << "expected \",\" after red";
    QTest::newRow("two channels") << "rgb(0, 0)" << "expected \",\" after green, found \")\"";
    QTest::newRow("four channels") << "rgb(0, 0, 0, 0)" << "expected \")\" after blue, found \", 0)\"";
    QTest::newRow("empty channel") << "rgb(0, , 0)" << "expected a whole number for green";
    QTest::newRow("unclosed") << "rgb(1, 2, 3" << "expected \")\" after blue, found the end";
    QTest::newRow("text after") << "rgb(1, 2, 3) x" << "unexpected \"x\" after rgb()";
    QTest::newRow("non-ASCII digit") << QStringLiteral("rgb(\u0661, 2, 3)") << "expected a whole number for red";
    QTest::newRow("hue 360") << "hsl(360, 50%, 50%)" << "hue 360 is out of range 0 to 359";
    QTest::newRow("saturation 101") << "hsl(0, 101%, 50%)" << "saturation 101 is out of range 0 to 100";
    QTest::newRow("saturation without %") << "hsl(0, 50, 50%)" << "expected \"%\" after saturation";
    QTest::newRow("lightness without %") << "hsl(0, 50%, 50)" << "expected \"%\" after lightness";
    QTest::newRow("hue with unit") << "hsl(120deg, 50%, 50%)" << "expected \",\" after hue, found \"deg";
    QTest::newRow("fractional hue") << "hsl(120.5, 50%, 50%)" << "hue must be a whole number";
    QTest::newRow("hsv without %") << "hsv(30, 100, 100%)" << "hsv(): expected \"%\" after saturation";
    QTest::newRow("hsv exponent") << "hsv(1e2, 50%, 50%)" << "expected \",\" after hue, found \"e2";
    QTest::newRow("hwb with commas") << "hwb(30, 0% 0%)" << "expected a number for whiteness, found \", 0%";
    QTest::newRow("lab percent a") << "lab(50 20% 0)" << "a takes no \"%\"";
    QTest::newRow("lab negative L") << "lab(-5 0 0)" << "L -5 is out of range 0 to 100";
    QTest::newRow("oklch L over 1") << "oklch(1.5 0.1 0)" << "L 1.5 is out of range 0 to 1";
    QTest::newRow("oklch chroma") << "oklch(50% 0.6 0)" << "C 0.6 is out of range 0 to 0.5";
    QTest::newRow("vec4 three parts") << "vec4(1.0, 0.5, 0.0)" << "expected \",\" after b, found \")\"";
    QTest::newRow("lone sign") << "lab(- 0 0)" << "expected a number for L, found \"- 0 0)\"";
}

void TestColourFormats::rejected()
{
    QFETCH(QString, text);
    QFETCH(QString, reason);
    const huvolo::ParsedColour parsed = parseColour(text);
    QVERIFY2(!parsed.rgb, qPrintable(QStringLiteral("read as %1").arg(hexName(parsed.rgb.value_or(0)))));
    QVERIFY2(parsed.error.contains(reason),
             qPrintable(QStringLiteral("\"%1\" does not say \"%2\"").arg(parsed.error, reason)));
}

QTEST_GUILESS_MAIN(TestColourFormats)
#include "tst_colourformats.moc"
