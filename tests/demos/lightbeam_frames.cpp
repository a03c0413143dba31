// Frames of the light beam drawn on the headless host and read back from the page.
#include <gtest/gtest.h>

#include <cmath>

#include "headless_window.h"
#include "lightbeam_scene.h"
#include "page_colour.h"

using namespace lightbeam;

namespace {

class BeamFrame : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    pvtest::HeadlessWindow::SetUp();
    white_ = demotest::PageRGB(plotvane::ncWhite);
    grey_ = demotest::PageRGB(plotvane::ncGrey);
    red_ = demotest::PageRGB(plotvane::ncRed);
    black_ = demotest::PageRGB(plotvane::ncBlack);
  }

  // One frame in the program's order, read back from the page it was drawn on.
  pvtest::PageImage Draw(int32_t x, int32_t y) {
    FlipPages(scene_);
    plotvane::ClearScreen();
    end_ = DrawFrame(PointerState{x, y});
    return pvtest::ReadActivePage();
  }

  int CountColumn(const pvtest::PageImage &img, int x, COLORREF colour) const {
    int n = 0;
    for (int y = 0; y < img.height; ++y) n += img.At(x, y) == colour;
    return n;
  }

  BeamScene scene_;
  WalkEnd end_;
  COLORREF white_ = 0, grey_ = 0, red_ = 0, black_ = 0;
};

}  // namespace

TEST_F(BeamFrame, FirstFrameDrawsPageZeroAndShowsPageOne) {
  Draw(400, 300);
  EXPECT_EQ(plotvane::Session().ActivePage, 0);
  EXPECT_EQ(plotvane::Session().ShownPage, 1);
  Draw(100, 500);
  EXPECT_EQ(plotvane::Session().ActivePage, 1);
  EXPECT_EQ(plotvane::Session().ShownPage, 0);
}

TEST_F(BeamFrame, MiddlePointerShowsRaysToTheGroundAndTheWall) {
  const pvtest::PageImage img = Draw(400, 300);
  EXPECT_EQ(img.At(68, 375), white_);  // ray -16 meets the ground
  EXPECT_EQ(img.At(35, 210), white_);  // and its dot across the beam
  EXPECT_EQ(img.At(789, 23), white_);  // ray 11 meets the wall
  // Ray -16 on its way: halfway down it passes x = 33.3 on row 200.
  EXPECT_TRUE(img.At(33, 200) == grey_ || img.At(34, 200) == grey_);
  // The ground across every column, ending as red dots on the top row.
  EXPECT_EQ(img.At(0, 390), red_);
  EXPECT_EQ(img.At(458, static_cast<int>(std::nearbyint(GroundHeight(458, 799)))), red_);
  for (int x = 789; x < 799; ++x) EXPECT_EQ(img.At(x, 0), red_) << x;
  EXPECT_EQ(CountColumn(img, 799, red_), 0);
  // Ray 12 is never met: nothing above ray 11's meeting point on the wall.
  for (int y = 1; y < 23; ++y) EXPECT_EQ(img.At(789, y), black_) << y;
}

TEST_F(BeamFrame, SteepBeamStopsTheGroundAtRay16) {
  const pvtest::PageImage img = Draw(100, 500);
  EXPECT_TRUE(end_.allRaysFound);
  EXPECT_EQ(img.At(10, 401), white_);
  EXPECT_EQ(img.At(423, 307), white_);
  // The dots across the beam for rays -3 and 16.
  EXPECT_EQ(img.At(3, 162), white_);
  EXPECT_EQ(img.At(152, 130), white_);
  // No ground right of column 423.
  EXPECT_EQ(img.At(300, static_cast<int>(std::nearbyint(GroundHeight(300, 799)))), red_);
  for (int x = 424; x < 800; ++x) ASSERT_EQ(CountColumn(img, x, red_), 0) << x;
}

TEST_F(BeamFrame, HorizontalBeamMarksItsCrossSectionStraightDown) {
  const pvtest::PageImage img = Draw(400, 10);
  // The axis is ray 0, met by the wall just below the lamp's row; the dots of rays -16 to 0
  // stand in column 128, 8 rows apart.
  EXPECT_EQ(img.At(789, 33), white_);
  for (int k = -16; k <= 0; ++k) EXPECT_EQ(img.At(128, 32 - 8 * k), white_) << k;
  EXPECT_NE(img.At(128, 24), white_);
}
