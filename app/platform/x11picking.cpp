#include "x11picking.h"

#include "clipboardkeeper.h"
#include "x11screen.h"

namespace huvolo {

MagnifierPick::MagnifierPick(ScreenPicker::Screen screen, QObject *parent)
    : ScreenPick(parent),
      m_screen(std::move(screen))
{
}

MagnifierPick::~MagnifierPick()
{
    // A picker still showing would hold the pointer and the keyboard.
    if (m_picker)
        m_picker->close();
}

void MagnifierPick::start()
{
    m_picker = new ScreenPicker(m_screen);
    connect(m_picker, &ScreenPicker::hovered, this, &ScreenPick::hovered);
    connect(m_picker, &ScreenPicker::picked, this, &ScreenPick::picked);
    connect(m_picker, &ScreenPicker::cancelled, this, &ScreenPick::cancelled);
    connect(m_picker, &ScreenPicker::failed, this, &ScreenPick::failed);
    connect(m_picker, &QObject::destroyed, this, [this] { m_picker = nullptr; });
    m_picker->start();
}

bool X11ScreenPicking::available() const
{
    return bool(x11Screen().grab);
}

QString X11ScreenPicking::unavailableReason() const
{
    return available() ? QString() : QStringLiteral("The X11 screen cannot be read.");
}

ScreenPick *X11ScreenPicking::newPick(QObject *parent)
{
    ScreenPicker::Screen screen = x11Screen();
    return screen.grab ? new MagnifierPick(std::move(screen), parent) : nullptr;
}

void X11ClipboardKeeping::keepAfterExit(const QStringList &arguments)
{
    keepClipboardAfterExit(arguments);
}

} // namespace huvolo
