// USER windows on the headless host: classes, creation and destruction, geometry, DCs,
// painting and the default window procedure.
#include <gtest/gtest.h>
#include <pvplatform.h>
#include <windows.h>

#include <string>
#include <vector>

namespace {

struct Seen {
  UINT msg;
  WPARAM wParam;
};
std::vector<Seen> g_seen;
LRESULT g_createResult = 0;
std::string g_createName;

LRESULT CALLBACK Recorder(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  g_seen.push_back({msg, wParam});
  if (msg == WM_CREATE) {
    auto *cs = reinterpret_cast<CREATESTRUCTA *>(lParam);
    g_createName = cs->lpszName ? cs->lpszName : "";
    return g_createResult;
  }
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class UserWindows : public ::testing::Test {
 protected:
  void SetUp() override {
    pvplatform::SetHostKind(pvplatform::HostKind::Headless);
    pvplatform::SetHeadlessScreenSize(1024, 768);
    g_seen.clear();
    g_createResult = 0;
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = Recorder;
    wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<uintptr_t>(COLOR_MENU + 1));
    wc.lpszClassName = "UserWindowsTest";
    ASSERT_NE(RegisterClassA(&wc), 0);
  }
  void TearDown() override {
    for (HWND h : made_)
      if (IsWindow(h)) DestroyWindow(h);
    UnregisterClassA("UserWindowsTest", nullptr);
    auto c = pvplatform::CountLive();
    EXPECT_EQ(c.windows, 0);
  }
  HWND Make(DWORD style = WS_CAPTION | WS_SYSMENU, int x = 100, int y = 50, int w = 806, int h = 629,
            const char *title = "Caption") {
    HWND hwnd = CreateWindowExA(0, "UserWindowsTest", title, style, x, y, w, h, nullptr, nullptr, nullptr, nullptr);
    if (hwnd) made_.push_back(hwnd);
    return hwnd;
  }
  std::vector<UINT> Messages() const {
    std::vector<UINT> m;
    for (auto &s : g_seen) m.push_back(s.msg);
    return m;
  }
  std::vector<HWND> made_;
};

TEST_F(UserWindows, ClassNamesAreUniqueAndOnlyFreeClassesUnregister) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Recorder;
  wc.lpszClassName = "userwindowstest";  // class names ignore case
  EXPECT_EQ(RegisterClassA(&wc), 0);
  HWND h = Make();
  ASSERT_NE(h, nullptr);
  EXPECT_FALSE(UnregisterClassA("UserWindowsTest", nullptr));
  DestroyWindow(h);
  EXPECT_TRUE(UnregisterClassA("UserWindowsTest", nullptr));
  EXPECT_FALSE(UnregisterClassA("UserWindowsTest", nullptr));
  EXPECT_EQ(CreateWindowExA(0, "UserWindowsTest", "", 0, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr), nullptr);
  ASSERT_NE(RegisterClassA(&wc), 0);  // so that TearDown's unregister has something to do
}

TEST_F(UserWindows, CreationAndDestructionSendTheirMessagesInOrder) {
  HWND h = Make(WS_CAPTION, 0, 0, 200, 100, "Hello");
  ASSERT_NE(h, nullptr);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE}));
  EXPECT_EQ(g_createName, "Hello");
  EXPECT_TRUE(IsWindow(h));
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_EQ(pvplatform::CountLive().windows, 1);
  g_seen.clear();
  EXPECT_TRUE(DestroyWindow(h));
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_DESTROY, WM_NCDESTROY}));
  EXPECT_FALSE(IsWindow(h));
  EXPECT_FALSE(DestroyWindow(h));
  EXPECT_EQ(pvplatform::CountLive().windows, 0);
}

TEST_F(UserWindows, CreateResultOfMinusOneFailsCreationAndDestroysTheWindow) {
  g_createResult = -1;
  EXPECT_EQ(Make(), nullptr);
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_NCCREATE, WM_CREATE, WM_DESTROY, WM_NCDESTROY}));
  EXPECT_EQ(pvplatform::CountLive().windows, 0);
}

