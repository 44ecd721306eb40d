#include "fontfaces.h"
#include "frmmain.h"

#include <QApplication>

#include <cstdio>

namespace {

// Qt aborts with several lines of diagnostics when it finds no display; say
// it once, plainly, and leave with an error instead.
bool displayAvailable()
{
    if (!qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        return true;
#if defined(Q_OS_UNIX) && !defined(Q_OS_MACOS)
    return !qEnvironmentVariableIsEmpty("DISPLAY") || !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
#else
    return true;
#endif
}

} // namespace

int main(int argc, char *argv[])
{
    if (!displayAvailable()) {
        std::fputs("huvolo: no display to open a window on (DISPLAY is not set)\n", stderr);
        return 2;
    }
    QApplication app(argc, argv);
    host::addFontFaces();
    FrmMain window;
    window.show();
    return app.exec();
}
