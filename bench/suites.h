// The benchmark's suites. Each expects the window open and leaves it open.
#pragma once

#include <functional>

#include "report.h"
#include "stats.h"

namespace pvbench {

struct Options {
  int runs = 7;       // repeated runs; a row gives their median and spread
  int frames = 200;   // frames per program run
  double scale = 1.0; // multiplies the calls per primitive run
};

// Per program: frames per second of the free-running loop, microseconds per frame for drawing
// and for the present path.
void RunPrograms(Report &report, const Options &options);

// The library's primitives and the reference points (memset of a page, memcpy of the
// window-sized 32-bit buffer).
void RunPrimitives(Report &report, const Options &options);

// The page-to-window blit and the present path alone: for comparing hosts.
void RunPresent(Report &report, const Options &options);

// One warm-up run, then `runs` runs of `calls` calls of op(i): microseconds per call.
template <typename Op>
Summary TimeCalls(int runs, int calls, Op &&op) {
  std::vector<double> perCall;
  for (int r = -1; r < runs; ++r) {
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < calls; ++i) op(i);
    const double us = MicrosSince(start);
    if (r >= 0) perCall.push_back(us / calls);
  }
  return Summarize(std::move(perCall));
}

}  // namespace pvbench