TEST_F(UserWindows, GeometryOfFramedPopupAndDefaultWindows) {
  struct Case {
    DWORD style;
    int x, y, w, h;
    RECT outer;
    RECT client;
  } cases[] = {
      {WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX, 109, 69, 806, 629, {109, 69, 915, 698}, {0, 0, 800, 600}},
      {WS_POPUP, 0, 0, 800, 600, {0, 0, 800, 600}, {0, 0, 800, 600}},
      {WS_CAPTION, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, {128, 96, 896, 672}, {0, 0, 762, 547}},
  };
  for (const auto &c : cases) {
    HWND h = Make(c.style, c.x, c.y, c.w, c.h);
    ASSERT_NE(h, nullptr);
    RECT r;
    ASSERT_TRUE(GetWindowRect(h, &r));
    EXPECT_EQ(r.left, c.outer.left);
    EXPECT_EQ(r.top, c.outer.top);
    EXPECT_EQ(r.right, c.outer.right);
    EXPECT_EQ(r.bottom, c.outer.bottom);
    ASSERT_TRUE(GetClientRect(h, &r));
    EXPECT_EQ(r.right, c.client.right) << std::hex << c.style;
    EXPECT_EQ(r.bottom, c.client.bottom) << std::hex << c.style;
    EXPECT_EQ(GetWindowLongA(h, GWL_STYLE), c.style);
    DestroyWindow(h);
  }
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 1024);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 768);
  EXPECT_EQ(2 * GetSystemMetrics(SM_CXDLGFRAME), 6);
  EXPECT_EQ(2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION), 29);
}

TEST_F(UserWindows, HeadlessScreenSizeIsAdjustable) {
  pvplatform::SetHeadlessScreenSize(800, 600);
  EXPECT_EQ(GetSystemMetrics(SM_CXSCREEN), 800);
  EXPECT_EQ(GetSystemMetrics(SM_CYSCREEN), 600);
  RECT r;
  ASSERT_TRUE(GetClientRect(GetDesktopWindow(), &r));
  EXPECT_EQ(r.right, 800);
  EXPECT_EQ(r.bottom, 600);
}

TEST_F(UserWindows, TitleStyleAndVisibility) {
  HWND h = Make(WS_CAPTION, 0, 0, 100, 100, "A fairly long caption");
  char buf[8];
  EXPECT_EQ(GetWindowTextA(h, buf, sizeof buf), 7);
  EXPECT_STREQ(buf, "A fairl");
  EXPECT_FALSE(ShowWindow(h, SW_SHOWNORMAL));  // was hidden
  EXPECT_TRUE(IsWindowVisible(h));
  EXPECT_TRUE(GetWindowLongA(h, GWL_STYLE) & WS_VISIBLE);
  EXPECT_TRUE(ShowWindow(h, SW_HIDE));  // was visible
  EXPECT_FALSE(IsWindowVisible(h));
  EXPECT_TRUE(SetForegroundWindow(h));
  HWND shown = Make(WS_CAPTION | WS_VISIBLE);
  EXPECT_TRUE(IsWindowVisible(shown));
}

