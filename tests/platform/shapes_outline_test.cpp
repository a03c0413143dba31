// Which pixels Ellipse, Arc and Polygon set, outline and interior; expected pictures were
// taken from Wine's GDI.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "shapes_page.h"

namespace {



// ---- Ellipse --------------------------------------------------------------------------

struct EllipseCase {
  const char *name;
  int w, h;
  Rows outline;
};

class EllipseOutline : public ::testing::TestWithParam<EllipseCase> {};

TEST_P(EllipseOutline, MatchesRealGdi) {
  const EllipseCase &c = GetParam();
  Page page(48, 48);
  ASSERT_TRUE(Ellipse(page.dc(), 2, 2, 2 + c.w, 2 + c.h));
  EXPECT_EQ(page.Picture(2, 2, c.w, c.h, 0), c.outline);
  // Nothing beyond the box: right and bottom edges are excluded.
  int inside = 0;
  for (const std::string &r : c.outline)
    for (char ch : r) inside += ch == '#';
  EXPECT_EQ(page.Count(1), inside);
}

INSTANTIATE_TEST_SUITE_P(
    Sizes, EllipseOutline,
    ::testing::Values(
        EllipseCase{"even_circle", 6, 6, {"..##..", ".#..#.", "#....#", "#....#", ".#..#.", "..##.."}},
        EllipseCase{"flat", 20, 10,
                    {"......########......", "...###........###...", "..#..............#..",
                     ".#................#.", "#..................#", "#..................#",
                     ".#................#.", "..#..............#..", "...###........###...",
                     "......########......"}},
        EllipseCase{"residual_not_midpoint", 12, 10,
                    {"....####....", "..##....##..", ".#........#.", "#..........#", "#..........#",
                     "#..........#", "#..........#", ".#........#.", "..##....##..", "....####...."}},
        EllipseCase{"wide_low", 7, 4, {".#####.", "#.....#", "#.....#", ".#####."}},
        // Thin odd widths stop at the first centre pixel; even ones climb while inside.
        EllipseCase{"thin_odd", 3, 8, {"...", ".#.", "#.#", "#.#", "#.#", "#.#", ".#.", "..."}},
        EllipseCase{"thin_even", 4, 13,
                    {"....", ".##.", ".##.", "#..#", "#..#", "#..#", "#..#", "#..#", "#..#", "#..#", ".##.",
                     ".##.", "...."}},
        EllipseCase{"one_by_one", 1, 1, {"."}},
        EllipseCase{"column", 1, 4, {"#", "#", "#", "#"}},
        EllipseCase{"two_rows", 5, 2, {"#####", "#####"}}),
    [](const ::testing::TestParamInfo<EllipseCase> &i) { return std::string(i.param.name); });

TEST(Ellipse, InteriorReachesTheOutlineOnEveryRow) {
  Page page(48, 48);
  page.Use(GetStockObject(NULL_PEN), CreateSolidBrush(RGB(255, 0, 0)));
  ASSERT_TRUE(Ellipse(page.dc(), 2, 2, 14, 12));
  const Rows filled = {"....####....", "..########..", ".##########.", "############", "############",
                       "############", "############", ".##########.", "..########..", "....####...."};
  EXPECT_EQ(page.Picture(2, 2, 12, 10, 2), filled);
}

TEST(Ellipse, ThinBoxesFillTheirTopLeftPart) {
  Page page(32, 16);
  page.Use(GetStockObject(NULL_PEN), CreateSolidBrush(RGB(255, 0, 0)));
  Ellipse(page.dc(), 2, 2, 4, 7);   // 2 x 5: one column of four
  Ellipse(page.dc(), 6, 2, 11, 4);  // 5 x 2: one row of four
  Ellipse(page.dc(), 14, 2, 15, 9);  // 1 x 7: nothing
  EXPECT_EQ(page.Picture(2, 2, 13, 5, 2), (Rows{"#...####.....", "#............", "#............",
                                                 "#............", "............."}));
}

TEST(Ellipse, FillFirstThenOutlineUnderTheMix) {
  Page page(16, 12);
  page.Use(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), CreateSolidBrush(RGB(255, 0, 0)));
  SetROP2(page.dc(), R2_XORPEN);
  Ellipse(page.dc(), 1, 1, 11, 9);
  // Outline pixels were filled (2) and then XORed with the pen (1): 3.
  EXPECT_EQ(page.At(1, 4), 3);
  EXPECT_EQ(page.At(5, 1), 3);
  EXPECT_EQ(page.At(5, 4), 2);
  EXPECT_EQ(page.At(0, 0), 0);
}

