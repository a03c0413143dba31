// View area offsets and clipping, raster modes, aspect values and the clears.
#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

class ViewArea : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    HeadlessWindow::SetUp();
    SetDrawPage(1);
    ClearScreen();
    white = NamedColor(ncWhite);
  }
  uint32_t white = 0;
};

struct PixelCase {
  bool clip;
  int16_t x, y;
  int wx, wy;  // window pixel expected, or -1 for clipped away
};

TEST_F(ViewArea, OffsetsAndClipping) {
  const PixelCase cases[] = {
      {true, 0, 0, 100, 50},   {true, 99, 99, 199, 149}, {true, 100, 0, -1, -1},
      {true, -1, 5, -1, -1},   {false, 100, 0, 200, 50}, {false, -100, -50, 0, 0},
  };
  for (const PixelCase &c : cases) {
    ClearScreen();
    SetViewArea(100, 50, 199, 149, c.clip);
    ASSERT_EQ(GraphError(), grOk);
    PlotPixel(c.x, c.y, white);
    const auto img = pvtest::ReadActivePage();
    if (c.wx < 0) {
      EXPECT_EQ(img.CountIndex(15), 0) << c.x << "," << c.y;
    } else {
      EXPECT_EQ(img.CountIndex(15), 1) << c.x << "," << c.y;
      EXPECT_EQ(img.IndexAt(c.wx, c.wy), 15) << c.x << "," << c.y;
    }
  }
}

TEST_F(ViewArea, ReversedCornersAreRefused) {
  SetViewArea(20, 30, 200, 300, true);
  HRGN region = S().ClipRegion;
  SetViewArea(10, 10, 5, 20, true);
  EXPECT_EQ(GraphError(), grOutOfRange);
  SetViewArea(10, 30, 20, 29, false);
  EXPECT_EQ(GraphError(), grOutOfRange);
  EXPECT_EQ(S().ViewArea.X1, 20);
  EXPECT_EQ(S().ViewArea.X2, 200);
  EXPECT_TRUE(S().ViewArea.Clip);
  EXPECT_EQ(S().ClipRegion, region);
}

TEST_F(ViewArea, SinglePixelViewAreaClearsOnePixel) {
  SetBackColor(NamedColor(ncRed));
  SetViewArea(5, 5, 5, 5, true);
  ASSERT_EQ(GraphError(), grOk);
  ClearViewArea();
  const auto img = pvtest::ReadActivePage();
  EXPECT_EQ(img.CountIndex(40), 1);
  EXPECT_EQ(img.IndexAt(5, 5), 40);
}

TEST_F(ViewArea, ClearScreenKeepsTheClippedViewArea) {
  SetViewArea(100, 100, 199, 199, true);
  MoveCursor(20, 20);
  SetBackColor(NamedColor(ncYellow));
  ClearScreen();
  const auto img = pvtest::ReadActivePage();
  EXPECT_EQ(img.CountIndex(44), 800 * 600);
  EXPECT_EQ(S().ViewArea.X1, 100);
  EXPECT_EQ(S().ViewArea.Y2, 199);
  EXPECT_TRUE(S().ViewArea.Clip);
  EXPECT_NE(S().ClipRegion, nullptr);
  EXPECT_EQ(S().CursorX, 0);
  // Still clipped: a pixel outside the view area does not land.
  PlotPixel(150, 0, white);
  EXPECT_EQ(pvtest::ReadActivePage().CountIndex(15), 0);
}

TEST_F(ViewArea, ClearViewAreaRestoresTheFillStyle) {
  const uint8_t pattern[8] = {0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55};
  SetFillPattern(pattern, NamedColor(ncRed));
  SetFillKind(8, 123);
  ClearViewArea();
  EXPECT_EQ(S().FillStyle, 8);
  EXPECT_EQ(S().FillColor, 123u);
  LOGBRUSH lb{};
  GetObjectA(pvtest::CurrentObject(S().PageDC, OBJ_BRUSH), sizeof lb, &lb);
  EXPECT_EQ(lb.lbStyle, static_cast<UINT>(BS_PATTERN));
}

struct RasterCase {
  int16_t mode;
  int rop2;
  int bkMode;
};

TEST_F(ViewArea, RasterModesSetMixAndBackgroundMode) {
  const RasterCase cases[] = {
      {0, R2_COPYPEN, TRANSPARENT}, {1, R2_XORPEN, TRANSPARENT},  {5, R2_NOT, TRANSPARENT},
      {13, R2_BLACK, TRANSPARENT},  {15, R2_NOP, TRANSPARENT},    {16, R2_COPYPEN, OPAQUE},
      {17, R2_XORPEN, OPAQUE},      {30, R2_WHITE, OPAQUE},       {31, R2_NOP, OPAQUE},
  };
  for (const RasterCase &c : cases) {
    SetRasterMode(c.mode);
    EXPECT_EQ(GraphError(), grOk);
    for (HDC dc : {S().PageDC, S().WindowDC}) {
      EXPECT_EQ(GetROP2(dc), c.rop2) << c.mode;
      EXPECT_EQ(GetBkMode(dc), c.bkMode) << c.mode;
    }
  }
  for (int16_t bad : {int16_t{32}, int16_t{-1}, int16_t{-16}, int16_t{100}}) {
    SetRasterMode(bad);
    EXPECT_EQ(GraphError(), grOutOfRange) << bad;
    EXPECT_EQ(GetROP2(S().PageDC), R2_NOP);
  }
}

TEST(Aspect, NeutralOnlyAtTenThousandAndZeroRefused) {
  SetAspect(10000, 10000);
  EXPECT_TRUE(Session().AspectNeutral);
  SetAspect(10000, 20000);
  EXPECT_FALSE(Session().AspectNeutral);
  EXPECT_EQ(Session().AspectY, 20000);
  for (auto [x, y] : {std::pair<uint16_t, uint16_t>{0, 10000}, {10000, 0}, {0, 0}}) {
    SetAspect(x, y);
    EXPECT_EQ(GraphError(), grOutOfRange);
    EXPECT_EQ(Session().AspectX, 10000);
    EXPECT_EQ(Session().AspectY, 20000);
  }
  SetAspect(10000, 10000);
}

}  // namespace
