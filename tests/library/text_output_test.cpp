// Writing and measuring text: the current position, the view area, backgrounds, refusals.
// The same expectations hold on real GDI (under Wine) and on ours.
#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

class TextOutput : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    HeadlessWindow::SetUp();
    SetDrawPage(1);  // hidden: only the page is drawn
    ClearScreen();
    white = NamedColor(ncWhite);
    SetDrawColor(white);
  }
  // The box that holds every pixel of the page other than the background (black), or an empty
  // box when there is none.
  static RECT InkBox(const pvtest::PageImage &img) {
    RECT r{img.width, img.height, 0, 0};
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x)
        if (img.At(x, y) != RGB(0, 0, 0)) {
          r.left = std::min<LONG>(r.left, x);
          r.top = std::min<LONG>(r.top, y);
          r.right = std::max<LONG>(r.right, x + 1);
          r.bottom = std::max<LONG>(r.bottom, y + 1);
        }
    return r;
  }
  uint32_t white = 0;
};

TEST(TextClosed, EveryOperationRefusesWhileClosed) {
  pvtest::CloseWindowIfOpen();
  OutText("closed");
  EXPECT_EQ(GraphError(), grNotOpen);
  OutTextXY(1, 2, "closed");
  EXPECT_EQ(GraphError(), grNotOpen);
  EXPECT_EQ(TextWidth("closed"), 0);
  EXPECT_EQ(GraphError(), grNotOpen);
  EXPECT_EQ(TextHeight("closed"), 0);
  EXPECT_EQ(GraphError(), grNotOpen);
}

struct MetricCase {
  uint16_t font, size;
  const char *text;
  int32_t width, height;  // as Wine's GDI measures them
};

TEST_F(TextOutput, WidthAndHeightAgreeWithRealGdi) {
  const MetricCase cases[] = {
      {0, 16, "Hello, World! 0123 gjpq", 184, 16},         // Courier New
      {1, 3, "Hello, World! 0123 gjpq", 224, 23},          // MS Sans Serif, 24 pixels
      {2, 72, "Hello, World! 0123 gjpq", 647, 72},         // Times New Roman
      {3, 8, "Hello, World! 0123 gjpq", 76, 7},            // Arial
      {16 + 3, 12, "Hello, World! 0123 gjpq", 122, 12},    // bold
      {4096 + 2, 16, "Hello, World! 0123 gjpq", 140, 15},  // italic
      {3, 16, "", 0, 0},
  };
  for (const MetricCase &c : cases) {
    SetTextFont(c.font, 0, c.size);
    EXPECT_EQ(TextWidth(c.text), c.width) << c.font << " " << c.size;
    EXPECT_EQ(GraphError(), grOk);
    EXPECT_EQ(TextHeight(c.text), c.height) << c.font << " " << c.size;
  }
  // Character extra comes after every character; the text's length is all that is read.
  SetTextFont(3, 0, 16);
  const int32_t plain = TextWidth("abc");
  SetTextSpacing(3, 0, 0, 0);
  EXPECT_EQ(TextWidth(std::string_view("abcdef", 3)), plain + 9);
}

struct CursorCase {
  int16_t horizontal;
  uint16_t direction;
  int dx, dy;  // movement in text widths
};

TEST_F(TextOutput, OutTextMovesTheCurrentPositionAsJustified) {
  const CursorCase cases[] = {
      {0, 0, 1, 0}, {1, 0, 0, 0}, {2, 0, -1, 0}, {0, 90, 0, -1}, {2, 90, 0, 1},
  };
  for (const CursorCase &c : cases) {
    SetTextFont(3, c.direction, 20);
    SetTextAlignment(c.horizontal, 2);
    const int32_t w = TextWidth("Lens");
    ASSERT_GT(w, 0);
    MoveCursor(300, 300);
    OutText("Lens");
    EXPECT_EQ(GraphError(), grOk);
    EXPECT_EQ(S().CursorX, 300 + c.dx * w) << c.horizontal << " " << c.direction;
    EXPECT_EQ(S().CursorY, 300 + c.dy * w) << c.horizontal << " " << c.direction;
    for (HDC dc : {S().WindowDC, S().PageDC}) {
      POINT p{};
      pvtest::SessionLockHeld held;
      GetCurrentPositionEx(dc, &p);
      EXPECT_EQ(p.x, S().CursorX);
      EXPECT_EQ(p.y, S().CursorY);
    }
    // Written at a point, the position stays.
    OutTextXY(10, 10, "Lens");
    EXPECT_EQ(S().CursorX, 300 + c.dx * w);
    EXPECT_EQ(S().CursorY, 300 + c.dy * w);
  }
}

