// Lines, polylines, pen styles and widths, and the sixteen mixes on lines and pixels.
#include <algorithm>
#include <cstdlib>
#include <string>

#include "scene.h"

namespace reference {
namespace {

// Every direction up to 11 pixels each way, one line per cell, drawn out of the cell's centre
// or into it: all octants, every slope with ties, the axes and the zero-length line.
void Directions(Canvas &c, bool inwards) {
  const int cell = 24;
  int i = 0;
  for (int dy = -11; dy <= 11; ++dy)
    for (int dx = -11; dx <= 11; ++dx, ++i) {
      const int cx = (dx + 11) * cell + 12, cy = (dy + 11) * cell + 12;
      Use pen(c.dc, Pen(PS_SOLID, 1, CubeColor(i)));
      if (inwards)
        Line(c.dc, cx + dx, cy + dy, cx, cy);
      else
        Line(c.dc, cx, cy, cx + dx, cy + dy);
    }
}

// Longer lines at every angle in steps of a few degrees, both ways: the octant boundaries
// and long runs of equal steps.
void Spokes(Canvas &c, int length) {
  static const int kSteps = 72;
  const int cell = 2 * length + 6;
  for (int i = 0; i < kSteps; ++i) {
    const int cx = (i % 12) * cell + cell / 2, cy = (i / 12) * cell + cell / 2;
    // Integer directions around a square, so the result does not hang on the sine.
    int dx, dy;
    const int side = i / 18, t = i % 18;
    const int step = (2 * length) * t / 18;
    switch (side) {
      case 0: dx = length; dy = -length + step; break;
      case 1: dx = length - step; dy = length; break;
      case 2: dx = -length; dy = length - step; break;
      default: dx = -length + step; dy = -length; break;
    }
    Use pen(c.dc, Pen(PS_SOLID, 0, CubeColor(i)));
    Line(c.dc, cx - dx / 2, cy - dy / 2, cx + (dx + 1) / 2, cy + (dy + 1) / 2);
  }
}

void RandomLines(Canvas &c, uint32_t seed, int count, int lo, int hiX, int hiY) {
  Lcg r(seed);
  for (int i = 0; i < count; ++i) {
    Use pen(c.dc, Pen(PS_SOLID, 1, CubeColor(i)));
    Line(c.dc, r.Next(lo, hiX), r.Next(lo, hiY), r.Next(lo, hiX), r.Next(lo, hiY));
  }
}

// Lines through the page whose ends are far away: clipping must keep the exact pixels.
void FarLines(Canvas &c) {
  Lcg r(77);
  const int w = c.page.Width(), h = c.page.Height();
  for (int i = 0; i < 40; ++i) {
    const int px = r.Next(0, w - 1), py = r.Next(0, h - 1);
    const int qx = r.Next(0, w - 1), qy = r.Next(0, h - 1);
    if (px == qx && py == qy) continue;
    // Stretch p -> q so that the longer axis reaches about 30000 either way.
    const int span = std::max(std::abs(qx - px), std::abs(qy - py));
    const int k = 29000 / span;
    Use pen(c.dc, Pen(PS_SOLID, 1, CubeColor(i)));
    Line(c.dc, px - (qx - px) * k, py - (qy - py) * k, px + (qx - px) * k, py + (qy - py) * k);
  }
  // Lines that stay outside, run along an edge just off the page, or end on its edge.
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 0)));
  Line(c.dc, -30000, -5, 30000, -5);
  Line(c.dc, -1, -30000, -1, 30000);
  Line(c.dc, w, 0, w, h);
  Line(c.dc, 0, h, w, h);
  Line(c.dc, -20000, h + 30000, w + 20000, -30000 + h);
  Line(c.dc, 0, 0, w, h);
  Line(c.dc, w - 1, 0, -1, h);
  Line(c.dc, -30000, 3, w - 1, 3);
  Line(c.dc, 5, 30000, 5, h - 1);
}

