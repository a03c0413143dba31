// lightbeam in a real window: the beam aimed by the pointer ends on the red ground or the wall;
// any key ends it.
#include "demo_window.h"

namespace e2e {
namespace {

class Lightbeam : public DemoWindow {};

TEST_F(Lightbeam, TheBeamFollowsThePointerAndAKeyEnds) {
  start(PROGRAM_PATH, "QUENDRAL");
  moveTo(400, 300);
  Shot shot = shotWhen([](const Shot &s) { return s.count(kGrey) > 2000 && s.count(kRed) > 300; });
  EXPECT_GT(shot.count(kGrey), 2000);  // the rays
  EXPECT_GT(shot.count(kRed), 300);    // the ground
  EXPECT_GT(shot.count(kWhite), 20);   // meeting points and the cross-section
  keep(shot, "lightbeam");

  moveTo(100, 500);
  // The ground now ends at the column of the last ray, far left of the wall. (A frame may
  // still pair the new y with the old x: the position is read in two calls.)
  Shot steep = shotWhen([](const Shot &s) { return s.count(kRed, 600, 0, 799, 599) == 0; });
  EXPECT_EQ(steep.count(kRed, 600, 0, 799, 599), 0);
  EXPECT_GT(steep.count(kRed), 100);

  key("a");
  expectEndsWithStatusZero();
}

}  // namespace
}  // namespace e2e
