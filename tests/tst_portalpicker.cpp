// The desktop portal's colour picking against a small fake portal on a
// private session bus: the request and its response, giving up, failing,
// an error answer, a portal without PickColor, and the portal leaving.
#include "portalpicker.h"

#include <QDBusAbstractAdaptor>
#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QDBusVirtualObject>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QTest>

using namespace huvolo;

namespace {

const QString Portal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");

// Answers Properties.Get for the Screenshot version and PickColor; the test
// sends the Response itself.
class FakePortal : public QDBusVirtualObject
{
public:
    uint version = 2;
    QString pickError;    // an error name PickColor answers with, if any
    QString requestPath; // where the last PickColor's Response goes

    QString introspect(const QString &) const override { return {}; }
    bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
    {
        if (message.member() == QLatin1String("Get")) {
            connection.send(message.createReply(QVariant::fromValue(QDBusVariant(version))));
            return true;
        }
        if (message.member() != QLatin1String("PickColor"))
            return false;
        if (!pickError.isEmpty()) {
            connection.send(message.createErrorReply(pickError, QStringLiteral("the fake portal refuses")));
            return true;
        }
        const QString token = qdbus_cast<QVariantMap>(message.arguments().value(1))
                                  .value(QStringLiteral("handle_token"))
                                  .toString();
        const QString sender = message.service().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
        requestPath = PortalPath + QStringLiteral("/request/") + sender + QLatin1Char('/') + token;
        connection.send(message.createReply(QVariant::fromValue(QDBusObjectPath(requestPath))));
        return true;
    }
};

} // namespace

class TestPortalPicker : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void cleanup();
    void pick_data();
    void pick();
    void portalLeavesDuringPick();
    void availabilityFollowsThePortal();

private:
    void sendResponse(uint code, const QVariantMap &results);

    QTemporaryFile m_config;
    QProcess m_daemon;
    QString m_address;
    FakePortal m_portal;
    QDBusConnection m_client{QString()};
    QDBusConnection m_portalSide{QString()};
};

void TestPortalPicker::initTestCase()
{
    // A bus that can start nothing, so that no installed portal answers.
    QVERIFY(m_config.open());
    m_config.write("<!DOCTYPE busconfig PUBLIC \"-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN\" "
                   "\"http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd\">\n"
                   "<busconfig><type>session</type><listen>unix:tmpdir=/tmp</listen><auth>EXTERNAL</auth>"
                   "<policy context=\"default\"><allow send_destination=\"*\" eavesdrop=\"true\"/>"
                   "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>\n");
    m_config.flush();
    m_daemon.start(QStringLiteral("dbus-daemon"), {QStringLiteral("--config-file=") + m_config.fileName(),
                                                   QStringLiteral("--nofork"), QStringLiteral("--print-address")});
    QVERIFY2(m_daemon.waitForStarted(), "dbus-daemon did not start");
    QTRY_VERIFY(m_daemon.canReadLine());
    m_address = QString::fromUtf8(m_daemon.readLine()).trimmed();
    m_client = QDBusConnection::connectToBus(m_address, QStringLiteral("client"));
    QVERIFY2(m_client.isConnected(), qPrintable(m_address));
}

void TestPortalPicker::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QStringLiteral("client"));
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

// Each test gets a portal afresh, on a connection of its own.
void TestPortalPicker::init()
{
    m_portal.version = 2;
    m_portal.pickError.clear();
    m_portal.requestPath.clear();
    m_portalSide = QDBusConnection::connectToBus(m_address, QStringLiteral("portal"));
    QVERIFY(m_portalSide.registerVirtualObject(PortalPath, &m_portal));
    QVERIFY(m_portalSide.registerService(Portal));
}

void TestPortalPicker::cleanup()
{
    if (m_portalSide.isConnected()) {
        m_portalSide.unregisterObject(PortalPath);
        m_portalSide.unregisterService(Portal);
    }
    m_portalSide = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
}

void TestPortalPicker::sendResponse(uint code, const QVariantMap &results)
{
    QDBusMessage response = QDBusMessage::createSignal(m_portal.requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                                                       QStringLiteral("Response"));
    response << code << results;
    QVERIFY2(m_portalSide.send(response), qPrintable(m_portal.requestPath));
}