void ZeroLength(Canvas &c) {
  const int w = c.page.Width(), h = c.page.Height();
  const POINT points[] = {{5, 5}, {0, 0}, {w - 1, h - 1}, {-1, 3}, {w, 3}, {10, h}, {20, 20}};
  for (int width : {1, 0}) {
    Use pen(c.dc, Pen(PS_SOLID, width, RGB(255, 0, 0)));
    for (const POINT &p : points) Line(c.dc, p.x, p.y + width * 8, p.x, p.y + width * 8);
  }
  // A chain that stops and restarts at the same point.
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(0, 255, 0)));
  MoveToEx(c.dc, 30, 30, nullptr);
  LineTo(c.dc, 30, 30);
  LineTo(c.dc, 40, 35);
  LineTo(c.dc, 40, 35);
  LineTo(c.dc, 30, 40);
  POINT cp{};
  GetCurrentPositionEx(c.dc, &cp);
  c.Record("position.x", static_cast<uint32_t>(cp.x));
  c.Record("position.y", static_cast<uint32_t>(cp.y));
}

void Edges(Canvas &c) {
  const int w = c.page.Width(), h = c.page.Height();
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(0, 255, 255)));
  Line(c.dc, 0, 0, w, 0);            // along the top, through the far corner
  Line(c.dc, w - 1, 0, w - 1, h);    // down the right edge
  Line(c.dc, w - 1, h - 1, -1, h - 1);
  Line(c.dc, 0, h - 1, 0, 0);        // ends on the start of the first
  Line(c.dc, 3, 3, w + 3, 3);
  Line(c.dc, 5, h + 10, 5, 5);
  Line(c.dc, -5, 10, 10, -5);        // cuts the corner
  Line(c.dc, w + 4, h - 10, w - 10, h + 4);
}

void Polylines(Canvas &c) {
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 0, 255)));
  MoveToEx(c.dc, 1, 1, nullptr);
  const POINT zigzag[] = {{5, 5}, {25, 40}, {45, 5}, {65, 40}, {85, 5}, {105, 40}};
  Polyline(c.dc, zigzag, 6);
  const POINT closed[] = {{10, 50}, {50, 55}, {40, 90}, {5, 80}, {10, 50}};
  Polyline(c.dc, closed, 5);
  const POINT repeated[] = {{60, 50}, {60, 50}, {90, 60}, {90, 60}, {70, 90}};
  Polyline(c.dc, repeated, 5);
  const POINT single[] = {{100, 70}};
  c.Record("single point", static_cast<uint32_t>(Polyline(c.dc, single, 1)));
  const POINT pair[] = {{100, 80}, {115, 95}};
  Polyline(c.dc, pair, 2);
  const POINT off[] = {{-40, 100}, {60, 60}, {200, 120}, {118, 2}};
  Polyline(c.dc, off, 4);
  // Polyline leaves the current position where it was.
  POINT cp{};
  GetCurrentPositionEx(c.dc, &cp);
  c.Record("position.x", static_cast<uint32_t>(cp.x));
  c.Record("position.y", static_cast<uint32_t>(cp.y));
}

void Chain(Canvas &c) {
  Lcg r(5);
  MoveToEx(c.dc, 60, 45, nullptr);
  for (int i = 0; i < 40; ++i) {
    Use pen(c.dc, Pen(PS_SOLID, 1, CubeColor(i)));
    LineTo(c.dc, r.Next(-10, 130), r.Next(-10, 100));
  }
}

