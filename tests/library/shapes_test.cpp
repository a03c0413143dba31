// Fill styles, the user pattern, boxes, ellipses, polygons, arcs and circles, read back.
#include <cmath>

#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

class Shapes : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    HeadlessWindow::SetUp();
    SetDrawPage(1);
    ClearScreen();
    red = NamedColor(ncRed);
    white = NamedColor(ncWhite);
  }
  // Bounding box of the pixels with index `i`.
  static RECT Bounds(const pvtest::PageImage &img, int i) {
    RECT r{10000, 10000, -1, -1};
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x)
        if (img.IndexAt(x, y) == i) {
          if (x < r.left) r.left = x;
          if (y < r.top) r.top = y;
          if (x > r.right) r.right = x;
          if (y > r.bottom) r.bottom = y;
        }
    return r;
  }
  uint32_t red = 0, white = 0;
};

struct BoxCase {
  int16_t x1, y1, x2, y2;
  int count;
};

TEST_F(Shapes, FillBoxPaintsBothCornersInEitherOrder) {
  const BoxCase cases[] = {{0, 0, 0, 0, 1}, {0, 0, 9, 4, 50}, {9, 4, 0, 0, 50}, {9, 0, 0, 4, 50}, {-5, -5, 2, 2, 9}};
  SetFillKind(1, red);
  for (const BoxCase &c : cases) {
    ClearScreen();
    FillBox(c.x1, c.y1, c.x2, c.y2);
    EXPECT_EQ(GraphError(), grOk);
    const auto img = pvtest::ReadActivePage();
    EXPECT_EQ(img.CountIndex(40), c.count) << c.x1 << "," << c.y1 << " " << c.x2 << "," << c.y2;
  }
}

TEST_F(Shapes, FillBoxHasNoOutlineWhateverThePen) {
  SetPenStyle(0, 0, 5);
  SetFillKind(1, red);
  FillBox(10, 10, 19, 19);
  const auto img = pvtest::ReadActivePage();
  EXPECT_EQ(img.CountIndex(40), 100);
  EXPECT_EQ(img.CountIndex(15), 0);
}

TEST_F(Shapes, StyleZeroFillsWithTheBackColour) {
  SetBackColor(NamedColor(ncYellow));
  SetFillKind(0, red);
  EXPECT_EQ(S().FillColor, NamedColor(ncYellow));
  FillBox(0, 0, 3, 3);
  EXPECT_EQ(pvtest::ReadActivePage().CountIndex(44), 16);
}

struct HatchCase {
  int16_t style;
  int x, y;  // inside the first 8 x 8 cell
  bool set;
};

TEST_F(Shapes, HatchedStylesFollowThePageGrid) {
  const HatchCase cases[] = {
      {2, 0, 3, true},  {2, 0, 2, false}, {3, 4, 0, true}, {3, 3, 0, false}, {4, 4, 1, true}, {4, 0, 3, true},
      {4, 1, 1, false}, {5, 7, 0, true},  {5, 0, 7, true}, {5, 0, 0, false}, {6, 0, 0, true}, {6, 5, 5, true},
      {6, 7, 0, false}, {7, 7, 0, true},  {7, 2, 2, true}, {7, 1, 2, false},
  };
  for (const HatchCase &c : cases) {
    ClearScreen();
    SetFillKind(c.style, red);
    FillBox(0, 0, 15, 15);
    const auto img = pvtest::ReadActivePage();
    EXPECT_EQ(img.IndexAt(c.x, c.y) == 40, c.set) << "style " << c.style << " at " << c.x << "," << c.y;
    EXPECT_EQ(img.IndexAt(c.x + 8, c.y + 8) == 40, c.set) << "style " << c.style << " repeats";
  }
}

TEST_F(Shapes, OutOfRangeFillStyleKeepsTheBrush) {
  SetFillKind(3, red);
  HGDIOBJ brush = pvtest::CurrentObject(S().PageDC, OBJ_BRUSH);
  for (int16_t bad : {int16_t{10}, int16_t{-1}}) {
    SetFillKind(bad, white);
    EXPECT_EQ(GraphError(), grOutOfRange);
    EXPECT_EQ(S().FillStyle, 3);
    EXPECT_EQ(S().FillColor, red);
    EXPECT_EQ(pvtest::CurrentObject(S().PageDC, OBJ_BRUSH), brush);
  }
}

TEST_F(Shapes, PatternBitsMapLeftToRight) {
  SetBackColor(NamedColor(ncYellow));
  const uint8_t topLeft[8] = {0x80, 0, 0, 0, 0, 0, 0, 0};
  SetFillPattern(topLeft, red);
  EXPECT_EQ(S().FillStyle, 8);
  SetBackColor(0);  // the pattern keeps the background of its time
  FillBox(0, 0, 15, 15);
  auto img = pvtest::ReadActivePage();
  EXPECT_EQ(img.CountIndex(40), 4);
  EXPECT_EQ(img.IndexAt(0, 0), 40);
  EXPECT_EQ(img.IndexAt(8, 8), 40);
  EXPECT_EQ(img.CountIndex(44), 256 - 4);

  const uint8_t topRight[8] = {0x01, 0, 0, 0, 0, 0, 0, 0};
  SetFillPattern(topRight, red);
  ClearScreen();
  FillBox(0, 0, 7, 7);
  img = pvtest::ReadActivePage();
  EXPECT_EQ(img.CountIndex(40), 1);
  EXPECT_EQ(img.IndexAt(7, 0), 40);
  EXPECT_EQ(img.IndexAt(0, 0), 0);  // background black now
}

