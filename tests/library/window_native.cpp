// Window geometry on screens of chosen sizes, and objects released on close (our platform's
// headless screen size and live-object counts).
#include "headless_window.h"

using namespace plotvane;

namespace {

// The library reads the screen size when it starts; a test changes both together.
void UseScreen(int w, int h) {
  pvtest::UseHeadlessHost();
  pvplatform::SetHeadlessScreenSize(w, h);
  Session().ScreenWidth = w;
  Session().ScreenHeight = h;
}

struct GeometryCase {
  int screenW, screenH;
  int16_t mode;
  int16_t error;
  bool popup;
  int clientW, clientH;
};

TEST(WindowGeometry, ModesOnScreensOfChosenSizes) {
  const int fw = 2 * GetSystemMetrics(SM_CXDLGFRAME);
  const int fh = 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
  const GeometryCase cases[] = {
      {800, 600, 6, grOk, true, 800, 600},            // framed does not fit, the client does
      {1024, 768, 6, grOk, false, 800, 600},
      {1024, 768, 7, grOk, true, 1024, 768},
      {1024, 768, 8, grInvalidMode, false, 0, 0},     // too large even without frame
      {1280, 1024, 11, grOk, false, 1280 - fw, 1024 - fh},
      {1280, 1024, 12, grOk, true, 1280, 1024},
      {640, 480, 13, grInvalidMode, false, 0, 0},     // no custom size set
  };
  for (const GeometryCase &c : cases) {
    UseScreen(c.screenW, c.screenH);
    const int threadsBefore = pvplatform::CountLive().threads;
    int16_t d = 3, m = c.mode;
    OpenGraphWindow(d, m, "geometry");
    const int16_t err = GraphError();
    if (c.error != grOk) {
      EXPECT_EQ(err, c.error) << c.mode;
      EXPECT_FALSE(GraphActive());
      EXPECT_EQ(pvplatform::CountLive().threads, threadsBefore) << "a refused open started a thread";
      continue;
    }
    ASSERT_TRUE(GraphActive()) << c.mode << " gave " << err;
    EXPECT_EQ(Session().WindowStyle, c.popup ? 0x80000000u : 0x00CA0000u) << c.mode;
    RECT client{}, outer{};
    GetClientRect(Session().WindowHandle, &client);
    GetWindowRect(Session().WindowHandle, &outer);
    EXPECT_EQ(client.right, c.clientW) << c.mode;
    EXPECT_EQ(client.bottom, c.clientH) << c.mode;
    if (c.popup && c.clientW == c.screenW) {
      EXPECT_EQ(outer.left, 0);
      EXPECT_EQ(outer.top, 0);
    }
    CloseGraphWindow();
  }
}

TEST(WindowGeometry, CustomModeUsesTheCustomSize) {
  UseScreen(1024, 768);
  Session().CustomWidth = 300;
  Session().CustomHeight = 120;
  int16_t d = 3, m = 13;
  OpenGraphWindow(d, m, "custom");
  ASSERT_TRUE(GraphActive());
  EXPECT_EQ(ScreenMaxX(), 299);
  EXPECT_EQ(ScreenMaxY(), 119);
  CloseGraphWindow();
  Session().CustomWidth = Session().CustomHeight = 0;
}

TEST(WindowLifetime, CloseReleasesEverythingTheWindowMade) {
  UseScreen(1024, 768);
  const pvplatform::LiveCounts before = pvplatform::CountLive();
  for (int round = 0; round < 2; ++round) {
    int16_t d = 3, m = 6;
    OpenGraphWindow(d, m, "counts");
    ASSERT_TRUE(GraphActive());
    // Exchange every kind of object a few times.
    for (int i = 0; i < 3; ++i) {
      SetPenStyle(static_cast<int16_t>(i), 0, 2);
      SetFillKind(static_cast<int16_t>(2 + i), 5);
      const uint8_t p[8] = {0x81, 0, 0, 0, 0, 0, 0, 0x18};
      SetFillPattern(p, 3);
      SetTextFont(static_cast<uint16_t>(i), 0, 12);
      SetViewArea(10, 10, 100, 100, true);
      ClearScreen();
    }
    CloseGraphWindow();
    const pvplatform::LiveCounts after = pvplatform::CountLive();
    EXPECT_EQ(after.gdiObjects, before.gdiObjects);
    EXPECT_EQ(after.dcs, before.dcs);
    EXPECT_EQ(after.windows, before.windows);
    EXPECT_EQ(after.threads, before.threads);
  }
}

// With every GDI handle taken, a new fill pattern cannot be made: reported, and the brush in
// use stays (a fill still paints with it).
TEST(WindowLifetime, FillPatternNotMadeKeepsTheOldBrush) {
  UseScreen(1024, 768);
  int16_t d = 3, m = 1;
  OpenGraphWindow(d, m, "no handles");
  ASSERT_TRUE(GraphActive());
  SetFillKind(4, 5);
  const HBRUSH brush = Session().CurrentBrush;
  std::vector<HRGN> taken;
  while (HRGN r = CreateRectRgn(0, 0, 1, 1)) taken.push_back(r);
  const uint8_t rows[8] = {0xFF, 0, 0xFF, 0, 0xFF, 0, 0xFF, 0};
  SetFillPattern(rows, 3);
  EXPECT_EQ(GraphError(), grNoWindow);
  EXPECT_EQ(Session().CurrentBrush, brush);
  EXPECT_EQ(Session().FillStyle, 4);
  EXPECT_EQ(Session().UserPattern[1], 0xFF);
  for (HRGN r : taken) DeleteObject(r);

  SetFillPattern(rows, 3);
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_EQ(Session().FillStyle, 8);
  EXPECT_EQ(Session().UserPattern[1], 0);
  CloseGraphWindow();
}

}  // namespace
