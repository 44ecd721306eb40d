#include "portalpicker.h"

#include <QColor>
#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusServiceWatcher>
#include <QDBusVariant>
#include <QUuid>

namespace huvolo {

namespace {

const QString Portal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Screenshot = QStringLiteral("org.freedesktop.portal.Screenshot");
const QString BusName = QStringLiteral("org.freedesktop.DBus");
const QString BusPath = QStringLiteral("/org/freedesktop/DBus");

QDBusMessage versionQuery()
{
    QDBusMessage get = QDBusMessage::createMethodCall(Portal, PortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << Screenshot << QStringLiteral("version");
    return get;
}

uint versionIn(const QDBusMessage &reply)
{
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return 0;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toUInt();
}

// Calls `method` on the bus and hands the reply to `done` in the event loop.
void callAsync(QDBusConnection &bus, const QDBusMessage &message, QObject *receiver,
               std::function<void(const QDBusMessage &)> done, int timeout = -1)
{
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(message, timeout), receiver);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, receiver,
                     [watcher, done = std::move(done)] {
                         watcher->deleteLater();
                         done(watcher->reply());
                     });
}

QString noPickColor(uint version)
{
    return QStringLiteral("The desktop portal cannot pick colours (its Screenshot interface is version %1; "
                          "picking needs version 2).")
        .arg(version);
}

} // namespace

PortalColourPicker::PortalColourPicker(const QDBusConnection &bus, QObject *parent)
    : ScreenPick(parent),
      m_bus(bus)
{
}

void PortalColourPicker::start()
{
    if (!m_bus.isConnected()) {
        end([this] { emit failed(QStringLiteral("there is no session bus to reach the desktop portal on.")); });
        return;
    }
    // The portal leaving the bus before it answers would leave the pick
    // waiting for ever: that is the pick's end.
    m_portalWatcher = new QDBusServiceWatcher(Portal, m_bus, QDBusServiceWatcher::WatchForUnregistration, this);
    connect(m_portalWatcher, &QDBusServiceWatcher::serviceUnregistered, this, [this] {
        qWarning("huvolo: the desktop portal left the session bus during a pick");
        end([this] { emit cancelled(); });
    });
    // Asking for the version starts a portal that is not running yet, and
    // tells whether it can pick at all.
    callAsync(m_bus, versionQuery(), this, [this](const QDBusMessage &reply) {
        if (m_ended)
            return;
        if (reply.type() == QDBusMessage::ErrorMessage) {
            end([this, reply] { emit failed(reply.errorMessage()); });
            return;
        }
        const uint version = versionIn(reply);
        if (version < 2) {
            end([this, version] { emit failed(noPickColor(version)); });
            return;
        }
        askForColour();
    }, CallTimeout);
}

void PortalColourPicker::askForColour()
{
    // The portal answers on a request object whose path it derives from our
    // bus name and this token; listen there before asking.
    const QString token = QStringLiteral("huvolo") + QUuid::createUuid().toString(QUuid::Id128);
    const QString sender = m_bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    listenAt(QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender + QLatin1Char('/') + token);
    QDBusMessage pick = QDBusMessage::createMethodCall(Portal, PortalPath, Screenshot, QStringLiteral("PickColor"));
    pick << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
    callAsync(m_bus, pick, this, [this](const QDBusMessage &reply) {
        if (m_ended)
            return;
        if (reply.type() == QDBusMessage::ErrorMessage) {
            end([this, reply] { emit failed(reply.errorMessage()); });
            return;
        }
        // A portal older than handle tokens answers on a path of its own.
        const QString path = reply.arguments().value(0).value<QDBusObjectPath>().path();
        if (!path.isEmpty() && path != m_requestPath)
            listenAt(path);
    }, CallTimeout);
}

