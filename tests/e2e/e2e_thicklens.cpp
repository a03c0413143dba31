// thicklens in a real window: rays follow the pointer in the left half, Space changes the
// outline, the close box is ignored and Esc ends the program.
#include "demo_window.h"

namespace e2e {
namespace {

class Thicklens : public DemoWindow {};

TEST_F(Thicklens, RaysFollowThePointerOutlinesCycleAndEscEnds) {
  start(PROGRAM_PATH, "KALDEROV");
  moveTo(150, 250);
  Shot rays = shotWhen([](const Shot &s) { return s.count(kRed) > 1000; });
  EXPECT_EQ(rays.width, 800);
  EXPECT_EQ(rays.height, 600);
  EXPECT_GT(rays.count(kRed), 1000);
  // The lens outline is white, two pixels on each even row, around the middle column.
  EXPECT_GT(rays.count(kWhite, 360, 170, 440, 430), 200);
  EXPECT_EQ(rays.count(kWhite, 0, 0, 350, 599), 0);
  keep(rays, "thicklens");

  // In the right half the pointer gets no rays.
  moveTo(600, 300);
  Shot none = shotWhen([](const Shot &s) { return s.count(kRed) == 0; });
  EXPECT_EQ(none.count(kRed), 0);

  // Space: the elliptic outline replaces the parabolic one.
  key("space");
  Shot elliptic = shotWhen([&](const Shot &s) { return s.pixels != none.pixels; });
  EXPECT_NE(elliptic.pixels, none.pixels);
  EXPECT_GT(elliptic.count(kWhite), 200);

  // The close request only queues a key that thicklens ignores.
  program().requestClose(window());
  sleepMs(300);
  EXPECT_TRUE(program().running());

  key("Escape");
  expectEndsWithStatusZero();
}

}  // namespace
}  // namespace e2e
