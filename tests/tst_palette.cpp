// Checks the embedded palette pictures against the rules they are drawn from.

#include "palettepictures.h"

#include <QColor>
#include <QImage>
#include <QTest>

#include <cmath>

namespace {

constexpr int pictureSize = 236;

// Expected tile colours, written out separately from the generator's table so a slip in either shows up.
constexpr QRgb expectedTiles[16][16] = {
    {0x000000, 0x252525, 0x343434, 0x4e4e4e, 0x686868, 0x757575, 0x8e8e8e, 0xa4a4a4,
     0xb8b8b8, 0xc5c5c5, 0xd0d0d0, 0xd7d7d7, 0xe1e1e1, 0xeaeaea, 0xf4f4f4, 0xffffff},
    {0x412000, 0x542800, 0x763701, 0x9a5000, 0xc36807, 0xe47b06, 0xff911a, 0xffab1d,
     0xffc51e, 0xffd03c, 0xffd84c, 0xffe651, 0xfef455, 0xfff970, 0xffff90, 0xfffeaa},
    {0x461904, 0x721f11, 0x9f241d, 0xb33920, 0xc85120, 0xe36920, 0xfc8121, 0xfd8c25,
     0xfe982c, 0xffae38, 0xffb946, 0xffbf51, 0xffc66d, 0xffd687, 0xffe498, 0xffe7ab},
    {0x5d1e0c, 0x7a240d, 0x982c0f, 0xb02f0f, 0xbf3624, 0xd34e2a, 0xe7623e, 0xf36e4a,
     0xfe7854, 0xff8a69, 0xff987d, 0xffa48a, 0xffb39e, 0xffc1b2, 0xffd0c3, 0xffdad1},
    {0x4a1801, 0x721f01, 0xa81300, 0xc72109, 0xdf2511, 0xec3b24, 0xfa5237, 0xfc6148,
     0xff705f, 0xff7e7e, 0xff908f, 0xff9d9e, 0xffaaad, 0xffb8bc, 0xffc7ce, 0xffcade},
    {0x490037, 0x66004b, 0x80035f, 0x960f75, 0xaa2288, 0xba3d99, 0xca4da9, 0xd75ab6,
     0xe467c3, 0xef72ce, 0xfb7eda, 0xff8de1, 0xfe9de5, 0xffa5e8, 0xffafea, 0xfeb8ec},
    {0x48036d, 0x5c0487, 0x650d90, 0x7a23a6, 0x933bbe, 0x9c45c8, 0xa64fd2, 0xb15add,
     0xbc65e9, 0xc46df1, 0xcd76f9, 0xd583ff, 0xda90ff, 0xde9cff, 0xe2a9fe, 0xe6b7ff},
    {0x051e82, 0x0726a5, 0x082fca, 0x253dd3, 0x444cdd, 0x4f5aec, 0x5a68ff, 0x6575ff,
     0x7183ff, 0x8091ff, 0x90a0ff, 0x97a9ff, 0x9fb2ff, 0xafbeff, 0xc0ccff, 0xcdd2ff},
    {0x0b0778, 0x201c8d, 0x3531a2, 0x4642b3, 0x5753c4, 0x615dce, 0x6d69da, 0x7b77e8,
     0x8985f6, 0x918dfe, 0x9c98ff, 0xa7a4ff, 0xb2affe, 0xbbb8ff, 0xc3c1ff, 0xd3d1ff},
    {0x1d295b, 0x1d3876, 0x1d4892, 0x1d5cac, 0x1d71c7, 0x3286cf, 0x489bd9, 0x4ea9ec,
     0x55b5ff, 0x69caff, 0x74cbff, 0x82d3ff, 0x8ddafe, 0x9fd4fe, 0xb4e2ff, 0xc1ebff},
    {0x004b59, 0x005d6e, 0x006f84, 0x00849b, 0x0199c0, 0x01abca, 0x00bcdf, 0x00d0f5,
     0x10dcff, 0x3ee2fe, 0x65e7ff, 0x76ebff, 0x8bedff, 0x99efff, 0xb1f3ff, 0xc7f6ff},
    {0x004800, 0x005400, 0x036b03, 0x0f750e, 0x188018, 0x279227, 0x36a436, 0x4eb94e,
     0x51cd51, 0x72da72, 0x7ce47c, 0x85ed85, 0x99f299, 0xb3f7b3, 0xc3fac3, 0xcdfccd},
    {0x164000, 0x1c5300, 0x236600, 0x287700, 0x2e8c00, 0x3a980c, 0x47a519, 0x52af23,
     0x5cba2e, 0x72cf43, 0x85e357, 0x8deb5f, 0x97f569, 0xa0fe72, 0xb1fe8a, 0xbcff9a},
    {0x2c3500, 0x394400, 0x455201, 0x485600, 0x607100, 0x6c7f01, 0x798d0a, 0x8b9f1c,
     0x9eb22f, 0xabbf3c, 0xb8cc49, 0xc2d653, 0xcde153, 0xdbef6c, 0xe8fc79, 0xf2ffab},
    {0x463a0a, 0x4d3f0a, 0x54450a, 0x6c5809, 0x907608, 0xab8c0a, 0xc1a220, 0xd0b12f,
     0xdebf3d, 0xe6c745, 0xedce4c, 0xf5d862, 0xfbe276, 0xfced98, 0xfdf4a9, 0xfdf3be},
    {0x401a02, 0x581f05, 0x702408, 0x8d3913, 0xab511f, 0xb46427, 0xbf7730, 0xd0853a,
     0xe19244, 0xeda04e, 0xf9ad58, 0xfcb75c, 0xffc05f, 0xffca6a, 0xffcf7e, 0xffda96},
};

// Expected wheel hue at each 15 degrees of angle, 0 to 360.
constexpr double expectedHues[25] = {
    0, 9, 18, 26.5, 35, 41, 47.5, 53.5, 59.5, 78, 98.5, 120, 136.5,
    154, 171, 187, 202.5, 218.5, 234, 250.5, 267.5, 283.5, 300, 330, 360};

QString hex(QRgb colour)
{
    return QColor(colour).name(QColor::HexRgb);
}

double hueDistance(double a, double b)
{
    const double d = std::fmod(std::abs(a - b), 360.0);
    return std::min(d, 360.0 - d);
}

QString describe(const QColor &colour)
{
    return QStringLiteral("%1 (hue %2, saturation %3)")
        .arg(colour.name())
        .arg(colour.hsvHueF() * 360.0)
        .arg(colour.hsvSaturationF());
}

int lowestChannel(QRgb colour)
{
    return std::min({qRed(colour), qGreen(colour), qBlue(colour)});
}

} // namespace

