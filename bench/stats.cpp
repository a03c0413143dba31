#include "stats.h"

#include <algorithm>

namespace pvbench {

Summary Summarize(std::vector<double> samples) {
  Summary s;
  if (samples.empty()) return s;
  std::sort(samples.begin(), samples.end());
  const size_t n = samples.size();
  s.median = n % 2 ? samples[n / 2] : (samples[n / 2 - 1] + samples[n / 2]) / 2.0;
  s.min = samples.front();
  s.max = samples.back();
  s.runs = static_cast<int>(n);
  return s;
}

}  // namespace pvbench
