// Which pixels lines, styled pens and wide pens set; expected sets were taken from real GDI.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace {

using PixelSet = std::set<std::pair<int, int>>;

// An 8-bit bottom-up page whose table has black at 0, white at 1, red at 2.
class Page {
 public:
  Page(int width, int height) : w_(width), h_(height) {
    dc_ = CreateCompatibleDC(nullptr);
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD c[3];
    } bi{};
    bi.h.biSize = sizeof bi.h;
    bi.h.biWidth = width;
    bi.h.biHeight = height;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = 8;
    bi.h.biClrUsed = 3;
    bi.c[1] = RGBQUAD{255, 255, 255, 0};
    bi.c[2] = RGBQUAD{0, 0, 255, 0};
    void *bits = nullptr;
    bmp_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint8_t *>(bits);
    old_ = SelectObject(dc_, bmp_);
    SetBkColor(dc_, RGB(255, 0, 0));
  }
  ~Page() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  uint8_t At(int x, int y) const { return bits_[(h_ - 1 - y) * ((w_ + 3) & ~3) + x]; }
  void Clear() { std::memset(bits_, 0, static_cast<size_t>((w_ + 3) & ~3) * h_); }
  PixelSet Set(uint8_t value = 0) const {
    PixelSet s;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x)
        if (value ? At(x, y) == value : At(x, y) != 0) s.insert({x, y});
    return s;
  }
  // Index values along row y from x0 to x1 inclusive, e.g. "1112220".
  std::string Row(int y, int x0, int x1) const {
    std::string s;
    for (int x = x0; x <= x1; ++x) s += static_cast<char>('0' + At(x, y));
    return s;
  }

 private:
  int w_, h_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  uint8_t *bits_;
};

PixelSet Parse(const char *text) {
  PixelSet s;
  std::istringstream in(text);
  int x, y;
  char comma;
  while (in >> x >> comma >> y) s.insert({x, y});
  return s;
}

void Line(HDC dc, int x0, int y0, int x1, int y1) {
  MoveToEx(dc, x0, y0, nullptr);
  LineTo(dc, x1, y1);
}

struct PenScope {
  PenScope(HDC dc, int style, int width, COLORREF color) : dc(dc), pen(CreatePen(style, width, color)) {
    old = SelectObject(dc, pen);
  }
  ~PenScope() {
    SelectObject(dc, old);
    DeleteObject(pen);
  }
  HDC dc;
  HPEN pen;
  HGDIOBJ old;
};

struct LineCase {
  int x1, y1;
  const char *pixels;
};

// From (32, 32) to each end: every octant, and slopes whose ideal line passes exactly between
// two pixels (ties go to the smaller minor coordinate whichever way the line runs).
const LineCase kLineCases[] = {
    {41, 32, "32,32 33,32 34,32 35,32 36,32 37,32 38,32 39,32 40,32"},
    {41, 35, "32,32 33,32 34,33 35,33 36,33 37,34 38,34 39,34 40,35"},
    {41, 41, "32,32 33,33 34,34 35,35 36,36 37,37 38,38 39,39 40,40"},
    {35, 41, "32,32 32,33 33,34 33,35 33,36 34,37 34,38 34,39 35,40"},
    {32, 41, "32,32 32,33 32,34 32,35 32,36 32,37 32,38 32,39 32,40"},
    {29, 41, "32,32 32,33 31,34 31,35 31,36 30,37 30,38 30,39 29,40"},
    {23, 35, "31,32 32,32 28,33 29,33 30,33 25,34 26,34 27,34 24,35"},
    {23, 32, "24,32 25,32 26,32 27,32 28,32 29,32 30,32 31,32 32,32"},
    {23, 29, "24,29 25,30 26,30 27,30 28,31 29,31 30,31 31,32 32,32"},
    {29, 23, "29,24 30,25 30,26 30,27 31,28 31,29 31,30 32,31 32,32"},
    {35, 23, "35,24 34,25 34,26 34,27 33,28 33,29 33,30 32,31 32,32"},
    {41, 29, "40,29 37,30 38,30 39,30 34,31 35,31 36,31 32,32 33,32"},
    {36, 34, "32,32 33,32 34,33 35,33"},
    {28, 34, "31,32 32,32 29,33 30,33"},
    {28, 30, "29,30 30,31 31,31 32,32"},
    {34, 28, "33,29 33,30 32,31 32,32"},
    {30, 36, "32,32 31,33 31,34 30,35"},
    {32, 32, ""},
};

