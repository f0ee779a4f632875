// The clock and the median of the Windows benchmarks.
#pragma once

#include <windows.h>

#include <algorithm>
#include <vector>

namespace sb::bench {

// Seconds on the performance counter.
inline double Now() {
  static const double frequency = [] {
    LARGE_INTEGER f;
    ::QueryPerformanceFrequency(&f);
    return static_cast<double>(f.QuadPart);
  }();
  LARGE_INTEGER counter;
  ::QueryPerformanceCounter(&counter);
  return static_cast<double>(counter.QuadPart) / frequency;
}

inline double Median(std::vector<double> values) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const std::size_t n = values.size();
  return n % 2 == 1 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

}  // namespace sb::bench
