// Pixels, lines and the pen, read back from the active page (driver 3: indices).
#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

class Lines : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    HeadlessWindow::SetUp();
    SetDrawPage(1);  // hidden: only the page is drawn
    ClearScreen();
    white = NamedColor(ncWhite);
  }
  uint32_t white = 0;
};

struct EndPointCase {
  int16_t style;
  uint16_t thickness;
  int16_t x1, x2;  // along row 20
  std::vector<int> expected;
};

TEST_F(Lines, EndPointRule) {
  const EndPointCase cases[] = {
      {0, 1, 10, 14, {10, 11, 12, 13, 14}},  // LineTo leaves the end out, the pixel adds it
      {0, 1, 14, 10, {10, 11, 12, 13, 14}},
      {0, 1, 50, 50, {50}},                  // zero length: exactly its point
      {5, 1, 50, 50, {}},                    // style 5 never draws its end point
      {6, 1, 10, 60, {60}},                  // null pen: the end point only
      {6, 2, 10, 60, {}},
  };
  for (const EndPointCase &c : cases) {
    ClearScreen();
    SetPenStyle(c.style, 0xFFFF, c.thickness);
    DrawLine(c.x1, 20, c.x2, 20);
    EXPECT_EQ(S().CursorX, c.x2);
    POINT p{};
    {
      pvtest::SessionLockHeld held;
      GetCurrentPositionEx(S().WindowDC, &p);  // moved although not drawn through
    }
    EXPECT_EQ(p.x, c.x2);
    const auto img = pvtest::ReadActivePage();
    std::vector<int> set;
    for (int x = 0; x < 100; ++x)
      if (img.IndexAt(x, 20) == 15) set.push_back(x);
    EXPECT_EQ(set, c.expected) << "style " << c.style << " " << c.x1 << ".." << c.x2;
    EXPECT_EQ(img.CountIndex(15), static_cast<int>(c.expected.size()));
  }
}

struct StyleFiveCase {
  uint16_t pattern;
  int length;  // pixels from x = 0 to length (end excluded)
  std::vector<int> expected;
};

TEST_F(Lines, StyleFiveFollowsThePatternPixelByPixel) {
  const StyleFiveCase cases[] = {
      {0x0001, 40, {0, 16, 32}},
      {0x8000, 40, {15, 31}},
      {0x0005, 8, {0, 2}},
      {0x0000, 40, {}},
  };
  for (const StyleFiveCase &c : cases) {
    ClearScreen();
    SetPenStyle(5, c.pattern, 7);  // thickness is ignored: one pixel wide
    DrawLine(100, 200, static_cast<int16_t>(100 + c.length), 200);
    EXPECT_EQ(S().CursorX, 100 + c.length);
    const auto img = pvtest::ReadActivePage();
    std::vector<int> set;
    for (int x = 90; x < 200; ++x)
      if (img.IndexAt(x, 200) != 0) set.push_back(x - 100);
    EXPECT_EQ(set, c.expected) << std::hex << c.pattern;
    EXPECT_EQ(img.CountIndex(0), 800 * 600 - static_cast<int>(c.expected.size()));
  }
}

TEST_F(Lines, StyleFivePatternRestartsForEveryLine) {
  SetPenStyle(5, 0x0001, 1);
  DrawLine(0, 10, 20, 10);
  DrawLineTo(40, 10);
  const auto img = pvtest::ReadActivePage();
  std::vector<int> set;
  for (int x = 0; x <= 45; ++x)
    if (img.IndexAt(x, 10)) set.push_back(x);
  EXPECT_EQ(set, (std::vector<int>{0, 16, 20, 36}));
}

