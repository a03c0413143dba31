// Rectangles with every brush, ellipses, arcs and polygons: sizes, pens, mixes and clipping.
#include <string>

#include "scene.h"

namespace reference {
namespace {

// An 8 x 8 pattern bitmap made as the library makes it: compatible with the page, drawn on a
// DC of its own.
HBITMAP PatternBitmap(HDC pageDc) {
  HBITMAP bitmap = CreateCompatibleBitmap(pageDc, 8, 8);
  HDC dc = CreateCompatibleDC(pageDc);
  HGDIOBJ old = SelectObject(dc, bitmap);
  const COLORREF ink = RGB(255, 255, 0), paper = RGB(0, 0, 128);
  const uint8_t rows[8] = {0x81, 0x42, 0x24, 0x18, 0xF0, 0x0F, 0xAA, 0x01};
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixelV(dc, x, y, (rows[y] >> (7 - x)) & 1 ? ink : paper);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

HBRUSH PatternBrush(HBITMAP bitmap) {
  LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap)};
  return CreateBrushIndirect(&lb);
}

// The brushes a fill style can give, by name.
struct BrushKind {
  std::string name;
  int style;  // BS_SOLID, BS_HATCHED with `hatch`, BS_PATTERN or BS_NULL
  int hatch;
};

std::vector<BrushKind> AllBrushes() {
  std::vector<BrushKind> v = {{"solid", BS_SOLID, 0}, {"null", BS_NULL, 0}, {"pattern", BS_PATTERN, 0}};
  for (int h = HS_HORIZONTAL; h <= HS_DIAGCROSS; ++h) v.push_back({HatchName(h), BS_HATCHED, h});
  return v;
}

// Makes the brush; a pattern brush also gives back its bitmap to delete afterwards.
HBRUSH MakeBrush(HDC dc, const BrushKind &k, COLORREF colour, HBITMAP &pattern) {
  pattern = nullptr;
  switch (k.style) {
    case BS_SOLID: return SolidBrush(colour);
    case BS_HATCHED: return HatchBrush(k.hatch, colour);
    case BS_PATTERN: pattern = PatternBitmap(dc); return PatternBrush(pattern);
    default: return NullBrush();
  }
}

// Rectangles at odd offsets and sizes, some reversed, empty or leaving the page, over a
// background of every index. FillRect ignores the mix; the XOR set here must not show.
void Rectangles(Canvas &c, const BrushKind &k, int mode) {
  FillIndexRamp(c.page);
  SetBkMode(c.dc, mode);
  SetBkColor(c.dc, RGB(255, 255, 255));
  SetROP2(c.dc, R2_XORPEN);
  HBITMAP pattern;
  HBRUSH brush = MakeBrush(c.dc, k, RGB(255, 0, 0), pattern);
  const RECT rects[] = {{3, 3, 40, 30},    {45, 5, 46, 40},  {50, 7, 83, 8},     {90, 10, 60, 35},
                        {5, 60, 5, 80},    {-20, 40, 12, 55}, {70, 50, 300, 300}, {20, 35, 41, 58},
                        {41, 37, 46, 42}, {-30000, -30000, 2, 2}};
  for (const RECT &r : rects) c.Record("FillRect", static_cast<uint32_t>(FillRect(c.dc, &r, brush)));
  DeleteObject(brush);
  if (pattern) DeleteObject(pattern);
}

void BrushOrigin(Canvas &c) {
  FillSolid(c.page, 7);
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, RGB(0, 0, 128));
  POINT previous{};
  SetBrushOrgEx(c.dc, 3, 5, &previous);
  c.Record("previous origin x", static_cast<uint32_t>(previous.x));
  c.Record("previous origin y", static_cast<uint32_t>(previous.y));
  Use brush(c.dc, HatchBrush(HS_DIAGCROSS, RGB(255, 0, 0)));
  RECT r{1, 1, 30, 30};
  HBRUSH later = HatchBrush(HS_CROSS, RGB(0, 255, 0));  // made after the change
  FillRect(c.dc, &r, later);
  DeleteObject(later);
  Ellipse(c.dc, 32, 2, 62, 30);
  const POINT tri[] = {{5, 35}, {60, 40}, {20, 62}};
  Polygon(c.dc, tri, 3);
}

