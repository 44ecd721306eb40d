#include "colourformats.h"
#include "recentcolours.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using huvolo::RecentColours;
using Colours = QList<QRgb>;

namespace {

const QString Organization = QStringLiteral("huvolo-tests");

Colours opaque(std::initializer_list<QRgb> rgbs)
{
    Colours colours;
    for (const QRgb rgb : rgbs)
        colours << (0xFF000000u | rgb);
    return colours;
}

// Opaque colours from `from` to `to`, counting up or down.
Colours run(QRgb from, QRgb to)
{
    Colours colours;
    for (QRgb rgb = from;; rgb = from < to ? rgb + 1 : rgb - 1) {
        colours << (0xFF000000u | rgb);
        if (rgb == to)
            return colours;
    }
}

// The list as it is saved: "#RRGGBB, #RRGGBB, ...".
QString names(const Colours &colours)
{
    QStringList texts;
    for (const QRgb rgb : colours)
        texts << huvolo::formatColour(rgb, huvolo::ColourFormat::HexUpper);
    return texts.join(QLatin1String(", "));
}

QByteArray fileContents(const QString &fileName)
{
    QFile file(fileName);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class TestRecentColours : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();

    void edits_data();
    void edits();
    void clearAndReload();
    void twoInstancesInterleave();
    void twoProcessesInterleave();
    void storedFile_data();
    void storedFile();
    void unreadableFile_data();
    void unreadableFile();

private:
    // The settings file of the current test. Take it before the file exists:
    // a QSettings that has read a file hands its copy to every later one in
    // the process, and only the first hears of a malformed line.
    QString settingsFile() const { return QSettings(Organization, m_application).fileName(); }

    QTemporaryDir m_config;
    QString m_application;
    int m_serial = 0;
};

void TestRecentColours::initTestCase()
{
    // QSettings looks up the configuration place once, at its first use.
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
    QVERIFY(settingsFile().startsWith(m_config.path()));
}

// A settings file of its own for every test; any warning not expected fails.
void TestRecentColours::init()
{
    m_application = QStringLiteral("app%1").arg(++m_serial);
    QTest::failOnWarning(QRegularExpression(QStringLiteral(".*")));
}

void TestRecentColours::edits_data()
{
    QTest::addColumn<Colours>("added");
    QTest::addColumn<Colours>("expected");
    QTest::addColumn<int>("changes");

    QTest::newRow("newest first") << opaque({1, 2, 3}) << opaque({3, 2, 1}) << 3;
    QTest::newRow("repeat moves to the front") << opaque({1, 2, 3, 1}) << opaque({1, 3, 2}) << 4;
    QTest::newRow("repeat of the newest") << opaque({1, 2, 2}) << opaque({2, 1}) << 2;
    QTest::newRow("alpha ignored") << Colours{0x00ABCDEF, 0x80ABCDEF} << opaque({0xABCDEF}) << 1;
    QTest::newRow("twelve kept") << run(1, 12) << run(12, 1) << 12;
    QTest::newRow("thirteenth drops the oldest") << run(1, 13) << run(13, 2) << 13;
    QTest::newRow("oldest again when full") << run(1, 12) + opaque({1}) << opaque({1}) + run(12, 2) << 13;
}

void TestRecentColours::edits()
{
    QFETCH(Colours, added);
    QFETCH(Colours, expected);
    QFETCH(int, changes);

    RecentColours recent(Organization, m_application);
    QSignalSpy changed(&recent, &RecentColours::changed);
    for (const QRgb rgb : added)
        recent.add(rgb);
    QCOMPARE(names(recent.colours()), names(expected));
    QCOMPARE(changed.count(), changes);
    QVERIFY2(fileContents(settingsFile()).contains("recentColours=" + names(expected).toLatin1()),
             fileContents(settingsFile()).constData());
}

void TestRecentColours::clearAndReload()
{
    RecentColours recent(Organization, m_application);
    RecentColours other(Organization, m_application);
    QSignalSpy changed(&recent, &RecentColours::changed);
    recent.add(1);
    other.add(2);
    recent.reload();
    recent.reload();
    QCOMPARE(names(recent.colours()), names(opaque({2, 1})));
    QCOMPARE(changed.count(), 2);

    recent.clear();
    recent.clear();
    QCOMPARE(changed.count(), 3);
    QVERIFY(!fileContents(settingsFile()).contains("recentColours"));
    other.reload();
    QVERIFY(other.colours().isEmpty());
}

// Two windows of one process: each change starts from what the other saved.
void TestRecentColours::twoInstancesInterleave()
{
    RecentColours first(Organization, m_application);
    RecentColours second(Organization, m_application);
    first.add(1);
    second.add(2);
    first.add(3);
    second.add(1);
    QCOMPARE(names(second.colours()), names(opaque({1, 3, 2})));
}

// Two processes adding six colours each at once: all twelve are kept, each
// process's in its own order. Without the lock around each re-read and
// write, one process saves a list it read before the other's last save.
void TestRecentColours::twoProcessesInterleave()
{
    constexpr int Count = RecentColours::Limit / 2;
    const QRgb firsts[2] = {0x100000, 0x200000};
    QProcess writers[2];
    for (int i = 0; i < 2; ++i) {
        writers[i].start(QStringLiteral(RECENTWRITER),
                         {Organization, m_application, QString::number(firsts[i]), QString::number(Count)});
        QVERIFY2(writers[i].waitForStarted(), qPrintable(writers[i].errorString()));
    }
    for (QProcess &writer : writers) {
        while (!writer.canReadLine())
            QVERIFY2(writer.waitForReadyRead(30000), writer.readAllStandardError().constData());
        QCOMPARE(writer.readLine(), QByteArray("ready\n"));
    }
    for (QProcess &writer : writers) {
        writer.write("go\n");
        QVERIFY(writer.waitForBytesWritten());
    }
    for (QProcess &writer : writers) {
        QVERIFY(writer.waitForFinished(60000));
        QCOMPARE(writer.exitCode(), 0);
        QCOMPARE(writer.readAllStandardError(), QByteArray());
    }

    const Colours colours = RecentColours(Organization, m_application).colours();
    QCOMPARE(colours.size(), RecentColours::Limit);
    for (const QRgb first : firsts) {
        Colours mine;
        for (const QRgb rgb : colours) {
            if ((rgb & 0xFF0000) == first)
                mine << rgb;
        }
        QCOMPARE(names(mine), names(run(first + Count - 1, first)));
    }
}

// A file as another run, an editor or a fault left it (none: no file): the
// list read from it, and the one warning it gives.
void TestRecentColours::storedFile_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<Colours>("expected");
    QTest::addColumn<QString>("warning");
    QTest::addColumn<QString>("qtWarning"); // one Qt itself gives on reading the file