// Every kind of line a styled pen can draw: both axes and diagonals both ways, shallow and
// steep slopes, short segments in a chain (the pattern restarts at each) and a polyline.
void StyledLines(Canvas &c, int style, int width, int mode) {
  FillSolid(c.page, 7);
  SetBkMode(c.dc, mode);
  SetBkColor(c.dc, RGB(0, 0, 128));
  Use pen(c.dc, Pen(style, width, RGB(255, 0, 0)));
  Line(c.dc, 2, 2, 150, 2);
  Line(c.dc, 150, 5, 2, 5);
  Line(c.dc, 2, 8, 2, 110);
  Line(c.dc, 5, 110, 5, 8);
  Line(c.dc, 10, 10, 90, 90);
  Line(c.dc, 90, 12, 12, 90);
  Line(c.dc, 20, 100, 150, 60);
  Line(c.dc, 100, 110, 120, 10);
  MoveToEx(c.dc, 30, 14, nullptr);
  int x = 30;
  for (int len : {1, 2, 3, 5, 7, 11, 13, 17, 19, 23}) LineTo(c.dc, x += len, 14 + (len & 1));
  const POINT poly[] = {{30, 30}, {60, 33}, {63, 50}, {140, 52}, {140, 100}, {90, 100}};
  Polyline(c.dc, poly, 6);
}

void WideLines(Canvas &c, int width) {
  FillSolid(c.page, 7);
  int i = 0;
  // Sixteen directions out of one point, two lengths.
  const POINT dirs[] = {{20, 0}, {20, 7}, {20, 20}, {7, 20}, {0, 20}, {-7, 20}, {-20, 20}, {-20, 7},
                        {-20, 0}, {-20, -7}, {-20, -20}, {-7, -20}, {0, -20}, {7, -20}, {20, -20}, {20, -7}};
  for (const POINT &d : dirs) {
    Use pen(c.dc, Pen(PS_SOLID, width, CubeColor(i++)));
    Line(c.dc, 40, 40, 40 + d.x, 40 + d.y);
    Line(c.dc, 120, 40, 120 + d.x / 4, 40 + d.y / 4);
  }
  Use pen(c.dc, Pen(PS_SOLID, width, RGB(0, 0, 255)));
  Line(c.dc, 170, 20, 170, 20);  // a dot
  Line(c.dc, 190, 20, 191, 20);
  Line(c.dc, 170, 40, 171, 41);
  MoveToEx(c.dc, 10, 90, nullptr);
  LineTo(c.dc, 50, 70);  // joins
  LineTo(c.dc, 80, 110);
  LineTo(c.dc, 90, 75);
  const POINT poly[] = {{110, 75}, {150, 75}, {150, 110}, {200, 80}};
  Polyline(c.dc, poly, 4);
  Line(c.dc, -20, 115, 300, 100);  // leaving the page both sides
  Line(c.dc, 205, -5, 205, 200);
}

// Sixteen bands, one per mix, each drawn over a background holding every index (or a colour
// gradient): thin lines in two colours, single pixels, a styled opaque line and a wide line.
void Mixes(Canvas &c, COLORREF a, COLORREF b, COLORREF back) {
  FillIndexRamp(c.page);
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, back);
  const int w = c.page.Width();
  for (int mix = 1; mix <= 16; ++mix) {
    const int y = (mix - 1) * 9;
    SetROP2(c.dc, mix);
    {
      Use pen(c.dc, Pen(PS_SOLID, 1, a));
      Line(c.dc, 0, y, w, y);
    }
    {
      Use pen(c.dc, Pen(PS_SOLID, 0, b));
      Line(c.dc, w - 1, y + 1, -1, y + 1);
    }
    for (int x = 0; x < w; ++x) SetPixelV(c.dc, x, y + 2, x % 3 ? a : b);
    {
      Use pen(c.dc, Pen(PS_DASHDOT, 1, a));
      Line(c.dc, 0, y + 3, w, y + 3);
    }
    {
      Use pen(c.dc, Pen(PS_SOLID, 3, b));
      Line(c.dc, 2, y + 5, w - 3, y + 5);
    }
  }
}

}  // namespace

