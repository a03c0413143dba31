// flashlight in a real window: the lamp follows the pointer and the box and bar throw black
// shadows on grey ground; any key ends it.
#include "demo_window.h"

namespace e2e {
namespace {

class Flashlight : public DemoWindow {};

TEST_F(Flashlight, ShadowsFollowTheLampAndAKeyEnds) {
  start(PROGRAM_PATH, "MIVOSTA");
  moveTo(120, 420);
  Shot shot = shotWhen([](const Shot &s) { return s.count(kYellow, 100, 400, 140, 440) > 100; });
  EXPECT_GT(shot.count(kYellow, 100, 400, 140, 440), 100);  // the lamp's disc at the pointer
  EXPECT_GT(shot.count(kGrey), 50000);                      // lit ground
  EXPECT_GT(shot.count(kBlack), 20000);                     // shadows
  EXPECT_GT(shot.count(kWhite), 500);                       // the segments
  keep(shot, "flashlight");

  moveTo(700, 80);
  Shot moved = shotWhen([](const Shot &s) { return s.count(kYellow, 680, 60, 720, 100) > 100; });
  EXPECT_EQ(moved.count(kYellow, 100, 400, 140, 440), 0);
  EXPECT_NE(moved.pixels, shot.pixels);

  key("x");
  expectEndsWithStatusZero();
}

}  // namespace
}  // namespace e2e
