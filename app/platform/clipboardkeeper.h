#pragma once

#include <QString>
#include <QStringList>

namespace huvolo {

// On X11 the clipboard's text lives in the program that put it there, so it
// would vanish with the window. When the window closes while this program
// still owns the clipboard's text:
//   - with a clipboard manager running, Qt hands the text over to it as the
//     application ends (the SAVE_TARGETS request), and nothing stays behind;
//   - without one, a windowless keeper takes the clipboard over and serves
//     it until another program owns it. The keeper is a small program of its
//     own without Qt (keepermain.cpp), compiled into this one and run from
//     memory; `huvolo --keep-clipboard` runs it too, the text on its
//     standard input.
// Wayland compositors keep the clipboard themselves, so nothing is done there.

// The hidden command-line option that runs the keeper.
inline constexpr char KeepClipboardOption[] = "keep-clipboard";

// Called after the window's event loop has ended, while the application
// object still exists. `arguments` is the program's command line, for the
// display it was told to use. Returns once the keeper owns the clipboard,
// or after at most a second; at once when there is nothing to keep.
void keepClipboardAfterExit(const QStringList &arguments);

// Replaces this process with the keeper, which takes the text from
// standard input, owns the clipboard with it, and ends once another program
// owns the clipboard or a newer keeper asks it to leave. Call it before any
// Qt object exists. Returns only when the keeper cannot be started, with the
// exit status.
int runClipboardKeeper(int &argc, char **argv);

// The X display a command line and DISPLAY name, without the screen number:
// the clipboard belongs to the whole display.
QString clipboardDisplay(const QStringList &arguments, const QString &displayVariable);

// The keeper's local server name for one user and display: each keeper
// listens on it, and a newer keeper tells the older one to leave through it.
// The display enters as a digest of its whole name (keepername.h).
QString keeperServerName(const QString &display, unsigned userId);

} // namespace huvolo