TEST_F(TextOutput, TextLiesInItsBoxInsideTheViewArea) {
  SetTextFont(2, 0, 24);
  const int32_t w = TextWidth("Focus"), h = TextHeight("Focus");
  SetViewArea(100, 50, 399, 249, true);
  OutTextXY(20, 30, "Focus");
  RECT ink = InkBox(pvtest::ReadActivePage());
  EXPECT_GE(ink.left, 120);
  EXPECT_GE(ink.top, 80);
  EXPECT_LE(ink.right, 120 + w);
  EXPECT_LE(ink.bottom, 80 + h);
  EXPECT_GT(ink.right - ink.left, w / 2);  // something was written
  // Text running past the view area is cut at its edge.
  ClearScreen();
  OutTextXY(250, 180, "Focus Focus Focus");
  ink = InkBox(pvtest::ReadActivePage());
  EXPECT_LE(ink.right, 400);
  EXPECT_GE(ink.right, 395);
  EXPECT_LE(ink.bottom, 250);
  EXPECT_GE(ink.bottom, 245);
  EXPECT_GE(ink.left, 350);
}

TEST_F(TextOutput, OpaqueModeFillsTheBoxWithTheBackground) {
  SetTextFont(3, 0, 16);
  const uint32_t red = NamedColor(ncRed);
  SetBackColor(red);
  ClearScreen();
  SetBackColor(NamedColor(ncYellow));
  const int32_t w = TextWidth("Ray"), h = TextHeight("Ray");
  for (int16_t mode : {int16_t{0}, int16_t{16}}) {
    SetRasterMode(mode);
    OutTextXY(10, 10 + mode * 4, "Ray");
  }
  const auto img = pvtest::ReadActivePage();
  // The top-left pixel of a cell is leading, never ink.
  const COLORREF back = img.At(0, 0), fill = img.At(10, 74);
  EXPECT_NE(fill, back);
  EXPECT_EQ(img.At(10, 10), back);
  int glyphPixels = 0;
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) {
      const bool glyph = img.At(10 + x, 10 + y) != back;
      glyphPixels += glyph;
      // The same glyph pixels; the rest of the box filled.
      EXPECT_EQ(img.At(10 + x, 74 + y), glyph ? img.At(10 + x, 10 + y) : fill) << x << "," << y;
    }
  EXPECT_GT(glyphPixels, 10);
  EXPECT_EQ(img.At(10 + w, 74), back);     // nothing beyond the box
}

TEST_F(TextOutput, EmptyAndOverlongTextsDrawNothing) {
  SetTextFont(3, 0, 16);
  MoveCursor(50, 60);
  OutText("");
  EXPECT_EQ(GraphError(), grOk);
  const std::string longest(32767, 'x'), tooLong(32768, 'x');
  OutTextXY(0, 0, tooLong);
  EXPECT_EQ(GraphError(), grOutOfRange);
  OutText(tooLong);
  EXPECT_EQ(GraphError(), grOutOfRange);
  EXPECT_EQ(TextWidth(tooLong), 0);
  EXPECT_EQ(GraphError(), grOutOfRange);
  EXPECT_EQ(TextHeight(tooLong), 0);
  EXPECT_EQ(GraphError(), grOutOfRange);
  EXPECT_EQ(S().CursorX, 50);
  EXPECT_EQ(S().CursorY, 60);
  EXPECT_EQ(pvtest::ReadActivePage().CountRGB(RGB(0, 0, 0)), 800 * 600);
  EXPECT_GT(TextWidth(longest), 32767);
  EXPECT_EQ(GraphError(), grOk);
}

TEST_F(TextOutput, EveryByteIsACharacter) {
  SetTextFont(3, 0, 16);
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const int32_t w = TextWidth(all);
  EXPECT_GT(w, 256 * 2);
  OutTextXY(0, 0, all);
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_LT(pvtest::ReadActivePage().CountRGB(RGB(0, 0, 0)), 800 * 600 - 256);
}

TEST_F(TextOutput, DrawnThroughToTheWindowOnTheShownPage) {
  SetDrawPage(0);
  SetShowPage(0);
  ClearScreen();
  pvtest::WaitForPaint();
  SetTextFont(0, 0, 40);
  OutTextXY(5, 5, "##########");
  const auto page = pvtest::ReadActivePage();
  std::vector<POINT> ink;
  for (int y = 5; y < 45; ++y)
    for (int x = 5; x < 300; ++x)
      if (page.At(x, y) != RGB(0, 0, 0)) ink.push_back(POINT{x, y});
  EXPECT_GT(ink.size(), 100u);
  // Nothing asks for a paint: the window has the text only if it was drawn there too. Wine's
  // window DC may show it a moment later, and smooths the glyphs' edges on its 32 bits.
  size_t shown = 0;
  pvtest::WaitUntil([&] {
    shown = 0;
    for (const POINT &p : ink) shown += pvtest::WindowRGB(p.x, p.y) != RGB(0, 0, 0);
    return shown * 4 >= ink.size() * 3;
  });
  EXPECT_GE(shown * 4, ink.size() * 3);
}

}  // namespace
