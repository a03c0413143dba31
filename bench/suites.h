// The benchmark's suites. Each expects the window open and leaves it open.
#pragma once

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "report.h"
#include "stats.h"

namespace pvbench {

struct Options {
  int runs = 7;       // repeated runs; a row gives their median and spread
  int frames = 100;   // frames per program run
  double scale = 1.0; // multiplies the calls per primitive run
  std::string only;   // when set, only rows whose name contains it (for profiling one thing)
  std::string window; // "WxH" when the window is not the programs' own 800 x 600

  bool Wanted(const std::string &name) const { return only.empty() || name.find(only) != std::string::npos; }
  // Rows of a bigger window carry its size: "shadow@1280x1024/draw".
  std::string RowName(const std::string &subject, const std::string &what) const {
    return (window.empty() ? subject : subject + "@" + window) + "/" + what;
  }
};

// Per program: frames per second of the free-running loop, microseconds per frame for drawing
// and for the present path. Each frame is timed on its own and a run's figure is its median
// frame.
void RunPrograms(Report &report, const Options &options);

// The library's primitives and the reference points (memset of a page, memcpy of the
// window-sized 32-bit buffer).
void RunPrimitives(Report &report, const Options &options);

// The page-to-window blit and the present path alone: for comparing hosts.
void RunPresent(Report &report, const Options &options);

// Batches per run of a primitive. A run's figure is the median batch, so the few batches that
// other processes on the machine interrupt do not move it.
inline constexpr int kBatchesPerRun = 9;

// One warm-up run, then `runs` runs of kBatchesPerRun batches of `calls` calls of op(i):
// microseconds per call.
template <typename Op>
Summary TimeCalls(int runs, int calls, Op &&op) {
  std::vector<double> perRun, batches;
  for (int r = -1; r < runs; ++r) {
    batches.clear();
    for (int b = 0; b < kBatchesPerRun; ++b) {
      const Clock::time_point start = Clock::now();
      for (int i = 0; i < calls; ++i) op(i);
      batches.push_back(MicrosSince(start) / calls);
    }
    if (r >= 0) perRun.push_back(Summarize(batches).median);
  }
  return Summarize(std::move(perRun));
}

// Times `base` calls (times the scale) per run of op(i) and reports them as row `name`.
template <typename Op>
void TimeRow(Report &report, const Options &options, const std::string &name, int base, Op &&op) {
  if (!options.Wanted(name)) return;
  const int calls = std::max(1, static_cast<int>(base * options.scale));
  report.Row(name, "us", TimeCalls(options.runs, calls, std::forward<Op>(op)));
}

}  // namespace pvbench
