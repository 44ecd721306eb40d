#include "platform.h"

#include "portalpicker.h"
#include "waylandpicking.h"
#include "x11picking.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QPointer>

#include <memory>

namespace huvolo {

Session Session::current()
{
    return Session{QGuiApplication::platformName(), qEnvironmentVariable("WAYLAND_DISPLAY"),
                   qEnvironmentVariable("XDG_SESSION_TYPE")};
}

bool Session::isWayland() const
{
    return !waylandDisplay.isEmpty() || sessionType.compare(QLatin1String("wayland"), Qt::CaseInsensitive) == 0
           || platformName.startsWith(QLatin1String("wayland"));
}

QString ClipboardKeeping::copyWithoutWindow(const QString &text)
{
    QGuiApplication::clipboard()->setText(text);
    return {};
}

Backend chooseBackend(const Session &session)
{
    if (session.isWayland())
        return Backend::Wayland;
    if (session.platformName == QLatin1String("xcb"))
        return Backend::X11;
    return Backend::Portal;
}

namespace {

// Nothing to keep: the clipboard is not ours to serve after the end.
class NoClipboardKeeping : public ClipboardKeeping
{
public:
    void keepAfterExit(const QStringList &) override {}
};

// Chosen once per application object, which owns the picking.
struct Chosen
{
    QPointer<ScreenPicking> picking;
    std::unique_ptr<ClipboardKeeping> clipboard;
};

Chosen &chosen()
{
    static Chosen platform;
    if (platform.picking)
        return platform;
    const Session session = Session::current();
    QObject *application = QCoreApplication::instance();
    switch (chooseBackend(session)) {
    case Backend::X11:
        platform.picking = new X11ScreenPicking(application);
        platform.clipboard = std::make_unique<X11ClipboardKeeping>();
        break;
    case Backend::Wayland:
        platform.picking = new WaylandScreenPicking(QDBusConnection::sessionBus(), application);
        platform.clipboard = std::make_unique<WaylandClipboardKeeping>(session.platformName == QLatin1String("xcb"));
        break;
    case Backend::Portal:
        platform.picking = new PortalScreenPicking(QDBusConnection::sessionBus(), application);
        platform.clipboard = std::make_unique<NoClipboardKeeping>();
        break;
    }
    return platform;
}

} // namespace

ScreenPicking &screenPicking()
{
    return *chosen().picking;
}

ClipboardKeeping &clipboardKeeping()
{
    return *chosen().clipboard;
}

} // namespace huvolo
