// Opening, closing and re-opening the window, error codes, drivers and modes, pages.
#include <cstdlib>
#include <functional>
#include <string>

#include "headless_window.h"

using namespace plotvane;
using pvtest::HeadlessWindow;

namespace {

GraphSession &S() { return Session(); }

struct ClosedCase {
  const char *name;
  std::function<void()> call;
};

// Every checking operation refuses with -1 while closed and leaves the session alone, except
// that SetDrawColor keeps the colour it was given for the next pen.
TEST(ClosedSession, EveryOperationRefusesAndChangesNothing) {
  pvtest::CloseWindowIfOpen();
  const uint8_t pattern[8] = {1, 2, 3, 4, 5, 6, 7, 8};
  const PolygonPoint tri[3] = {{0, 0}, {10, 0}, {0, 10}};
  PaletteRecord rec;
  rec.Size = 2;
  const std::vector<ClosedCase> cases = {
      {"CloseGraphWindow", [] { CloseGraphWindow(); }},
      {"SetDrawPage", [] { SetDrawPage(1); }},
      {"SetShowPage", [] { SetShowPage(1); }},
      {"InstallPalette", [&] { InstallPalette(rec); }},
      {"SetBackColor", [] { SetBackColor(7); }},
      {"SetViewArea", [] { SetViewArea(1, 2, 30, 40, true); }},
      {"SetRasterMode", [] { SetRasterMode(1); }},
      {"ClearViewArea", [] { ClearViewArea(); }},
      {"ClearScreen", [] { ClearScreen(); }},
      {"UseGLContext", [] { UseGLContext(false); }},
      {"FlushGLDrawing", [] { FlushGLDrawing(); }},
      {"MoveCursor", [] { MoveCursor(5, 6); }},
      {"DrawLineTo", [] { DrawLineTo(5, 6); }},
      {"DrawLine", [] { DrawLine(1, 2, 5, 6); }},
      {"PlotPixel", [] { PlotPixel(5, 6, 3); }},
      {"SetPenStyle", [] { SetPenStyle(3, 0xF0F0, 3); }},
      {"SetDrawColor", [] { SetDrawColor(77); }},
      {"SetFillKind", [] { SetFillKind(4, 9); }},
      {"SetFillPattern", [&] { SetFillPattern(pattern, 9); }},
      {"FillBox", [] { FillBox(0, 0, 5, 5); }},
      {"DrawEllipse", [] { DrawEllipse(10, 10, 5, 5); }},
      {"FillPolygonShape", [&] { FillPolygonShape(3, tri); }},
      {"DrawArc", [] { DrawArc(10, 10, 0, 90, 5, 5); }},
      {"DrawCircle", [] { DrawCircle(10, 10, 5); }},
      {"InstallFontFace", [] { EXPECT_EQ(InstallFontFace("Arial"), -1); }},
      {"SetTextFont", [] { SetTextFont(1, 0, 3); }},
      {"SetTextAlignment", [] { SetTextAlignment(1, 1); }},
      {"SetTextSpacing", [] { SetTextSpacing(1, 1, 0, 0); }},
  };
  for (const ClosedCase &c : cases) {
    const int32_t cx = S().CursorX;
    const uint32_t draw = S().DrawColor, fill = S().FillColor;
    const int16_t style = S().LineStyle;
    c.call();
    EXPECT_EQ(GraphError(), grNotOpen) << c.name;
    EXPECT_EQ(S().CursorX, cx) << c.name;
    EXPECT_EQ(S().DrawColor, std::string(c.name) == "SetDrawColor" ? 77u : draw) << c.name;
    EXPECT_EQ(S().FillColor, fill) << c.name;
    EXPECT_EQ(S().LineStyle, style) << c.name;
  }
  EXPECT_EQ(NextKey(), 0);
  EXPECT_FALSE(KeyWaiting());
  MouseEvent e;
  EXPECT_FALSE(NextMouseEvent(e));
}

struct OpenErrorCase {
  int16_t driver, mode, expected;
};

TEST(OpenGraphWindow, InvalidDriverOrModeStartsNoThread) {
  const OpenErrorCase cases[] = {
      {4, 6, grInvalidDriver}, {-1, 6, grInvalidDriver}, {3, 9, grInvalidMode}, {3, 14, grInvalidMode},
      {3, 0, grInvalidMode},   {3, -2, grInvalidMode},   {4, 9, grInvalidMode},  {10, 1, grInvalidDriver},
  };
  for (const OpenErrorCase &c : cases) {
    int16_t d = c.driver, m = c.mode;
    pvtest::UseHeadlessHost();
    OpenGraphWindow(d, m, "bad");
    EXPECT_EQ(GraphError(), c.expected) << c.driver << "/" << c.mode;
    EXPECT_FALSE(GraphActive());
    EXPECT_EQ(S().ThreadHandle, nullptr);
    EXPECT_EQ(d, c.driver);
    EXPECT_EQ(m, c.mode);
  }
}

TEST(OpenGraphWindow, OpenCloseAndReopen) {
  for (int round = 0; round < 3; ++round) {
    const int16_t err = pvtest::OpenWindow(3, 6);
    ASSERT_TRUE(err == grOk || err == grNoOpenGL) << err;
    ASSERT_TRUE(GraphActive());
    EXPECT_EQ(ScreenMaxX(), 799);
    EXPECT_EQ(ScreenMaxY(), 599);
    EXPECT_TRUE(IsWindowVisible(S().WindowHandle));
    // A second open while open changes nothing.
    int16_t d = 1, m = 1;
    OpenGraphWindow(d, m, "again");
    EXPECT_EQ(GraphError(), grAlreadyOpen);
    EXPECT_EQ(S().Driver, 3);
    EXPECT_EQ(ScreenMaxX(), 799);

    PlotPixel(3, 4, NamedColor(ncRed));
    EXPECT_EQ(GraphError(), grOk);
    CloseGraphWindow();
    EXPECT_EQ(GraphError(), grOk);
    EXPECT_FALSE(GraphActive());
    EXPECT_EQ(S().ThreadHandle, nullptr);
    CloseGraphWindow();
    EXPECT_EQ(GraphError(), grNotOpen);
    PlotPixel(3, 4, 1);
    EXPECT_EQ(GraphError(), grNotOpen);
    UseGLContext(true);
    EXPECT_EQ(GraphError(), grNotOpen);
  }
}

struct DriverModeCase {
  int16_t driver, mode;
  int w, h;
  bool palette;
  int depth, colors;
};

TEST(OpenGraphWindow, DriversAndFixedModes) {
  const DriverModeCase cases[] = {
      {1, 1, 320, 200, true, 1, 2},  {2, 2, 640, 200, true, 4, 16},  {3, 3, 640, 350, true, 8, 256},
      {9, 4, 640, 480, false, 32, 0}, {3, 5, 720, 350, true, 8, 256}, {9, 6, 800, 600, false, 32, 0},
  };
  for (const DriverModeCase &c : cases) {
    pvtest::OpenWindow(c.driver, c.mode);
    ASSERT_TRUE(GraphActive()) << c.driver << "/" << c.mode;
    RECT r{}, wr{};
    GetClientRect(S().WindowHandle, &r);
    EXPECT_EQ(r.right, c.w) << c.mode;
    EXPECT_EQ(r.bottom, c.h) << c.mode;
    EXPECT_EQ(ScreenMaxX(), c.w - 1);
    EXPECT_EQ(S().WindowStyle, 0x00CA0000u);
    GetWindowRect(S().WindowHandle, &wr);  // centred
    EXPECT_EQ(wr.left, (S().ScreenWidth - (wr.right - wr.left)) / 2);
    EXPECT_EQ(wr.top, (S().ScreenHeight - (wr.bottom - wr.top)) / 2);
    EXPECT_EQ(S().PaletteMode.load(), c.palette) << c.driver;
    EXPECT_EQ(S().ColorDepth, c.depth) << c.driver;
    if (c.palette) {
      EXPECT_EQ(S().MaxColors, c.colors);
      EXPECT_EQ(S().PaletteSize, c.colors);
    }
    for (HBITMAP page : S().Pages) {
      BITMAP bm{};
      ASSERT_NE(GetObjectA(page, sizeof bm, &bm), 0);
      EXPECT_EQ(bm.bmWidth, c.w);
      EXPECT_EQ(bm.bmBitsPixel, c.depth);
    }
    CloseGraphWindow();
  }
}

TEST(OpenGraphWindow, DriverZeroAndCaptions) {
  int16_t d = 0, m = 3;
  pvtest::UseHeadlessHost();
  OpenGraphWindow(d, m, "");
  ASSERT_TRUE(GraphActive());
  EXPECT_EQ(d, 9);
  EXPECT_EQ(m, 10);
  EXPECT_FALSE(S().PaletteMode);
  EXPECT_EQ(S().OuterWidth, 0);
  EXPECT_GT(ScreenMaxX(), 0);
  char title[400] = {};
  GetWindowTextA(S().WindowHandle, title, sizeof title);
  EXPECT_STREQ(title, "Plotvane 1.1");
  CloseGraphWindow();

  // A caption longer than 255 characters is cut.
  pvtest::OpenWindow(3, 1, std::string(300, 'c').c_str());
  ASSERT_TRUE(GraphActive());
  GetWindowTextA(S().WindowHandle, title, sizeof title);
  EXPECT_EQ(std::string(title), std::string(255, 'c'));
  CloseGraphWindow();
}

// The library closes a window left open when the process ends. A handler registered before
// the library's own runs after it and sees the result.
void ExitUnlessClosed() {
  if (GraphActive()) std::_Exit(3);
}

TEST(ProcessExit, ClosesAWindowLeftOpen) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        std::atexit(ExitUnlessClosed);
        pvtest::OpenWindow();
        if (!GraphActive()) std::_Exit(4);
        PlotPixel(1, 1, 2);
        std::exit(0);
      },
      ::testing::ExitedWithCode(0), "");
}

