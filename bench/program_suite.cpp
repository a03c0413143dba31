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
    for (int r = -1; r < options.runs; ++r) {
      // Drawing alone: nothing is painted while the window is hidden.
      ShowGraphWindow(false);
      Clock::time_point start = Clock::now();
      for (int f = 0; f < options.frames; ++f) driver->Frame(f);
      const double drawUs = MicrosSince(start);
      ShowGraphWindow(true);

      // As the program runs: the window thread paints each flip while the next frame is drawn.
      start = Clock::now();
      for (int f = 0; f < options.frames; ++f) driver->Frame(f);
      const double loopUs = MicrosSince(start);
      WaitForPaint();

      // Each frame's flip painted, then one whole present of it timed.
      double presentUs = 0.0;
      for (int f = 0; f < options.frames; ++f) {
        driver->Frame(f);
        WaitForPaint();
        start = Clock::now();
        PresentShownPage();
        presentUs += MicrosSince(start);
      }
      if (r < 0) continue;  // warm-up
      draw.push_back(drawUs / options.frames);
      fps.push_back(options.frames * 1e6 / loopUs);
      present.push_back(presentUs / options.frames);
    }
    const std::string name = program.name;
    report.Row(name + "/fps", "fps", Summarize(fps));
    report.Row(name + "/draw", "us", Summarize(draw));
    report.Row(name + "/present", "us", Summarize(present));
  }
}

void RunPresent(Report &report, const Options &options) {
  report.Section("page to window");
  plotvane::SetDrawPage(0);
  plotvane::SetShowPage(1);
  WaitForPaint();
  TimeRow(report, options, "blit/page-to-window", 50, [](int) { BlitPageToWindow(); });
  TimeRow(report, options, "present/path", 50, [](int) { PresentShownPage(); });
}

}  // namespace pvbench