    const QString none;
    QTest::newRow("no file") << QByteArray() << Colours() << none << none;
    QTest::newRow("one entry") << QByteArray("[General]\nrecentColours=#ABCDEF\n") << opaque({0xABCDEF}) << none
                               << none;
    QTest::newRow("lower case, spaces") << QByteArray("[General]\nrecentColours=#abcdef,   #0A0b0C  \n")
                                        << opaque({0xABCDEF, 0x0A0B0C}) << none << none;
    QTest::newRow("repeats, too many")
        << QByteArray("[General]\nrecentColours=#000001, #000002, #000001, #000003, #000004, #000005, #000006,"
                      " #000007, #000008, #000009, #00000A, #00000B, #00000C, #00000D\n")
        << run(1, 12) << none << none;
    QTest::newRow("other settings only") << QByteArray("geometry=1\n") << Colours() << none << none;
    QTest::newRow("line without =") << QByteArray("[General]\nrecentColours=#ABCDEF\nrubbish\n")
                                    << opaque({0xABCDEF})
                                    << "the file has lines that are not settings, which are ignored" << none;
    QTest::newRow("not a colour") << QByteArray("[General]\nrecentColours=banana\n") << Colours()
                                  << "recentColours holds entries that are not #RRGGBB colours, left out: \"banana\""
                                  << none;
    QTest::newRow("some bad entries")
        << QByteArray("[General]\nrecentColours=#111111, banana, #12, 0x222222, #333333, 444444, #55")
        << opaque({0x111111, 0x333333}) << "left out: \"banana\", \"#12\", \"0x222222\", and 2 more" << none;
    QTest::newRow("a rectangle") << QByteArray("[General]\nrecentColours=@Rect(1 2 3 4)\n") << Colours()
                                 << "recentColours does not hold a list of colours; the list starts empty" << none;
    QTest::newRow("serialised rubbish") << QByteArray("[General]\nrecentColours=@Variant(\\0\\0\\0\\x7f\\0junk)\n")
                                        << Colours() << "recentColours does not hold a list of colours"
                                        << "QVariant::load: unknown user type with name .";
}

// The fault warns once, naming the file; the next change saves a sound list.
void TestRecentColours::storedFile()
{
    QFETCH(QByteArray, contents);
    QFETCH(Colours, expected);
    QFETCH(QString, warning);
    QFETCH(QString, qtWarning);

    const QString file = settingsFile();
    if (!contents.isNull()) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(contents) == contents.size());
    }
    if (!warning.isEmpty()) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^huvolo: recent colours in %1: .*%2")
                                                                  .arg(QRegularExpression::escape(file),
                                                                       QRegularExpression::escape(warning))));
    }
    if (!qtWarning.isEmpty())
        QTest::ignoreMessage(QtWarningMsg, qPrintable(qtWarning));

    RecentColours recent(Organization, m_application);
    QCOMPARE(names(recent.colours()), names(expected));
    QCOMPARE(QFile::exists(file), !contents.isNull());
    recent.reload();
    recent.add(0xFEDCBA);
    const Colours now = opaque({0xFEDCBA}) + expected.mid(0, RecentColours::Limit - 1);
    QCOMPARE(names(recent.colours()), names(now));
    QVERIFY(fileContents(file).contains("recentColours=" + names(now).toLatin1()));
}

void TestRecentColours::unreadableFile_data()
{
    QTest::addColumn<bool>("directory");
    QTest::newRow("directory in place of the file") << true;
    QTest::newRow("no permission to read") << false;
}

// One warning; the list starts empty and goes on in memory, but the file,
// which may hold what this process cannot see, is not overwritten.
void TestRecentColours::unreadableFile()
{
    QFETCH(bool, directory);

    const QString file = settingsFile();
    const QByteArray saved("[General]\nrecentColours=#ABCDEF\n");
    if (directory) {
        QVERIFY(QDir().mkpath(file));
    } else {
        if (geteuid() == 0)
            QSKIP("running as root, which reads a file whatever its permissions");
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(saved) == saved.size());
        QVERIFY(out.setPermissions({}));
    }
    QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^huvolo: recent colours in %1: "
                                                                         "cannot read the file \\(.+\\)")
                                                              .arg(QRegularExpression::escape(file))));
    RecentColours recent(Organization, m_application);
    QVERIFY(recent.colours().isEmpty());
    recent.add(1);
    recent.add(2);
    recent.reload();
    QCOMPARE(names(recent.colours()), names(opaque({2, 1})));

    if (directory) {
        QVERIFY(QFileInfo(file).isDir());
    } else {
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(fileContents(file), saved);
    }
}

QTEST_GUILESS_MAIN(TestRecentColours)
#include "tst_recentcolours.moc"
