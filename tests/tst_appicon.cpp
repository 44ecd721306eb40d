// Checks the application icon: the committed and embedded files against what
// the generator draws now, the SVG against the bitmaps, and the disc's shape
// and colours at every size.

#include "appicon.h"
#include "windowicon.h"

#include <QColor>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <QTest>

#include <algorithm>
#include <cmath>

using namespace huvolo;

namespace {

const QString themeDir = QStringLiteral(ICON_THEME_DIR);

QString pngPath(int size)
{
    return themeDir + QStringLiteral("/%1x%1/apps/org.huvolo.Huvolo.png").arg(size);
}

QString svgPath()
{
    return themeDir + QStringLiteral("/scalable/apps/org.huvolo.Huvolo.svg");
}

QString describe(QRgb c)
{
    return QStringLiteral("rgba(%1, %2, %3, %4)").arg(qRed(c)).arg(qGreen(c)).arg(qBlue(c)).arg(qAlpha(c));
}

int channelDifference(QRgb a, QRgb b)
{
    return std::max({std::abs(qRed(a) - qRed(b)), std::abs(qGreen(a) - qGreen(b)),
                     std::abs(qBlue(a) - qBlue(b)), std::abs(qAlpha(a) - qAlpha(b))});
}

QImage renderSvg(const QByteArray &svg, int size)
{
    QSvgRenderer renderer(svg);
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter painter(&image);
    renderer.render(&painter);
    painter.end();
    return image;
}

} // namespace

