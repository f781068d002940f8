// Processor time of this process, a thread and the watched Linux processes.
#include "tools/bench/support/cpu.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

namespace bench {
namespace {

double FileTimeMs(const FILETIME& t) {
  return static_cast<double>(static_cast<ULONGLONG>(t.dwHighDateTime) << 32 | t.dwLowDateTime) /
         10000.0;
}

}  // namespace

double ProcessCpuMs() {
  FILETIME created, exited, kernel, user;
  if (!GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user)) return 0;
  return FileTimeMs(kernel) + FileTimeMs(user);
}

double ThreadCpuMs(HANDLE thread) {
  FILETIME created, exited, kernel, user;
  if (!thread || !GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  return FileTimeMs(kernel) + FileTimeMs(user);
}

std::vector<Watched> WatchedProcesses() {
  std::vector<Watched> list;
  const char* env = getenv("LW_BENCH_WATCH");
  if (!env) return list;
  char text[256];
  lstrcpynA(text, env, sizeof text);
  for (char* item = strtok(text, " "); item; item = strtok(nullptr, " ")) {
    char* eq = strchr(item, '=');
    if (!eq) continue;
    *eq = 0;
    list.push_back({item, std::string("Z:\\proc\\") + (eq + 1) + "\\stat"});
  }
  return list;
}

double LinuxCpuMs(const Watched& w) {
  FILE* f = fopen(w.statPath.c_str(), "rb");
  if (!f) return -1;
  char text[1024];
  size_t n = fread(text, 1, sizeof text - 1, f);
  fclose(f);
  text[n] = 0;
  const char* p = strrchr(text, ')');  // the name may hold spaces
  if (!p) return -1;
  // Fields after the name: state is the 3rd field; utime and stime the 14th and 15th.
  unsigned long long utime = 0, stime = 0;
  if (sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime, &stime) != 2)
    return -1;
  return static_cast<double>(utime + stime) * 10.0;
}

}  // namespace bench