TEST(LinePixels, EveryOctantAndTieMatchesGdi) {
  Page page(64, 64);
  PenScope pen(page.dc(), PS_SOLID, 1, RGB(255, 255, 255));
  for (const LineCase &c : kLineCases) {
    page.Clear();
    Line(page.dc(), 32, 32, c.x1, c.y1);
    EXPECT_EQ(page.Set(), Parse(c.pixels)) << "to " << c.x1 << "," << c.y1;
    POINT p;
    GetCurrentPositionEx(page.dc(), &p);
    EXPECT_EQ(p.x, c.x1);
    EXPECT_EQ(p.y, c.y1);
  }
}

void CALLBACK Collect(int x, int y, LPARAM data) { reinterpret_cast<std::vector<POINT> *>(data)->push_back({x, y}); }

TEST(LinePixels, LineDdaBreaksTiesTowardTheStart) {
  struct {
    int x1, y1;
    const char *pixels;
  } cases[] = {
      {28, 30, "29,31 30,31 31,32 32,32"},  // differs from LineTo: ties toward the start
      {34, 28, "33,29 33,30 32,31 32,32"},
      {30, 36, "32,32 32,33 31,34 31,35"},
      {41, 35, "32,32 33,32 34,33 35,33 36,33 37,34 38,34 39,34 40,35"},
  };
  for (const auto &c : cases) {
    std::vector<POINT> points;
    ASSERT_TRUE(LineDDA(32, 32, c.x1, c.y1, Collect, reinterpret_cast<LPARAM>(&points)));
    PixelSet got;
    for (const POINT &p : points) got.insert({p.x, p.y});
    EXPECT_EQ(got, Parse(c.pixels)) << "to " << c.x1 << "," << c.y1;
    // In drawing order, starting at the start point.
    ASSERT_FALSE(points.empty());
    EXPECT_EQ(points.front().x, 32);
    EXPECT_EQ(points.front().y, 32);
  }
}

// Far-away ends cost what is visible and keep the exact pixels: the clipped line must set the
// same pixels as the part of a long line drawn inside a large page.
TEST(LinePixels, FarEndsKeepTheExactPixels) {
  Page big(400, 300), small(40, 30);
  PenScope a(big.dc(), PS_SOLID, 1, RGB(255, 255, 255)), b(small.dc(), PS_SOLID, 1, RGB(255, 255, 255));
  const int lines[][4] = {{-180, -137, 390, 290}, {395, 5, 3, 28}, {-30000, 7, 30000, 22}, {17, -29000, 23, 29000},
                          {30000, 30000, -29999, -29998}};
  for (const auto &l : lines) {
    big.Clear();
    small.Clear();
    // The big page holds the small one at (150, 120).
    Line(big.dc(), l[0] + 150, l[1] + 120, l[2] + 150, l[3] + 120);
    Line(small.dc(), l[0], l[1], l[2], l[3]);
    PixelSet expected;
    for (const auto &[x, y] : big.Set())
      if (x >= 150 && x < 190 && y >= 120 && y < 150) expected.insert({x - 150, y - 120});
    EXPECT_FALSE(expected.empty());
    EXPECT_EQ(small.Set(), expected) << l[0] << "," << l[1];
  }
}

