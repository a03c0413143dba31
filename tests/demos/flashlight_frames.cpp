// Frames of the flashlight drawn on the headless host and read back from the page.
#include <gtest/gtest.h>

#include "flashlight_scene.h"
#include "headless_window.h"
#include "page_colour.h"

using namespace flashlight;

namespace {

class FlashlightFrame : public pvtest::HeadlessWindow {
 protected:
  // Draws one frame with the lamp at (x, y), as the program's loop does, and reads it back.
  pvtest::PageImage Draw(int32_t x, int32_t y) {
    TurnPage(scene_);
    ClearGround();
    DrawLampAndShadows(scene_, x, y);
    return pvtest::ReadActivePage();
  }

  void SetUp() override {
    pvtest::HeadlessWindow::SetUp();
    grey_ = demotest::PageRGB(plotvane::ncGrey);
    black_ = demotest::PageRGB(plotvane::ncBlack);
    white_ = demotest::PageRGB(plotvane::ncWhite);
    yellow_ = demotest::PageRGB(plotvane::ncYellow);
  }

  FlashlightScene scene_;
  COLORREF grey_ = 0, black_ = 0, white_ = 0, yellow_ = 0;
};

TEST_F(FlashlightFrame, LampBetweenBoxAndBarDarkensBothWays) {
  const pvtest::PageImage img = Draw(300, 300);
  // The first frame is drawn on page 0 while page 1 is shown.
  EXPECT_EQ(plotvane::Session().ActivePage, 0);
  EXPECT_EQ(plotvane::Session().ShownPage, 1);
  EXPECT_EQ(img.At(300, 300), yellow_);
  EXPECT_EQ(img.At(700, 300), grey_);   // beside the scene, lit
  EXPECT_EQ(img.At(300, 150), black_);  // the bottom side's shadow runs up over the box
  EXPECT_EQ(img.At(300, 100), white_);  // the top side over that shadow
  EXPECT_EQ(img.At(300, 200), white_);
  EXPECT_EQ(img.At(300, 400), white_);  // the bar
  EXPECT_EQ(img.At(300, 550), black_);  // and its shadow, downwards
}

TEST_F(FlashlightFrame, LampAtBoxCentreLeavesOnlyTheBoxLit) {
  const pvtest::PageImage img = Draw(300, 150);
  int lit = 0;
  for (int y = 0; y < img.height; ++y) {
    for (int x = 0; x < img.width; ++x) {
      const COLORREF c = img.At(x, y);
      const bool inside = x > 200 && x < 400 && y > 100 && y < 200;
      const bool side = ((x == 200 || x == 400) && y >= 100 && y <= 200) ||
                        ((y == 100 || y == 200) && x >= 200 && x <= 400);
      const bool bar = y == 400 && x >= 200 && x <= 400;  // DrawLine sets its end point
      if (inside) {
        lit += c == grey_;
        ASSERT_TRUE(c == grey_ || c == yellow_) << x << "," << y;
      } else if (side) {
        ASSERT_TRUE(c == white_ || c == black_) << x << "," << y;
      } else {
        ASSERT_EQ(c, bar ? white_ : black_) << x << "," << y;
      }
    }
  }
  EXPECT_GT(lit, 199 * 99 - 21 * 21);
  EXPECT_EQ(img.At(300, 150), yellow_);
}

TEST_F(FlashlightFrame, LampJustInsideTheBottomSide) {
  const pvtest::PageImage img = Draw(300, 199);
  // The bottom side's shadow is a thin band ending at y = 210; below it the window is lit
  // down to the bar.
  for (int y = 211; y < 400; ++y)
    for (int x = 0; x < img.width; ++x) ASSERT_EQ(img.At(x, y), grey_) << x << "," << y;
  EXPECT_EQ(img.At(300, 205), black_);
  EXPECT_EQ(img.At(700, 209), black_);
  EXPECT_EQ(img.At(300, 450), black_);  // the bar's shadow
  // The disc reaches 10 pixels below the lamp; the side's shadow covers its part beyond y = 200.
  EXPECT_EQ(img.At(300, 195), yellow_);
  EXPECT_EQ(img.At(300, 189), yellow_);
  for (int y = 201; y <= 209; ++y) EXPECT_EQ(img.At(300, y), black_) << y;
}

TEST_F(FlashlightFrame, BarShadowDrawnLastHidesTheBoxSides) {
  const pvtest::PageImage img = Draw(300, 500);
  EXPECT_EQ(img.At(300, 500), yellow_);
  for (int y = 0; y < 400; ++y)
    for (int x = 0; x < img.width; ++x) ASSERT_NE(img.At(x, y), white_) << x << "," << y;
  EXPECT_EQ(img.At(300, 100), black_);
  EXPECT_EQ(img.At(200, 150), black_);
  EXPECT_EQ(img.At(300, 400), white_);
  EXPECT_EQ(img.At(300, 580), grey_);
}

}  // namespace
