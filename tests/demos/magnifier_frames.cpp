// Frames of magnifier drawn on the headless host and read back from the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>

#include "headless_window.h"
#include "magnifier_scene.h"

namespace {

using namespace magnifier;

class MagnifierFrame : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    pvtest::HeadlessWindow::SetUp();
    // The stock palette's entries nearest to the named colours' defaults.
    kGrey = plotvane::StockPalette[plotvane::NamedColor(plotvane::ncGrey)];
    kRed = plotvane::StockPalette[plotvane::NamedColor(plotvane::ncRed)];
    ASSERT_NEAR(GetGValue(kGrey), 168, 4);
    ASSERT_GE(GetRValue(kRed), 250);
    ASSERT_EQ(GetGValue(kRed) + GetBValue(kRed), 0);
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

  struct Extent {
    std::set<int> rows;
    int minX = 10000, maxX = -1;
  };
  int RedInColumn(const pvtest::PageImage &img, int x) const {
    int n = 0;
    for (int y = 0; y < img.height; ++y) n += img.At(x, y) == kRed;
    return n;
  }

  // Every lens row shows the body at column x (rays may cross it), and no grey lies outside.
  void ExpectBodyRows(const pvtest::PageImage &img, int x) const {
    for (int y = 172; y <= 427; ++y) EXPECT_TRUE(img.At(x, y) == kGrey || img.At(x, y) == kRed) << "row " << y;
    const Extent grey = GreyExtent(img);
    ASSERT_FALSE(grey.rows.empty());
    EXPECT_EQ(*grey.rows.begin(), 172);
    EXPECT_EQ(*grey.rows.rbegin(), 427);
    EXPECT_GT(grey.rows.size(), 200u);
  }

  Extent GreyExtent(const pvtest::PageImage &img) const {
    Extent e;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x)
        if (img.At(x, y) == kGrey) {
          e.rows.insert(y);
          e.minX = std::min(e.minX, x);
          e.maxX = std::max(e.maxX, x);
        }
    return e;
  }

  ProgramState state;
  COLORREF kGrey = 0;
  COLORREF kRed = 0;
};

TEST_F(MagnifierFrame, StartsWithABiconvexLensOnRows172To427) {
  // The pointer sits far up in the corner, so that few rays cross the body.
  const auto img = Picture(0, 0);
  ExpectBodyRows(img, 400);
  // 32 pixels on the axis: 383.5005 and 415.4995 on the rows next to it.
  const Extent grey = GreyExtent(img);
  EXPECT_EQ(grey.minX, 384);
  EXPECT_EQ(grey.maxX, 415);
  EXPECT_EQ(img.At(384, 300), kGrey);
  EXPECT_EQ(img.At(383, 300), 0u);
  EXPECT_EQ(state.fanPhase, 0.1) << "the phase advances every frame";
}

TEST_F(MagnifierFrame, KeysFourAndEightShrinkTheLensToColumn400) {
  ApplyKey(state, '4');
  ApplyKey(state, '8');
  const auto img = Picture(0, 0);
  ExpectBodyRows(img, 400);
  const Extent grey = GreyExtent(img);
  EXPECT_EQ(grey.minX, 400);
  EXPECT_EQ(grey.maxX, 400);
}

TEST_F(MagnifierFrame, FlatLeftFaceWithACircleGivesAPlanoConvexLens) {
  ApplyKey(state, '4');
  const auto img = Picture(0, 0);
  ExpectBodyRows(img, 400);
  const Extent grey = GreyExtent(img);
  EXPECT_EQ(grey.minX, 400) << "the flat side lies on the centre line";
  EXPECT_EQ(grey.maxX, 415);
  for (int y = 172; y <= 427; ++y) EXPECT_NE(img.At(399, y), kGrey) << y;
}

TEST_F(MagnifierFrame, RaysReachTheEdgeOnTheSourcesSide) {
  auto img = Picture(200, 300);
  EXPECT_EQ(img.At(200, 300), kRed);
  EXPECT_GT(RedInColumn(img, 0), 0);

  img = Picture(600, 300);
  EXPECT_EQ(img.At(600, 300), kRed);
  EXPECT_GT(RedInColumn(img, 799), 0);
}

TEST_F(MagnifierFrame, RaysThroughTwoFlatFacesKeepTheirLine) {
  // With both faces flat a ray bends at x = cx and straight back: the pixels beyond the lens
  // lie on the line from the pointer. The ray to check runs at about 0.25 rad.
  ApplyKey(state, '4');
  ApplyKey(state, '8');
  const auto img = Picture(100, 220);
  int onLine = 0;
  for (int x = 420; x < 780; x += 20) {
    // The fan's angles near 0.25 at phase 0 are -pi + k*0.05; k = 68 gives 0.258...
    const double theta = -3.141592653589793 + 68 * 0.05;
    const int y = static_cast<int>(std::lround(220 + (x - 100) * std::tan(theta)));
    bool red = false;
    for (int dy = -1; dy <= 1; ++dy) red = red || img.At(x, y + dy) == kRed;
    onLine += red;
  }
  EXPECT_EQ(onLine, 18);
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
  plotvane::PushExtendedKey(107);
  plotvane::PushExtendedKey(kEscKey);
  struct Step {
    uint8_t key;
    int32_t left, right;
  };
  const Step steps[] = {{'1', 0, 2}, {'6', 0, 1}, {'9', 0, 1}, {107, 0, 1}, {kEscKey, 0, 1}, {0, 0, 1}};
  for (const Step &step : steps) {
    const uint8_t key = TakeFrameKey();
    EXPECT_EQ(key, step.key);
    ApplyKey(state, key);
    EXPECT_EQ(state.faceShapes[0], step.left) << int(step.key);
    EXPECT_EQ(state.faceShapes[1], step.right) << int(step.key);
  }
}

}  // namespace
