#pragma once

namespace huvolo {

// Makes SIGTERM, SIGINT and SIGHUP close the application's windows, as their
// close boxes do, instead of ending the process on the spot: the program then
// ends the way it ends when its window closes, and keeps the clipboard.
// A second such signal ends the process at once. Call it once the
// application object exists.
void closeWindowsOnTerminationSignals();

} // namespace huvolo
