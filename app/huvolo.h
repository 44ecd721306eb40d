#pragma once

namespace huvolo {

// The whole program: opens the display, shows the window and runs until it
// is closed. Returns the process's exit status.
int run(int &argc, char **argv);

} // namespace huvolo
