// The ways a pick from the screen fails: a screen that cannot be read, a
// pointer or keyboard another program holds, a pixel that cannot be read
// under the click. Each ends the pick with failed(why) and then
// cancelled(), closes the picker, and never reports a colour.
#include "screenpicker.h"
#include "testsupport.h"

#include <QApplication>
#include <QPointer>
#include <QSignalSpy>
#include <QTest>

using namespace huvolo;

class TestScreenPicker : public QObject
{
    Q_OBJECT

private slots:
    void failsWithTheReason_data();
    void failsWithTheReason();
};

void TestScreenPicker::failsWithTheReason_data()
{
    QTest::addColumn<QString>("problem");  // why the screen cannot be read
    QTest::addColumn<QString>("refusal");  // why the pointer or keyboard cannot be taken
    QTest::addColumn<bool>("unreadable");  // the pixels come back transparent
    QTest::addColumn<QString>("why");

    const QString screen = QStringLiteral("X screen 0 (depth 4) stores 4 bits a pixel, which cannot be read as colours");
    QTest::newRow("screen that cannot be read") << screen << QString() << true << screen;
    const QString pointer = QStringLiteral("another program holds the pointer");
    QTest::newRow("pointer held elsewhere") << QString() << pointer << false << pointer;
    const QString keyboard = QStringLiteral("another program holds the keyboard");
    QTest::newRow("keyboard held elsewhere") << QString() << keyboard << false << keyboard;
    QTest::newRow("pixel that cannot be read")
        << QString() << QString() << true << QStringLiteral("the colour under the pointer cannot be read");
}

void TestScreenPicker::failsWithTheReason()
{
    QFETCH(QString, problem);
    QFETCH(QString, refusal);
    QFETCH(bool, unreadable);
    QFETCH(QString, why);

    ScreenPicker::Screen screen{[unreadable](const QRect &area) {
                                    QImage pixels(area.size(), QImage::Format_ARGB32);
                                    pixels.fill(unreadable ? QColor(Qt::transparent) : QColor(Qt::red));
                                    return pixels;
                                },
                                [] { return QPoint(5, 5); }};
    screen.problem = [problem] { return problem; };
    screen.takeInput = [refusal](WId) { return refusal; };
    QPointer<ScreenPicker> picker = new ScreenPicker(std::move(screen));
    QStringList signals_;
    connect(picker, &ScreenPicker::hovered, this, [&](QRgb) { signals_ << QStringLiteral("hovered"); });
    connect(picker, &ScreenPicker::picked, this, [&](QRgb) { signals_ << QStringLiteral("picked"); });
    connect(picker, &ScreenPicker::cancelled, this, [&] { signals_ << QStringLiteral("cancelled"); });
    connect(picker, &ScreenPicker::failed, this,
            [&](const QString &reason) { signals_ << QStringLiteral("failed: ") + reason; });

    picker->start();
    if (problem.isEmpty() && refusal.isEmpty()) {
        QVERIFY(picker->isVisible()); // a pick under way until the click
        click(picker, QPoint(2, 2));
    }
    const QStringList expected{QStringLiteral("failed: ") + why, QStringLiteral("cancelled")};
    QCOMPARE(signals_.mid(signals_.size() - 2), expected);
    QVERIFY2(!signals_.contains(QStringLiteral("picked")), qPrintable(signals_.join(u", ")));
    // No colour of a screen it cannot read shows, even while hovering.
    QCOMPARE(signals_.contains(QStringLiteral("hovered")), !unreadable);
    QTRY_VERIFY(picker.isNull());
}

QTEST_MAIN(TestScreenPicker)
#include "tst_screenpicker.moc"
