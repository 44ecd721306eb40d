#include "colourformats.h"
#include "recentcolours.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QScopeGuard>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <pwd.h>
#include <sys/resource.h>
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

// Whether the file holds the list, as saved.
bool holds(const QString &fileName, const Colours &colours)
{
    return fileContents(fileName).contains("recentColours=" + names(colours).toLatin1() + '\n');
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
    void failedSaveKeepsTheFile();
    void stoppedLockHolder();
    void withoutHome_data();
    void withoutHome();

private:
    // The settings file of the current test.
    QString settingsFile() const
    {
        return m_config.path() + QLatin1Char('/') + Organization + QLatin1Char('/') + m_application
               + QStringLiteral(".conf");
    }

    QTemporaryDir m_config;
    QString m_application;
    int m_serial = 0;
};

void TestRecentColours::initTestCase()
{
    QVERIFY(m_config.isValid());
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
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
    QTRY_VERIFY2(holds(settingsFile(), expected), fileContents(settingsFile()).constData());
    QCOMPARE(changed.count(), changes);
}

// The list in memory changes at once; what other windows save arrives on
// reload.
void TestRecentColours::clearAndReload()
{
    const QString file = settingsFile();
    RecentColours recent(Organization, m_application);
    RecentColours other(Organization, m_application);
    QSignalSpy changed(&recent, &RecentColours::changed);
    recent.add(1);
    QTRY_VERIFY(holds(file, opaque({1})));
    other.add(2);
    QTRY_VERIFY(holds(file, opaque({2, 1})));
    recent.reload();
    recent.reload();
    QTRY_COMPARE(names(recent.colours()), names(opaque({2, 1})));
    QCOMPARE(changed.count(), 2);

    recent.clear();
    recent.clear();
    QVERIFY(recent.colours().isEmpty());
    QCOMPARE(changed.count(), 3);
    QTRY_VERIFY(!fileContents(file).contains("recentColours"));
    other.reload();
    QTRY_VERIFY(other.colours().isEmpty());
}

// Two windows of one process: each change starts from what the other saved.
void TestRecentColours::twoInstancesInterleave()
{
    const QString file = settingsFile();
    RecentColours first(Organization, m_application);
    RecentColours second(Organization, m_application);
    first.add(1);
    QTRY_VERIFY(holds(file, opaque({1})));
    second.add(2);
    QTRY_VERIFY(holds(file, opaque({2, 1})));
    first.add(3);
    QTRY_VERIFY(holds(file, opaque({3, 2, 1})));
    second.add(1);
    QTRY_COMPARE(names(second.colours()), names(opaque({1, 3, 2})));
    QVERIFY(holds(file, opaque({1, 3, 2})));
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

    const RecentColours reader(Organization, m_application);
    QTRY_COMPARE(reader.colours().size(), RecentColours::Limit);
    const Colours colours = reader.colours();
    for (const QRgb first : firsts) {
        Colours mine;
        for (const QRgb rgb : colours) {
            if ((rgb & 0xFF0000) == first)
                mine << rgb;
        }
        QCOMPARE(names(mine), names(run(first + Count - 1, first)));
    }
}

// A file as another run, an editor or a fault left it (none: no file),
// grown to `size` bytes with a hole when that is larger: the list read from
// it, and the one warning it gives.
void TestRecentColours::storedFile_data()
{
    QTest::addColumn<QByteArray>("contents");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<Colours>("expected");
    QTest::addColumn<QString>("warning");

    const QString none;
    QTest::newRow("no file") << QByteArray() << 0ll << Colours() << none;
    QTest::newRow("one entry") << QByteArray("[General]\nrecentColours=#ABCDEF\n") << 0ll << opaque({0xABCDEF}) << none;
    QTest::newRow("lower case, spaces") << QByteArray("[General]\nrecentColours=#abcdef,   #0A0b0C  \n") << 0ll
                                        << opaque({0xABCDEF, 0x0A0B0C}) << none;
    QTest::newRow("quoted, escaped")
        << QByteArray("[General]\nrecentColours=\"#ABCDEF\", \\x23\\x30\\x41\\x30\\x42\\x30\\x43 ; a comment\n") << 0ll
        << opaque({0xABCDEF, 0x0A0B0C}) << none;
    QTest::newRow("repeats, too many")
        << QByteArray("[General]\nrecentColours=#000001, #000002, #000001, #000003, #000004, #000005, #000006,"
                      " #000007, #000008, #000009, #00000A, #00000B, #00000C, #00000D\n")
        << 0ll << run(1, 12) << none;
    QTest::newRow("other settings only") << QByteArray("geometry=1\n") << 0ll << Colours() << none;
    QTest::newRow("other sections") << QByteArray("; kept\n[other]\nrecentColours=#111111\n\n[General]\n"
                                                  "recentColours=#ABCDEF\nwidth=3\n")
                                    << 0ll << opaque({0xABCDEF}) << none;
    QTest::newRow("line without =") << QByteArray("[General]\nrecentColours=#ABCDEF\nrubbish\n") << 0ll
                                    << opaque({0xABCDEF})
                                    << "the file has lines that are not settings, which are ignored";
    QTest::newRow("not a colour") << QByteArray("[General]\nrecentColours=banana\n") << 0ll << Colours()
                                  << "recentColours holds entries that are not #RRGGBB colours, left out: \"banana\"";
    QTest::newRow("some bad entries")
        << QByteArray("[General]\nrecentColours=#111111, banana, #12, 0x222222, #333333, 444444, #55") << 0ll
        << opaque({0x111111, 0x333333}) << "left out: \"banana\", \"#12\", \"0x222222\", and 2 more";
    QTest::newRow("a rectangle") << QByteArray("[General]\nrecentColours=@Rect(1 2 3 4)\n") << 0ll << Colours()
                                 << "recentColours does not hold a list of colours; the list starts empty";
    QTest::newRow("serialised rubbish") << QByteArray("[General]\nrecentColours=@Variant(\\0\\0\\0\\x7f\\0junk)\n")
                                        << 0ll << Colours() << "recentColours does not hold a list of colours";
    // Lists in lists, 100,000 deep, as QSettings writes them: decoding it
    // whole overflows the stack.
    QByteArray nested("[General]\nrecentColours=@Variant(");
    for (int depth = 0; depth < 100000; ++depth)
        nested += "\\0\\0\\0\\t\\0\\0\\0\\x1"; // a list (type 9) of one
    nested += "\\0\\0\\0\\x2\\0\\0\\0\\x5)\n"; // the int 5
    QTest::newRow("nested 100,000 deep, 1.7 MB") << nested << 0ll << Colours()
                                         << "far more than a list of colours needs; only its first 65536 bytes";
    QTest::newRow("200 MB") << QByteArray("[General]\nrecentColours=#ABCDEF\n") << 200'000'000ll
                            << opaque({0xABCDEF}) << "the file is 200000000 bytes, far more than a list";
}