class TestPalette : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();

    void size_data();
    void size();
    void matchesGenerator_data();
    void matchesGenerator();
    void cornerBehindToggleButton_data();
    void cornerBehindToggleButton();

    void hueTable_data();
    void hueTable();
    void wheelCentreIsNearWhite_data();
    void wheelCentreIsNearWhite();
    void wheelOutsideIsWhite_data();
    void wheelOutsideIsWhite();
    void wheelHueAndSaturation_data();
    void wheelHueAndSaturation();
    void wheelRimIsSaturated_data();
    void wheelRimIsSaturated();
    void wheelRimIsSmoothed();

    void tileCentres_data();
    void tileCentres();
    void tileEdges_data();
    void tileEdges();
    void gridMarginsAreWhite_data();
    void gridMarginsAreWhite();

private:
    const QImage &picture(const QString &name) const;

    QImage m_wheel;
    QImage m_grid;
};

void TestPalette::initTestCase()
{
    m_wheel = QImage(QStringLiteral(":/pictures/colourwheel.png"));
    m_grid = QImage(QStringLiteral(":/pictures/swatches.png"));
    QVERIFY2(!m_wheel.isNull(), "cannot load :/pictures/colourwheel.png");
    QVERIFY2(!m_grid.isNull(), "cannot load :/pictures/swatches.png");
    m_wheel = m_wheel.convertToFormat(QImage::Format_RGB32);
    m_grid = m_grid.convertToFormat(QImage::Format_RGB32);
}

