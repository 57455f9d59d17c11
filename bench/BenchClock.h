// The clock every benchmark reads, and the repeat-until-measurable loop.
#pragma once
#include <windows.h>

namespace bench {

// Seconds on the performance counter.
inline double NowSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) / frequency;
}

inline double NowMilliseconds() { return NowSeconds() * 1000.0; }

// Runs `work` once to warm up, then repeats it until at least minSeconds have
// passed; seconds per run.
template <typename Work>
double SecondsPerRun(Work work, double minSeconds = 0.25) {
  work();
  int runs = 0;
  const double start = NowSeconds();
  double elapsed = 0;
  do {
    work();
    runs++;
    elapsed = NowSeconds() - start;
  } while (elapsed < minSeconds);
  return elapsed / runs;
}

}  // namespace bench
