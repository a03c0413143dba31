// Figures over repeated runs: each run gives one mean time per operation; a row reports their
// median and their spread.
#pragma once

#include <chrono>
#include <string>
#include <vector>

namespace pvbench {

struct Summary {
  double median = 0.0;
  double min = 0.0;
  double max = 0.0;
  int runs = 0;
};

// Median (mean of the middle two for an even count), smallest and largest; all zero when
// `samples` is empty.
Summary Summarize(std::vector<double> samples);

using Clock = std::chrono::steady_clock;

inline double MicrosSince(Clock::time_point start) {
  return std::chrono::duration<double, std::micro>(Clock::now() - start).count();
}

// Keeps the compiler from dropping writes to `p` whose results nothing reads.
inline void Touch(const void *p) { asm volatile("" : : "r"(p) : "memory"); }

}  // namespace pvbench
