#include <plotvane/plotvane.h>

#include <string>
#include <vector>

#include "present.h"
#include "programs.h"
#include "suites.h"

namespace pvbench {

void RunPrograms(Report &report, const Options &options) {
  report.Section("programs (per frame)");
  for (const ProgramEntry &program : Programs()) {
    if (!options.Wanted(program.name)) continue;
    std::unique_ptr<ProgramDriver> driver = program.make();
    std::vector<double> fps, draw, present;
    std::vector<double> frames(static_cast<size_t>(options.frames));
    // Times each frame with `step`; gives the run's median frame in microseconds.
    auto medianFrame = [&](auto &&step) {
      for (int f = 0; f < options.frames; ++f) frames[static_cast<size_t>(f)] = step(f);
      return Summarize(frames).median;
    };
    for (int r = -1; r < options.runs; ++r) {
      // Drawing alone: nothing is painted while the window is hidden.
      ShowGraphWindow(false);
      const double drawUs = medianFrame([&](int f) {
        const Clock::time_point start = Clock::now();
        driver->Frame(f);
        return MicrosSince(start);
      });
      ShowGraphWindow(true);

      // As the program runs: the window thread paints each flip while the next frame is drawn.
      Clock::time_point last = Clock::now();
      const double loopUs = medianFrame([&](int f) {
        driver->Frame(f);
        const Clock::time_point now = Clock::now();
        const double us = std::chrono::duration<double, std::micro>(now - last).count();
        last = now;
        return us;
      });
      WaitForPaint();

      // Each frame's flip painted, then one whole present of it timed.
      const double presentUs = medianFrame([&](int f) {
        driver->Frame(f);
        WaitForPaint();
        const Clock::time_point start = Clock::now();
        PresentShownPage();
        return MicrosSince(start);
      });
      if (r < 0) continue;  // warm-up
      draw.push_back(drawUs);
      fps.push_back(loopUs > 0.0 ? 1e6 / loopUs : 0.0);
      present.push_back(presentUs);
    }
    report.Row(options.RowName(program.name, "fps"), "fps", Summarize(fps));
    report.Row(options.RowName(program.name, "draw"), "us", Summarize(draw));
    report.Row(options.RowName(program.name, "present"), "us", Summarize(present));
  }
}

void RunPresent(Report &report, const Options &options) {
  report.Section("page to window");
  plotvane::SetDrawPage(0);
  plotvane::SetShowPage(1);
  WaitForPaint();
  TimeRow(report, options, options.RowName("blit", "page-to-window"), 2, [](int) { BlitPageToWindow(); });
  TimeRow(report, options, options.RowName("present", "path"), 2, [](int) { PresentShownPage(); });
}

}  // namespace pvbench