void AddLineScenes(std::vector<Scene> &scenes) {
  scenes.push_back({"lines/directions-out", Format(23 * 24, 23 * 24), [](Canvas &c) { Directions(c, false); }});
  scenes.push_back({"lines/directions-in", Format(23 * 24, 23 * 24), [](Canvas &c) { Directions(c, true); }});
  scenes.push_back({"lines/spokes-40", Format(12 * 86, 6 * 86), [](Canvas &c) { Spokes(c, 40); }});
  scenes.push_back({"lines/spokes-9", Format(12 * 24, 6 * 24), [](Canvas &c) { Spokes(c, 9); }});
  scenes.push_back({"lines/random-inside", Format(160, 120), [](Canvas &c) { RandomLines(c, 1, 80, 0, 159, 119); }});
  scenes.push_back({"lines/random-crossing", Format(160, 120), [](Canvas &c) { RandomLines(c, 2, 80, -150, 310, 270); }});
  scenes.push_back({"lines/random-32bit", Format(160, 120, 32), [](Canvas &c) { RandomLines(c, 3, 60, -20, 180, 140); }});
  scenes.push_back({"lines/far-off", Format(120, 90), FarLines});
  scenes.push_back({"lines/zero-length", Format(64, 48), ZeroLength});
  scenes.push_back({"lines/edges", Format(64, 48), Edges});
  scenes.push_back({"lines/polyline", Format(120, 100), Polylines});
  scenes.push_back({"lines/chain", Format(120, 90), Chain});

  for (int style : {PS_SOLID, PS_DASH, PS_DOT, PS_DASHDOT, PS_DASHDOTDOT, PS_NULL, PS_INSIDEFRAME})
    for (int mode : {TRANSPARENT, OPAQUE})
      for (int width : {0, 1}) {
        std::string name = std::string("pens/") + PenStyleName(style) + (mode == OPAQUE ? "-opaque" : "-transparent") +
                           "-w" + std::to_string(width);
        scenes.push_back({name, Format(160, 116), [=](Canvas &c) { StyledLines(c, style, width, mode); }});
      }
  scenes.push_back({"pens/dash-opaque-32bit", Format(160, 116, 32),
                    [](Canvas &c) { StyledLines(c, PS_DASHDOTDOT, 1, OPAQUE); }});
  for (int width : {2, 3, 4, 5, 6, 7, 8, 11})
    scenes.push_back({"pens/wide-w" + std::to_string(width), Format(210, 120),
                      [=](Canvas &c) { WideLines(c, width); }});
  scenes.push_back({"pens/wide-w5-32bit", Format(210, 120, 32), [](Canvas &c) { WideLines(c, 5); }});
  for (int style : {PS_DASH, PS_DOT, PS_DASHDOTDOT})
    for (int width : {2, 3})
      scenes.push_back({std::string("pens/wide-") + PenStyleName(style) + "-w" + std::to_string(width) + "-opaque",
                        Format(160, 116), [=](Canvas &c) { StyledLines(c, style, width, OPAQUE); }});

  scenes.push_back({"rop2/lines-8bit", Format(256, 16 * 9),
                    [](Canvas &c) { Mixes(c, RGB(102, 102, 102), RGB(204, 255, 255), RGB(0, 0, 128)); }});
  scenes.push_back({"rop2/lines-8bit-paletteindex", Format(256, 16 * 9),
                    [](Canvas &c) { Mixes(c, PALETTEINDEX(90), PALETTEINDEX(195), PALETTEINDEX(4)); }});
  scenes.push_back({"rop2/lines-4bit", Format(64, 16 * 9, 4),
                    [](Canvas &c) { Mixes(c, RGB(0, 128, 128), RGB(255, 255, 0), RGB(128, 0, 0)); }});
  scenes.push_back({"rop2/lines-1bit", Format(64, 16 * 9, 1),
                    [](Canvas &c) { Mixes(c, RGB(255, 255, 255), RGB(0, 0, 0), RGB(255, 255, 255)); }});
  scenes.push_back({"rop2/lines-32bit", Format(200, 16 * 9, 32),
                    [](Canvas &c) { Mixes(c, RGB(0x5A, 0xC3, 0x0F), RGB(0xF0, 0x33, 0x81), RGB(0x12, 0x34, 0x56)); }});
}

}  // namespace reference