TEST(Ellipse, CircleCoversCentreMinusRadiusToCentrePlusRadius) {
  Page page(48, 48);
  for (int r : {1, 2, 5, 10, 17}) {
    page.Fill(0);
    const int cx = 22, cy = 23;
    Ellipse(page.dc(), cx - r, cy - r, cx + r + 1, cy + r + 1);
    const Rows rows = page.Picture(0, 0, 48, 48, 0);
    int left = 48, right = -1, top = 48, bottom = -1;
    for (int y = 0; y < 48; ++y)
      for (int x = 0; x < 48; ++x)
        if (rows[y][x] == '#') {
          left = std::min(left, x), right = std::max(right, x);
          top = std::min(top, y), bottom = std::max(bottom, y);
        }
    EXPECT_EQ(left, cx - r) << r;
    EXPECT_EQ(right, cx + r) << r;
    EXPECT_EQ(top, cy - r) << r;
    EXPECT_EQ(bottom, cy + r) << r;
  }
}

TEST(Ellipse, ReversedCornersDrawTheSameAndEmptyBoxesNothing) {
  Page a(40, 40), b(40, 40);
  Ellipse(a.dc(), 3, 4, 30, 21);
  Ellipse(b.dc(), 30, 21, 3, 4);
  EXPECT_EQ(a.Picture(0, 0, 40, 40), b.Picture(0, 0, 40, 40));
  b.Fill(0);
  EXPECT_TRUE(Ellipse(b.dc(), 10, 10, 10, 30));
  EXPECT_EQ(b.Count(1), 0);
}

TEST(Ellipse, StyledOutlineRunsOnFromTheRightEnd) {
  Page page(40, 24);
  SetBkMode(page.dc(), OPAQUE);
  SetBkColor(page.dc(), RGB(0, 0, 255));
  page.Use(CreatePen(PS_DASH, 1, RGB(255, 255, 255)), GetStockObject(NULL_BRUSH));
  Ellipse(page.dc(), 2, 2, 36, 22);
  // Dashes of 18 on, 6 off along the outline from its first point (35, 11) counter-clockwise:
  // the first gap is the top row's 14..19 (Wine: the same three gaps).
  EXPECT_EQ(page.Picture(12, 2, 10, 1, 3), (Rows{"..######.."}));
  EXPECT_EQ(page.Count(3), 18);
  EXPECT_EQ(page.At(35, 11), 1);
}

TEST(Ellipse, ClippedToTheClipRectangle) {
  Page page(40, 40);
  page.Use(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), CreateSolidBrush(RGB(255, 0, 0)));
  HRGN clip = CreateRectRgn(10, 10, 20, 20);
  SelectClipRgn(page.dc(), clip);
  DeleteObject(clip);
  Ellipse(page.dc(), 0, 0, 40, 40);
  for (int y = 0; y < 40; ++y)
    for (int x = 0; x < 40; ++x)
      if (x < 10 || x >= 20 || y < 10 || y >= 20) {
        ASSERT_EQ(page.At(x, y), 0) << x << "," << y;
      }
  EXPECT_EQ(page.Count(2), 100);
}

// ---- Arc --------------------------------------------------------------------------------

struct ArcCase {
  const char *name;
  int sx, sy, ex, ey;
  std::vector<const char *> spans;  // rows 5..25 of the r = 10 circle at (15, 15): "x0-x1 ..."
};

std::vector<std::string> RowSpans(const Page &page) {
  std::vector<std::string> out;
  const Rows rows = page.Picture(0, 0, 32, 32, 0);
  for (int y = 0; y < 32; ++y) {
    std::string s;
    for (int x = 0; x < 32;) {
      if (rows[y][x] != '#') {
        ++x;
        continue;
      }
      const int x0 = x;
      while (x < 32 && rows[y][x] == '#') ++x;
      s += (s.empty() ? "" : " ") + std::to_string(x0) + "-" + std::to_string(x - 1);
    }
    if (!s.empty()) out.push_back(std::to_string(y) + ": " + s);
  }
  return out;
}

class ArcPixels : public ::testing::TestWithParam<ArcCase> {};

