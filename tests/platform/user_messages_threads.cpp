// Message queues between threads on the headless host: posting wakes the owner, WM_PAINT only
// when nothing is posted, WM_QUIT, filters, sending across threads, windows dying with their
// thread.
#include <gtest/gtest.h>
#include <pvplatform.h>
#include <windows.h>

#include <atomic>
#include <vector>

namespace {

std::atomic<DWORD> g_procThread{0};
std::atomic<int> g_destroyed{0};

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_USER + 1:
      g_procThread = GetCurrentThreadId();
      return static_cast<LRESULT>(wParam * 2);
    case WM_DESTROY: ++g_destroyed; return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd, &ps);
      EndPaint(hwnd, &ps);
      return 0;
    }
    default: return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

class Queues : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pvplatform::SetHostKind(pvplatform::HostKind::Headless);
    WNDCLASSA wc{};
    wc.style = CS_OWNDC;
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "QueueTest";
    RegisterClassA(&wc);
  }
  void TearDown() override {
    for (HWND h : made_)
      if (IsWindow(h)) DestroyWindow(h);
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    }
  }
  HWND Make(bool visible) {
    HWND h = CreateWindowExA(0, "QueueTest", "q", WS_POPUP | (visible ? WS_VISIBLE : 0), 0, 0, 50, 40, nullptr,
                             nullptr, nullptr, nullptr);
    made_.push_back(h);
    return h;
  }
  static void Validate(HWND h) {
    PAINTSTRUCT ps;
    BeginPaint(h, &ps);
    EndPaint(h, &ps);
  }
  std::vector<HWND> made_;
};

struct PostLater {
  HWND hwnd;
  std::atomic<bool> *waiting;
};

DWORD WINAPI PostWhenWaiting(LPVOID p) {
  auto *a = static_cast<PostLater *>(p);
  while (!*a->waiting) Sleep(1);
  Sleep(20);  // let the owner block in GetMessageA
  PostMessageA(a->hwnd, WM_USER + 5, 11, 22);
  return 0;
}

TEST_F(Queues, PostFromAnotherThreadWakesGetMessage) {
  HWND h = Make(false);
  std::atomic<bool> waiting{false};
  PostLater arg{h, &waiting};
  HANDLE t = CreateThread(nullptr, 0, PostWhenWaiting, &arg, 0, nullptr);
  waiting = true;
  MSG m;
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), 1);
  EXPECT_EQ(m.hwnd, h);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 5));
  EXPECT_EQ(m.wParam, 11u);
  EXPECT_EQ(m.lParam, 22);
  WaitForSingleObject(t, INFINITE);
  CloseHandle(t);
}

TEST_F(Queues, PaintComesOnlyWhenNothingIsPostedAndUntilValidated) {
  HWND h = Make(true);  // shown: the whole client area is invalid
  PostMessageA(h, WM_USER + 2, 0, 0);
  PostMessageA(h, WM_USER + 3, 0, 0);
  MSG m;
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 3));
  ASSERT_TRUE(GetMessageA(&m, nullptr, 0, 0));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  EXPECT_EQ(m.hwnd, h);
  // Not validated: asked again, and a message posted meanwhile goes first.
  PostMessageA(h, WM_USER + 4, 0, 0);
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 4));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  DispatchMessageA(&m);  // the procedure validates
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

TEST_F(Queues, QuitEndsTheLoopAfterPostedMessagesAndBeforePaint) {
  HWND h = Make(true);
  PostMessageA(h, WM_USER + 2, 0, 0);
  PostQuitMessage(7);
  MSG m;
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 1);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 0);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_QUIT));
  EXPECT_EQ(m.wParam, 7u);
  EXPECT_EQ(GetMessageA(&m, nullptr, 0, 0), 1);  // the quit was taken; paint is still due
  EXPECT_EQ(m.message, static_cast<UINT>(WM_PAINT));
  Validate(h);
}

TEST_F(Queues, FiltersByWindowAndRangeButQuitAlwaysPasses) {
  HWND a = Make(false), b = Make(false);
  PostMessageA(a, WM_USER + 1, 0, 0);
  PostMessageA(b, WM_USER + 2, 0, 0);
  PostMessageA(nullptr, WM_USER + 3, 0, 0);  // a thread message
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_NOREMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  ASSERT_TRUE(PeekMessageA(&m, nullptr, WM_USER + 3, WM_USER + 3, PM_REMOVE));
  EXPECT_EQ(m.hwnd, nullptr);
  ASSERT_TRUE(PeekMessageA(&m, b, 0, 0, PM_REMOVE));  // NOREMOVE left it there
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 2));
  EXPECT_FALSE(PeekMessageA(&m, b, 0, 0, PM_REMOVE));
  EXPECT_EQ(GetMessageA(&m, reinterpret_cast<HWND>(static_cast<uintptr_t>(0x5555)), 0, 0), -1);
  PostQuitMessage(0);
  EXPECT_EQ(GetMessageA(&m, b, WM_USER, WM_USER), 0);
  ASSERT_TRUE(PeekMessageA(&m, a, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 1));
}

