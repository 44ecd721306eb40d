// Checks the embedded palette pictures: what the generator draws now, the wheel's
// hues and white surround, the grid's tile colours and margins.

#include "palettepictures.h"
#include "testsupport.h"

#include <QColor>
#include <QImage>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace huvolo;

namespace {

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

QString describe(QRgb colour)
{
    const QColor c(colour);
    return QStringLiteral("%1 (hue %2, saturation %3)").arg(c.name()).arg(c.hsvHueF() * 360.0).arg(c.hsvSaturationF());
}

// The first pixel of the area with a channel below the lowest allowed, or nothing.
QString firstBelow(const QImage &image, const QRect &area, int lowest)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (const QRgb c = image.pixel(x, y); std::min({qRed(c), qGreen(c), qBlue(c)}) < lowest)
                return QStringLiteral("(%1, %2) is %3").arg(x).arg(y).arg(describe(c));
    return {};
}

} // namespace

class TestPalette : public QObject
{
    Q_OBJECT

    QImage m_wheel = huvolo::embedded::colourWheel.image();
    QImage m_grid = huvolo::embedded::swatchGrid.image();

private slots:
    void matchGenerator_data()
    {
        QTest::addColumn<QImage>("embedded");
        QTest::addColumn<QImage>("generated");
        const auto file = [](const char *name) { return QImage(sourceFile(name)).convertToFormat(QImage::Format_RGB32); };
        QTest::newRow("wheel shown") << m_wheel << pictures::colourWheel();
        QTest::newRow("grid shown") << m_grid << pictures::swatchGrid();
        QTest::newRow("wheel file") << file("app/resources/colourwheel.png") << pictures::colourWheel();
        QTest::newRow("grid file") << file("app/resources/swatches.png") << pictures::swatchGrid();
    }

    void matchGenerator()
    {
        QFETCH(QImage, embedded);
        QFETCH(QImage, generated);
        QCOMPARE(embedded.size(), QSize(236, 236));
        QCOMPARE(generated.format(), QImage::Format_RGB32);
        QCOMPARE(generated.size(), embedded.size());
        for (int y = 0; y < 236; ++y)
            for (int x = 0; x < 236; ++x)
                QVERIFY2(embedded.pixel(x, y) == generated.pixel(x, y),
                         qPrintable(QStringLiteral("(%1, %2) is %3, the generator gives %4; regenerate the pictures")
                                        .arg(x).arg(y).arg(describe(embedded.pixel(x, y)), describe(generated.pixel(x, y)))));
    }

    // Areas whose every channel is at least the given value: 255 is exactly white.
    void lightAreas_data()
    {
        QTest::addColumn<bool>("wheel");
        QTest::addColumn<QRect>("area");
        QTest::addColumn<int>("lowest");
        QTest::newRow("wheel centre") << true << QRect(117, 117, 2, 2) << 250;
        QTest::newRow("wheel behind TOGGLE") << true << QRect(174, 214, 62, 22) << 214;
        for (const QPoint p : {QPoint(0, 0), QPoint(235, 0), QPoint(0, 235), QPoint(235, 235)})
            QTest::addRow("wheel corner %d,%d", p.x(), p.y()) << true << QRect(p, p) << 255;
        // More than 20 px beyond the rim, and 2.5 px beyond it, past the one-pixel smoothing.
        for (const QPoint p : {QPoint(30, 30), QPoint(205, 30), QPoint(30, 205), QPoint(205, 205), QPoint(10, 60),
                               QPoint(225, 175), QPoint(15, 117), QPoint(220, 118), QPoint(118, 15), QPoint(117, 220)})
            QTest::addRow("wheel outside %d,%d", p.x(), p.y()) << true << QRect(p, p) << 255;
        QTest::newRow("grid behind TOGGLE") << false << QRect(174, 214, 62, 22) << 255;
        QTest::newRow("grid top") << false << QRect(0, 0, 236, 32) << 255;
        QTest::newRow("grid bottom") << false << QRect(0, 204, 236, 32) << 255;
        QTest::newRow("grid left") << false << QRect(0, 0, 3, 236) << 255;
        QTest::newRow("grid right") << false << QRect(233, 0, 3, 236) << 255;
    }

