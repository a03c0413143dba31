// Mouse messages into the event queue and the last mouse state.
#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

class Mouse : public pvtest::HeadlessWindow {
 protected:
  void SetUp() override {
    HeadlessWindow::SetUp();
#ifdef _WIN32
    // A real pointer over the window would add its own moves to the posted ones.
    SetCursorPos(0, 0);
    pvtest::ReadKeysPostedSoFar();
#endif
    DrainEvents();
  }
  // Posts a mouse message and takes the event that it made.
  MouseEvent Post(UINT msg, WPARAM w, int x, int y) {
    PostMessageA(S().WindowHandle, msg, w, MAKELPARAM(x, y));
    MouseEvent e{};
    EXPECT_TRUE(pvtest::WaitUntil([&] { return NextMouseEvent(e); })) << msg;
    return e;
  }
  void DrainEvents() {
    MouseEvent e;
    while (NextMouseEvent(e)) {
    }
  }
};

struct MouseCase {
  UINT msg;
  WPARAM flags;
  int x, y;
  uint16_t event, buttons;
};

TEST_F(Mouse, MessagesGiveEventsAndLastState) {
  const MouseCase cases[] = {
      {WM_MOUSEMOVE, 0, 120, 45, meMove, 0},
      {WM_LBUTTONDOWN, MK_LBUTTON, 120, 45, meButtonDown, mbLeft},
      {WM_LBUTTONUP, 0, 121, 46, meButtonUp, 0},
      {WM_RBUTTONDOWN, MK_RBUTTON | MK_CONTROL, 5, 6, meButtonDown, mbRight | mbCtrl},
      {WM_MBUTTONDOWN, MK_RBUTTON | MK_MBUTTON | MK_CONTROL, 5, 6, meButtonDown, 22},
      {WM_MBUTTONUP, MK_RBUTTON | MK_CONTROL, 7, 8, meButtonUp, 18},
      {WM_RBUTTONUP, MK_SHIFT, 7, 8, meButtonUp, mbShift},
      {WM_MOUSEMOVE, MK_LBUTTON | MK_SHIFT, 799, 599, meMove, mbLeft | mbShift},
  };
  for (const MouseCase &c : cases) {
    MouseEvent e = Post(c.msg, c.flags, c.x, c.y);
    EXPECT_EQ(MouseX(), c.x) << c.msg;
    EXPECT_EQ(MouseY(), c.y) << c.msg;
    EXPECT_EQ(MouseButtons(), c.buttons) << c.msg;
    EXPECT_EQ(e.Event, c.event);
    EXPECT_EQ(e.Buttons, c.buttons);
    EXPECT_EQ(e.X, c.x);
    EXPECT_EQ(e.Y, c.y);
    EXPECT_EQ(e.Wheel, 0);
    EXPECT_FALSE(NextMouseEvent(e));
  }
}

TEST_F(Mouse, WheelSignAndScreenPosition) {
  const struct {
    int16_t delta;
  } cases[] = {{-120}, {120}, {-240}, {32767}, {-32768}};
  for (const auto &c : cases) {
    const MouseEvent e = Post(WM_MOUSEWHEEL, MAKEWPARAM(MK_CONTROL, static_cast<uint16_t>(c.delta)), 900, 700);
    EXPECT_EQ(e.Event, meWheel);
    EXPECT_EQ(e.Wheel, c.delta);
    EXPECT_EQ(e.Buttons, mbCtrl);
    EXPECT_EQ(MouseX(), 900);
    EXPECT_EQ(MouseY(), 700);
  }
}

TEST_F(Mouse, TwentyEventsKeepTheLastFifteen) {
  for (int i = 0; i < 20; ++i) PushMouseEvent(meMove, 0, MAKELPARAM(i, 2 * i));
  MouseEvent e;
  int expected = 5;
  while (NextMouseEvent(e)) {
    EXPECT_EQ(e.X, expected);
    EXPECT_EQ(e.Y, 2 * expected);
    ++expected;
  }
  EXPECT_EQ(expected, 20);
}

TEST_F(Mouse, StateOutlivesTheWindow) {
  Post(WM_MOUSEMOVE, MK_LBUTTON, 33, 44);
  CloseGraphWindow();
  EXPECT_EQ(MouseX(), 33);
  EXPECT_EQ(MouseY(), 44);
  EXPECT_EQ(MouseButtons(), mbLeft);
  MouseEvent e;
  EXPECT_FALSE(NextMouseEvent(e));
}

}  // namespace
