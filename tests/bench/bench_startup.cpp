// Huvolo's start-up to first paint, timed from exec, and its peak memory:
// run it through bench_exec, which prints nothing of its own. firstpaint.cpp
// reports at the window's first paint and quits; scripts/bench runs it
// alternately with bench_floor.
#include "fontfaces.h"
#include "frmmain.h"

#include <QApplication>

// Mirrors app/main.cpp from the application object to the window showing;
// keep the two in step. (main's display check, two environment lookups, is
// left out: bench_exec only ever runs this where a display is set.)
int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    host::addFontFaces();
    FrmMain window;
    window.show();
    return app.exec();
}
