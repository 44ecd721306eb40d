// Huvolo's start-up to first paint, timed from exec, and its peak memory:
// run it through bench_exec, which prints nothing of its own. firstpaint.cpp
// reports at the window's first paint and quits; scripts/bench runs it
// alternately with bench_floor. The program is the real one: the same
// function the huvolo executable runs.
#include "huvolo.h"

int main(int argc, char *argv[])
{
    return huvolo::run(argc, argv);
}