void PortalColourPicker::listenAt(const QString &requestPath)
{
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(Portal, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                         QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
    m_requestPath = requestPath;
    m_bus.connect(Portal, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"),
                  this, SLOT(response(uint, QVariantMap)));
}

void PortalColourPicker::response(uint code, const QVariantMap &results)
{
    if (m_ended)
        return;
    // 1: the user gave up; 2: the pick ended some other way, an error.
    if (code == 1) {
        end([this] { emit cancelled(); });
        return;
    }
    if (code != 0) {
        end([this, code] {
            emit failed(QStringLiteral("the desktop's colour picker gave no colour; it reported an error "
                                       "(response code %1).").arg(code));
        });
        return;
    }
    if (!results.contains(QStringLiteral("color"))) {
        end([this] { emit failed(QStringLiteral("the desktop portal answered without a colour.")); });
        return;
    }
    double red = -1, green = -1, blue = -1;
    const QDBusArgument colour = results.value(QStringLiteral("color")).value<QDBusArgument>();
    if (colour.currentSignature() == QLatin1String("(ddd)")) {
        colour.beginStructure();
        colour >> red >> green >> blue;
        colour.endStructure();
    }
    const auto inRange = [](double channel) { return channel >= 0 && channel <= 1; };
    if (!inRange(red) || !inRange(green) || !inRange(blue)) {
        end([this] { emit failed(QStringLiteral("the desktop portal answered with something that is not a colour.")); });
        return;
    }
    const QRgb rgb = QColor::fromRgbF(float(red), float(green), float(blue)).rgb();
    end([this, rgb] { emit picked(rgb); });
}

void PortalColourPicker::end(const std::function<void()> &signal)
{
    if (m_ended)
        return;
    m_ended = true;
    if (!m_requestPath.isEmpty())
        m_bus.disconnect(Portal, m_requestPath, QStringLiteral("org.freedesktop.portal.Request"),
                         QStringLiteral("Response"), this, SLOT(response(uint, QVariantMap)));
    delete m_portalWatcher;
    m_portalWatcher = nullptr;
    signal();
}

PortalScreenPicking::PortalScreenPicking(const QDBusConnection &bus, QObject *parent)
    : ScreenPicking(parent),
      m_bus(bus)
{
    if (!m_bus.isConnected()) {
        m_state = State::NoBus;
        return;
    }
    m_watcher = new QDBusServiceWatcher(Portal, m_bus,
                                        QDBusServiceWatcher::WatchForRegistration
                                            | QDBusServiceWatcher::WatchForUnregistration,
                                        this);
    connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, &PortalScreenPicking::refresh);
    connect(m_watcher, &QDBusServiceWatcher::serviceUnregistered, this, &PortalScreenPicking::refresh);
    refresh();
}

bool PortalScreenPicking::available() const
{
    return m_state == State::Unknown || m_state == State::Running || m_state == State::Activatable;
}

QString PortalScreenPicking::unavailableReason() const
{
    switch (m_state) {
    case State::Unknown:
    case State::Running:
    case State::Activatable:
        return {};
    case State::TooOld:
        return noPickColor(m_version);
    case State::NoBus:
    case State::Absent:
        break;
    }
    return noPortalReason();
}

QString PortalScreenPicking::noPortalReason() const
{
    return QStringLiteral("Picking from the screen needs X11, or a desktop portal that can pick colours; "
                          "none is running.");
}

// Whether the portal runs, and if not, whether a call would start it; a
// running one is asked for its version. Nothing here waits.
void PortalScreenPicking::refresh()
{
    if (m_state == State::NoBus)
        return;
    const quint64 asking = ++m_asking;
    QDBusMessage hasOwner = QDBusMessage::createMethodCall(BusName, BusPath, BusName, QStringLiteral("NameHasOwner"));
    hasOwner << Portal;
    callAsync(m_bus, hasOwner, this, [this, asking](const QDBusMessage &reply) {
        if (asking != m_asking)
            return;
        if (reply.type() == QDBusMessage::ReplyMessage && reply.arguments().value(0).toBool()) {
            askVersion();
            return;
        }
        QDBusMessage list = QDBusMessage::createMethodCall(BusName, BusPath, BusName,
                                                           QStringLiteral("ListActivatableNames"));
        callAsync(m_bus, list, this, [this, asking](const QDBusMessage &names) {
            if (asking != m_asking)
                return;
            const bool activatable = names.type() == QDBusMessage::ReplyMessage
                                     && names.arguments().value(0).toStringList().contains(Portal);
            setState(activatable ? State::Activatable : State::Absent);
        });
    });
}

void PortalScreenPicking::askVersion()
{
    const quint64 asking = m_asking;
    callAsync(m_bus, versionQuery(), this, [this, asking](const QDBusMessage &reply) {
        if (asking != m_asking)
            return;
        if (reply.type() != QDBusMessage::ReplyMessage) {
            // Running but not answering yet (it may be starting): a pick
            // will ask again and wait longer.
            setState(State::Activatable);
            return;
        }
        m_version = versionIn(reply);
        setState(m_version >= 2 ? State::Running : State::TooOld);
    }, PortalColourPicker::CallTimeout);
}

void PortalScreenPicking::setState(State state)
{
    const bool wasAvailable = available();
    const QString wasReason = unavailableReason();
    m_state = state;
    if (available() != wasAvailable || unavailableReason() != wasReason)
        emit availabilityChanged();
}

ScreenPick *PortalScreenPicking::newPick(QObject *parent)
{
    if (!available())
        return nullptr;
    auto *pick = new PortalColourPicker(m_bus, parent);
    // A pick that found the portal unable to pick tells the rest of the run.
    connect(pick, &ScreenPick::failed, this, &PortalScreenPicking::refresh);
    return pick;
}

} // namespace huvolo