// A grid of ellipse outlines, one per box size: every small width and height, odd and even.
// There is no filled grid: Wine fills the top or bottom row of some ellipses in a grid like
// this with a span left in memory by earlier drawing, different from run to run; interiors
// are compared in the circles, pens, mixes and brushes scenes, which it draws the same way
// every time.
void EllipseSizes(Canvas &c, HPEN pen) {
  static const int kSizes[] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 15, 16, 21, 30};
  const int cell = 34;
  Use usePen(c.dc, pen);
  Use useBrush(c.dc, NullBrush());
  for (int j = 0; j < 16; ++j)
    for (int i = 0; i < 16; ++i) {
      const int x = i * cell + 2, y = j * cell + 2;
      Ellipse(c.dc, x, y, x + kSizes[i], y + kSizes[j]);
    }
}

// Circles as the library asks for them: (x - r, y - r, x + r + 1, y + r + 1).
void Circles(Canvas &c) {
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 0)));
  Use brush(c.dc, SolidBrush(RGB(0, 0, 255)));
  int x = 2, y = 2, rowHeight = 0;
  for (int r = 0; r <= 30; ++r) {
    const int d = 2 * r + 1;
    if (x + d + 2 > c.page.Width()) {
      x = 2;
      y += rowHeight + 2;
      rowHeight = 0;
    }
    Ellipse(c.dc, x, y, x + d, y + d);
    x += d + 2;
    rowHeight = d > rowHeight ? d : rowHeight;
  }
}

// Shapes with a styled, wide or null pen, in both background modes.
void ShapePens(Canvas &c, int style, int width, int mode, bool ellipses) {
  FillSolid(c.page, 7);
  SetBkMode(c.dc, mode);
  SetBkColor(c.dc, RGB(0, 0, 128));
  Use pen(c.dc, Pen(style, width, RGB(255, 0, 0)));
  Use brush(c.dc, HatchBrush(HS_BDIAGONAL, RGB(0, 128, 0)));
  if (ellipses) {
    Ellipse(c.dc, 4, 4, 80, 50);
    Ellipse(c.dc, 90, 4, 110, 70);
    Ellipse(c.dc, 4, 56, 60, 66);
    Ellipse(c.dc, 70, 60, 150, 115);
    Ellipse(c.dc, 120, 6, 127, 13);
    Ellipse(c.dc, 130, 6, 155, 31);
  } else {
    const POINT a[] = {{4, 4}, {80, 10}, {60, 50}, {10, 40}};
    Polygon(c.dc, a, 4);
    const POINT star[] = {{120, 5}, {135, 50}, {95, 22}, {145, 22}, {105, 50}};
    Polygon(c.dc, star, 5);
    const POINT b[] = {{5, 60}, {70, 110}, {5, 110}, {70, 60}};
    Polygon(c.dc, b, 4);
    const POINT thin[] = {{80, 60}, {150, 62}, {80, 63}};
    Polygon(c.dc, thin, 3);
  }
}

// Overlapping shapes under one mix, over every index.
void ShapeMix(Canvas &c, int mix, bool ellipses) {
  FillIndexRamp(c.page);
  SetROP2(c.dc, mix);
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(102, 102, 102)));
  Use brush(c.dc, SolidBrush(RGB(204, 255, 255)));
  if (ellipses) {
    Ellipse(c.dc, 5, 5, 60, 45);
    Ellipse(c.dc, 30, 20, 90, 70);
    Arc(c.dc, 10, 30, 70, 80, 70, 30, 10, 80);
  } else {
    const POINT a[] = {{5, 5}, {85, 15}, {20, 70}};
    Polygon(c.dc, a, 3);
    const POINT b[] = {{40, 2}, {90, 60}, {2, 50}, {70, 5}, {30, 75}};
    Polygon(c.dc, b, 5);
  }
}