const QImage &TestPalette::picture(const QString &name) const
{
    return name == QLatin1String("wheel") ? m_wheel : m_grid;
}

void TestPalette::size_data()
{
    QTest::addColumn<QString>("name");
    QTest::newRow("wheel") << QStringLiteral("wheel");
    QTest::newRow("grid") << QStringLiteral("grid");
}

void TestPalette::size()
{
    QFETCH(QString, name);
    QCOMPARE(picture(name).size(), QSize(pictureSize, pictureSize));
}

void TestPalette::matchesGenerator_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QImage>("generated");
    QTest::newRow("wheel") << QStringLiteral("wheel") << pictures::colourWheel();
    QTest::newRow("grid") << QStringLiteral("grid") << pictures::swatchGrid();
}

void TestPalette::matchesGenerator()
{
    QFETCH(QString, name);
    QFETCH(QImage, generated);
    const QImage &embedded = picture(name);
    QCOMPARE(generated.format(), QImage::Format_RGB32);
    QCOMPARE(generated.size(), embedded.size());
    for (int y = 0; y < embedded.height(); ++y) {
        for (int x = 0; x < embedded.width(); ++x) {
            const QRgb want = generated.pixel(x, y);
            const QRgb got = embedded.pixel(x, y);
            QVERIFY2(got == want, qPrintable(QStringLiteral("pixel (%1,%2) is %3, generator gives %4; "
                                                            "regenerate the pictures")
                                                 .arg(x).arg(y).arg(hex(got), hex(want))));
        }
    }
}

void TestPalette::cornerBehindToggleButton_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("lowest");
    QTest::newRow("wheel") << QStringLiteral("wheel") << 214;
    QTest::newRow("grid") << QStringLiteral("grid") << 255;
}

void TestPalette::cornerBehindToggleButton()
{
    QFETCH(QString, name);
    QFETCH(int, lowest);
    const QImage &image = picture(name);
    for (int y = 214; y < pictureSize; ++y) {
        for (int x = 174; x < pictureSize; ++x) {
            const QRgb colour = image.pixel(x, y);
            QVERIFY2(lowestChannel(colour) >= lowest,
                     qPrintable(QStringLiteral("pixel (%1,%2) is %3").arg(x).arg(y).arg(hex(colour))));
        }
    }
}

void TestPalette::hueTable_data()
{
    QTest::addColumn<double>("angle");
    QTest::addColumn<double>("hue");
    for (int i = 0; i < 24; ++i) {
        const double angle = 15.0 * i;
        QTest::addRow("%g", angle) << angle << expectedHues[i];
        QTest::addRow("%g", angle + 7.5)
            << angle + 7.5 << (expectedHues[i] + expectedHues[i + 1]) / 2;
    }
    QTest::newRow("360 wraps to red") << 360.0 << 0.0;
    QTest::newRow("-15 wraps") << -15.0 << 330.0;
    QTest::newRow("375 wraps") << 375.0 << 9.0;
    QTest::newRow("just below 360") << 359.999 << 359.998;
}

void TestPalette::hueTable()
{
    QFETCH(double, angle);
    QFETCH(double, hue);
    const double got = pictures::wheelHue(angle);
    QVERIFY2(got >= 0.0 && got < 360.0, qPrintable(QString::number(got)));
    QVERIFY2(std::abs(got - hue) < 1e-9,
             qPrintable(QStringLiteral("wheelHue(%1) is %2, expected %3").arg(angle).arg(got).arg(hue)));
}

