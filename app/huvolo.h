#pragma once

#include "pickcommand.h"

#include <QStringList>

#include <optional>

namespace huvolo {

// Opens /dev/null onto each of the standard streams 0 to 2 that is closed,
// so that nothing the program opens later (its display connection, say)
// takes that number and receives what is meant for the stream. Call it
// first thing. Remembers which were closed: printing the help or the
// version to a closed standard output fails, as it should.
void openStandardStreams();

// What the command line asks for before any window opens. Prints the help,
// the version or what was wrong (one line, then the usage) and returns the
// exit status when the program should end there; nothing when it should go
// on. Qt's own options (-platform NAME, -style NAME, ...) are passed by.
// `keepClipboard`, when given, tells whether the hidden option that runs
// the clipboard keeper instead of the window was set.
// `pick`, when given, is set when --pick asks for one pick without the
// window.
std::optional<int> handleCommandLine(const QStringList &arguments, bool *keepClipboard = nullptr,
                                     std::optional<PickCommand> *pick = nullptr);

// The whole program: reads the command line, opens the display, shows the
// window and runs until it is closed. Returns the process's exit status.
int run(int &argc, char **argv);

} // namespace huvolo
