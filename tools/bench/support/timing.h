// Timing for the benchmarks: a millisecond clock, medians, and a case timed
// in alternating rounds with its baseline.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace bench {

inline double NowMs() {
  static const double ticksPerMs = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart) / 1000.0;
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / ticksPerMs;
}

inline double Median(std::vector<double> v) {
  if (v.empty()) return 0;
  std::sort(v.begin(), v.end());
  const size_t n = v.size();
  return n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2;
}

// Times a case and its baseline in alternating rounds (after one warm-up
// of each), so that a busy spell of the machine falls on both.
template <class A, class B>
void TimePair(int rounds, A ours, B baseline, double* oursMs, double* baseMs) {
  ours();
  baseline();
  std::vector<double> a, b;
  for (int r = 0; r < rounds; ++r) {
    double t = NowMs();
    ours();
    a.push_back(NowMs() - t);
    t = NowMs();
    baseline();
    b.push_back(NowMs() - t);
  }
  *oursMs = Median(a);
  *baseMs = Median(b);
}

}  // namespace bench
