// Processor time for the benchmarks: this process's and a thread's (user +
// kernel), and that of the Linux processes that work on the process's
// behalf, named in LW_BENCH_WATCH ("wineserver=PID Xvfb=PID", set by
// tools/bench/run) and read through Wine's drive Z:.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bench {

double ProcessCpuMs();
double ThreadCpuMs(HANDLE thread);

struct Watched {
  std::string name;
  std::string statPath;
};

std::vector<Watched> WatchedProcesses();
// utime + stime of /proc/PID/stat in ms (clock ticks of 10 ms); -1 when it
// cannot be read.
double LinuxCpuMs(const Watched& w);

}  // namespace bench
