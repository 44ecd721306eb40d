#include "clipboardkeeper.h"
#include "keepername.h"

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
    void longDisplayNames();
    void sha256_data();
    void sha256();
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

    const QString prefix = QStringLiteral("org.huvolo.Huvolo.keeper.");
    const QString local = QStringLiteral("19e89348f2a9d5f3d0c5fca8e2a7068d9c5d71687a355f759009a5ed2527eb2c");
    QTest::newRow("local") << ":0" << 1000u << prefix + "1000." + local;
    QTest::newRow("other user") << ":0" << 1001u << prefix + "1001." + local;
    QTest::newRow("remote") << "host-1.example:10" << 0u
                            << prefix + "0.9422ae7ffbcee26d2a80f9e986ad97b60e7aadd6e3b438885ff7baa8381ae780";
}

void TestClipboardKeeper::serverName()
{
    QFETCH(QString, display);
    QFETCH(unsigned, user);
    QFETCH(QString, name);
    QCOMPARE(keeperServerName(display, user), name);
}

// Displays whose names share their first hundreds of bytes still meet their
// own keepers, and every name fits in an abstract socket address.
void TestClipboardKeeper::longDisplayNames()
{
    const QString common = QStringLiteral("unix/") + QString(300, QLatin1Char('x'));
    QStringList names;
    for (const QString &display : {common + ":1", common + ":2", common + "_:1", QStringLiteral(":1")})
        names << keeperServerName(display, 4294967295u);
    for (qsizetype i = 0; i < names.size(); ++i) {
        QVERIFY2(names.at(i).toUtf8().size() <= 107, qPrintable(names.at(i)));
        QCOMPARE(names.lastIndexOf(names.at(i)), i);
    }
}

void TestClipboardKeeper::sha256_data()
{
    QTest::addColumn<QByteArray>("data");
    QTest::addColumn<QByteArray>("digest");

    QTest::newRow("empty") << QByteArray() << QByteArray("e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
    QTest::newRow("abc") << QByteArray("abc") << QByteArray("ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad");
    QTest::newRow("two blocks of padding")
        << QByteArray("abcdbcdecdefdefgefghfghighijhijkijkljklmklmnlmnomnopnopq")
        << QByteArray("248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1");
    QTest::newRow("55 bytes, one block") << QByteArray(55, 'a')
                                         << QByteArray("9f4390f8d30c2dd92ec9f095b65e2b9ae9b0a925a5258e241c9f1e910f734318");
    QTest::newRow("64 bytes, a whole block") << QByteArray(64, 'a')
                                             << QByteArray("ffe054fe7ae0cb6dc65c3af9b61d5209f439851db43d0ba5997337df154668eb");
}

void TestClipboardKeeper::sha256()
{
    QFETCH(QByteArray, data);
    QFETCH(QByteArray, digest);
    QCOMPARE(QByteArray::fromStdString(huvolo::sha256Hex(data.toStdString())), digest);
}

QTEST_APPLESS_MAIN(TestClipboardKeeper)
#include "tst_clipboardkeeper.moc"
