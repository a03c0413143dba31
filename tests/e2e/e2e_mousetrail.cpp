// The example program in a real window: it follows the pointer and ends on a key.
#include <gtest/gtest.h>

#include <filesystem>

#include "expectations.h"
#include "xsession.h"

namespace {

const uint32_t kRed = pvtest::Expected("palette", "red");
const uint32_t kYellow = pvtest::Expected("palette", "yellow");

TEST(MouseTrail, DrawsThePointersTrailInItsWindowAndEndsOnAKey) {
  e2e::XServer server;
  ASSERT_TRUE(server.ok());
  e2e::Program program(server, PROGRAM_PATH);
  unsigned long win = program.findWindow("Plotvane example");
  ASSERT_NE(win, 0u) << program.stderrText();

  for (int i = 0; i <= 10; ++i) {
    program.moveMouse(win, 100 + 50 * i, 100 + 30 * i);
    e2e::sleepMs(30);
  }
  e2e::Shot shot = program.captureUntil(win, [](const e2e::Shot &s) { return s.count(kYellow) > 50; });
  EXPECT_EQ(shot.width, 800);
  EXPECT_EQ(shot.height, 600);
  EXPECT_GT(shot.count(kYellow), 50);
  EXPECT_GT(shot.count(kRed) + shot.count(kYellow), 100);
  // The trail stays between the points the pointer visited.
  EXPECT_EQ(shot.count(kYellow, 0, 0, 80, 599), 0);
  std::filesystem::create_directories(PICTURE_DIR);
  shot.savePng(std::string(PICTURE_DIR) + "/mousetrail.png");

  program.xdotool({"key", "--window", std::to_string(win), "q"});
  EXPECT_EQ(program.waitExit(5000), std::optional<int>(0)) << program.stderrText();
}

TEST(MouseTrail, WithoutADisplayTheWindowIsNotMadeAndThePlatformSaysWhy) {
  e2e::XServer server;
  ASSERT_TRUE(server.ok());
  // A display that does not exist.
  e2e::Program program(server, PROGRAM_PATH, {"DISPLAY=:1999"});
  auto status = program.waitExit(10000);
  ASSERT_TRUE(status.has_value());
  EXPECT_NE(*status, 0);
  EXPECT_FALSE(program.stderrText().empty());
}

}  // namespace