// ---- pages

using Pages = HeadlessWindow;

TEST_F(Pages, PageNumbersAboveThreeMeanPageZero) {
  SetDrawPage(2);
  EXPECT_EQ(S().ActivePage, 2);
  EXPECT_FALSE(S().DrawThrough);
  SetDrawPage(7);
  EXPECT_EQ(S().ActivePage, 0);
  EXPECT_TRUE(S().DrawThrough);
  SetShowPage(4);
  EXPECT_EQ(S().ShownPage, 0);
}

// Repaints the whole window from the shown page and waits until the window shows `expected`
// at (x, y); Wine's window DC may show the copy a moment after the paint. Returns what it shows.
COLORREF RepaintAndRead(int x, int y, COLORREF expected) {
  InvalidateRect(S().WindowHandle, nullptr, FALSE);
  pvtest::WaitForPaint();
  pvtest::WaitUntil([&] { return pvtest::WindowRGB(x, y) == expected; });
  return pvtest::WindowRGB(x, y);
}

TEST_F(Pages, HiddenPageStaysInvisibleUntilShown) {
  const COLORREF red = RGB(252, 0, 0), black = RGB(0, 0, 0);
  SetDrawPage(1);
  ClearScreen();
  SetFillKind(1, NamedColor(ncRed));
  FillBox(10, 10, 20, 20);
  ASSERT_EQ(pvtest::ReadPage(1).At(15, 15), red);
  // A repaint copies the shown page 0, not the page being drawn on.
  EXPECT_EQ(RepaintAndRead(15, 15, black), black);

  SetShowPage(1);
  EXPECT_TRUE(S().DrawThrough);
  pvtest::WaitForPaint();
  pvtest::WaitUntil([&] { return pvtest::WindowRGB(15, 15) == red; });
  EXPECT_EQ(pvtest::WindowRGB(15, 15), red);
  EXPECT_EQ(pvtest::WindowRGB(21, 21), black);

  // Drawing through: the shown page reaches the window at once, without a repaint.
  PlotPixel(30, 30, NamedColor(ncYellow));
  EXPECT_EQ(pvtest::WindowRGB(30, 30), pvtest::PagePixel(30, 30));
  EXPECT_NE(pvtest::WindowRGB(30, 30), black);

  // Page 0, which never got the box, shown again while page 1 stays the drawing page.
  SetShowPage(0);
  EXPECT_FALSE(S().DrawThrough);
  EXPECT_EQ(RepaintAndRead(15, 15, black), black);
  EXPECT_EQ(RepaintAndRead(30, 30, black), black);
}

TEST_F(Pages, CloseRequestBecomesAKeyAndTheWindowStays) {
  PostMessageA(S().WindowHandle, WM_CLOSE, 0, 0);
  ASSERT_TRUE(pvtest::WaitUntil([] { return KeyWaiting(); }));
  EXPECT_TRUE(IsWindow(S().WindowHandle));
  EXPECT_TRUE(GraphActive());
  EXPECT_EQ(NextKey(), 0);
  EXPECT_EQ(NextKey(), 107);
}

}  // namespace
