// mirrorrays in a real window: rays reflected at the mirror, and while a button is held their
// prolongations behind it; any key ends it.
#include "demo_window.h"

namespace e2e {
namespace {

class Mirrorrays : public DemoWindow {};

TEST_F(Mirrorrays, ReflectionsAndProlongationsAndAKeyEnds) {
  start(PROGRAM_PATH, "BRESTOVIK");
  moveTo(400, 300);
  Shot reflected = shotWhen([](const Shot &s) { return s.count(kWhite) > 1000; });
  EXPECT_GT(reflected.count(kWhite, 500, 100, 500, 499), 350);  // the mirror
  EXPECT_EQ(reflected.count(kWhite, 502, 0, 799, 599), 0);      // nothing behind it
  keep(reflected, "mirrorrays");

  program().xdotool({"mousedown", "1"});
  Shot behind = shotWhen([](const Shot &s) { return s.count(kWhite, 502, 0, 799, 599) > 500; });
  EXPECT_GT(behind.count(kWhite, 502, 0, 799, 599), 500);
  // Every prolongation passes through the source's mirror image, (799, 299.5).
  EXPECT_GT(behind.count(kWhite, 795, 296, 799, 303), 3);
  keep(behind, "mirrorrays-held");
  program().xdotool({"mouseup", "1"});

  key("Return");
  expectEndsWithStatusZero();
}

}  // namespace
}  // namespace e2e
