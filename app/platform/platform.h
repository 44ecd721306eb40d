#pragma once

#include <QObject>
#include <QRgb>
#include <QString>
#include <QStringList>

namespace huvolo {

// One pick of a colour from the screen. start() is called once; the pick
// then ends with exactly one of picked, cancelled or failed, after any
// number of hovered. Whoever made it deletes it after its end.
class ScreenPick : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    virtual void start() = 0;

signals:
    // The colour under the pointer while the user chooses, where the way of
    // picking shows it.
    void hovered(QRgb colour);
    void picked(QRgb colour);
    // The user gave up, or whatever picked for us went away.
    void cancelled();
    // Picking did not work; `why` says what went wrong, for the user.
    void failed(const QString &why);
};

// Picking colours from the screen, as this session allows it.
class ScreenPicking : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // Whether a pick can be started now.
    virtual bool available() const = 0;
    // Why not, in a sentence for the user; empty while available.
    virtual QString unavailableReason() const = 0;
    // Looks again at what may have come or gone (a menu calls this before it
    // shows); any change comes as availabilityChanged.
    virtual void refresh() {}
    // A new pick, owned by `parent`; nothing when picking is not available.
    virtual ScreenPick *newPick(QObject *parent) = 0;

signals:
    void availabilityChanged();
};

// Keeping the text the program put on the clipboard once it has ended.
class ClipboardKeeping
{
public:
    virtual ~ClipboardKeeping() = default;
    // Called after the event loop has ended; `arguments` is the command line.
    virtual void keepAfterExit(const QStringList &arguments) = 0;
    // Puts `text` on the clipboard from a program without a window, to stay
    // there once it has ended (keepAfterExit still follows). Returns why it
    // could not, or nothing.
    virtual QString copyWithoutWindow(const QString &text);
};

// What decides how this session picks colours and keeps the clipboard.
struct Session
{
    QString platformName;   // Qt's platform plugin, e.g. "xcb" or "wayland"
    QString waylandDisplay; // $WAYLAND_DISPLAY
    QString sessionType;    // $XDG_SESSION_TYPE

    static Session current();
    // In a Wayland session an X11 client runs on Xwayland and sees only the
    // other X11 clients: the X11 screen is not the screen there.
    bool isWayland() const;
};

enum class Backend {
    X11,     // the X server's screen, read directly
    Wayland, // a Wayland session, native or through Xwayland: the desktop portal
    Portal,  // anything else: the desktop portal, if one answers
};
Backend chooseBackend(const Session &session);

// This session's ways, chosen once at first use, after the application
// object exists.
ScreenPicking &screenPicking();
ClipboardKeeping &clipboardKeeping();

} // namespace huvolo
