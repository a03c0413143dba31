// The SDL host on a private Xvfb: a real window with its caption that shows its surface, real
// X input arriving as messages, and the faults: no display, and the display going away.
#include <gtest/gtest.h>
#include <pvplatform.h>
#include <windows.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "xsession.h"

// Xlib last: its macros (None, Bool, Status) would break the headers above.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

std::vector<MSG> g_input;
// Shift and Ctrl as GetKeyState saw them while each message was handled (bit 0 Shift, 1 Ctrl).
std::vector<int> g_modifiers;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN)
    g_modifiers.push_back((GetKeyState(VK_SHIFT) < 0 ? 1 : 0) | (GetKeyState(VK_CONTROL) < 0 ? 2 : 0));
  switch (msg) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_CHAR:
    case WM_SYSCHAR:
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_MOUSEWHEEL:
    case WM_CLOSE: g_input.push_back({hwnd, msg, wParam, lParam, 0, {}}); return 0;
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

// Runs the message loop for `ms` milliseconds.
void Pump(int ms) {
  const DWORD end = GetTickCount() + static_cast<DWORD>(ms);
  MSG m;
  while (static_cast<int>(end - GetTickCount()) > 0) {
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&m);
      DispatchMessageA(&m);
    }
    Sleep(5);
  }
}

// Pumps until `done` holds or `ms` have passed: a loaded machine may take a while to deliver.
template <class Done>
void PumpUntil(Done done, int ms) {
  for (int waited = 0; !done() && waited < ms; waited += 50) Pump(50);
}

Window FindByTitle(Display *dpy, Window w, const std::string &title) {
  char *name = nullptr;
  if (XFetchName(dpy, w, &name) && name) {
    bool match = title == name;
    XFree(name);
    if (match) return w;
  }
  Window root, parent, *children = nullptr;
  unsigned n = 0;
  Window found = 0;
  if (XQueryTree(dpy, w, &root, &parent, &children, &n)) {
    for (unsigned i = 0; i < n && !found; ++i) found = FindByTitle(dpy, children[i], title);
    if (children) XFree(children);
  }
  return found;
}

void Xdotool(const std::string &display, const std::string &args) {
  std::string cmd = "DISPLAY=" + display + " xdotool " + args + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(cmd.c_str()), 0) << cmd;
}

class SdlHostOnXvfb : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "SdlHostTest";
    RegisterClassA(&wc);
  }
  void SetUp() override {
    ASSERT_TRUE(server_.ok());
    setenv("DISPLAY", server_.name().c_str(), 1);
    pvplatform::SetHostKind(pvplatform::HostKind::Sdl);
    g_input.clear();
    g_modifiers.clear();
  }
  void TearDown() override { pvplatform::SetHostKind(pvplatform::HostKind::Headless); }

  // A framed 800 x 600 client at (103, 106) on the screen, shown.
  HWND Open(const char *title) {
    HWND h = CreateWindowExA(0, "SdlHostTest", title, WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 100, 80, 806, 629,
                             nullptr, nullptr, nullptr, nullptr);
    if (h) ShowWindow(h, SW_SHOWNORMAL);
    return h;
  }
  e2e::XServer server_{1024, 768};
};

