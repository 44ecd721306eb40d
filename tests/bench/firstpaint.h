#pragma once

// Start-up measurement shared by the benchmark programs. Just before it execs
// a program, bench_exec reads the monotonic clock and the process's CPU clock
// and passes both, in nanoseconds and separated by a space, in the
// environment variable below (the CPU clock runs on across exec). A program
// linked with firstpaint.cpp then, at the first paint of a top-level window,
// prints once that paint has been drawn
//   startup_ms=<wall time since exec> cpu_ms=<CPU time since exec> peak_rss_kib=<peak resident memory>
// and quits. Without the variable it runs as it always does.
namespace huvolo::bench {

inline constexpr char ExecClocksVariable[] = "HUVOLO_BENCH_EXEC_CLOCKS";

} // namespace huvolo::bench
