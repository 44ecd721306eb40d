#include "portalpicker.h"

#include <QColor>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusVariant>
#include <QUuid>

namespace huvolo {

namespace {

const QString Portal = QStringLiteral("org.freedesktop.portal.Desktop");
const QString PortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString Screenshot = QStringLiteral("org.freedesktop.portal.Screenshot");

} // namespace

bool PortalColourPicker::available()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.interface() || !bus.interface()->isServiceRegistered(Portal))
        return false;
    // PickColor came with version 2 of the Screenshot portal.
    QDBusMessage get = QDBusMessage::createMethodCall(Portal, PortalPath, QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get << Screenshot << QStringLiteral("version");
    const QDBusMessage reply = bus.call(get, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return false;
    return reply.arguments().constFirst().value<QDBusVariant>().variant().toUInt() >= 2;
}

void PortalColourPicker::start()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    // The portal answers on a request object whose path it derives from our
    // bus name and this token; listen there before asking.
    const QString token = QStringLiteral("huvolo") + QUuid::createUuid().toString(QUuid::Id128);
    QString sender = bus.baseService().mid(1).replace(QLatin1Char('.'), QLatin1Char('_'));
    const QString request = QStringLiteral("/org/freedesktop/portal/desktop/request/") + sender + QLatin1Char('/') + token;
    bus.connect(Portal, request, QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Response"), this,
                SLOT(response(uint, QVariantMap)));
    QDBusMessage pick = QDBusMessage::createMethodCall(Portal, PortalPath, Screenshot, QStringLiteral("PickColor"));
    pick << QString() << QVariantMap{{QStringLiteral("handle_token"), token}};
    const QDBusMessage reply = bus.call(pick, QDBus::Block, 5000);
    if (reply.type() != QDBusMessage::ReplyMessage)
        emit cancelled();
}

void PortalColourPicker::response(uint code, const QVariantMap &results)
{
    if (code != 0 || !results.contains(QStringLiteral("color"))) {
        emit cancelled();
        return;
    }
    double red = 0, green = 0, blue = 0;
    const QDBusArgument colour = results.value(QStringLiteral("color")).value<QDBusArgument>();
    colour.beginStructure();
    colour >> red >> green >> blue;
    colour.endStructure();
    emit picked(QColor::fromRgbF(float(red), float(green), float(blue)).rgb());
}

} // namespace huvolo