TEST_F(SdlHostOnXvfb, WindowAppearsWithItsCaptionAndShowsItsSurface) {
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  HWND h = Open("Plotvane host test");
  ASSERT_NE(h, nullptr);
  HDC dc = GetDC(h);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 0, 0));
  HGDIOBJ old = SelectObject(dc, pen);
  for (int y = 100; y < 140; ++y) {  // a red band drawn after the window is up
    MoveToEx(dc, 200, y, nullptr);
    LineTo(dc, 400, y);
  }
  SelectObject(dc, old);
  DeleteObject(pen);
  Pump(300);

  Display *dpy = XOpenDisplay(server_.name().c_str());
  ASSERT_NE(dpy, nullptr);
  Window w = FindByTitle(dpy, DefaultRootWindow(dpy), "Plotvane host test");
  ASSERT_NE(w, 0u);
  // Under load the present may come later than the pump above: wait for the band, not a time.
  const auto pixel = [dpy, w](int x, int y) {
    XImage *one = XGetImage(dpy, w, x, y, 1, 1, AllPlanes, ZPixmap);
    const unsigned long value = one ? XGetPixel(one, 0, 0) & 0xFFFFFF : ~0ul;
    if (one) XDestroyImage(one);
    return value;
  };
  PumpUntil([&] { return pixel(300, 120) == 0xFF0000u; }, 5000);
  XWindowAttributes attr;
  ASSERT_TRUE(XGetWindowAttributes(dpy, w, &attr));
  EXPECT_EQ(attr.map_state, IsViewable);
  EXPECT_EQ(attr.width, 800);
  EXPECT_EQ(attr.height, 600);
  XImage *img = XGetImage(dpy, w, 0, 0, 800, 600, AllPlanes, ZPixmap);
  ASSERT_NE(img, nullptr);
  EXPECT_EQ(XGetPixel(img, 300, 120) & 0xFFFFFF, 0xFF0000u);
  EXPECT_EQ(XGetPixel(img, 300, 99) & 0xFFFFFF, 0x000000u);
  EXPECT_EQ(XGetPixel(img, 199, 120) & 0xFFFFFF, 0x000000u);
  XDestroyImage(img);

  // Real X input, through the server.
  Xdotool(server_.name(), "mousemove --window " + std::to_string(w) + " 120 45");
  Xdotool(server_.name(), "key --window " + std::to_string(w) + " a Escape alt+x");
  Xdotool(server_.name(), "click --window " + std::to_string(w) + " 5");
  XEvent close{};
  close.xclient.type = ClientMessage;
  close.xclient.window = w;
  close.xclient.message_type = XInternAtom(dpy, "WM_PROTOCOLS", False);
  close.xclient.format = 32;
  close.xclient.data.l[0] = static_cast<long>(XInternAtom(dpy, "WM_DELETE_WINDOW", False));
  close.xclient.data.l[1] = CurrentTime;
  XSendEvent(dpy, w, False, NoEventMask, &close);
  XFlush(dpy);
  PumpUntil(
      [] {
        bool closed = false, wheel = false;
        for (auto &m : g_input) {
          closed |= m.message == WM_CLOSE;
          wheel |= m.message == WM_MOUSEWHEEL;
        }
        return closed && wheel;
      },
      5000);
  XCloseDisplay(dpy);

  auto has = [](UINT msg, WPARAM wParam) {
    for (auto &m : g_input)
      if (m.message == msg && m.wParam == wParam) return true;
    return false;
  };
  bool moved = false;
  for (auto &m : g_input)
    if (m.message == WM_MOUSEMOVE && LOWORD(m.lParam) == 120 && HIWORD(m.lParam) == 45) moved = true;
  EXPECT_TRUE(moved);
  EXPECT_TRUE(has(WM_KEYDOWN, 'A'));
  EXPECT_TRUE(has(WM_CHAR, 'a'));
  EXPECT_TRUE(has(WM_CHAR, 27));
  EXPECT_TRUE(has(WM_SYSKEYDOWN, 'X'));
  EXPECT_FALSE(has(WM_CHAR, 'x'));  // Alt+X types no character
  EXPECT_TRUE(has(WM_CLOSE, 0));
  bool wheel = false;
  for (auto &m : g_input)
    if (m.message == WM_MOUSEWHEEL) {
      wheel = true;
      EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(m.wParam), -WHEEL_DELTA);  // button 5: toward the user
      EXPECT_EQ(LOWORD(m.lParam), 103 + 120);                     // screen coordinates
      EXPECT_EQ(HIWORD(m.lParam), 106 + 45);
    }
  EXPECT_TRUE(wheel);
  EXPECT_TRUE(IsWindow(h));  // the close request alone destroys nothing
  EXPECT_TRUE(DestroyWindow(h));
  EXPECT_EQ(pvplatform::CountLive().windows, 0);

  // SDL went with the last window; another window starts it afresh.
  HWND again = Open("Plotvane host test again");
  ASSERT_NE(again, nullptr);
  DestroyWindow(again);
}