void TestPortalPicker::pick_data()
{
    QTest::addColumn<uint>("version");
    QTest::addColumn<QString>("pickError");
    QTest::addColumn<uint>("code");
    QTest::addColumn<bool>("withColour");
    QTest::addColumn<QString>("outcome"); // "picked", "cancelled" or the start of the failure
    QTest::newRow("picked") << 2u << QString() << 0u << true << "picked";
    QTest::newRow("given up") << 2u << QString() << 1u << false << "cancelled";
    QTest::newRow("failed") << 2u << QString() << 2u << false << "the desktop's colour picker gave no colour";
    QTest::newRow("no colour") << 2u << QString() << 0u << false << "the desktop portal answered without a colour";
    QTest::newRow("error answer") << 2u << "org.freedesktop.DBus.Error.AccessDenied" << 0u << false
                                  << "the fake portal refuses";
    QTest::newRow("no PickColor") << 1u << QString() << 0u << false << "The desktop portal cannot pick colours";
}

void TestPortalPicker::pick()
{
    QFETCH(uint, version);
    QFETCH(QString, pickError);
    QFETCH(uint, code);
    QFETCH(bool, withColour);
    QFETCH(QString, outcome);
    m_portal.version = version;
    m_portal.pickError = pickError;
    PortalColourPicker picker(m_client);
    QSignalSpy picked(&picker, &ScreenPick::picked);
    QSignalSpy cancelled(&picker, &ScreenPick::cancelled);
    QSignalSpy failed(&picker, &ScreenPick::failed);
    picker.start();
    if (version >= 2 && pickError.isEmpty()) {
        QTRY_VERIFY(!m_portal.requestPath.isEmpty());
        QVariantMap results;
        if (withColour) {
            QDBusArgument colour;
            colour.beginStructure();
            colour << 0.2 << 0.4 << 0.6;
            colour.endStructure();
            results.insert(QStringLiteral("color"), QVariant::fromValue(colour));
        }
        sendResponse(code, results);
    }
    QTRY_COMPARE(picked.size() + cancelled.size() + failed.size(), 1);
    if (outcome == QLatin1String("picked"))
        QCOMPARE(picked.constFirst().constFirst().value<QRgb>(), qRgb(51, 102, 153));
    else if (outcome == QLatin1String("cancelled"))
        QCOMPARE(cancelled.size(), 1);
    else
        QVERIFY2(failed.size() == 1 && failed.constFirst().constFirst().toString().contains(outcome),
                 qPrintable(failed.isEmpty() ? QStringLiteral("no failure") : failed.constFirst().constFirst().toString()));
    // Nothing more comes, whatever the portal does after.
    if (!m_portal.requestPath.isEmpty())
        sendResponse(0, {});
    QTest::qWait(50);
    QCOMPARE(picked.size() + cancelled.size() + failed.size(), 1);
}

// The portal leaving the bus before it answers cancels the pick.
void TestPortalPicker::portalLeavesDuringPick()
{
    PortalColourPicker picker(m_client);
    QSignalSpy cancelled(&picker, &ScreenPick::cancelled);
    QSignalSpy failed(&picker, &ScreenPick::failed);
    picker.start();
    QTRY_VERIFY(!m_portal.requestPath.isEmpty());
    m_portalSide = QDBusConnection(QString());
    QDBusConnection::disconnectFromBus(QStringLiteral("portal"));
    QTRY_COMPARE(cancelled.size(), 1);
    QCOMPARE(failed.size(), 0);
}

// The entry follows the portal's coming and going without being asked.
void TestPortalPicker::availabilityFollowsThePortal()
{
    PortalScreenPicking picking(m_client);
    QSignalSpy changed(&picking, &ScreenPicking::availabilityChanged);
    QTRY_VERIFY(picking.available());
    QVERIFY(m_portalSide.unregisterService(Portal));
    QTRY_VERIFY(!m_client.interface()->isServiceRegistered(Portal));
    QTRY_VERIFY(!picking.available());
    QVERIFY(!picking.unavailableReason().isEmpty());
    QVERIFY(!picking.newPick(this));
    m_portalSide.registerService(Portal);
    QTRY_VERIFY(picking.available());
    QVERIFY(picking.unavailableReason().isEmpty());
    QVERIFY(changed.size() >= 2);
    // A portal that cannot pick is told apart once it has answered.
    m_portal.version = 1;
    picking.refresh();
    QTRY_VERIFY(!picking.available());
    QVERIFY(picking.unavailableReason().contains(QStringLiteral("version 1")));
}

QTEST_GUILESS_MAIN(TestPortalPicker)
#include "tst_portalpicker.moc"