// Arcs between the axes, each pair of start and end axes, on a circle and an ellipse. The
// points sit far out on each axis, so only the rays' directions count.
void ArcQuadrants(Canvas &c) {
  const POINT axes[] = {{100, 0}, {0, -100}, {-100, 0}, {0, 100}};  // 0, 90, 180, 270 degrees
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 0)));
  for (int s = 0; s < 4; ++s)
    for (int e = 0; e < 4; ++e)
      for (int shape = 0; shape < 2; ++shape) {
        const int x = (e * 2 + shape) * 40 + 3, y = s * 40 + 3;
        const int w = shape ? 34 : 29, h = shape ? 20 : 29;
        const int cx = x + w / 2, cy = y + h / 2;
        Arc(c.dc, x, y, x + w, y + h, cx + axes[s].x, cy + axes[s].y, cx + axes[e].x, cy + axes[e].y);
      }
}

// Arcs whose rays run at odd angles, with start and end points inside and outside the box, on
// boxes of many sizes, both orders of corners.
void ArcAngles(Canvas &c) {
  Lcg r(41);
  int i = 0;
  for (int row = 0; row < 6; ++row)
    for (int col = 0; col < 8; ++col, ++i) {
      const int x = col * 40 + 3, y = row * 40 + 3;
      const int w = r.Next(1, 36), h = r.Next(1, 36);
      Use pen(c.dc, Pen(PS_SOLID, 1, CubeColor(i)));
      const int cx = x + w / 2, cy = y + h / 2;
      const int sx = cx + r.Next(-40, 40), sy = cy + r.Next(-40, 40);
      const int ex = cx + r.Next(-40, 40), ey = cy + r.Next(-40, 40);
      if (i % 5 == 4)
        Arc(c.dc, x + w, y + h, x, y, sx, sy, ex, ey);
      else
        Arc(c.dc, x, y, x + w, y + h, sx, sy, ex, ey);
    }
  // Start equal to end: the whole ellipse; rays through the centre.
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 255)));
  Arc(c.dc, 3, 245, 40, 275, 30, 245, 30, 245);
  Arc(c.dc, 45, 245, 80, 275, 62, 260, 62, 260);
  Arc(c.dc, 85, 245, 120, 275, 102, 260, 200, 260);
}

void ArcPens(Canvas &c, int style, int width, int mode) {
  FillSolid(c.page, 7);
  SetBkMode(c.dc, mode);
  SetBkColor(c.dc, RGB(0, 0, 128));
  Use pen(c.dc, Pen(style, width, RGB(255, 0, 0)));
  Arc(c.dc, 5, 5, 85, 65, 85, 5, 5, 5);
  Arc(c.dc, 90, 5, 150, 65, 90, 35, 150, 60);
  Arc(c.dc, 5, 70, 150, 110, 10, 110, 150, 70);
}

void RandomPolygons(Canvas &c, uint32_t seed, int lo, int hi) {
  Lcg r(seed);
  for (int i = 0; i < 12; ++i) {
    POINT p[8];
    const int n = r.Next(3, 8);
    for (int k = 0; k < n; ++k) p[k] = POINT{r.Next(lo, hi), r.Next(lo, hi)};
    Use pen(c.dc, Pen(PS_SOLID, 1, CubeColor(2 * i)));
    Use brush(c.dc, SolidBrush(CubeColor(2 * i + 1)));
    Polygon(c.dc, p, n);
  }
}

