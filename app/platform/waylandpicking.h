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
// Xwayland passes on, and that needs keeping as on X11. A native client
// without a window cannot set the clipboard at all (that needs a surface
// with the keyboard), so it hands the text to wl-copy, which can, and which
// serves it on its own after this program has ended.
class WaylandClipboardKeeping : public ClipboardKeeping
{
public:
    explicit WaylandClipboardKeeping(bool onXwayland) : m_onXwayland(onXwayland) {}

    void keepAfterExit(const QStringList &arguments) override;
    QString copyWithoutWindow(const QString &text) override;

private:
    bool m_onXwayland;
};

} // namespace huvolo
