// The program thread and the window thread at once: drawing while pages are painted, input
// arriving while the program reads, and repeated open and close.
#include <atomic>
#include <cstdlib>
#include <thread>

#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

TEST(Threads, DrawingWhileTheWindowThreadPaints) {
  pvtest::OpenWindow();
  ASSERT_TRUE(GraphActive());
  uint16_t page = 0;
  for (int frame = 0; frame < 60; ++frame) {
    SetDrawPage(page);
    page = 1 - page;
    SetShowPage(page);
    ClearScreen();
    SetViewArea(0, 0, 799, 599, (frame & 1) != 0);
    for (int i = 0; i < 20; ++i) {
      SetDrawColor(NamedColor(static_cast<uint8_t>(frame * 7 + i)));
      DrawLine(static_cast<int16_t>(i * 30), 0, 400, 300);
    }
    SetFillKind(static_cast<int16_t>(frame % 10), NamedColor(ncRed));
    DrawEllipse(400, 300, 50, 30);
    if (frame % 10 == 0) {
      PaletteRecord rec;
      ReadStockPalette(rec);
      InstallPalette(rec);
    }
  }
  // The frame drawn last is on the hidden page; show it and see it arrive.
  // (Wine's window DC may show the copy a moment after the paint.)
  SetShowPage(1 - page);
  pvtest::WaitForPaint();
  const COLORREF drawn = GetPixel(S().PageDC, 400, 300);
  pvtest::WaitUntil([&] { return pvtest::WindowRGB(400, 300) == drawn; });
  EXPECT_EQ(pvtest::WindowRGB(400, 300), drawn);
  CloseGraphWindow();
}

// An invalidation that arrives while the paint waits for the session lock is painted too.
TEST(Threads, PaintCopiesWhatArrivedWhileItWaited) {
  pvtest::OpenWindow();
  ASSERT_TRUE(GraphActive());
  HWND hwnd = S().WindowHandle;
  pvtest::WaitForPaint();
  const RECT first{10, 10, 20, 20}, second{600, 500, 610, 510};
  EnterCriticalSection(&S().SessionLock);
  InvalidateRect(hwnd, &first, FALSE);
  Sleep(200);  // the window thread takes the paint and waits for the lock
  // On the page only, as a frame drawn while the window waits.
  FillRect(S().PageDC, &second, S().CurrentBrush);
  InvalidateRect(hwnd, &second, FALSE);
  LeaveCriticalSection(&S().SessionLock);
  pvtest::WaitForPaint();
  const COLORREF drawn = GetPixel(S().PageDC, 605, 505);
  ASSERT_NE(drawn, RGB(0, 0, 0));
  pvtest::WaitUntil([&] { return pvtest::WindowRGB(605, 505) == drawn; });
  EXPECT_EQ(pvtest::WindowRGB(605, 505), drawn);
  CloseGraphWindow();
}

TEST(Threads, InputFloodWhileTheProgramReads) {
  pvtest::OpenWindow();
  ASSERT_TRUE(GraphActive());
  HWND hwnd = S().WindowHandle;
  std::atomic<bool> done{false};
  // A third thread posts; the window thread pushes; this thread reads.
  std::thread sender([&] {
    for (int i = 0; i < 2000; ++i) {
      PostMessageA(hwnd, WM_CHAR, 'a' + i % 26, 0);
      PostMessageA(hwnd, WM_KEYDOWN, VK_LEFT, 0);
      PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(i % 800, i % 600));
      if (i % 50 == 0) Sleep(1);
    }
    done = true;
  });
  int keys = 0, events = 0;
  while (!done || KeyWaiting()) {
    while (KeyWaiting()) {
      NextKey();
      ++keys;
    }
    MouseEvent e;
    while (NextMouseEvent(e)) ++events;
    PlotPixel(static_cast<int16_t>(keys % 800), 10, NamedColor(ncWhite));
  }
  sender.join();
  keys += static_cast<int>(pvtest::ReadKeysPostedSoFar().size());
  EXPECT_GT(keys, 0);
  EXPECT_GT(events, 0);
  EXPECT_LE(MouseX(), 799);
  CloseGraphWindow();
}

TEST(Threads, RepeatedOpenAndClose) {
  for (int i = 0; i < 8; ++i) {
    pvtest::OpenWindow(static_cast<int16_t>(i % 2 ? 9 : 3), 1);
    ASSERT_TRUE(GraphActive());
    SetShowPage(1);
    DrawLine(0, 0, 100, 100);
    CloseGraphWindow();
    EXPECT_FALSE(GraphActive());
  }
}

// The process ends from whichever thread calls exit, at once and with that thread's status,
// while the program thread draws: from the window thread (as a display library's error handler
// would) and from a third thread.
LRESULT CALLBACK ExitFromTheWindowThread(HWND, UINT, WPARAM, LPARAM) { std::exit(2); }

TEST(Threads, ProcessExitFromAnyThreadWhileTheProgramDraws) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  for (const bool windowThread : {true, false}) {
    EXPECT_EXIT(
        {
          pvtest::OpenWindow();
          if (!GraphActive()) std::_Exit(4);
          std::thread([] {  // a hang fails the test rather than stalling it
            Sleep(5000);
            std::_Exit(9);
          }).detach();
          if (windowThread) {
            S().KeyboardHookSlot = ExitFromTheWindowThread;
            PostMessageA(S().WindowHandle, WM_KEYDOWN, 'A', 0);
          } else {
            std::thread([] {
              Sleep(30);
              std::exit(2);
            }).detach();
          }
          SetPenStyle(0, 0, 9);  // a wide outline holds the session lock for a long while
          for (uint16_t page = 0;; page ^= 1) {
            SetDrawPage(page);
            SetShowPage(static_cast<uint16_t>(page ^ 1));
            ClearScreen();
            DrawEllipse(400, 300, 300, 200);
          }
        },
        ::testing::ExitedWithCode(2), "")
        << (windowThread ? "exit on the window thread" : "exit on a third thread");
  }
}

}  // namespace