class TestAppIcon : public QObject
{
    Q_OBJECT

private slots:
    // The installed files and the window icon embedded in the program are what the generator draws.
    void bitmapsMatchGenerator_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<int>("size");
        for (const int size : pictures::appIconSizes)
            QTest::addRow("installed %d", size) << pngPath(size) << size;
    }

    // The window icon compiled into the program is what the generator draws.
    void windowIconMatchesGenerator()
    {
        const QIcon icon = applicationIcon();
        QCOMPARE(icon.availableSizes(), (QList<QSize>{{16, 16}, {24, 24}, {32, 32}, {48, 48}, {64, 64}}));
        for (const QSize size : icon.availableSizes())
            QCOMPARE(icon.pixmap(size).toImage().convertToFormat(QImage::Format_ARGB32_Premultiplied),
                     pictures::appIcon(size.width()).convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }

    void bitmapsMatchGenerator()
    {
        QFETCH(QString, path);
        QFETCH(int, size);
        const QImage committed = QImage(path).convertToFormat(QImage::Format_ARGB32);
        QVERIFY2(!committed.isNull(), qPrintable(path + QStringLiteral(" is missing or unreadable")));
        const QImage generated = pictures::appIcon(size);
        QCOMPARE(generated.format(), QImage::Format_ARGB32);
        QCOMPARE(committed.size(), QSize(size, size));
        for (int y = 0; y < size; ++y)
            for (int x = 0; x < size; ++x)
                QVERIFY2(committed.pixel(x, y) == generated.pixel(x, y),
                         qPrintable(QStringLiteral("(%1, %2) is %3, the generator gives %4; regenerate the pictures")
                                        .arg(x).arg(y).arg(describe(committed.pixel(x, y)),
                                                           describe(generated.pixel(x, y)))));
    }

    void svgMatchesGenerator()
    {
        QFile file(svgPath());
        QVERIFY2(file.open(QIODevice::ReadOnly), qPrintable(file.errorString()));
        const QByteArray committed = file.readAll();
        QVERIFY2(committed == pictures::appIconSvg(), "the SVG differs from the generator's; regenerate the pictures");
        QVERIFY2(committed.size() < 32 * 1024, qPrintable(QString::number(committed.size())));
    }

    // Drawn by a real SVG renderer, the scalable icon is the bitmap icon: the same
    // hues in the same places, the same white centre, rim and transparent corners.
    void svgLooksLikeBitmap_data()
    {
        QTest::addColumn<int>("size");
        // Sizes whose disc and rim fall on whole pixels without rounding.
        for (const int size : {32, 64, 128, 512})
            QTest::addRow("%d", size) << size;
    }

    void svgLooksLikeBitmap()
    {
        QFETCH(int, size);
        const QImage drawn = renderSvg(pictures::appIconSvg(), size);
        const QImage expected = pictures::appIcon(size).convertToFormat(QImage::Format_ARGB32_Premultiplied);
        // Each renderer smooths edges its own way, so pixels on the disc's edge and on
        // the rim's inner edge are compared only through the disc's total coverage.
        // Everywhere else the wedges step the hue a little but agree within a few units.
        const double centre = size / 2.0;
        const double edge = size * 7.0 / 16.0, rimInside = edge - size / 32.0;
        qint64 drawnArea = 0, expectedArea = 0, total = 0, compared = 0;
        for (int y = 0; y < size; ++y) {
            for (int x = 0; x < size; ++x) {
                drawnArea += qAlpha(drawn.pixel(x, y));
                expectedArea += qAlpha(expected.pixel(x, y));
                const double distance = std::hypot(x + 0.5 - centre, y + 0.5 - centre);
                if (std::abs(distance - edge) < 1.5 || std::abs(distance - rimInside) < 1.5)
                    continue;
                const int difference = channelDifference(drawn.pixel(x, y), expected.pixel(x, y));
                total += difference;
                ++compared;
                QVERIFY2(difference <= 12, qPrintable(QStringLiteral("(%1, %2): SVG %3, bitmap %4")
                                                          .arg(x).arg(y).arg(describe(drawn.pixel(x, y)),
                                                                             describe(expected.pixel(x, y)))));
            }
        }
        const double mean = double(total) / compared;
        QVERIFY2(mean < 2.0, qPrintable(QStringLiteral("mean difference %1").arg(mean)));
        const double areaRatio = double(drawnArea) / expectedArea;
        QVERIFY2(std::abs(areaRatio - 1.0) < 0.04, qPrintable(QStringLiteral("coverage ratio %1").arg(areaRatio)));
    }

    // At every size: transparent corners and margin, an opaque white centre, the
    // wheel's hues at the rim (red to the right, orange-yellow up, blue down), and
    // the rim shaded darker than the disc just inside it.
    void shape_data()
    {
        QTest::addColumn<int>("size");
        for (const int size : pictures::appIconSizes)
            QTest::addRow("%d", size) << size;
    }

    void shape()
    {
        QFETCH(int, size);
        const QImage icon = pictures::appIcon(size);
        const int last = size - 1, middle = size / 2;
        const int margin = size / 16; // fully transparent columns and rows on each side
        for (const QPoint p : {QPoint(0, 0), QPoint(last, 0), QPoint(0, last), QPoint(last, last),
                               QPoint(margin - 1, middle), QPoint(size - margin, middle),
                               QPoint(middle, margin - 1), QPoint(middle, size - margin)})
            QVERIFY2(qAlpha(icon.pixel(p)) == 0, qPrintable(QStringLiteral("(%1, %2) is %3")
                                                                .arg(p.x()).arg(p.y()).arg(describe(icon.pixel(p)))));
        const QColor centre = QColor::fromRgba(icon.pixel(middle, middle));
        QVERIFY2(centre.alpha() == 255 && centre.hsvSaturationF() < 0.2 && centre.value() == 255,
                 qPrintable(describe(centre.rgba())));

        // The outermost mostly opaque pixel right of the centre, and the pixels
        // either side of an axis at that distance.
        int rim = last;
        while (rim > middle && qAlpha(icon.pixel(rim, middle)) < 192)
            --rim;
        const int opposite = size - 1 - rim;
        const struct { QPoint a, b; double hue; } rimPixels[] = {
            {QPoint(rim, middle - 1), QPoint(rim, middle), 0.0},
            {QPoint(middle - 1, opposite), QPoint(middle, opposite), 47.5},
            {QPoint(middle - 1, rim), QPoint(middle, rim), 234.0},
        };
        for (const auto &r : rimPixels) {
            const QRgb a = icon.pixel(r.a), b = icon.pixel(r.b);
            const QColor mean((qRed(a) + qRed(b)) / 2, (qGreen(a) + qGreen(b)) / 2, (qBlue(a) + qBlue(b)) / 2);
            const double hueOff = std::abs(std::remainder(mean.hsvHueF() * 360.0 - r.hue, 360.0));
            QVERIFY2(qAlpha(a) >= 192 && qAlpha(b) >= 192 && mean.hsvSaturationF() > 0.8 && hueOff < 6.0,
                     qPrintable(QStringLiteral("(%1, %2) and (%3, %4) are %5 and %6")
                                    .arg(r.a.x()).arg(r.a.y()).arg(r.b.x()).arg(r.b.y())
                                    .arg(describe(a), describe(b))));
        }
        // Inside its rim the disc is at full brightness; the rim is shaded.
        const QColor outer = QColor::fromRgba(icon.pixel(rim, middle));
        QVERIFY2(QColor::fromRgba(icon.pixel(middle + (rim - middle) / 2, middle)).value() == 255,
                 "the disc is shaded inside its rim");
        QVERIFY2(outer.value() < 216, qPrintable(describe(outer.rgba())));
    }
};

QTEST_MAIN(TestAppIcon)
#include "tst_appicon.moc"
