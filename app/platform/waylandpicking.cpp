#include "waylandpicking.h"

#include "clipboardkeeper.h"

namespace huvolo {

QString WaylandScreenPicking::noPortalReason() const
{
    return QStringLiteral("On Wayland, picking from the screen needs a desktop portal that can pick colours "
                          "(xdg-desktop-portal with a backend such as xdg-desktop-portal-gnome, -kde or -wlr); "
                          "none is running.");
}

void WaylandClipboardKeeping::keepAfterExit(const QStringList &arguments)
{
    if (m_onXwayland)
        keepClipboardAfterExit(arguments);
}

} // namespace huvolo