    void lightAreas()
    {
        QFETCH(bool, wheel);
        QFETCH(QRect, area);
        QFETCH(int, lowest);
        QCOMPARE(firstBelow(wheel ? m_wheel : m_grid, area, lowest), QString());
    }

    void wheelColours_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<double>("hue");
        QTest::addColumn<double>("saturation");
        QTest::addColumn<double>("tolerance");
        // The outermost pixels on the rim, at 0, 90, 180 and 270 degrees.
        QTest::newRow("rim 0 red") << QPoint(217, 117) << 0.0 << 1.0 << 0.05;
        QTest::newRow("rim 90") << QPoint(117, 18) << 47.5 << 1.0 << 0.05;
        QTest::newRow("rim 180") << QPoint(18, 118) << 136.5 << 1.0 << 0.05;
        QTest::newRow("rim 270") << QPoint(118, 217) << 234.0 << 1.0 << 0.05;
        // Where the pure hues sit, 60 px from the centre.
        const struct { const char *name; int angle, x, y; double hue; } pure[] = {{"red", 0, 178, 118, 0},
            {"yellow", 121, 86, 66, 60}, {"green", 165, 60, 102, 120}, {"cyan", 218, 70, 155, 180},
            {"blue", 275, 123, 177, 240}, {"magenta", 330, 169, 148, 300}};
        for (const auto &p : pure)
            QTest::addRow("%s at %d", p.name, p.angle) << QPoint(p.x, p.y) << p.hue << 0.6 << 0.03;
        // 0.3 px inside the rim: partly disc, partly white.
        QTest::newRow("smoothed rim") << QPoint(47, 47) << 78.0 << 0.71 << 0.21;
    }

    void wheelColours()
    {
        QFETCH(QPoint, pixel);
        QFETCH(double, hue);
        QFETCH(double, saturation);
        QFETCH(double, tolerance);
        const QColor colour(m_wheel.pixel(pixel));
        const double hueOff = std::abs(std::remainder(colour.hsvHueF() * 360.0 - hue, 360.0));
        QVERIFY2(colour.hsvHueF() >= 0 && hueOff <= 3.0, qPrintable(describe(colour.rgb())));
        QVERIFY2(std::abs(colour.hsvSaturationF() - saturation) <= tolerance, qPrintable(describe(colour.rgb())));
        QCOMPARE(colour.value(), 255);
    }

    void gridPixels_data()
    {
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QString>("colour");
        for (int row = 0; row < 16; ++row)
            for (int column = 0; column < 16; ++column)
                QTest::addRow("centre r%dc%d", row, column)
                    << QPoint(int(3 + 14.375 * (column + 0.5)), int(32 + 10.75 * (row + 0.5)))
                    << QColor(expectedTiles[row][column]).name();
        QTest::newRow("first tile pixel") << QPoint(3, 32) << "#000000";
        QTest::newRow("last tile pixel") << QPoint(232, 203) << "#ffda96";
        // 3/8 of r0c0 #000000 and 5/8 of r0c1 #252525.
        QTest::newRow("columns 0|1") << QPoint(17, 32) << "#171717";
        // Rows 0|1 at 3/4 : 1/4 and columns 0|1 at 3/8 : 5/8 over #000000 #252525 / #412000 #542800.
        QTest::newRow("four tiles") << QPoint(17, 42) << "#251b11";
    }

    void gridPixels()
    {
        QFETCH(QPoint, pixel);
        QFETCH(QString, colour);
        QCOMPARE(QColor(m_grid.pixel(pixel)).name(), colour);
    }
};

QTEST_GUILESS_MAIN(TestPalette)
#include "tst_palette.moc"

