#pragma once

#include "platform.h"
#include "screenpicker.h"

namespace huvolo {

// A pick with the magnifier over a screen the program reads itself: the
// crosshair and the magnifier follow the pointer, a left click takes the
// pixel, Esc or a right click give up.
class MagnifierPick : public ScreenPick
{
    Q_OBJECT

public:
    explicit MagnifierPick(ScreenPicker::Screen screen, QObject *parent = nullptr);
    ~MagnifierPick() override;

    void start() override;

private:
    ScreenPicker::Screen m_screen;
    ScreenPicker *m_picker = nullptr;
};

// Picking on X11, where the screen is the X server's root window.
class X11ScreenPicking : public ScreenPicking
{
    Q_OBJECT

public:
    using ScreenPicking::ScreenPicking;

    bool available() const override;
    QString unavailableReason() const override;
    ScreenPick *newPick(QObject *parent) override;
};

// On X11 the clipboard's text lives in the program that put it there; a
// keeper serves it after the program has ended.
class X11ClipboardKeeping : public ClipboardKeeping
{
public:
    void keepAfterExit(const QStringList &arguments) override;
};

} // namespace huvolo
