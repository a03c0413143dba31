// shadow in a real window: white obstacles, yellow marks where the lamp's rays cross them;
// any key ends it.
#include "demo_window.h"

namespace e2e {
namespace {

class Shadow : public DemoWindow {};

TEST_F(Shadow, RaysMarkTheObstaclesTheyCrossAndAKeyEnds) {
  start(PROGRAM_PATH, "TORVINDA");
  moveTo(400, 300);
  // Fifty random obstacles: nineteen rays from the middle mark some of them.
  Shot shot = shotWhen([](const Shot &s) { return s.count(kYellow) > 50; });
  EXPECT_GT(shot.count(kWhite), 50 * 40);  // fifty circles of radius 10
  EXPECT_GT(shot.count(kYellow), 50);
  keep(shot, "shadow");

  // The obstacles stay where they are when the lamp moves.
  moveTo(50, 50);
  Shot moved = shotWhen([&](const Shot &s) { return s.pixels != shot.pixels; });
  int whiteKept = 0, white = 0;
  for (size_t i = 0; i < shot.pixels.size(); ++i) {
    if (shot.pixels[i] == kWhite) {
      ++white;
      whiteKept += moved.pixels[i] == kWhite;
    }
  }
  EXPECT_EQ(whiteKept, white);

  key("q");
  expectEndsWithStatusZero();
}

}  // namespace
}  // namespace e2e
