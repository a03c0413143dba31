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
    std::unique_ptr<ProgramDriver> driver = program.make();
    std::vector<double> fps, draw, present;
    for (int r = -1; r < options.runs; ++r) {
      // As the program runs: the window thread paints each flip while the next frame is drawn.
      Clock::time_point start = Clock::now();
      for (int f = 0; f < options.frames; ++f) driver->Frame(f);
      const double loopUs = MicrosSince(start);
      WaitForPaint();

      // In step: each frame drawn, its flip's paint let finish, then one whole present timed.
      double drawUs = 0.0, presentUs = 0.0;
      for (int f = 0; f < options.frames; ++f) {
        start = Clock::now();
        driver->Frame(f);
        drawUs += MicrosSince(start);
        WaitForPaint();
        start = Clock::now();
        PresentShownPage();
        presentUs += MicrosSince(start);
      }
      if (r < 0) continue;  // warm-up
      fps.push_back(options.frames * 1e6 / loopUs);
      draw.push_back(drawUs / options.frames);
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
  const int calls = std::max(1, static_cast<int>(50 * options.scale));
  report.Row("blit/page-to-window", "us", TimeCalls(options.runs, calls, [](int) { BlitPageToWindow(); }));
  report.Row("present/path", "us", TimeCalls(options.runs, calls, [](int) { PresentShownPage(); }));
}

}  // namespace pvbench