TEST_F(Lines, DottedLineEndsInOnePlainPixel) {
  SetPenStyle(1, 0, 1);  // library style 1 is the dotted pen
  DrawLine(0, 5, 40, 5);
  const auto img = pvtest::ReadActivePage();
  // Dots of three, gaps of three: 0-2 on, 3-5 off.
  EXPECT_EQ(img.IndexAt(0, 5), 15);
  EXPECT_EQ(img.IndexAt(2, 5), 15);
  EXPECT_EQ(img.IndexAt(3, 5), 0);
  EXPECT_EQ(img.IndexAt(5, 5), 0);
  EXPECT_EQ(img.IndexAt(40, 5), 15);  // the end point, inside a gap of the pattern
  EXPECT_EQ(img.IndexAt(39, 5), 0);
}

TEST_F(Lines, ThickLinesAreWiderAndHaveNoSeparateEndPixel) {
  SetPenStyle(0, 0, 5);
  DrawLine(100, 100, 200, 100);
  const auto img = pvtest::ReadActivePage();
  int rows = 0;
  for (int y = 90; y <= 110; ++y) rows += img.IndexAt(150, y) != 0;
  EXPECT_EQ(rows, 5);
}

TEST_F(Lines, PlotPixelSetsThePlainColourUnderXor) {
  SetRasterMode(1);  // XOR
  const uint32_t red = NamedColor(ncRed);  // index 40
  PlotPixel(5, 5, red);
  PlotPixel(5, 5, red);
  SetDrawColor(red);
  DrawLine(10, 10, 20, 10);
  DrawLine(10, 10, 20, 10);  // the LineTo part cancels out, the end point stays
  const auto img = pvtest::ReadActivePage();
  EXPECT_EQ(img.IndexAt(5, 5), 40);
  EXPECT_EQ(img.IndexAt(15, 10), 0);
  EXPECT_EQ(img.IndexAt(20, 10), 40);
  EXPECT_EQ(GetROP2(S().PageDC), R2_XORPEN);  // the mode is restored after each pixel
  EXPECT_EQ(GetROP2(S().WindowDC), R2_XORPEN);
}

TEST_F(Lines, InvalidStyleKeepsThePen) {
  SetPenStyle(3, 0x1234, 2);
  HGDIOBJ pen = pvtest::CurrentObject(S().PageDC, OBJ_PEN);
  for (int16_t bad : {int16_t{7}, int16_t{-1}, int16_t{300}}) {
    SetPenStyle(bad, 0x5555, 9);
    EXPECT_EQ(GraphError(), grOutOfRange);
    EXPECT_EQ(S().LineStyle, 3);
    EXPECT_EQ(S().LinePattern, 0x1234);
    EXPECT_EQ(S().LineThickness, 2);
    EXPECT_EQ(pvtest::CurrentObject(S().PageDC, OBJ_PEN), pen);
  }
}

TEST_F(Lines, PenCarriesStyleWidthAndColour) {
  SetDrawColor(NamedColor(ncYellow));
  SetPenStyle(3, 0, 4);
  LOGPEN lp{};
  ASSERT_NE(GetObjectA(pvtest::CurrentObject(S().PageDC, OBJ_PEN), sizeof lp, &lp), 0);
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASH));
  EXPECT_EQ(lp.lopnWidth.x, 4);
  EXPECT_EQ(lp.lopnColor, PALETTEINDEX(44));
  EXPECT_EQ(pvtest::CurrentObject(S().WindowDC, OBJ_PEN), pvtest::CurrentObject(S().PageDC, OBJ_PEN));
  EXPECT_EQ(GetTextColor(S().PageDC), PALETTEINDEX(44));
}

TEST_F(Lines, CoordinatesWrapIn16BitsAfterTheOrigin) {
  SetViewArea(100, 0, 799, 599, false);
  PlotPixel(-100, 3, white);  // device x 0
  PlotPixel(32767, 4, white);  // wraps to -32669: off the page
  const auto img = pvtest::ReadActivePage();
  EXPECT_EQ(img.IndexAt(0, 3), 15);
  EXPECT_EQ(img.CountIndex(15), 1);
}

}  // namespace
