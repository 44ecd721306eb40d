#include "clipboardkeeper.h"

#include <QTest>

using huvolo::clipboardDisplay;
using huvolo::keeperServerName;

class TestClipboardKeeper : public QObject
{
    Q_OBJECT

private slots:
    void display_data();
    void display();
    void serverName_data();
    void serverName();
};

void TestClipboardKeeper::display_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("variable");
    QTest::addColumn<QString>("display");

    const QString program = QStringLiteral("huvolo");
    QTest::newRow("DISPLAY") << QStringList{program} << ":0" << ":0";
    QTest::newRow("screen dropped") << QStringList{program} << ":0.1" << ":0";
    QTest::newRow("remote, screen dropped") << QStringList{program} << "localhost:10.0" << "localhost:10";
    QTest::newRow("dotted host kept") << QStringList{program} << "host.example:2" << "host.example:2";
    QTest::newRow("none") << QStringList{program} << "" << "";
    QTest::newRow("-display wins") << QStringList{program, "-display", ":3.0"} << ":0" << ":3";
    QTest::newRow("--display wins") << QStringList{program, "--display", ":4"} << ":0" << ":4";
    QTest::newRow("--display=") << QStringList{program, "--display=:5.2"} << ":0" << ":5";
    QTest::newRow("last -display") << QStringList{program, "-display", ":6", "-display", ":7"} << "" << ":7";
    QTest::newRow("-display without a value") << QStringList{program, "-display"} << ":1" << ":1";
    QTest::newRow("program name is no option") << QStringList{"-display", ":8"} << ":1" << ":1";
}

void TestClipboardKeeper::display()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, variable);
    QFETCH(QString, display);
    QCOMPARE(clipboardDisplay(arguments, variable), display);
}

void TestClipboardKeeper::serverName_data()
{
    QTest::addColumn<QString>("display");
    QTest::addColumn<unsigned>("user");
    QTest::addColumn<QString>("name");

    QTest::newRow("local") << ":0" << 1000u << "org.huvolo.Huvolo.clipboard-keeper.1000.:0";
    QTest::newRow("other user") << ":0" << 1001u << "org.huvolo.Huvolo.clipboard-keeper.1001.:0";
    QTest::newRow("other display") << ":1" << 1000u << "org.huvolo.Huvolo.clipboard-keeper.1000.:1";
    QTest::newRow("remote") << "host-1.example:10" << 0u << "org.huvolo.Huvolo.clipboard-keeper.0.host-1.example:10";
    // A display given as a socket path or with odd characters still names one place.
    QTest::newRow("slashes") << "x11/unix/X0" << 0u << "org.huvolo.Huvolo.clipboard-keeper.0.x11_unix_X0";
    QTest::newRow("spaces") << "a b:0" << 0u << "org.huvolo.Huvolo.clipboard-keeper.0.a_b:0";
}

void TestClipboardKeeper::serverName()
{
    QFETCH(QString, display);
    QFETCH(unsigned, user);
    QFETCH(QString, name);
    QCOMPARE(keeperServerName(display, user), name);
}

QTEST_APPLESS_MAIN(TestClipboardKeeper)
#include "tst_clipboardkeeper.moc"
