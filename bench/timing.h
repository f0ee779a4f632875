// The clock, the median and the quartiles of the Windows benchmarks.
#pragma once

#include <windows.h>

#include <algorithm>
#include <utility>
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

// The p-quantile (0 to 1) of the values, linearly interpolated between the two nearest
// ranks; 0 for no values.
inline double Quantile(std::vector<double> values, double p) {
  if (values.empty()) return 0;
  std::sort(values.begin(), values.end());
  const double rank = p * static_cast<double>(values.size() - 1);
  const auto below = static_cast<std::size_t>(rank);
  const std::size_t above = std::min(below + 1, values.size() - 1);
  const double fraction = rank - static_cast<double>(below);
  return values[below] + (values[above] - values[below]) * fraction;
}

inline double Median(std::vector<double> values) {
  return Quantile(std::move(values), 0.5);
}

}  // namespace sb::bench
