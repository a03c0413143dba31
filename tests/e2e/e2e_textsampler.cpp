// The text sampler in a real window: its text is on the screen, and a key ends it.
#include <gtest/gtest.h>

#include <filesystem>

#include "expectations.h"
#include "xsession.h"

namespace {

const uint32_t kWhite = pvtest::Expected("palette", "white");
const uint32_t kYellow = pvtest::Expected("palette", "yellow");

TEST(TextSampler, ShowsItsTextAndEndsOnAKey) {
  e2e::XServer server;
  ASSERT_TRUE(server.ok());
  e2e::Program program(server, PROGRAM_PATH);
  unsigned long win = program.findWindow("Plotvane text");
  ASSERT_NE(win, 0u) << program.stderrText();
  e2e::Shot shot = program.captureUntil(win, [](const e2e::Shot &s) { return s.count(kYellow) > 500; });
  // The faces' rows in white at the top, the styles' row in yellow below them.
  EXPECT_GT(shot.count(kWhite, 0, 0, 799, 200), 2000);
  EXPECT_GT(shot.count(kYellow, 0, 200, 799, 260), 500);
  EXPECT_EQ(shot.count(kYellow, 0, 0, 799, 200), 0);
  std::filesystem::create_directories(PICTURE_DIR);
  shot.savePng(std::string(PICTURE_DIR) + "/textsampler.png");

  program.xdotool({"key", "--window", std::to_string(win), "q"});
  EXPECT_EQ(program.waitExit(5000), std::optional<int>(0)) << program.stderrText();
}

}  // namespace
