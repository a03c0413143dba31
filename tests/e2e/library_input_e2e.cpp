// Keys and the mouse from a real window: the library's own window on a private X server,
// driven by xdotool, read back through NextKey and the mouse state.
#include <gtest/gtest.h>
#include <plotvane/plotvane.h>

#include <cstdlib>
#include <vector>

#include "xsession.h"

using namespace plotvane;

namespace {

class LibraryInput : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(server_.ok());
    setenv("DISPLAY", server_.name().c_str(), 1);
    unsetenv("PLOTVANE_HOST");
    int16_t driver = 3, mode = 6;
    OpenGraphWindow(driver, mode, "Plotvane input");
    ASSERT_TRUE(GraphActive()) << GraphError();
    window_ = e2e::findWindow(server_.name(), "Plotvane input", 10000, [] { return true; });
    ASSERT_NE(window_, 0u);
  }
  void TearDown() override {
    if (GraphActive()) CloseGraphWindow();
  }
  void xdotool(std::vector<std::string> args) { e2e::xdotool(server_.name(), args); }
  std::string win() const { return std::to_string(window_); }

  // Every code queued so far, waiting until `count` have come.
  std::vector<int> takeKeys(size_t count) {
    std::vector<int> codes;
    for (int waited = 0; codes.size() < count && waited < 5000; waited += 10) {
      while (KeyWaiting()) codes.push_back(NextKey());
      if (codes.size() < count) e2e::sleepMs(10);
    }
    return codes;
  }

  e2e::XServer server_;
  unsigned long window_ = 0;
};

TEST_F(LibraryInput, KeysArriveAsTheirCodes) {
  xdotool({"key", "--window", win(), "a", "Escape", "Up", "alt+x", "shift+F1", "ctrl+F10", "F12", "ctrl+Tab"});
  const std::vector<int> expected = {97, 27, 0, 72, 0, 45, 0, 84, 0, 103, 0, 134, 30};
  EXPECT_EQ(takeKeys(expected.size()), expected);

  // The close box's request and Alt+F4 both queue 0, 107; the window stays.
  e2e::requestClose(server_.name(), window_);
  xdotool({"key", "--window", win(), "alt+F4"});
  EXPECT_EQ(takeKeys(4), (std::vector<int>{0, 107, 0, 107}));
  EXPECT_TRUE(GraphActive());
}

TEST_F(LibraryInput, MouseStateFollowsThePointerButtonsAndCtrl) {
  auto waitFor = [](auto pred) {
    for (int waited = 0; !pred() && waited < 5000; waited += 10) e2e::sleepMs(10);
    return pred();
  };
  xdotool({"mousemove", "--window", win(), "120", "45"});
  EXPECT_TRUE(waitFor([] { return MouseX() == 120 && MouseY() == 45; }));
  EXPECT_EQ(MouseButtons(), 0);

  xdotool({"mousedown", "1"});
  EXPECT_TRUE(waitFor([] { return MouseButtons() == mbLeft; }));
  xdotool({"mouseup", "1"});
  EXPECT_TRUE(waitFor([] { return MouseButtons() == 0; }));

  xdotool({"keydown", "ctrl", "mousedown", "3", "mousedown", "2"});
  EXPECT_TRUE(waitFor([] { return MouseButtons() == (mbRight | mbMiddle | mbCtrl); })) << MouseButtons();
  xdotool({"mouseup", "2", "mouseup", "3", "keyup", "ctrl"});
  EXPECT_TRUE(waitFor([] { return (MouseButtons() & (mbRight | mbMiddle)) == 0; }));

  // One notch toward the user: -120, at the pointer's screen position.
  MouseEvent e{};
  while (NextMouseEvent(e)) {
  }
  xdotool({"click", "5"});
  bool wheel = false;
  for (int waited = 0; !wheel && waited < 5000; waited += 10) {
    while (!wheel && NextMouseEvent(e)) wheel = e.Event == meWheel;
    if (!wheel) e2e::sleepMs(10);
  }
  ASSERT_TRUE(wheel);
  EXPECT_EQ(e.Wheel, -120);
  // The window is centred, so its client area starts near ((1024 - 800) / 2, (768 - 600) / 2).
  EXPECT_NEAR(e.X, (1024 - 800) / 2 + 120, 30);
  EXPECT_NEAR(e.Y, (768 - 600) / 2 + 45, 30);
  EXPECT_EQ(MouseX(), e.X);
}

}  // namespace