// The fault warns once, naming the file; the next change saves a sound list.
void TestRecentColours::storedFile()
{
    QFETCH(QByteArray, contents);
    QFETCH(qint64, size);
    QFETCH(Colours, expected);
    QFETCH(QString, warning);

    const QString file = settingsFile();
    if (!contents.isNull()) {
        QDir().mkpath(QFileInfo(file).absolutePath());
        QFile out(file);
        QVERIFY(out.open(QIODevice::WriteOnly) && out.write(contents) == contents.size());
        QVERIFY(out.resize(std::max(size, qint64(contents.size()))));
    }
    if (!warning.isEmpty()) {
        QTest::ignoreMessage(QtWarningMsg, QRegularExpression(QStringLiteral("^huvolo: recent colours in %1: .*%2")
                                                                  .arg(QRegularExpression::escape(file),
                                                                       QRegularExpression::escape(warning))));
    }

    RecentColours recent(Organization, m_application);
    QTRY_COMPARE(names(recent.colours()), names(expected));
    QCOMPARE(QFile::exists(file), !contents.isNull());
    recent.reload();
    recent.add(0xFEDCBA);
    const Colours now = opaque({0xFEDCBA}) + expected.mid(0, RecentColours::Limit - 1);
    QTRY_COMPARE(names(recent.colours()), names(now));
    QTRY_VERIFY2(holds(file, now), fileContents(file).left(200).constData());
    if (contents.contains("kept")) {
        QCOMPARE(fileContents(file), contents.replace("#ABCDEF", "#FEDCBA, #ABCDEF"));
    }
    QVERIFY(QFileInfo(file).size() < 1000);
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
    static int warnings;
    static QtMessageHandler toQTest;
    warnings = 0;
    toQTest = qInstallMessageHandler([](QtMsgType type, const QMessageLogContext &context, const QString &message) {
        warnings += type == QtWarningMsg;
        toQTest(type, context, message);
    });
    const auto restore = qScopeGuard([] { qInstallMessageHandler(toQTest); });
    {
        RecentColours recent(Organization, m_application);
        QVERIFY(recent.colours().isEmpty());
        recent.add(1);
        recent.add(2);
        recent.reload();
        QCOMPARE(names(recent.colours()), names(opaque({2, 1})));
        QTRY_COMPARE(warnings, 1); // the read is done
        QCOMPARE(names(recent.colours()), names(opaque({2, 1})));
    }

    if (directory) {
        QVERIFY(QFileInfo(file).isDir());
    } else {
        QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner));
        QCOMPARE(fileContents(file), saved);
    }
}