struct Owner {
  std::atomic<HWND> hwnd{nullptr};
  std::atomic<bool> leaveWindow{false};
  std::atomic<DWORD> id{0};
};

// Makes a window and runs its message loop until WM_USER + 9 destroys the window and quits
// (or, with leaveWindow, returns at once and leaves the window to die with the thread).
DWORD WINAPI OwnerThread(LPVOID p) {
  auto *o = static_cast<Owner *>(p);
  o->id = GetCurrentThreadId();
  HWND h = CreateWindowExA(0, "QueueTest", "owned", WS_POPUP, 0, 0, 30, 30, nullptr, nullptr, nullptr, nullptr);
  o->hwnd = h;
  if (o->leaveWindow) return 3;
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    if (m.message == WM_USER + 9) {
      DestroyWindow(m.hwnd);
      PostQuitMessage(5);
    }
    DispatchMessageA(&m);
  }
  return static_cast<DWORD>(m.wParam);
}

TEST_F(Queues, SendAcrossThreadsRunsOnTheOwnerAndWaitsForTheResult) {
  Owner o;
  HANDLE t = CreateThread(nullptr, 0, OwnerThread, &o, 0, nullptr);
  while (!o.hwnd) Sleep(1);
  EXPECT_EQ(SendMessageA(o.hwnd, WM_USER + 1, 21, 0), 42);
  EXPECT_EQ(g_procThread.load(), o.id.load());
  EXPECT_FALSE(DestroyWindow(o.hwnd));  // not ours to destroy

  // Showing from another thread is done by the owner; invalidation then makes it paint.
  EXPECT_FALSE(ShowWindow(o.hwnd, SW_SHOWNORMAL));
  EXPECT_TRUE(IsWindowVisible(o.hwnd));
  RECT r;
  for (int i = 0; i < 2000 && GetUpdateRect(o.hwnd, &r, FALSE); ++i) Sleep(1);
  EXPECT_FALSE(GetUpdateRect(o.hwnd, &r, FALSE));
  InvalidateRect(o.hwnd, nullptr, FALSE);
  for (int i = 0; i < 2000 && GetUpdateRect(o.hwnd, &r, FALSE); ++i) Sleep(1);
  EXPECT_FALSE(GetUpdateRect(o.hwnd, &r, FALSE));

  const int destroyedBefore = g_destroyed;
  PostMessageA(o.hwnd, WM_USER + 9, 0, 0);  // the owner destroys it
  for (int i = 0; i < 2000 && IsWindow(o.hwnd); ++i) Sleep(1);
  EXPECT_FALSE(IsWindow(o.hwnd));
  EXPECT_EQ(g_destroyed, destroyedBefore + 1);
  EXPECT_EQ(SendMessageA(o.hwnd, WM_USER + 1, 1, 0), 0);
  EXPECT_FALSE(PostMessageA(o.hwnd, WM_USER, 0, 0));
  EXPECT_EQ(WaitForSingleObject(t, INFINITE), static_cast<DWORD>(WAIT_OBJECT_0));
  DWORD code;
  GetExitCodeThread(t, &code);
  EXPECT_EQ(code, 5u);
  CloseHandle(t);
}

TEST_F(Queues, WindowsDieWithTheThreadThatMadeThem) {
  const int destroyedBefore = g_destroyed;
  Owner o;
  o.leaveWindow = true;
  HANDLE t = CreateThread(nullptr, 0, OwnerThread, &o, 0, nullptr);
  WaitForSingleObject(t, INFINITE);
  DWORD code;
  GetExitCodeThread(t, &code);
  EXPECT_EQ(code, 3u);
  EXPECT_FALSE(IsWindow(o.hwnd));
  EXPECT_EQ(g_destroyed, destroyedBefore + 1);
  CloseHandle(t);
  EXPECT_EQ(pvplatform::CountLive().windows, 0);
}

TEST_F(Queues, MessagesForADestroyedWindowAreDropped) {
  HWND h = Make(false);
  PostMessageA(h, WM_USER + 2, 0, 0);
  PostMessageA(nullptr, WM_USER + 3, 0, 0);
  DestroyWindow(h);
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER + 3));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
