#include "colournames.h"
#include "sampledcolour.h"

#include <QColor>
#include <QSet>
#include <QTest>

using huvolo::colourDescription;
using huvolo::colourName;

class TestColourNames : public QObject
{
    Q_OBJECT

private slots:
    void nearest_data();
    void nearest();
    void everyNamedColourNamesItself();
    void description();
    void sampledColour_data();
    void sampledColour();
};

// Expected names were worked out apart from this code: OKLab distances in
// double precision from the published matrices. The rows from "magenta over
// orchid" on are colours whose nearest entry by plain RGB distance is another
// one, given in the row's name.
void TestColourNames::nearest_data()
{
    QTest::addColumn<QRgb>("rgb");
    QTest::addColumn<QString>("name");

    QTest::newRow("exact") << QRgb(0xFFFF8C00) << "dark orange";
    QTest::newRow("alpha ignored") << QRgb(0x00FF8C00) << "dark orange";
    QTest::newRow("one blue step off") << QRgb(0xFFFF8C01) << "approximately dark orange";
    QTest::newRow("aqua is cyan") << QRgb(0xFF00FFFF) << "cyan";
    QTest::newRow("fuchsia is magenta") << QRgb(0xFFFF00FF) << "magenta";
    QTest::newRow("gray is grey") << QRgb(0xFF808080) << "grey";
    QTest::newRow("darkgray is dark grey") << QRgb(0xFFA9A9A9) << "dark grey";
    QTest::newRow("almost white") << QRgb(0xFFFEFEFE) << "approximately white";
    QTest::newRow("almost black") << QRgb(0xFF010101) << "approximately black";
    QTest::newRow("almost grey") << QRgb(0xFF7F7F7F) << "approximately grey";
    QTest::newRow("deep navy") << QRgb(0xFF123456) << "approximately midnight blue";
    // Lightness counts: no neutral lies between black and dim grey, and
    // this grey is nearer the lightness of dark slate grey than of black.
    QTest::newRow("dark neutral") << QRgb(0xFF2A2A2A) << "approximately dark slate grey";
    QTest::newRow("magenta over orchid") << QRgb(0xFFF03DF0) << "approximately magenta";
    QTest::newRow("cyan over turquoise") << QRgb(0xFF3EF1FE) << "approximately cyan";
    QTest::newRow("turquoise over dark turquoise") << QRgb(0xFF10E8E0) << "approximately turquoise";
    QTest::newRow("light sea green over cadet blue") << QRgb(0xFF49B3B1) << "approximately light sea green";
}

void TestColourNames::nearest()
{
    QFETCH(QRgb, rgb);
    QFETCH(QString, name);
    QCOMPARE(colourName(rgb), name);
}

// Against Qt's own table of the CSS keywords: each names itself exactly,
// with a name that is a keyword for the same colour once its spaces are
// gone, and the table has one entry per distinct colour, no more.
void TestColourNames::everyNamedColourNamesItself()
{
    QSet<QRgb> distinct;
    QStringList keywords = QColor::colorNames();
    keywords.removeAll(QStringLiteral("transparent"));
    if (!keywords.contains(QStringLiteral("rebeccapurple")))
        keywords.append(QStringLiteral("rebeccapurple"));
    const auto colourOf = [](const QString &keyword) {
        return keyword == QLatin1String("rebeccapurple") ? QRgb(0xFF663399) : QColor(keyword).rgb();
    };
    for (const QString &keyword : keywords) {
        const QRgb rgb = colourOf(keyword);
        distinct.insert(rgb);
        const QString name = colourName(rgb);
        QVERIFY2(!name.startsWith(QLatin1String("approximately")),
                 qPrintable(QStringLiteral("%1 is named \"%2\"").arg(keyword, name)));
        QVERIFY2(colourOf(QString(name).remove(u' ')) == rgb,
                 qPrintable(QStringLiteral("%1 is named \"%2\", another colour").arg(keyword, name)));
    }
    QCOMPARE(keywords.size(), 148);
    QCOMPARE(huvolo::namedColours().size(), std::size_t(distinct.size()));
}

void TestColourNames::description()
{
    QCOMPARE(colourDescription(0xFFFF8C00), QStringLiteral("#FF8C00, dark orange"));
    QCOMPARE(colourDescription(0xFFFF8C01), QStringLiteral("#FF8C01, approximately dark orange"));
}

void TestColourNames::sampledColour_data()
{
    QTest::addColumn<double>("packed");
    QTest::addColumn<QString>("hex");
    QTest::addColumn<QString>("spokenAsRgb");

    // 0x00BBGGRR: red is the low byte.
    QTest::newRow("dark orange") << double(0x008CFF) << "#FF8C00, dark orange"
                                 << "rgb(255, 140, 0), dark orange";
    QTest::newRow("one blue step off") << double(0x018CFF) << "#FF8C01, approximately dark orange"
                                       << "rgb(255, 140, 1), approximately dark orange";
    QTest::newRow("black") << 0.0 << "#000000, black" << "rgb(0, 0, 0), black";
    QTest::newRow("white") << double(0xFFFFFF) << "#FFFFFF, white" << "rgb(255, 255, 255), white";
    // Rounded as the channels are split, ties to even: 255.5 is 256.
    QTest::newRow("tie") << 255.5 << "#000100, approximately black" << "rgb(0, 1, 0), approximately black";
    QTest::newRow("no pixel") << -1.0 << "" << "";
    QTest::newRow("past white") << 16777216.0 << "" << "";
    QTest::newRow("not a number") << qQNaN() << "" << "";
}

// The texts of a sample all come from one colour; a read that found no
// pixel gives no colour and no text.
void TestColourNames::sampledColour()
{
    QFETCH(double, packed);
    QFETCH(QString, hex);
    QFETCH(QString, spokenAsRgb);
    const huvolo::SampledColour colour = huvolo::SampledColour::fromPacked(packed);
    QCOMPARE(colour.isValid(), !hex.isEmpty());
    QCOMPARE(colour.description(), hex);
    QCOMPARE(colour.description(huvolo::ColourFormat::Rgb), spokenAsRgb);
    if (colour.isValid()) {
        QCOMPARE(huvolo::SampledColour::fromPacked(colour.packed()), colour);
        QCOMPARE(colour.description(), colourDescription(colour.rgb()));
    }
}

QTEST_GUILESS_MAIN(TestColourNames)
#include "tst_colournames.moc"