void PolygonShapes(Canvas &c, int fillMode) {
  SetPolyFillMode(c.dc, fillMode);
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 0)));
  Use brush(c.dc, SolidBrush(RGB(0, 0, 255)));
  const POINT star[] = {{40, 2}, {63, 72}, {3, 28}, {77, 28}, {17, 72}};
  Polygon(c.dc, star, 5);
  const POINT bowtie[] = {{85, 5}, {150, 50}, {150, 5}, {85, 50}};
  Polygon(c.dc, bowtie, 4);
  const POINT spiral[] = {{90, 60}, {150, 60}, {150, 110}, {100, 110}, {100, 70}, {140, 70}, {140, 100}, {110, 100},
                          {110, 80}, {130, 80}};
  Polygon(c.dc, spiral, 10);
  const POINT twice[] = {{5, 80}, {75, 80}, {75, 110}, {5, 110}, {5, 80}, {75, 80}, {75, 110}, {5, 110}};
  Polygon(c.dc, twice, 8);
}

void PolygonEdgeCases(Canvas &c) {
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 0)));
  Use brush(c.dc, SolidBrush(RGB(0, 0, 255)));
  const POINT two[] = {{5, 5}, {40, 20}};
  c.Record("two points", static_cast<uint32_t>(Polygon(c.dc, two, 2)));
  const POINT one[] = {{50, 5}};
  c.Record("one point", static_cast<uint32_t>(Polygon(c.dc, one, 1)));
  const POINT same[] = {{60, 10}, {60, 10}, {60, 10}};
  Polygon(c.dc, same, 3);
  const POINT collinear[] = {{5, 30}, {30, 40}, {55, 50}};
  Polygon(c.dc, collinear, 3);
  const POINT flat[] = {{70, 30}, {110, 30}, {90, 30}};
  Polygon(c.dc, flat, 3);
  const POINT tiny[] = {{5, 60}, {6, 60}, {6, 61}};
  Polygon(c.dc, tiny, 3);
  const POINT square[] = {{10, 70}, {20, 70}, {20, 80}, {10, 80}};
  Polygon(c.dc, square, 4);
  // Corners far outside the page, some of the shape on it.
  const POINT farCorners[] = {{-30000, -30000}, {30000, 60}, {40, 30000}};
  Polygon(c.dc, farCorners, 3);
  const POINT around[] = {{-30000, 85}, {30000, 85}, {30000, 30000}, {-30000, 30000}};
  Polygon(c.dc, around, 4);
  const POINT offPage[] = {{-500, -500}, {-400, -500}, {-450, -300}};
  Polygon(c.dc, offPage, 3);
}

void LargeEllipses(Canvas &c) {
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 0)));
  Use brush(c.dc, SolidBrush(RGB(0, 0, 255)));
  Ellipse(c.dc, -30000, -30000, 30001, 30001);  // the page lies inside
  Use pen2(c.dc, Pen(PS_SOLID, 1, RGB(255, 0, 0)));
  Use brush2(c.dc, NullBrush());
  Ellipse(c.dc, -29950, -30000, 50, 30000);  // its right edge crosses the page
  Ellipse(c.dc, 20, 30, 60020, 60030);       // its top-left part shows
  Ellipse(c.dc, -5000, 70, 5000, 71);        // flat
  Ellipse(c.dc, 90, -20000, 91, 20000);      // thin
}

void ReversedEllipses(Canvas &c) {
  Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 0)));
  Use brush(c.dc, SolidBrush(RGB(0, 0, 255)));
  Ellipse(c.dc, 40, 30, 5, 5);
  Ellipse(c.dc, 45, 35, 80, 5);
  Ellipse(c.dc, 120, 5, 85, 40);
  Ellipse(c.dc, 5, 70, 40, 45);
  Ellipse(c.dc, 50, 50, 50, 70);  // empty
}

