// Wide pens and arcs in depth: every width in every direction, joins, the sixteen mixes on wide
// lines, clipped wide outlines, arcs on boxes of every parity and arcs a degree or less long.
#include <cmath>
#include <string>

#include "scene.h"

namespace reference {
namespace {

// Sixteen directions with integer ends: the axes, the diagonals and the slopes between.
const POINT kDirections[16] = {{16, 0},  {16, 6},   {16, 16},  {6, 16},  {0, 16},  {-6, 16},  {-16, 16}, {-16, 6},
                               {-16, 0}, {-16, -6}, {-16, -16}, {-6, -16}, {0, -16}, {6, -16}, {16, -16}, {16, -7}};

// One row per width from 2 to 12, one cell per direction; each line runs out of its cell's
// centre, a shorter one back into it.
void WideDirections(Canvas &c) {
  const int cell = 48;
  for (int width = 2; width <= 12; ++width)
    for (int i = 0; i < 16; ++i) {
      const int cx = i * cell + cell / 2, cy = (width - 2) * cell + cell / 2;
      const POINT d = kDirections[i];
      Use pen(c.dc, Pen(PS_SOLID, width, CubeColor(width * 16 + i)));
      Line(c.dc, cx, cy, cx + d.x, cy + d.y);
      Line(c.dc, cx - d.x / 3, cy - d.y / 3 + 1, cx - 1, cy + 1);
    }
}

// Polylines whose joins turn by every angle from a hairpin to almost straight on, and closed
// outlines with sharp corners.
void WideJoins(Canvas &c, int width) {
  FillSolid(c.page, 7);
  Use pen(c.dc, Pen(PS_SOLID, width, RGB(255, 0, 0)));
  int i = 0;
  for (int turn : {170, 150, 120, 90, 60, 30, 12, 4}) {
    const double a = turn * 3.14159265358979 / 180;
    const int x = 20 + (i % 4) * 60, y = 20 + (i / 4) * 50;
    const POINT p[] = {{x, y + 20},
                       {x + 20, y + 20},
                       {x + 20 + static_cast<int>(std::lround(30 * std::cos(a))),
                        y + 20 - static_cast<int>(std::lround(30 * std::sin(a)))}};
    Polyline(c.dc, p, 3);
    ++i;
  }
  const POINT zigzag[] = {{10, 140}, {40, 112}, {45, 150}, {70, 110}, {72, 150}, {110, 125}, {160, 128}, {230, 120}};
  Polyline(c.dc, zigzag, 8);
  const POINT spike[] = {{150, 150}, {240, 145}, {160, 160}, {235, 170}};
  Polygon(c.dc, spike, 4);
}

// Sixteen bands, one per mix, over every index: a wide polyline that crosses itself and doubles
// back, a closed outline, and two wide lines crossing.
void WideMixes(Canvas &c, COLORREF a, COLORREF b) {
  FillIndexRamp(c.page);
  Use brush(c.dc, NullBrush());
  for (int mix = 1; mix <= 16; ++mix) {
    const int y = (mix - 1) * 14 + 2;
    SetROP2(c.dc, mix);
    {
      Use pen(c.dc, Pen(PS_SOLID, 3, a));
      const POINT p[] = {{2, y + 2}, {30, y + 10}, {30, y + 2}, {4, y + 10}, {50, y + 6}, {40, y + 6}};
      Polyline(c.dc, p, 6);
    }
    {
      Use pen(c.dc, Pen(PS_SOLID, 5, b));
      const POINT q[] = {{60, y + 3}, {80, y + 3}, {70, y + 9}};
      Polygon(c.dc, q, 3);
      Line(c.dc, 90, y + 2, 110, y + 10);
      Line(c.dc, 90, y + 10, 110, y + 2);
    }
  }
}

// Wide ellipses and arcs across a clip rectangle, with both corners of some inside.
void WideClipped(Canvas &c, int width) {
  HRGN region = CreateRectRgn(25, 18, 135, 92);
  SelectClipRgn(c.dc, region);
  DeleteObject(region);
  Use pen(c.dc, Pen(PS_SOLID, width, RGB(255, 255, 0)));
  Use brush(c.dc, NullBrush());
  Ellipse(c.dc, 5, 5, 60, 45);
  Ellipse(c.dc, 100, 60, 150, 108);
  Ellipse(c.dc, 40, 30, 110, 80);
  Ellipse(c.dc, 60, 10, 61, 11);  // a one-pixel box: the pen's dot
  Arc(c.dc, 2, 50, 70, 110, 80, 50, 2, 90);
  Arc(c.dc, 90, 2, 151, 51, 90, 2, 151, 30);
  Arc(c.dc, 70, 20, 100, 41, 70, 20, 70, 20);
}

// Arcs on boxes of every width and height parity, each from several start rays through
// the axes, the diagonals and odd angles, over a quarter, a half and three quarters.
void ArcParity(Canvas &c) {
  static const int kSizes[] = {14, 15, 20, 21};
  const int cell = 30;
  int i = 0;
  for (int w : kSizes)
    for (int h : kSizes)
      for (int start : {0, 45, 90, 135, 180, 225, 270, 315, 17, 200}) {
        const int col = i % 20, row = i / 20;
        const int x = col * cell + 2, y = row * cell + 2;
        const int span = 90 * (1 + i % 3);
        const double a = start * 3.14159265358979 / 180, b = (start + span) * 3.14159265358979 / 180;
        const int cx = x + w / 2, cy = y + h / 2;
        Use pen(c.dc, Pen(PS_SOLID, 1, CubeColor(i)));
        Arc(c.dc, x, y, x + w, y + h, cx + static_cast<int>(std::lround(100 * std::cos(a))),
            cy - static_cast<int>(std::lround(100 * std::sin(a))), cx + static_cast<int>(std::lround(100 * std::cos(b))),
            cy - static_cast<int>(std::lround(100 * std::sin(b))));
        ++i;
      }
}

// Arcs whose rays are a degree or less apart, at many start angles: counter-clockwise the short
// way from start to end or, with the points exchanged, the long way round.
void ShortArcs(Canvas &c, bool longWay) {
  const int cell = 34;
  int i = 0;
  for (int size : {21, 30})
    for (int start = 0; start < 360; start += 9) {
      for (double span : {1.0, 0.4}) {
        const int col = i % 16, row = i / 16;
        const int x = col * cell + 2, y = row * cell + 2;
        const double a = start * 3.14159265358979 / 180, b = (start + span) * 3.14159265358979 / 180;
        const int cx = x + size / 2, cy = y + size / 2;
        const POINT s{cx + static_cast<int>(std::lround(200 * std::cos(a))), cy - static_cast<int>(std::lround(200 * std::sin(a)))};
        const POINT e{cx + static_cast<int>(std::lround(200 * std::cos(b))), cy - static_cast<int>(std::lround(200 * std::sin(b)))};
        Use pen(c.dc, Pen(PS_SOLID, 1, CubeColor(i)));
        if (longWay)
          Arc(c.dc, x, y, x + size, y + size, e.x, e.y, s.x, s.y);
        else
          Arc(c.dc, x, y, x + size, y + size, s.x, s.y, e.x, e.y);
        ++i;
      }
    }
}

}  // namespace

void AddStrokeScenes(std::vector<Scene> &scenes) {
  scenes.push_back({"pens/wide-directions", Format(16 * 48, 11 * 48), WideDirections});
  scenes.push_back({"pens/wide-directions-32bit", Format(16 * 48, 11 * 48, 32), WideDirections});
  for (int width : {2, 3, 4, 7, 10})
    scenes.push_back({"pens/wide-joins-w" + std::to_string(width), Format(250, 180),
                      [=](Canvas &c) { WideJoins(c, width); }});
  scenes.push_back({"rop2/wide-lines-8bit", Format(120, 16 * 14 + 4),
                    [](Canvas &c) { WideMixes(c, RGB(102, 102, 102), RGB(204, 255, 255)); }});
  scenes.push_back({"rop2/wide-lines-4bit", Format(120, 16 * 14 + 4, 4),
                    [](Canvas &c) { WideMixes(c, RGB(0, 128, 128), RGB(255, 255, 0)); }});
  scenes.push_back({"rop2/wide-lines-1bit", Format(120, 16 * 14 + 4, 1),
                    [](Canvas &c) { WideMixes(c, RGB(255, 255, 255), RGB(0, 0, 0)); }});
  scenes.push_back({"rop2/wide-lines-32bit", Format(120, 16 * 14 + 4, 32),
                    [](Canvas &c) { WideMixes(c, RGB(0x5A, 0xC3, 0x0F), RGB(0xF0, 0x33, 0x81)); }});
  for (int width : {2, 3, 5, 8})
    scenes.push_back({"ellipse/wide-clipped-w" + std::to_string(width), Format(160, 116),
                      [=](Canvas &c) { WideClipped(c, width); }});
  scenes.push_back({"arc/parity", Format(20 * 30, 8 * 30), ArcParity});
  scenes.push_back({"arc/short", Format(16 * 34, 10 * 34), [](Canvas &c) { ShortArcs(c, false); }});
  scenes.push_back({"arc/short-long-way", Format(16 * 34, 10 * 34), [](Canvas &c) { ShortArcs(c, true); }});
}

}  // namespace reference