TEST_P(ArcPixels, MatchRealGdi) {
  const ArcCase &c = GetParam();
  Page page(32, 32);
  ASSERT_TRUE(Arc(page.dc(), 5, 5, 26, 26, c.sx, c.sy, c.ex, c.ey));
  EXPECT_EQ(RowSpans(page), std::vector<std::string>(c.spans.begin(), c.spans.end()));
}

INSTANTIATE_TEST_SUITE_P(
    Circle, ArcPixels,
    ::testing::Values(
        // Counter-clockwise from the ray through the start point; the end pixel is left out.
        ArcCase{"first_quarter", 115, 15, 15, -85,
                {"5: 17-18", "6: 19-20", "7: 21-21", "8: 22-22", "9: 23-23", "10: 24-24", "11: 24-24",
                 "12: 25-25", "13: 25-25", "14: 25-25", "15: 25-25"}},
        ArcCase{"other_three_quarters", 15, -85, 115, 15,
                {"5: 12-15", "6: 10-11", "7: 9-9", "8: 8-8", "9: 7-7", "10: 6-6", "11: 6-6", "12: 5-5",
                 "13: 5-5", "14: 5-5", "15: 5-5", "16: 5-5 25-25", "17: 5-5 25-25", "18: 5-5 25-25",
                 "19: 6-6 24-24", "20: 6-6 24-24", "21: 7-7 23-23", "22: 8-8 22-22", "23: 9-9 21-21",
                 "24: 10-11 19-20", "25: 12-18"}},
        // Start and end on the same ray along the positive x axis: the whole circle.
        ArcCase{"whole", 115, 15, 115, 15,
                {"5: 12-18", "6: 10-11 19-20", "7: 9-9 21-21", "8: 8-8 22-22", "9: 7-7 23-23",
                 "10: 6-6 24-24", "11: 6-6 24-24", "12: 5-5 25-25", "13: 5-5 25-25", "14: 5-5 25-25",
                 "15: 5-5 25-25", "16: 5-5 25-25", "17: 5-5 25-25", "18: 5-5 25-25", "19: 6-6 24-24",
                 "20: 6-6 24-24", "21: 7-7 23-23", "22: 8-8 22-22", "23: 9-9 21-21", "24: 10-11 19-20",
                 "25: 12-18"}}),
    [](const ::testing::TestParamInfo<ArcCase> &i) { return std::string(i.param.name); });

TEST(Arc, SameRayElsewhereLeavesOutOnlyThePixelBeforeIt) {
  Page whole(32, 32), page(32, 32);
  Ellipse(whole.dc(), 5, 5, 26, 26);
  // 135 degrees, through the outline pixel (8, 8): the pixel before it, (9, 7), is the end.
  Arc(page.dc(), 5, 5, 26, 26, -85, -85, -85, -85);
  EXPECT_EQ(page.Count(1), whole.Count(1) - 1);
  EXPECT_EQ(page.At(9, 7), 0);
  EXPECT_EQ(page.At(8, 8), 1);
}

// Boxes with even sides: rays start half a pixel past the outline's centre, and each outline
// pixel counts as its offset from the centre rounded towards it (pictures from real GDI).
TEST(Arc, EvenBoxesPlaceTheEndsAsRealGdiDoes) {
  const struct {
    int left, top, right, bottom, sx, sy, ex, ey;
    std::vector<const char *> spans;
  } cases[] = {
      {5, 5, 13, 13, 105, -8, -8, 105, {"5: 7-10", "6: 6-6 11-11", "7: 5-5 12-12", "8: 5-5", "9: 5-5", "10: 5-5", "11: 6-6"}},
      {5, 5, 13, 13, -8, 105, 105, -8, {"9: 12-12", "10: 12-12", "11: 11-11", "12: 8-10"}},
      {5, 5, 15, 12, 5, 105, 105, 5, {"9: 14-14", "10: 12-13", "11: 9-11"}},
  };
  for (const auto &c : cases) {
    Page page(32, 32);
    Arc(page.dc(), c.left, c.top, c.right, c.bottom, c.sx, c.sy, c.ex, c.ey);
    EXPECT_EQ(RowSpans(page), std::vector<std::string>(c.spans.begin(), c.spans.end()))
        << c.right - c.left << "x" << c.bottom - c.top << " from (" << c.sx << "," << c.sy << ")";
  }
}

