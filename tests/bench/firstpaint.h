#pragma once

// Start-up measurement shared by the benchmark programs. bench_exec reads the
// monotonic clock just before it execs a program and passes the reading in
// the environment variable below, in nanoseconds. A program linked with
// firstpaint.cpp then, at the first paint of a top-level window, prints
//   startup_ms=<time since that reading> peak_rss_kib=<peak resident memory>
// once that paint has been drawn, and quits. Without the variable it runs as
// it always does.
namespace huvolo::bench {

inline constexpr char ExecTimeVariable[] = "HUVOLO_BENCH_EXEC_NS";

} // namespace huvolo::bench