void TestPalette::wheelCentreIsNearWhite_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("117,117") << QPoint(117, 117);
    QTest::newRow("118,118") << QPoint(118, 118);
    QTest::newRow("117,118") << QPoint(117, 118);
    QTest::newRow("118,117") << QPoint(118, 117);
}

void TestPalette::wheelCentreIsNearWhite()
{
    QFETCH(QPoint, pixel);
    const QRgb colour = m_wheel.pixel(pixel);
    QVERIFY2(lowestChannel(colour) >= 250, qPrintable(hex(colour)));
}

void TestPalette::wheelOutsideIsWhite_data()
{
    QTest::addColumn<QPoint>("pixel");
    const QPoint corners[] = {{0, 0}, {235, 0}, {0, 235}, {235, 235}};
    for (const QPoint &p : corners)
        QTest::addRow("corner %d,%d", p.x(), p.y()) << p;
    // Pixel centres more than 20 px beyond the rim.
    const QPoint far[] = {{30, 30}, {205, 30}, {30, 205}, {205, 205}, {10, 60}, {225, 175}};
    for (const QPoint &p : far)
        QTest::addRow("far %d,%d", p.x(), p.y()) << p;
    // Pixel centres 2.5 px beyond the rim, past the one-pixel smoothing.
    const QPoint near[] = {{15, 117}, {220, 118}, {118, 15}, {117, 220}};
    for (const QPoint &p : near)
        QTest::addRow("near %d,%d", p.x(), p.y()) << p;
}

void TestPalette::wheelOutsideIsWhite()
{
    QFETCH(QPoint, pixel);
    QCOMPARE(hex(m_wheel.pixel(pixel)), QStringLiteral("#ffffff"));
}

void TestPalette::wheelHueAndSaturation_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<double>("hue");
    QTest::addColumn<double>("saturation");
    QTest::newRow("rightmost 217,117 red") << QPoint(217, 117) << 0.0 << 1.0;
    QTest::newRow("rightmost 217,118 red") << QPoint(217, 118) << 0.0 << 1.0;
    QTest::newRow("topmost 117,18 orange-yellow") << QPoint(117, 18) << 47.5 << 1.0;
    QTest::newRow("topmost 118,18 orange-yellow") << QPoint(118, 18) << 47.5 << 1.0;
    QTest::newRow("bottommost 117,217 blue") << QPoint(117, 217) << 234.0 << 1.0;
    QTest::newRow("bottommost 118,217 blue") << QPoint(118, 217) << 234.0 << 1.0;
    // Where the pure hues sit, 60 px from the centre.
    QTest::newRow("red at 0") << QPoint(178, 118) << 0.0 << 0.6;
    QTest::newRow("yellow at 121") << QPoint(86, 66) << 60.0 << 0.6;
    QTest::newRow("green at 165") << QPoint(60, 102) << 120.0 << 0.6;
    QTest::newRow("cyan at 218") << QPoint(70, 155) << 180.0 << 0.6;
    QTest::newRow("blue at 275") << QPoint(123, 177) << 240.0 << 0.6;
    QTest::newRow("magenta at 330") << QPoint(169, 148) << 300.0 << 0.6;
}

void TestPalette::wheelHueAndSaturation()
{
    QFETCH(QPoint, pixel);
    QFETCH(double, hue);
    QFETCH(double, saturation);
    const QColor colour(m_wheel.pixel(pixel));
    const double gotHue = colour.hsvHueF() * 360.0;
    QVERIFY2(colour.hsvHueF() >= 0 && hueDistance(gotHue, hue) <= 3.0, qPrintable(describe(colour)));
    QVERIFY2(std::abs(colour.hsvSaturationF() - saturation) <= 0.03, qPrintable(describe(colour)));
    QCOMPARE(colour.value(), 255);
}

