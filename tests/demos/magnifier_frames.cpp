// Frames of magnifier drawn on the headless host and read back from the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "demo_window.h"
#include "headless_window.h"
#include "magnifier_scene.h"

namespace {

using namespace magnifier;

class MagnifierFrame : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    pvtest::HeadlessWindow::SetUp();
    // The stock palette's entries nearest to the named colours' defaults.
    grey = plotvane::StockPalette[plotvane::NamedColor(plotvane::ncGrey)];
    red = plotvane::StockPalette[plotvane::NamedColor(plotvane::ncRed)];
    ASSERT_NEAR(GetGValue(grey), 168, 4);
    ASSERT_GE(GetRValue(red), 250);
    ASSERT_EQ(GetGValue(red) + GetBValue(red), 0);
  }

  // Draws one frame's picture, reads back the page it went to, then flips and clears as the
  // frame loop does.
  pvtest::PageImage Picture(int32_t x, int32_t y) {
    DrawPicture(state, x, y);
    pvtest::PageImage img = pvtest::ReadActivePage();
    FlipPages(state);
    plotvane::ClearScreen();
    return img;
  }

  int RedInColumn(const pvtest::PageImage &img, int x) const {
    int n = 0;
    for (int y = 0; y < img.height; ++y) n += img.At(x, y) == red;
    return n;
  }

  ProgramState state;
  COLORREF grey = 0;
  COLORREF red = 0;
};

TEST_F(MagnifierFrame, LensBodyForEachPairOfFaces) {
  struct Case {
    std::string keys;
    int minX, maxX;
  };
  // At start two circles, 32 pixels on the axis (383.5005 and 415.4995 on the rows next to it);
  // 4 and 8 two flat faces on the single column 400; 4 alone a flat side on the centre line.
  const Case cases[] = {{"", 384, 415}, {"48", 400, 400}, {"47", 400, 415}, {"15", 384, 415}};
  for (const Case &c : cases) {
    state.faceShapes = {CircularFace, CircularFace};
    for (char key : c.keys) ApplyKey(state, static_cast<uint8_t>(key));
    // The pointer in the corner sends few rays across the body.
    const auto img = Picture(0, 0);
    int top = 10000, bottom = -1, left = 10000, right = -1;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x)
        if (img.At(x, y) == grey) {
          top = std::min(top, y), bottom = std::max(bottom, y);
          left = std::min(left, x), right = std::max(right, x);
        }
    EXPECT_GE(top, 172) << c.keys;
    EXPECT_LE(bottom, 427) << c.keys;
    EXPECT_EQ(left, c.minX) << c.keys;
    EXPECT_EQ(right, c.maxX) << c.keys;
    // Every lens row has its body at x = 400, unless a ray crosses it there.
    for (int y = 172; y <= 427; ++y) EXPECT_TRUE(img.At(400, y) == grey || img.At(400, y) == red) << y;
  }
}

TEST_F(MagnifierFrame, RaysReachTheEdgeOnTheSourcesSideAndThePhaseAdvances) {
  auto img = Picture(200, 300);
  EXPECT_EQ(img.At(200, 300), red);
  EXPECT_GT(RedInColumn(img, 0), 0);
  EXPECT_EQ(state.fanPhase, 0.1);

  img = Picture(600, 300);
  EXPECT_EQ(img.At(600, 300), red);
  EXPECT_GT(RedInColumn(img, 799), 0);
}

TEST_F(MagnifierFrame, FirstFrameIsDrawnInViewThenTheEmptyPageIsShown) {
  auto &s = plotvane::Session();
  DrawPicture(state, 0, 0);
  EXPECT_EQ(s.ActivePage.load(), 0);
  EXPECT_EQ(s.ShownPage.load(), 0) << "drawn while shown";
  FlipPages(state);
  EXPECT_EQ(s.ActivePage.load(), 0);
  EXPECT_EQ(s.ShownPage.load(), 1);
  FlipPages(state);
  EXPECT_EQ(s.ActivePage.load(), 1);
  EXPECT_EQ(s.ShownPage.load(), 0);
}

TEST_F(MagnifierFrame, OneKeyPerFrameCountedByItsLastCode) {
  plotvane::PushKeyByte('1');
  plotvane::PushExtendedKey('6');
  plotvane::PushKeyByte('9');
  plotvane::PushExtendedKey(107);  // the close request
  plotvane::PushExtendedKey(kEscKey);
  struct Step {
    uint8_t key;
    int32_t left, right;
  };
  const Step steps[] = {{'1', 0, 2}, {'6', 0, 1}, {'9', 0, 1}, {107, 0, 1}, {kEscKey, 0, 1}, {0, 0, 1}};
  for (const Step &step : steps) {
    const uint8_t key = demo::TakeFrameKey();
    EXPECT_EQ(key, step.key);
    ApplyKey(state, key);
    EXPECT_EQ(state.faceShapes[0], step.left) << int(step.key);
    EXPECT_EQ(state.faceShapes[1], step.right) << int(step.key);
  }
}

}  // namespace
