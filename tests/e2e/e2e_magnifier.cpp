// magnifier in a real window: the grey lens body, faces chosen by keys, rays from the pointer,
// the close box ignored and Esc ending the program.
#include "demo_window.h"

namespace e2e {
namespace {

class Magnifier : public DemoWindow {};

TEST_F(Magnifier, LensFacesFollowTheKeysAndEscEnds) {
  start(PROGRAM_PATH, "SOPRAVEN");
  moveTo(120, 300);
  Shot start = shotWhen([](const Shot &s) { return s.count(kGrey) > 3000 && s.count(kRed) > 500; });
  EXPECT_GT(start.count(kGrey, 330, 160, 470, 440), 3000);
  EXPECT_EQ(start.count(kGrey, 0, 0, 300, 599), 0);
  EXPECT_GT(start.count(kRed), 500);
  keep(start, "magnifier");

  // Flat faces on both sides leave a lens of one column.
  key("4");
  key("8");
  Shot flat = shotWhen([](const Shot &s) { return s.count(kGrey) < 400; });
  EXPECT_LT(flat.count(kGrey), 400);
  EXPECT_EQ(flat.count(kGrey, 0, 0, 395, 599), 0);

  program().requestClose(window());
  sleepMs(300);
  EXPECT_TRUE(program().running());

  key("Escape");
  expectEndsWithStatusZero();
}

}  // namespace
}  // namespace e2e
