// Frames of the mirror drawn on the headless host and read back from the page.
#include <gtest/gtest.h>

#include "headless_window.h"
#include "mirrorrays_scene.h"
#include "page_colour.h"

using namespace mirrorrays;

namespace {

class MirrorFrame : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    pvtest::HeadlessWindow::SetUp();
    white_ = demotest::PageRGB(plotvane::ncWhite);
    black_ = demotest::PageRGB(plotvane::ncBlack);
  }

  // One frame in the program's order, read back from the page it was drawn on.
  pvtest::PageImage Draw(int32_t x, int32_t y, int32_t buttons = 0) {
    FlipPages(scene_);
    plotvane::ClearScreen();
    DrawFrame(scene_, PointerState{x, y, buttons});
    return pvtest::ReadActivePage();
  }

  int CountLit(const pvtest::PageImage &img, int x0, int x1, int y0, int y1) const {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) n += img.At(x, y) == white_;
    return n;
  }

  MirrorScene scene_;
  COLORREF white_ = 0, black_ = 0;
};

}  // namespace

TEST_F(MirrorFrame, FirstFrameDrawsPageZeroAndShowsPageOne) {
  const pvtest::PageImage first = Draw(400, 300);
  EXPECT_EQ(plotvane::Session().ActivePage, 0);
  EXPECT_EQ(plotvane::Session().ShownPage, 1);
  EXPECT_EQ(first.At(500, 300), white_);
  Draw(0, 300);
  EXPECT_EQ(plotvane::Session().ActivePage, 1);
  EXPECT_EQ(plotvane::Session().ShownPage, 0);
}

TEST_F(MirrorFrame, MiddlePointerShowsMirrorRaysAndReflections) {
  const pvtest::PageImage img = Draw(400, 300);
  // The mirror from (500, 100) to (500, 499), both ends included.
  EXPECT_EQ(img.At(500, 100), white_);
  EXPECT_EQ(img.At(500, 499), white_);
  EXPECT_EQ(img.At(500, 99), black_);
  EXPECT_EQ(img.At(500, 500), black_);
  EXPECT_EQ(CountLit(img, 500, 500, 100, 499), 400);
  // The source and the hit points of rays 0 and 5.
  EXPECT_EQ(img.At(200, 300), white_);
  EXPECT_EQ(img.At(500, 220), white_);
  EXPECT_EQ(img.At(300, 300), white_);  // ray 5 runs along row 300
  // Ray 0's reflection towards (-746, -110) leaves through the left edge near row 88; ray 5's
  // towards (-799, 303) near row 301.
  EXPECT_GT(CountLit(img, 0, 0, 86, 89), 0);
  EXPECT_GT(CountLit(img, 0, 0, 300, 302), 0);
  // Nothing behind the mirror.
  EXPECT_EQ(CountLit(img, 501, 799, 0, 599), 0);
}

TEST_F(MirrorFrame, HeldButtonDrawsProlongationsThroughTheMirrorImage) {
  const pvtest::PageImage img = Draw(400, 300, plotvane::mbLeft);
  EXPECT_EQ(img.At(500, 220), white_);
  // Ray 0's prolongation runs towards (1745, 550), ray 5's towards (1798, 297).
  EXPECT_GT(CountLit(img, 600, 600, 245, 249), 0);
  // All ten meet at the image of the source, (799, 299.5), and light nothing else there.
  const int atImage = CountLit(img, 799, 799, 299, 300);
  EXPECT_GE(atImage, 1);
  EXPECT_EQ(CountLit(img, 799, 799, 0, 599), atImage);
  // Nothing is reflected back to the source's side.
  EXPECT_EQ(CountLit(img, 0, 199, 0, 599), 0);
}

TEST_F(MirrorFrame, ShiftOrCtrlFlagsAlsoSelectTheProlongations) {
  const pvtest::PageImage left = Draw(420, 250, plotvane::mbLeft);
  for (int32_t buttons : {int32_t{plotvane::mbShift}, int32_t{plotvane::mbCtrl}, int32_t{plotvane::mbRight}}) {
    const pvtest::PageImage other = Draw(420, 250, buttons);
    EXPECT_TRUE(other.rgb == left.rgb) << buttons;
  }
  const pvtest::PageImage none = Draw(420, 250, 0);
  EXPECT_FALSE(none.rgb == left.rgb);
}

TEST_F(MirrorFrame, FanPointingAwayLeavesTheMirrorAlone) {
  const pvtest::PageImage img = Draw(0, 300);
  // Right of the source only the mirror is lit.
  EXPECT_EQ(CountLit(img, 201, 799, 0, 599), 400);
  // Ten rays cross the left edge, from about row 184 down to 409.
  int crossings = 0;
  for (int y = 1; y < 600; ++y) crossings += img.At(0, y) == white_ && img.At(0, y - 1) != white_;
  EXPECT_EQ(crossings, 10);
}