TEST_F(Shapes, CircleCoversCentrePlusMinusRadius) {
  DrawCircle(100, 100, 10);
  const RECT r = Bounds(pvtest::ReadActivePage(), 15);
  EXPECT_EQ(r.left, 90);
  EXPECT_EQ(r.right, 110);
  EXPECT_EQ(r.top, 90);
  EXPECT_EQ(r.bottom, 110);
}

TEST_F(Shapes, ArcsByQuadrant) {
  // 0 to 90: from the rightmost point up to the top point.
  DrawArc(200, 200, 0, 90, 50, 50);
  RECT r = Bounds(pvtest::ReadActivePage(), 15);
  EXPECT_GE(r.left, 199);
  EXPECT_LE(r.bottom, 201);
  EXPECT_EQ(r.right, 250);
  EXPECT_EQ(r.top, 150);
  // 90 to 0: the other three quarters.
  ClearScreen();
  DrawArc(200, 200, 90, 0, 50, 50);
  const auto img = pvtest::ReadActivePage();
  r = Bounds(img, 15);
  EXPECT_EQ(r.left, 150);
  EXPECT_EQ(r.bottom, 250);
  EXPECT_EQ(img.IndexAt(235, 165), 0);  // nothing in the upper-right quarter
}

TEST_F(Shapes, AspectCorrectsEllipseRadii) {
  SetAspect(10000, 20000);
  DrawEllipse(300, 300, 40, 40);
  RECT r = Bounds(pvtest::ReadActivePage(), 15);
  EXPECT_EQ(r.right - r.left, 80);
  EXPECT_EQ(r.bottom - r.top, 40);
  // A circle is corrected the same way.
  ClearScreen();
  SetFillKind(9, 0);
  DrawCircle(300, 300, 40);
  r = Bounds(pvtest::ReadActivePage(), 15);
  EXPECT_EQ(r.bottom - r.top, 40);
  SetAspect(10000, 10000);
}

TEST_F(Shapes, EllipseOutlineAndInteriorFollowPenAndBrush) {
  SetFillKind(1, red);
  DrawEllipse(100, 100, 20, 20);
  auto img = pvtest::ReadActivePage();
  EXPECT_EQ(img.IndexAt(100, 100), 40);
  EXPECT_EQ(img.IndexAt(80, 100), 15);
  // Null pen (style 6): interior only.
  ClearScreen();
  SetPenStyle(6, 0, 1);
  DrawEllipse(100, 100, 20, 20);
  img = pvtest::ReadActivePage();
  EXPECT_EQ(img.CountIndex(15), 0);
  EXPECT_GT(img.CountIndex(40), 1000);
  // Hollow fill: outline only.
  ClearScreen();
  SetPenStyle(0, 0, 1);
  SetFillKind(9, red);
  DrawEllipse(100, 100, 20, 20);
  img = pvtest::ReadActivePage();
  EXPECT_EQ(img.CountIndex(40), 0);
  EXPECT_EQ(img.IndexAt(100, 100), 0);
  EXPECT_GT(img.CountIndex(15), 80);
}

TEST_F(Shapes, PolygonNeedsTwoPointsAndUsesTheOrigin) {
  const PolygonPoint square[4] = {{0, 0}, {20, 0}, {20, 20}, {0, 20}};
  for (uint16_t n : {uint16_t{0}, uint16_t{1}}) {
    FillPolygonShape(n, square);
    EXPECT_EQ(GraphError(), grOutOfRange);
  }
  FillPolygonShape(3, nullptr);
  EXPECT_EQ(GraphError(), grOutOfRange);
  EXPECT_EQ(pvtest::ReadActivePage().CountIndex(15), 0);

  FillPolygonShape(2, square);  // degenerate: the outline through both points
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_GT(pvtest::ReadActivePage().CountIndex(15), 15);

  ClearScreen();
  SetViewArea(50, 60, 799, 599, false);
  SetFillKind(1, red);
  FillPolygonShape(4, square);
  const auto img = pvtest::ReadActivePage();
  EXPECT_EQ(img.IndexAt(60, 70), 40);
  EXPECT_EQ(img.IndexAt(50, 60), 15);
  EXPECT_EQ(square[1].x, 20);  // the caller's points are left alone
}

}  // namespace

// The ray points of DrawArc are the extended-precision cosine and sine times the radius,
// rounded; whole quarter turns are taken without the functions, and must agree with them for
// every angle the 16-bit argument can name, up to the largest radius.
TEST(ArcRays, QuarterTurnsAgreeWithTheExtendedFunctions) {
  constexpr long double k = 3.14159265358979323846264338327950288L / 180.0L;
  for (uint32_t angle = 0; angle <= 65535; angle += 15) {
    for (uint16_t radius : {1, 5, 100, 65535}) {
      const auto a = static_cast<uint16_t>(angle);
      const int cosine = static_cast<int>(std::nearbyint(std::cos(a * k) * radius));
      const int sine = static_cast<int>(std::nearbyint(std::sin(a * k) * radius));
      ASSERT_EQ(ArcRayOffset(a, radius, false), cosine) << angle << " " << radius;
      ASSERT_EQ(ArcRayOffset(a, radius, true), sine) << angle << " " << radius;
    }
  }
}