TEST_F(SdlHostOnXvfb, ModifiersReachKeyStateAndMouseFlags) {
  HWND h = Open("Plotvane modifiers");
  ASSERT_NE(h, nullptr);
  Pump(200);
  Display *dpy = XOpenDisplay(server_.name().c_str());
  ASSERT_NE(dpy, nullptr);
  Window w = FindByTitle(dpy, DefaultRootWindow(dpy), "Plotvane modifiers");
  XCloseDisplay(dpy);
  ASSERT_NE(w, 0u);
  const std::string win = "--window " + std::to_string(w);
  Xdotool(server_.name(), "mousemove " + win + " 300 200");
  Xdotool(server_.name(), "key " + win + " Up shift+F1 ctrl+F10 F12 ctrl+Tab");
  Xdotool(server_.name(), "keydown ctrl mousedown 3 mouseup 3 keyup ctrl");
  PumpUntil(
      [] {
        size_t keyDowns = 0;
        bool released = false;
        for (auto &m : g_input) {
          keyDowns += m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN;
          released |= m.message == WM_RBUTTONUP;
        }
        return keyDowns >= 9 && released;
      },
      5000);

  struct Expect {
    UINT message;
    WPARAM vk;
    int modifiers;
  } expected[] = {{WM_KEYDOWN, VK_UP, 0},          {WM_KEYDOWN, VK_SHIFT, 1},   {WM_KEYDOWN, VK_F1, 1},
                  {WM_KEYDOWN, VK_CONTROL, 2},     {WM_SYSKEYDOWN, VK_F10, 2},  {WM_KEYDOWN, VK_F12, 0},
                  {WM_KEYDOWN, VK_CONTROL, 2},     {WM_KEYDOWN, VK_TAB, 2},     {WM_KEYDOWN, VK_CONTROL, 2}};
  std::vector<MSG> keys;
  for (auto &m : g_input)
    if (m.message == WM_KEYDOWN || m.message == WM_SYSKEYDOWN) keys.push_back(m);
  ASSERT_EQ(keys.size(), std::size(expected));
  ASSERT_EQ(g_modifiers.size(), std::size(expected));
  for (size_t i = 0; i < keys.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(keys[i].message, expected[i].message);
    EXPECT_EQ(keys[i].wParam, expected[i].vk);
    EXPECT_EQ(g_modifiers[i], expected[i].modifiers);
  }
  for (auto &m : g_input) EXPECT_FALSE(m.message == WM_CHAR && m.wParam == '\t') << "Ctrl+Tab typed a tab";
  bool rightWithCtrl = false;
  for (auto &m : g_input)
    if (m.message == WM_RBUTTONDOWN) rightWithCtrl = m.wParam == (MK_RBUTTON | MK_CONTROL);
  EXPECT_TRUE(rightWithCtrl);
  DestroyWindow(h);
}

TEST_F(SdlHostOnXvfb, NoDisplayMeansNoWindowAndOneMessage) {
  setenv("DISPLAY", ":199", 1);  // nothing listens there
  testing::internal::CaptureStderr();
  EXPECT_EQ(Open("nowhere"), nullptr);
  EXPECT_EQ(Open("nowhere"), nullptr);
  std::string err = testing::internal::GetCapturedStderr();
  EXPECT_NE(err.find("cannot open a window"), std::string::npos) << err;
  EXPECT_EQ(err.find("cannot open a window"), err.rfind("cannot open a window")) << err;  // said once
  EXPECT_EQ(pvplatform::CountLive().windows, 0);
}

TEST_F(SdlHostOnXvfb, LosingTheDisplayEndsTheProgramWithAMessage) {
  GTEST_FLAG_SET(death_test_style, "fast");
  EXPECT_EXIT(
      {
        HWND h = Open("Plotvane doomed");
        if (!h) _exit(2);
        Pump(200);
        Display *dpy = XOpenDisplay(server_.name().c_str());
        Window w = FindByTitle(dpy, DefaultRootWindow(dpy), "Plotvane doomed");
        XKillClient(dpy, w);  // as xkill does: the server drops our connection
        XSync(dpy, False);
        XCloseDisplay(dpy);
        MSG m;
        const DWORD end = GetTickCount() + 10000;
        while (static_cast<int>(end - GetTickCount()) > 0) {
          while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
          InvalidateRect(h, nullptr, FALSE);  // keep talking to the server
          Sleep(10);
        }
        _exit(3);  // still running: the loss went unnoticed
      },
      testing::ExitedWithCode(1), "lost the connection to the display");
}

}  // namespace
