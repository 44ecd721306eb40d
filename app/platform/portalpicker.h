#pragma once

#include "platform.h"

#include <QDBusConnection>
#include <QVariantMap>

#include <functional>

class QDBusPendingCallWatcher;
class QDBusServiceWatcher;

namespace huvolo {

// One pick through the desktop portal (the Screenshot portal's PickColor),
// where a program cannot read the screen itself: the portal shows its own
// chooser and answers with the colour. A portal that is installed but not
// running is started by the call. Giving up in the portal's chooser, or the
// portal leaving the bus before it answers, cancels the pick; an error
// answer fails it with the portal's reason.
class PortalColourPicker : public ScreenPick
{
    Q_OBJECT

public:
    // How long the portal may take to start and answer a call.
    static constexpr int CallTimeout = 25000;

    explicit PortalColourPicker(const QDBusConnection &bus, QObject *parent = nullptr);

    void start() override;

private slots:
    void response(uint code, const QVariantMap &results);

private:
    void askForColour();
    void listenAt(const QString &requestPath);
    void end(const std::function<void()> &signal);

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_portalWatcher = nullptr;
    QString m_requestPath;
    bool m_ended = false;
};

// Picking through the desktop portal: available while a portal runs or can
// be started on the session bus and, once it answers, offers PickColor
// (Screenshot version 2). The portal's coming and going on the bus is
// followed all along, so the answer is current without asking first.
class PortalScreenPicking : public ScreenPicking
{
    Q_OBJECT

public:
    explicit PortalScreenPicking(const QDBusConnection &bus, QObject *parent = nullptr);

    bool available() const override;
    QString unavailableReason() const override;
    void refresh() override;
    ScreenPick *newPick(QObject *parent) override;

protected:
    // The sentence said when no portal can pick, e.g. naming the session.
    virtual QString noPortalReason() const;

private:
    enum class State {
        Unknown,     // not yet asked
        Running,     // runs and offers PickColor
        Activatable, // would be started by a call
        Absent,      // neither runs nor can be started
        TooOld,      // runs without PickColor
        NoBus,       // no session bus
    };
    void setState(State state);
    void askVersion();

    QDBusConnection m_bus;
    QDBusServiceWatcher *m_watcher = nullptr;
    State m_state = State::Unknown;
    uint m_version = 0;
    quint64 m_asking = 0; // the newest refresh; older answers are dropped
};

} // namespace huvolo