// Every shape drawn across a clip rectangle.
void ClippedShapes(Canvas &c) {
  HRGN region = CreateRectRgn(20, 15, 100, 75);
  SelectClipRgn(c.dc, region);
  DeleteObject(region);
  SetBkMode(c.dc, OPAQUE);
  SetBkColor(c.dc, RGB(0, 0, 128));
  Use pen(c.dc, Pen(PS_SOLID, 3, RGB(255, 255, 0)));
  Use brush(c.dc, HatchBrush(HS_CROSS, RGB(255, 0, 0)));
  RECT r{0, 0, 40, 30};
  HBRUSH solid = SolidBrush(RGB(0, 255, 0));
  FillRect(c.dc, &r, solid);
  DeleteObject(solid);
  Ellipse(c.dc, 60, 2, 115, 40);
  Ellipse(c.dc, -30000, 60, 30000, 30060);
  Arc(c.dc, 2, 30, 60, 90, 60, 30, 2, 90);
  const POINT tri[] = {{70, 45}, {130, 90}, {10, 88}};
  Polygon(c.dc, tri, 3);
}

}  // namespace

void AddShapeScenes(std::vector<Scene> &scenes) {
  for (const BrushKind &k : AllBrushes())
    for (int mode : {TRANSPARENT, OPAQUE}) {
      const std::string name = "fill/" + k.name + (mode == OPAQUE ? "-opaque" : "-transparent");
      scenes.push_back({name, Format(120, 90), [=](Canvas &c) { Rectangles(c, k, mode); }});
    }
  for (const BrushKind &k : AllBrushes())
    scenes.push_back({"fill/" + k.name + "-opaque-32bit", Format(120, 90, 32),
                      [=](Canvas &c) { Rectangles(c, k, OPAQUE); }});
  scenes.push_back({"fill/pattern-4bit", Format(120, 90, 4), [](Canvas &c) { Rectangles(c, AllBrushes()[2], OPAQUE); }});
  scenes.push_back({"fill/brush-origin", Format(64, 64), BrushOrigin});

  const int sizesPage = 16 * 34;
  scenes.push_back({"ellipse/sizes-outline", Format(sizesPage, sizesPage),
                    [](Canvas &c) { EllipseSizes(c, Pen(PS_SOLID, 1, RGB(255, 255, 0))); }});
  scenes.push_back({"ellipse/sizes-wide-pen", Format(sizesPage, sizesPage),
                    [](Canvas &c) { EllipseSizes(c, Pen(PS_SOLID, 3, RGB(255, 255, 0))); }});
  scenes.push_back({"ellipse/circles", Format(320, 240), Circles});
  scenes.push_back({"ellipse/circles-32bit", Format(320, 240, 32), Circles});
  for (int style : {PS_DASH, PS_DOT, PS_DASHDOTDOT, PS_NULL})
    for (int mode : {TRANSPARENT, OPAQUE})
      scenes.push_back({std::string("ellipse/pen-") + PenStyleName(style) + (mode == OPAQUE ? "-opaque" : "-transparent"),
                        Format(160, 120), [=](Canvas &c) { ShapePens(c, style, 1, mode, true); }});
  for (int width : {2, 3, 4, 7})
    scenes.push_back({"ellipse/pen-w" + std::to_string(width), Format(160, 120),
                      [=](Canvas &c) { ShapePens(c, PS_SOLID, width, TRANSPARENT, true); }});
  for (int mix : {R2_XORPEN, R2_NOT, R2_MERGEPEN, R2_MASKPENNOT, R2_NOTCOPYPEN, R2_BLACK})
    scenes.push_back({std::string("ellipse/mix-") + Rop2Name(mix), Format(100, 80),
                      [=](Canvas &c) { ShapeMix(c, mix, true); }});
  scenes.push_back({"ellipse/large", Format(120, 90), LargeEllipses});
  scenes.push_back({"ellipse/reversed-corners", Format(130, 80), ReversedEllipses});
  scenes.push_back({"ellipse/clip", Format(120, 90), ClippedShapes});

  scenes.push_back({"arc/quadrants", Format(320, 160), ArcQuadrants});
  scenes.push_back({"arc/angles", Format(320, 280), ArcAngles});
  for (int style : {PS_DASH, PS_DOT})
    scenes.push_back({std::string("arc/pen-") + PenStyleName(style) + "-opaque", Format(160, 116),
                      [=](Canvas &c) { ArcPens(c, style, 1, OPAQUE); }});
  for (int width : {2, 5})
    scenes.push_back({"arc/pen-w" + std::to_string(width), Format(160, 116),
                      [=](Canvas &c) { ArcPens(c, PS_SOLID, width, TRANSPARENT); }});
  scenes.push_back({"arc/mix-xorpen", Format(160, 116), [](Canvas &c) {
                      FillIndexRamp(c.page);
                      SetROP2(c.dc, R2_XORPEN);
                      ArcPens(c, PS_SOLID, 1, TRANSPARENT);
                    }});
  scenes.push_back({"arc/large", Format(120, 90), [](Canvas &c) {
                      Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 0)));
                      Arc(c.dc, -29950, -30000, 50, 30000, 0, 30000, 0, -30000);
                      Arc(c.dc, 20, 30, 60020, 60030, 30020, 30030, 30020, 30030);
                    }});

  scenes.push_back({"polygon/shapes", Format(160, 116), [](Canvas &c) { PolygonShapes(c, ALTERNATE); }});
  scenes.push_back({"polygon/shapes-winding", Format(160, 116), [](Canvas &c) { PolygonShapes(c, WINDING); }});
  scenes.push_back({"polygon/shapes-32bit", Format(160, 116, 32), [](Canvas &c) { PolygonShapes(c, ALTERNATE); }});
  scenes.push_back({"polygon/random", Format(120, 90), [](Canvas &c) { RandomPolygons(c, 51, 0, 119); }});
  scenes.push_back({"polygon/random-crossing", Format(120, 90), [](Canvas &c) { RandomPolygons(c, 52, -60, 180); }});
  scenes.push_back({"polygon/edge-cases", Format(120, 100), PolygonEdgeCases});
  for (int style : {PS_DASH, PS_DOT, PS_NULL})
    for (int mode : {TRANSPARENT, OPAQUE})
      scenes.push_back({std::string("polygon/pen-") + PenStyleName(style) + (mode == OPAQUE ? "-opaque" : "-transparent"),
                        Format(160, 116), [=](Canvas &c) { ShapePens(c, style, 1, mode, false); }});
  for (int width : {2, 3, 6})
    scenes.push_back({"polygon/pen-w" + std::to_string(width), Format(160, 116),
                      [=](Canvas &c) { ShapePens(c, PS_SOLID, width, TRANSPARENT, false); }});
  for (int mix : {R2_XORPEN, R2_NOT, R2_MERGEPEN, R2_MASKPENNOT})
    scenes.push_back({std::string("polygon/mix-") + Rop2Name(mix), Format(100, 80),
                      [=](Canvas &c) { ShapeMix(c, mix, false); }});
  scenes.push_back({"polygon/brushes", Format(120, 90), [](Canvas &c) {
                      FillSolid(c.page, 7);
                      SetBkMode(c.dc, OPAQUE);
                      SetBkColor(c.dc, RGB(0, 0, 128));
                      Use pen(c.dc, Pen(PS_SOLID, 1, RGB(255, 255, 0)));
                      int i = 0;
                      for (const BrushKind &k : AllBrushes()) {
                        HBITMAP pattern;
                        HBRUSH brush = MakeBrush(c.dc, k, RGB(255, 0, 0), pattern);
                        HGDIOBJ old = SelectObject(c.dc, brush);
                        const int x = (i % 3) * 40 + 2, y = (i / 3) * 30 + 2;
                        const POINT p[] = {{x, y}, {x + 36, y + 4}, {x + 20, y + 27}};
                        Polygon(c.dc, p, 3);
                        Ellipse(c.dc, x + 22, y + 2, x + 38, y + 14);
                        ++i;
                        SelectObject(c.dc, old);
                        DeleteObject(brush);
                        if (pattern) DeleteObject(pattern);
                      }
                    }});
}

}  // namespace reference
