#pragma once

#include "portalpicker.h"

namespace huvolo {

// Picking in a Wayland session. The compositor lets no client read the
// screen, and an X11 client on Xwayland sees only the other X11 clients, so
// the desktop portal picks, whichever platform plugin runs the program.
class WaylandScreenPicking : public PortalScreenPicking
{
    Q_OBJECT

public:
    using PortalScreenPicking::PortalScreenPicking;

protected:
    QString noPortalReason() const override;
};

// The clipboard in a Wayland session: a native client's copy is the
// compositor's business; a client on Xwayland owns an X11 selection that
// Xwayland passes on, and that needs keeping as on X11.
class WaylandClipboardKeeping : public ClipboardKeeping
{
public:
    explicit WaylandClipboardKeeping(bool onXwayland) : m_onXwayland(onXwayland) {}

    void keepAfterExit(const QStringList &arguments) override;
    bool copiesWithoutWindow() const override { return m_onXwayland; }

private:
    bool m_onXwayland;
};

} // namespace huvolo