TEST_F(UserWindows, OwnDcIsTheSameEveryTimeAndTheDesktopIs32Bits) {
  HWND h = Make();
  HDC dc = GetDC(h);
  ASSERT_NE(dc, nullptr);
  EXPECT_EQ(GetDC(h), dc);
  EXPECT_EQ(ReleaseDC(h, dc), 1);
  EXPECT_EQ(GetDC(h), dc);
  EXPECT_EQ(GetDeviceCaps(GetDC(GetDesktopWindow()), BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
}

TEST_F(UserWindows, DestroyingReleasesTheWindowDc) {
  const int before = pvplatform::CountLive().dcs;
  HWND h = Make();
  EXPECT_EQ(pvplatform::CountLive().dcs, before + 1);
  DestroyWindow(h);
  EXPECT_EQ(pvplatform::CountLive().dcs, before);
}

TEST_F(UserWindows, ShowingInvalidatesAndBeginPaintErasesWithTheClassBrushThenValidates) {
  HWND h = Make(WS_POPUP, 0, 0, 40, 30);
  RECT r;
  EXPECT_FALSE(GetUpdateRect(h, &r, FALSE));  // hidden windows have nothing to paint
  InvalidateRect(h, nullptr, TRUE);
  EXPECT_FALSE(GetUpdateRect(h, &r, FALSE));
  ShowWindow(h, SW_SHOWNORMAL);
  ASSERT_TRUE(GetUpdateRect(h, &r, FALSE));
  EXPECT_EQ(r.right, 40);
  EXPECT_EQ(r.bottom, 30);

  g_seen.clear();
  PAINTSTRUCT ps;
  HDC dc = BeginPaint(h, &ps);
  EXPECT_EQ(dc, GetDC(h));
  EXPECT_EQ(ps.rcPaint.right, 40);
  EXPECT_FALSE(ps.fErase);  // DefWindowProcA painted the background
  EXPECT_EQ(Messages(), (std::vector<UINT>{WM_ERASEBKGND}));
  EndPaint(h, &ps);
  EXPECT_FALSE(GetUpdateRect(h, &r, FALSE));

  std::vector<uint32_t> px;
  int w, hgt;
  ASSERT_TRUE(pvplatform::CopyWindowSurface(h, px, w, hgt));
  ASSERT_EQ(w * hgt, 40 * 30);
  EXPECT_EQ(px[0], 0xF0F0F0u);  // COLOR_MENU
  EXPECT_EQ(px[40 * 30 - 1], 0xF0F0F0u);
}

TEST_F(UserWindows, UpdateRegionIsTheUnionClippedToTheClient) {
  HWND h = Make(WS_POPUP, 0, 0, 100, 80);
  ShowWindow(h, SW_SHOWNORMAL);
  PAINTSTRUCT ps;
  BeginPaint(h, &ps);
  EndPaint(h, &ps);
  RECT a{10, 10, 20, 20}, b{50, -5, 200, 15}, r;
  InvalidateRect(h, &a, FALSE);
  InvalidateRect(h, &b, FALSE);
  ASSERT_TRUE(GetUpdateRect(h, &r, FALSE));
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.right, 100);
  EXPECT_EQ(r.bottom, 20);
  BeginPaint(h, &ps);
  EXPECT_FALSE(ps.fErase);
  EndPaint(h, &ps);
  RECT outside{200, 200, 300, 300};
  InvalidateRect(h, &outside, FALSE);
  EXPECT_FALSE(GetUpdateRect(h, &r, FALSE));
}

TEST_F(UserWindows, CloseThroughTheDefaultProcedureDestroysTheWindow) {
  HWND h = Make();
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(h));
}

TEST_F(UserWindows, SystemIconsAndCursorsExistButProgramResourcesDoNot) {
  EXPECT_NE(LoadCursorA(nullptr, IDC_ARROW), nullptr);
  EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), nullptr);
  EXPECT_EQ(LoadIconA(GetModuleHandleA(nullptr), "GrIcon"), nullptr);
}

TEST_F(UserWindows, BadHandlesAreRefused) {
  HWND bogus = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x7777));
  RECT r;
  EXPECT_FALSE(IsWindow(bogus));
  EXPECT_FALSE(GetClientRect(bogus, &r));
  EXPECT_FALSE(ShowWindow(bogus, SW_SHOWNORMAL));
  EXPECT_EQ(GetDC(bogus), nullptr);
  EXPECT_FALSE(PostMessageA(bogus, WM_USER, 0, 0));
  EXPECT_EQ(SendMessageA(bogus, WM_USER, 0, 0), 0);
  EXPECT_FALSE(InvalidateRect(bogus, nullptr, FALSE));
  EXPECT_FALSE(DestroyWindow(bogus));
}

}  // namespace