// ---- Polygon ------------------------------------------------------------------------------

TEST(Polygon, FillTakesPixelsWhosePointIsInsideTopLeftIncluded) {
  Page page(40, 40);
  page.Use(GetStockObject(NULL_PEN), CreateSolidBrush(RGB(255, 0, 0)));
  const POINT square[] = {{5, 5}, {30, 5}, {30, 20}, {5, 20}};
  ASSERT_TRUE(Polygon(page.dc(), square, 4));
  EXPECT_EQ(page.Count(2), 25 * 15);
  EXPECT_EQ(page.At(5, 5), 2);
  EXPECT_EQ(page.At(30, 10), 0);
  EXPECT_EQ(page.At(10, 20), 0);
  page.Fill(0);
  // A triangle with slanted edges (rows as Wine fills them).
  const POINT tri[] = {{5, 5}, {30, 12}, {10, 30}};
  Polygon(page.dc(), tri, 3);
  EXPECT_EQ(page.Picture(5, 5, 25, 8, 2),
            (Rows{".........................", ".###.....................", ".#######.................",
                  ".##########..............", ".##############..........", ".#################.......",
                  "..####################...", "..#######################"}));
}

TEST(Polygon, AlternateAndWindingDifferInsideAStar) {
  Page page(80, 80);
  page.Use(GetStockObject(NULL_PEN), CreateSolidBrush(RGB(255, 0, 0)));
  const POINT star[] = {{40, 2}, {63, 72}, {3, 28}, {77, 28}, {17, 72}};
  EXPECT_EQ(GetPolyFillMode(page.dc()), ALTERNATE);
  Polygon(page.dc(), star, 5);
  EXPECT_EQ(page.At(40, 40), 0);  // the centre pentagon is crossed twice
  EXPECT_EQ(page.At(40, 10), 2);
  EXPECT_EQ(SetPolyFillMode(page.dc(), WINDING), ALTERNATE);
  Polygon(page.dc(), star, 5);
  EXPECT_EQ(page.At(40, 40), 2);
  EXPECT_EQ(SetPolyFillMode(page.dc(), 7), 0);
  EXPECT_EQ(GetPolyFillMode(page.dc()), WINDING);
}

TEST(Polygon, TwoPointsDrawALineAndFewerAreRefused) {
  Page page(40, 40);
  page.Use(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), CreateSolidBrush(RGB(255, 0, 0)));
  const POINT two[] = {{5, 5}, {30, 5}};
  EXPECT_TRUE(Polygon(page.dc(), two, 2));
  EXPECT_EQ(page.Count(1), 26);
  EXPECT_EQ(page.Count(2), 0);
  EXPECT_FALSE(Polygon(page.dc(), two, 1));
  EXPECT_FALSE(Polygon(page.dc(), nullptr, 3));
}

// ---- Large arguments ------------------------------------------------------------------------

TEST(LargeShapes, CostWhatIsVisible) {
  Page page(100, 80);
  page.Use(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), CreateSolidBrush(RGB(255, 0, 0)));
  // The page lies inside a circle of radius 30000: all interior.
  ASSERT_TRUE(Ellipse(page.dc(), -30000, -30000, 30001, 30001));
  EXPECT_EQ(page.Count(2), 100 * 80);
  const POINT around[] = {{-30000, -30000}, {30000, -30000}, {30000, 30000}, {-30000, 30000}};
  page.Use(GetStockObject(NULL_PEN), CreateSolidBrush(RGB(0, 0, 255)));
  ASSERT_TRUE(Polygon(page.dc(), around, 4));
  EXPECT_EQ(page.Count(3), 100 * 80);
  const POINT extreme[] = {{-2000000000, -2000000000}, {2000000000, 40}, {40, 2000000000}};
  ASSERT_TRUE(Polygon(page.dc(), extreme, 3));
  page.Use(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), GetStockObject(NULL_BRUSH));
  Arc(page.dc(), -30000, -30000, 30001, 30001, 0, -1, 0, -1);
  // Too large to walk: refused, nothing drawn, no overflow.
  page.Fill(0);
  EXPECT_FALSE(Ellipse(page.dc(), -2000000000, -2000000000, 2000000000, 2000000000));
  EXPECT_EQ(page.Count(0), 100 * 80);
}

}  // namespace
