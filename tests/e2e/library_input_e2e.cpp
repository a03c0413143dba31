// Keys and the mouse from a real window: the library's own window on a private X server,
// driven by xdotool on several keyboard layouts, read back through NextKey and the mouse state.
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

  // Waits until the pointer has reached the window and the keyboard follows it there (X gives
  // the keys to the window under the pointer when no window manager runs).
  void pointAt(int x, int y) {
    xdotool({"mousemove", "--window", win(), std::to_string(x), std::to_string(y)});
    for (int waited = 0; (MouseX() != x || MouseY() != y) && waited < 5000; waited += 10) e2e::sleepMs(10);
  }

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

TEST_F(LibraryInput, AltLetterIsItsPairAndNothingElseEveryTime) {
  std::vector<int> codes;
  for (int round = 0; round < 15; ++round) {  // ten at a time: the queue holds 31 bytes
    std::vector<std::string> args = {"key", "--window", win()};
    args.insert(args.end(), 10, "alt+x");
    xdotool(args);
    std::vector<int> got = takeKeys(20);
    codes.insert(codes.end(), got.begin(), got.end());
  }
  e2e::sleepMs(200);
  while (KeyWaiting()) codes.push_back(NextKey());
  std::vector<int> expected;
  for (int i = 0; i < 150; ++i) expected.insert(expected.end(), {0, 45});
  EXPECT_EQ(codes, expected);
}

TEST_F(LibraryInput, EveryLayoutsKeysQueueWhatWindowsQueues) {
  struct Case {
    const char *layout;
    std::vector<std::string> keys;
    std::vector<int> codes;
  } cases[] = {
      // Letters outside code page 1252 arrive as '?', as an ANSI window on Windows gets them.
      {"ru", {"Cyrillic_ef", "Cyrillic_ya", "shift+Cyrillic_ZHE", "1", "Escape"}, {63, 63, 63, 49, 27}},
      // AltGr is Ctrl+Alt: Q queues its Alt pair, then the character.
      {"de", {"ISO_Level3_Shift+q", "z", "adiaeresis"}, {0, 16, 64, 122, 228}},
      {"us",
       {"alt+less", "ctrl+alt+1", "ctrl+minus", "ctrl+bracketleft", "ctrl+bracketright", "ctrl+backslash", "a"},
       {0, 1, 0, 120, 31, 27, 29, 28, 97}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.layout);
    ASSERT_TRUE(e2e::setKeyboardLayout(server_.name(), c.layout));
    std::vector<std::string> args = {"key", "--window", win()};
    args.insert(args.end(), c.keys.begin(), c.keys.end());
    xdotool(args);
    std::vector<int> codes = takeKeys(c.codes.size());
    e2e::sleepMs(100);
    while (KeyWaiting()) codes.push_back(NextKey());
    EXPECT_EQ(codes, c.codes);
  }
}

TEST_F(LibraryInput, ShiftCtrlAndAltStayDownWhileOneOfTheirKeysIs) {
  pointAt(300, 200);
  // The right key is held throughout and the left one goes up before F1. (xdotool's keyup of a
  // right-hand modifier lets go of the left one too, so the other way round cannot be typed.)
  struct Case {
    const char *held, *released;
    int code;  // of F1 with the modifier
  } cases[] = {{"Shift_R", "Shift_L", 84}, {"Control_R", "Control_L", 94}, {"Alt_R", "Alt_L", 104}};
  for (const auto &c : cases) {
    SCOPED_TRACE(c.held);
    xdotool({"keydown", c.held, "keydown", c.released, "keyup", c.released, "key", "F1", "keyup", c.held});
    EXPECT_EQ(takeKeys(2), (std::vector<int>{0, c.code}));
  }
}

TEST_F(LibraryInput, DraggingOutOfTheWindowKeepsTheLastPositionInside) {
  pointAt(50, 40);
  MouseEvent e{};
  while (NextMouseEvent(e)) {
  }
  xdotool({"mousedown", "1", "mousemove", "--window", win(), "20", "15"});
  // Past the top-left corner, on the screen, with the button held, and back along the edge.
  xdotool({"mousemove", "5", "5", "mousemove", "0", "300", "mousemove", "300", "0"});
  xdotool({"mouseup", "1", "mousemove", "--window", win(), "30", "30"});
  std::vector<MouseEvent> events;
  for (int waited = 0; waited < 5000 && !(MouseX() == 30 && MouseY() == 30); waited += 10) {
    while (NextMouseEvent(e)) events.push_back(e);
    e2e::sleepMs(10);
  }
  while (NextMouseEvent(e)) events.push_back(e);
  ASSERT_FALSE(events.empty());
  bool sawTheDragInside = false;
  for (const MouseEvent &m : events) {
    EXPECT_LT(m.X, 800);
    EXPECT_LT(m.Y, 600);
    sawTheDragInside |= m.X == 20 && m.Y == 15 && m.Buttons == mbLeft;
  }
  EXPECT_TRUE(sawTheDragInside);
  EXPECT_EQ(MouseX(), 30);
  EXPECT_EQ(MouseY(), 30);
  EXPECT_EQ(MouseButtons(), 0);  // released outside, which the next move inside shows
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
