// A real program whose display goes away, the X server dying or its window being killed as
// xkill does: it ends by itself, soon, saying why on standard error, instead of hanging.
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <optional>
#include <string>

#include "xsession.h"

namespace {

struct Case {
  const char *name;
  const char *path;
  const char *caption;
  bool killServer;  // otherwise the window is killed
};

void PrintTo(const Case &c, std::ostream *os) { *os << c.name; }

class DisplayLoss : public ::testing::TestWithParam<Case> {};

TEST_P(DisplayLoss, EndsTheProgramWithAMessage) {
  const Case &c = GetParam();
  auto server = std::make_unique<e2e::XServer>();
  ASSERT_TRUE(server->ok()) << "no X server";
  e2e::Program program(*server, c.path);
  const unsigned long window = program.findWindow(c.caption);
  ASSERT_NE(window, 0u) << program.stderrText();
  program.moveMouse(window, 300, 200);  // frames are being drawn and shown
  e2e::sleepMs(300);
  ASSERT_TRUE(program.running()) << program.stderrText();

  if (c.killServer)
    server.reset();
  else
    program.xdotool({"windowkill", std::to_string(window)});

  const std::optional<int> status = program.waitExit(10000);
  ASSERT_TRUE(status.has_value()) << "still running 10 s after the display went away";
  EXPECT_NE(*status, 0);
  EXPECT_NE(program.stderrText().find("lost the connection to the display"), std::string::npos)
      << "standard error: " << program.stderrText();
}

INSTANTIATE_TEST_SUITE_P(Programs, DisplayLoss,
                         ::testing::Values(Case{"MousetrailServerDies", MOUSETRAIL_PATH, "Plotvane example", true},
                                           Case{"MousetrailWindowKilled", MOUSETRAIL_PATH, "Plotvane example", false},
                                           Case{"FlashlightServerDies", FLASHLIGHT_PATH, "MIVOSTA", true},
                                           Case{"FlashlightWindowKilled", FLASHLIGHT_PATH, "MIVOSTA", false}),
                         [](const auto &info) { return std::string(info.param.name); });

}  // namespace