void TestPalette::wheelRimIsSaturated_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::newRow("0 degrees") << QPoint(216, 117);
    QTest::newRow("90 degrees") << QPoint(117, 20);
    QTest::newRow("180 degrees") << QPoint(19, 118);
    QTest::newRow("270 degrees") << QPoint(118, 215);
}

void TestPalette::wheelRimIsSaturated()
{
    QFETCH(QPoint, pixel);
    const QColor colour(m_wheel.pixel(pixel));
    QVERIFY2(colour.hsvSaturationF() >= 0.95, qPrintable(describe(colour)));
}

void TestPalette::wheelRimIsSmoothed()
{
    // The centre of (47,47) lies 0.3 px inside the rim: it is partly disc, partly white.
    const QColor colour(m_wheel.pixel(47, 47));
    const double saturation = colour.hsvSaturationF();
    QVERIFY2(saturation > 0.5 && saturation < 0.92, qPrintable(describe(colour)));
}

void TestPalette::tileCentres_data()
{
    QTest::addColumn<int>("row");
    QTest::addColumn<int>("column");
    QTest::addColumn<QRgb>("colour");
    for (int row = 0; row < 16; ++row)
        for (int column = 0; column < 16; ++column)
            QTest::addRow("r%dc%d", row, column)
                << row << column << (expectedTiles[row][column] | 0xff000000u);
}

void TestPalette::tileCentres()
{
    QFETCH(int, row);
    QFETCH(int, column);
    QFETCH(QRgb, colour);
    const int x = int(std::floor(3 + 14.375 * (column + 0.5)));
    const int y = int(std::floor(32 + 10.75 * (row + 0.5)));
    QCOMPARE(hex(m_grid.pixel(x, y)), hex(colour));
    QCOMPARE(hex(pictures::swatchTable()[row][column]), hex(colour));
    QCOMPARE(qAlpha(pictures::swatchTable()[row][column]), 255);
}

void TestPalette::tileEdges_data()
{
    QTest::addColumn<QPoint>("pixel");
    QTest::addColumn<QString>("colour");
    QTest::newRow("first tile pixel") << QPoint(3, 32) << QStringLiteral("#000000");
    QTest::newRow("last tile pixel") << QPoint(232, 203) << QStringLiteral("#ffda96");
    // 3/8 of r0c0 #000000 and 5/8 of r0c1 #252525.
    QTest::newRow("columns 0|1") << QPoint(17, 32) << QStringLiteral("#171717");
    // 5/8 of r15c14 #ffcf7e and 3/8 of r15c15 #ffda96.
    QTest::newRow("columns 14|15") << QPoint(218, 203) << QStringLiteral("#ffd387");
    // Rows 0|1 at 3/4 : 1/4 and columns 0|1 at 3/8 : 5/8 over #000000 #252525 / #412000 #542800.
    QTest::newRow("four tiles") << QPoint(17, 42) << QStringLiteral("#251b11");
}

void TestPalette::tileEdges()
{
    QFETCH(QPoint, pixel);
    QFETCH(QString, colour);
    QCOMPARE(hex(m_grid.pixel(pixel)), colour);
}

void TestPalette::gridMarginsAreWhite_data()
{
    QTest::addColumn<QRect>("area");
    QTest::newRow("top") << QRect(0, 0, pictureSize, 32);
    QTest::newRow("bottom") << QRect(0, 204, pictureSize, 32);
    QTest::newRow("left") << QRect(0, 0, 3, pictureSize);
    QTest::newRow("right") << QRect(233, 0, 3, pictureSize);
}

void TestPalette::gridMarginsAreWhite()
{
    QFETCH(QRect, area);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        for (int x = area.left(); x <= area.right(); ++x) {
            const QRgb colour = m_grid.pixel(x, y);
            QVERIFY2(colour == 0xffffffffu,
                     qPrintable(QStringLiteral("pixel (%1,%2) is %3").arg(x).arg(y).arg(hex(colour))));
        }
    }
}

QTEST_GUILESS_MAIN(TestPalette)
#include "tst_palette.moc"
