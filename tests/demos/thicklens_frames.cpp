// Frames of thicklens drawn on the headless host and read back from the page.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "demo_window.h"
#include "headless_window.h"
#include "thicklens_scene.h"

namespace {

using namespace thicklens;

class ThickLensFrame : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    pvtest::HeadlessWindow::SetUp();
    // The stock palette's entries nearest to the named colours' defaults.
    kWhite = plotvane::StockPalette[plotvane::NamedColor(plotvane::ncWhite)];
    kRed = plotvane::StockPalette[plotvane::NamedColor(plotvane::ncRed)];
    ASSERT_GE(GetRValue(kRed), 250);
    ASSERT_EQ(GetGValue(kRed) + GetBValue(kRed), 0);
    ASSERT_GE(std::min({GetRValue(kWhite), GetGValue(kWhite), GetBValue(kWhite)}), 250);
  }

  // Draws one frame and reads back the page it went to.
  pvtest::PageImage Frame(int32_t x, int32_t y) {
    DrawFrame(state, x, y);
    return pvtest::ReadActivePage();
  }

  std::set<int> RowsWith(const pvtest::PageImage &img, COLORREF colour) {
    std::set<int> rows;
    for (int y = 0; y < img.height; ++y)
      for (int x = 0; x < img.width; ++x)
        if (img.At(x, y) == colour) rows.insert(y);
    return rows;
  }

  ProgramState state;
  COLORREF kWhite = 0;
  COLORREF kRed = 0;
};

TEST_F(ThickLensFrame, FirstFrameDrawsPageZeroAndShowsPageOne) {
  Frame(600, 300);
  EXPECT_EQ(plotvane::Session().ActivePage.load(), 0);
  EXPECT_EQ(plotvane::Session().ShownPage.load(), 1);
  Frame(600, 300);
  EXPECT_EQ(plotvane::Session().ActivePage.load(), 1);
  EXPECT_EQ(plotvane::Session().ShownPage.load(), 0);
}

TEST_F(ThickLensFrame, OutlinesLieOnEvenRowsAndOnlyTheCircleReachesRow428) {
  std::set<int> evenRows;
  for (int y = 172; y <= 426; y += 2) evenRows.insert(y);
  std::set<int> circleRows = evenRows;
  circleRows.insert(428);

  const std::set<int> expected[] = {evenRows, evenRows, circleRows};
  for (int shape = 0; shape < 3; ++shape) {
    ASSERT_EQ(state.lensShape, shape);
    const auto img = Frame(600, 300);
    EXPECT_EQ(RowsWith(img, kWhite), expected[shape]) << "shape " << shape;
    EXPECT_EQ(img.CountRGB(kRed), 0);
    // On the axis every outline is 32 pixels thick: 383.5 and 415.5 round to 384 and 416.
    EXPECT_EQ(img.At(384, 300), kWhite) << shape;
    EXPECT_EQ(img.At(416, 300), kWhite) << shape;
    // Row 174 carries y = 173.5: the parabola (and the circle) lie at x = 399, the ellipse at 396.
    EXPECT_EQ(img.At(396, 174) == kWhite, shape == EllipticLens) << shape;
    ApplyKey(state, kSpaceKey);
  }
  EXPECT_EQ(state.lensShape, ParabolicLens) << "three presses bring the parabola back";
}

TEST_F(ThickLensFrame, RaysOnlyWhileThePointerIsInTheLeftHalf) {
  auto img = Frame(399, 300);
  EXPECT_GT(img.CountRGB(kRed), 0);
  EXPECT_EQ(state.fanPhase, 0.001);

  img = Frame(400, 300);
  EXPECT_EQ(img.CountRGB(kRed), 0);
  EXPECT_EQ(state.fanPhase, 0.001) << "the phase waits while the pointer is on the right";

  Frame(399, 300);
  EXPECT_EQ(state.fanPhase, 0.001 + 0.001);
}

TEST_F(ThickLensFrame, RaysRunFromThePointerThroughTheLensAndBeyond) {
  for (int shape = 0; shape < 3; ++shape) {
    const auto img = Frame(100, 300);
    EXPECT_EQ(img.At(100, 300), kRed) << shape;
    int beyond = 0;
    for (int y = 0; y < img.height; ++y)
      for (int x = 500; x < img.width; ++x) beyond += img.At(x, y) == kRed;
    EXPECT_GT(beyond, 500) << "outgoing rays of shape " << shape;
    ApplyKey(state, kSpaceKey);
  }
}

TEST_F(ThickLensFrame, OneKeyPerFrameCountedByItsLastCode) {
  plotvane::PushKeyByte(kSpaceKey);
  plotvane::PushKeyByte('a');
  plotvane::PushExtendedKey(kSpaceKey);
  plotvane::PushExtendedKey(107);  // the close request
  plotvane::PushExtendedKey(kEscKey);
  const uint8_t expected[] = {kSpaceKey, 'a', kSpaceKey, 107, kEscKey, 0};
  int shape = state.lensShape;
  for (uint8_t want : expected) {
    const uint8_t key = demo::TakeFrameKey();
    EXPECT_EQ(key, want);
    ApplyKey(state, key);
    if (want == kSpaceKey) shape = (shape + 1) % 3;
    EXPECT_EQ(state.lensShape, shape) << int(want);
  }
}

}  // namespace
