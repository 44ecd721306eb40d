#pragma once

#include <QString>
#include <QStringList>

namespace huvolo {

// On X11 the clipboard's text lives in the program that put it there, so it
// would vanish with the window. When the window closes while this program
// still owns the clipboard's text:
//   - with a clipboard manager running, Qt hands the text over to it as the
//     application ends (the SAVE_TARGETS request), and nothing stays behind;
//   - without one, a windowless keeper (`huvolo --keep-clipboard`, the text on
//     its standard input) takes the clipboard over and serves it until
//     another program owns it.
// Wayland compositors keep the clipboard themselves, so nothing is done there.

// The hidden command-line option that runs the keeper.
inline constexpr char KeepClipboardOption[] = "keep-clipboard";

// Called after the window's event loop has ended, while the application
// object still exists. `arguments` is the program's command line, for the
// display it was told to use. Returns once the keeper owns the clipboard,
// or after at most a second; at once when there is nothing to keep.
void keepClipboardAfterExit(const QStringList &arguments);

// The keeper's whole life: takes the text from standard input, owns the
// clipboard with it, and returns the exit status once another program owns
// the clipboard or a newer keeper asks it to leave.
int runClipboardKeeper(int &argc, char **argv);

// The X display a command line and DISPLAY name, without the screen number:
// the clipboard belongs to the whole display.
QString clipboardDisplay(const QStringList &arguments, const QString &displayVariable);

// The keeper's local server name for one user and display: each keeper
// listens on it, and a newer keeper tells the older one to leave through it.
QString keeperServerName(const QString &display, unsigned userId);

} // namespace huvolo
