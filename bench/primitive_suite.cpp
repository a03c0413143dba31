#include <plotvane/plotvane.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "present.h"
#include "suites.h"

namespace pvbench {
namespace {

using namespace plotvane;

constexpr int16_t kCentreX = 400, kCentreY = 300;

// The end of a line of `length` from the centre through the middle of `octant` (0 is east,
// counting clockwise on the screen as y grows downwards).
void OctantEnd(int octant, int length, int16_t &x, int16_t &y) {
  const double a = (22.5 + 45.0 * octant) * 3.141592653589793 / 180.0;
  x = static_cast<int16_t>(kCentreX + std::lround(length * std::cos(a)));
  y = static_cast<int16_t>(kCentreY + std::lround(length * std::sin(a)));
}

void References(Report &report, const Options &o) {
  const size_t pixels = static_cast<size_t>(ScreenMaxX() + 1) * (ScreenMaxY() + 1);
  std::vector<uint8_t> page(pixels);
  std::vector<uint32_t> source(pixels, 0x00336699u), window(pixels);
  TimeRow(report, o, "ref/memset-page", 10, [&](int i) {
    std::memset(page.data(), i & 0xFF, page.size());
    Touch(page.data());
  });
  TimeRow(report, o, "ref/memcpy-window", 1, [&](int) {
    std::memcpy(window.data(), source.data(), window.size() * sizeof(uint32_t));
    Touch(window.data());
  });
}

void Lines(Report &report, const Options &o) {
  SetPenStyle(0, 0, 1);
  for (int length : {8, 64, 256}) {
    for (int octant = 0; octant < 8; ++octant) {
      int16_t x, y;
      OctantEnd(octant, length, x, y);
      const std::string name = "line/oct" + std::to_string(octant) + "/len" + std::to_string(length);
      TimeRow(report, o, name, 4000 / length + 50, [x, y](int) { DrawLine(kCentreX, kCentreY, x, y); });
    }
  }
  int16_t x, y;
  OctantEnd(0, 256, x, y);
  static const struct {
    const char *name;
    int16_t style;
    uint16_t pattern, thickness;
  } pens[] = {
      {"line-styled/dotted", 1, 0, 1},   {"line-styled/dashdot", 2, 0, 1},     {"line-styled/dashed", 3, 0, 1},
      {"line-styled/dashdotdot", 4, 0, 1}, {"line-styled/user", 5, 0xF0F0, 1}, {"line-wide/3", 0, 0, 3},
      {"line-wide/9", 0, 0, 9},
  };
  for (const auto &pen : pens) {
    SetPenStyle(pen.style, pen.pattern, pen.thickness);
    TimeRow(report, o, pen.name, 60, [x, y](int) { DrawLine(kCentreX, kCentreY, x, y); });
  }
  SetPenStyle(0, 0, 1);
}

void Shapes(Report &report, const Options &o) {
  const uint32_t white = NamedColor(ncWhite), yellow = NamedColor(ncYellow);
  // Pixels spread over the page, so they are not all in one cache line.
  TimeRow(report, o, "pixel/PlotPixel", 2000, [white](int i) {
    PlotPixel(static_cast<int16_t>((i * 37) % 800), static_cast<int16_t>((i * 13) % 600), white);
  });

  SetFillKind(1, yellow);
  TimeRow(report, o, "ellipse/200x100", 20, [](int) { DrawEllipse(kCentreX, kCentreY, 200, 100); });
  TimeRow(report, o, "arc/circle-r100", 30, [](int) { DrawCircle(kCentreX, kCentreY, 100); });
  SetPenStyle(0, 0, 5);
  TimeRow(report, o, "arc-wide/circle-r100-5", 10, [](int) { DrawCircle(kCentreX, kCentreY, 100); });
  SetPenStyle(0, 0, 3);
  TimeRow(report, o, "arc-wide/quarter-100x60-3", 20, [](int) { DrawArc(kCentreX, kCentreY, 20, 110, 100, 60); });
  SetPenStyle(0, 0, 1);
  // Three of the corners lie tens of thousands of pixels off the page.
  static const PolygonPoint far[] = {{-30000, -20000}, {30000, 150}, {420, 25000}, {-200, 400}};
  TimeRow(report, o, "polygon/far-corners", 10, [](int) { FillPolygonShape(4, far); });

  static const char *const styles[] = {"background", "solid",  "horizontal", "vertical", "cross",
                                       "bdiagonal",  "fdiagonal", "diagcross", "user",     "hollow"};
  const uint8_t pattern[8] = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, 0x81};
  SetFillPattern(pattern, yellow);
  for (int16_t style = 0; style <= 9; ++style) {
    SetFillKind(style, yellow);
    TimeRow(report, o, std::string("fill/") + styles[style] + "-256x256", 5,
            [](int) { FillBox(100, 100, 355, 355); });
  }
  SetFillKind(1, white);
}

}  // namespace

void RunPrimitives(Report &report, const Options &options) {
  // Drawn on a hidden page, as every frame is.
  SetDrawPage(0);
  SetShowPage(1);
  WaitForPaint();
  SetDrawColor(NamedColor(ncWhite));

  report.Section("clearing and references");
  TimeRow(report, options, "clear/page", 5, [](int) { ClearScreen(); });
  References(report, options);
  report.Section("lines");
  Lines(report, options);
  report.Section("pixels and shapes");
  Shapes(report, options);
  RunPresent(report, options);
}

}  // namespace pvbench