// A save that fails half-way (here at a file-size limit, as on a nearly
// full disk) leaves the file exactly as it was and says what failed. The
// limit is set on another process. Without it, the save keeps the file's
// other settings as they were.
void TestRecentColours::failedSaveKeepsTheFile()
{
    const QString file = settingsFile();
    QByteArray saved("[General]\nrecentColours=#ABCDEF\n\n[other]\n");
    for (int i = 0; saved.size() < 8192; ++i)
        saved += "key" + QByteArray::number(i) + "=some value that another program keeps here\n";
    QDir().mkpath(QFileInfo(file).absolutePath());
    QFile out(file);
    QVERIFY(out.open(QIODevice::WriteOnly) && out.write(saved) == saved.size());
    out.close();

    QProcess writer;
    writer.setChildProcessModifier([] {
        const rlimit limit{4096, 4096};
        setrlimit(RLIMIT_FSIZE, &limit);
        std::signal(SIGXFSZ, SIG_IGN); // a write past the limit fails instead of killing
    });
    writer.start(QStringLiteral(RECENTWRITER), {Organization, m_application, QStringLiteral("0x123456"), "1"});
    QVERIFY2(writer.waitForStarted(), qPrintable(writer.errorString()));
    writer.write("go\n");
    QVERIFY(writer.waitForFinished(60000));
    QCOMPARE(writer.exitStatus(), QProcess::NormalExit);
    QCOMPARE(writer.exitCode(), 0);
    QCOMPARE(fileContents(file), saved);
    QCOMPARE(QString::fromLocal8Bit(writer.readAllStandardError()),
             QStringLiteral("huvolo: recent colours in %1: cannot save the list (cannot write a new copy of the file: "
                            "File too large); the file is left as it was\n")
                 .arg(file));
    QVERIFY(writer.readAllStandardOutput().startsWith("ready\n#123456")); // the list in memory has it
    const QString name = QFileInfo(file).fileName();
    const QDir folder = QFileInfo(file).absoluteDir();
    QCOMPARE(folder.entryList({name + '*'}, QDir::Files | QDir::Hidden), QStringList{name}); // nothing left behind

    QProcess unlimited;
    unlimited.start(QStringLiteral(RECENTWRITER), {Organization, m_application, QStringLiteral("0x654321"), "1"});
    unlimited.write("go\n");
    QVERIFY(unlimited.waitForFinished(60000));
    QCOMPARE(unlimited.readAllStandardError(), QByteArray());
    QCOMPARE(fileContents(file), saved.replace("#ABCDEF", "#654321, #ABCDEF"));
}

// A process stopped while it holds the lock: a copy returns at once with the
// list changed in memory, and the save waits on the worker; once the holder
// is gone, it is saved.
void TestRecentColours::stoppedLockHolder()
{
    const QString file = settingsFile();
    QProcess holder;
    holder.start(QStringLiteral(RECENTWRITER), {QStringLiteral("--lock"), file});
    QVERIFY2(holder.waitForStarted(), qPrintable(holder.errorString()));
    QDir().mkpath(QFileInfo(file).absolutePath());
    while (!holder.canReadLine())
        QVERIFY2(holder.waitForReadyRead(30000), holder.readAllStandardError().constData());
    QCOMPARE(holder.readLine(), QByteArray("locked\n"));
    const auto stopped = [&holder] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(holder.processId()));
        return stat.open(QIODevice::ReadOnly) && stat.readAll().contains(") T ");
    };
    QTRY_VERIFY(stopped());

    RecentColours recent(Organization, m_application);
    recent.add(1);
    QCOMPARE(names(recent.colours()), names(opaque({1})));
    recent.reload();
    recent.add(2);
    QCOMPARE(names(recent.colours()), names(opaque({2, 1})));
    QVERIFY2(!fileContents(file).contains("recentColours"), "saved while another process held the lock");

    holder.kill();
    QVERIFY(holder.waitForFinished());
    QTRY_VERIFY(holds(file, opaque({2, 1})));
}

// Without HOME (unset or empty, as under some service managers), the file
// is under the account's home directory, never under /; XDG_CONFIG_HOME,
// when set, still decides.
void TestRecentColours::withoutHome_data()
{
    QTest::addColumn<QByteArray>("home");
    QTest::addColumn<bool>("xdgConfigHome");
    QTest::newRow("HOME unset") << QByteArray() << false;
    QTest::newRow("HOME empty") << QByteArray("") << false;
    QTest::newRow("XDG_CONFIG_HOME set") << QByteArray() << true;
}

void TestRecentColours::withoutHome()
{
    QFETCH(QByteArray, home);
    QFETCH(bool, xdgConfigHome);

    const QByteArray savedHome = qgetenv("HOME");
    const bool hadHome = qEnvironmentVariableIsSet("HOME");
    const auto restore = qScopeGuard([&] {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_config.path()));
        if (hadHome)
            qputenv("HOME", savedHome);
    });
    if (home.isNull())
        qunsetenv("HOME");
    else
        qputenv("HOME", home);
    if (!xdgConfigHome)
        qunsetenv("XDG_CONFIG_HOME");

    const passwd *account = getpwuid(getuid());
    QVERIFY(account);
    const QString expected = xdgConfigHome ? settingsFile()
                                           : QDir::cleanPath(QFile::decodeName(account->pw_dir)) + "/.config/"
                                                 + Organization + '/' + m_application + ".conf";
    RecentColours recent(Organization, m_application);
    QCOMPARE(recent.fileName(), expected);
}

QTEST_GUILESS_MAIN(TestRecentColours)
#include "tst_recentcolours.moc"