TEST(LinePixels, ClipRegionBoundsLinesAndPixels) {
  Page page(32, 32);
  PenScope pen(page.dc(), PS_SOLID, 1, RGB(255, 255, 255));
  HRGN clip = CreateRectRgn(10, 10, 20, 20);
  EXPECT_EQ(SelectClipRgn(page.dc(), clip), SIMPLEREGION);
  DeleteObject(clip);  // the DC keeps its own copy
  Line(page.dc(), 0, 15, 31, 15);
  SetPixelV(page.dc(), 5, 5, RGB(255, 255, 255));
  SetPixelV(page.dc(), 12, 12, RGB(255, 255, 255));
  PixelSet expected{{12, 12}};
  for (int x = 10; x < 20; ++x) expected.insert({x, 15});
  EXPECT_EQ(page.Set(), expected);
  RECT box;
  EXPECT_EQ(GetClipBox(page.dc(), &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 10);
  EXPECT_EQ(box.bottom, 20);
  // GetPixel ignores the clip region.
  EXPECT_EQ(GetPixel(page.dc(), 5, 5), RGB(0, 0, 0));
  EXPECT_EQ(SelectClipRgn(page.dc(), nullptr), SIMPLEREGION);
  SetPixelV(page.dc(), 5, 5, RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(page.dc(), 5, 5), RGB(255, 255, 255));
}

struct StyleCase {
  int style;
  const char *transparent;  // row 0 from x = 0 to 40 after a line (0,0)-(41,0)
  const char *opaque;
};

// 1 = pen, 2 = background colour, 0 = untouched.
const StyleCase kStyles[] = {
    {PS_DASH, "11111111111111111100000011111111111111111", "11111111111111111122222211111111111111111"},
    {PS_DOT, "11100011100011100011100011100011100011100", "11122211122211122211122211122211122211122"},
    {PS_DASHDOT, "11111111100000011100000011111111100000011", "11111111122222211122222211111111122222211"},
    {PS_DASHDOTDOT, "11111111100011100011100011111111100011100", "11111111122211122211122211111111122211122"},
    {PS_SOLID, "11111111111111111111111111111111111111111", "11111111111111111111111111111111111111111"},
    {PS_NULL, "00000000000000000000000000000000000000000", "00000000000000000000000000000000000000000"},
};

TEST(StyledPens, PatternsInBothBackgroundModes) {
  Page page(64, 8);
  for (const StyleCase &c : kStyles)
    for (int mode : {TRANSPARENT, OPAQUE}) {
      page.Clear();
      SetBkMode(page.dc(), mode);
      PenScope pen(page.dc(), c.style, 1, RGB(255, 255, 255));
      Line(page.dc(), 0, 0, 42, 0);
      EXPECT_EQ(page.Row(0, 0, 40), mode == OPAQUE ? c.opaque : c.transparent) << "style " << c.style;
    }
}

TEST(StyledPens, PatternRestartsAtEveryLineToButRunsOnAlongPolyline) {
  Page page(64, 8);
  PenScope pen(page.dc(), PS_DOT, 0, RGB(255, 255, 255));
  SetBkMode(page.dc(), OPAQUE);
  MoveToEx(page.dc(), 0, 0, nullptr);
  LineTo(page.dc(), 4, 0);
  LineTo(page.dc(), 10, 0);
  EXPECT_EQ(page.Row(0, 0, 10), "11121112220");
  page.Clear();
  const POINT pts[] = {{0, 1}, {4, 1}, {10, 1}};
  ASSERT_TRUE(Polyline(page.dc(), pts, 3));
  EXPECT_EQ(page.Row(1, 0, 10), "11122211120");
  // Along a diagonal the pattern counts pixels, not distance.
  page.Clear();
  Line(page.dc(), 0, 0, 7, 7);
  std::string diagonal;
  for (int i = 0; i < 7; ++i) diagonal += static_cast<char>('0' + page.At(i, i));
  EXPECT_EQ(diagonal, "1112221");
}

TEST(StyledPens, ClippingDoesNotShiftThePattern) {
  Page page(64, 8);
  PenScope pen(page.dc(), PS_DASHDOT, 1, RGB(255, 255, 255));
  SetBkMode(page.dc(), OPAQUE);
  Line(page.dc(), -20, 3, 60, 3);
  std::string full = page.Row(3, 0, 39);
  page.Clear();
  HRGN clip = CreateRectRgn(13, 0, 64, 8);
  SelectClipRgn(page.dc(), clip);
  DeleteObject(clip);
  Line(page.dc(), -20, 3, 60, 3);
  EXPECT_EQ(page.Row(3, 13, 39), full.substr(13));
  EXPECT_EQ(page.Row(3, 0, 12), std::string(13, '0'));
}

TEST(WidePens, RoundDotsEndPointsAndSolidStyles) {
  Page page(48, 48);
  {
    // A zero-length wide line draws a dot: 2 wide covers two pixels before-and-at the point.
    PenScope pen(page.dc(), PS_SOLID, 2, RGB(255, 255, 255));
    Line(page.dc(), 20, 20, 20, 20);
    EXPECT_EQ(page.Set(), (PixelSet{{19, 19}, {20, 19}, {19, 20}, {20, 20}}));
  }
  page.Clear();
  {
    // Width 3: a round end, the end point included.
    PenScope pen(page.dc(), PS_SOLID, 3, RGB(255, 255, 255));
    Line(page.dc(), 10, 20, 30, 20);
    EXPECT_EQ(page.Row(19, 9, 31), "01111111111111111111110");
    EXPECT_EQ(page.Row(20, 8, 32), "0111111111111111111111110");
    EXPECT_EQ(page.Row(21, 9, 31), "01111111111111111111110");
  }
  page.Clear();
  {
    // Styles wider than one pixel draw solid, gaps never appear.
    SetBkMode(page.dc(), OPAQUE);
    PenScope pen(page.dc(), PS_DOT, 3, RGB(255, 255, 255));
    Line(page.dc(), 10, 20, 30, 20);
    EXPECT_EQ(page.Row(20, 9, 31), std::string(23, '1'));
    EXPECT_TRUE(page.Set(2).empty());
  }
}

// The body of an oblique wide line: rows in its middle, far from both round ends.
TEST(WidePens, ObliqueBodiesSpanTheRowsRealGdiFills) {
  const struct {
    int width, x0, y0, x1, y1;
    int row, first, last;  // the row's pixels run first..last
  } cases[] = {
      {3, 10, 10, 50, 24, 12, 13, 22},     // down-right: the body sits a row higher than the ideal band
      {3, 10, 10, 50, 24, 13, 16, 25},
      {3, 10, 60, 47, 13, 36, 28, 31},     // up-right
      {3, 10, 60, 47, 13, 38, 26, 30},
      {4, 10, 10, 63, 38, 23, 30, 39},
      {5, 60, 60, 12, 24, 41, 30, 40},     // a 3-4-5 direction: the exact tie widens the body
      {5, 60, 60, 12, 24, 43, 33, 43},
  };
  Page page(80, 80);
  for (const auto &c : cases) {
    page.Clear();
    PenScope pen(page.dc(), PS_SOLID, c.width, RGB(255, 255, 255));
    Line(page.dc(), c.x0, c.y0, c.x1, c.y1);
    const std::string expected =
        "0" + std::string(static_cast<size_t>(c.last - c.first + 1), '1') + "0";
    EXPECT_EQ(page.Row(c.row, c.first - 1, c.last + 1), expected)
        << "width " << c.width << " from (" << c.x0 << "," << c.y0 << ") to (" << c.x1 << "," << c.y1 << ")";
  }
}

TEST(WidePens, OverlappingJointsAreMixedOnce) {
  Page page(48, 48);
  SetROP2(page.dc(), R2_XORPEN);
  PenScope pen(page.dc(), PS_SOLID, 5, RGB(255, 255, 255));
  const POINT pts[] = {{5, 5}, {30, 5}, {30, 30}, {5, 30}};
  Polyline(page.dc(), pts, 4);
  // XOR applied twice would clear the corner pixels again.
  EXPECT_EQ(page.At(30, 5), 1);
  EXPECT_EQ(page.At(30, 30), 1);
  EXPECT_EQ(page.At(29, 6), 1);
}

}  // namespace
