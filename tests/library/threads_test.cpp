// The program thread and the window thread at once: drawing while pages are painted, input
// arriving while the program reads, and repeated open and close.
#include <atomic>
#include <chrono>
#include <cstdlib>
#include <thread>
#include <vector>

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
  const COLORREF drawn = pvtest::PagePixel(400, 300);
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
  const COLORREF drawn = pvtest::PagePixel(605, 505);
  ASSERT_NE(drawn, RGB(0, 0, 0));
  pvtest::WaitUntil([&] { return pvtest::WindowRGB(605, 505) == drawn; });
  EXPECT_EQ(pvtest::WindowRGB(605, 505), drawn);
  CloseGraphWindow();
}

// Each round of an input flood queues a letter, the cursor key Left (0, 75) and a pointer move
// whose x and y name the round (each pair belongs to one round below 2400).
constexpr int kRounds = 2000;
uint8_t RoundLetter(int round) { return static_cast<uint8_t>('a' + round % 26); }
int RoundOf(const MouseEvent &e) {
  for (int round = e.X; round < 2400; round += 800)
    if (round % 600 == e.Y) return round;
  return -1;
}

struct Arrived {
  std::vector<uint8_t> keys;
  std::vector<MouseEvent> events;
};

// Posts the rounds from a third thread while this thread reads keys and events and draws; the
// window thread pushes. With `ahead` > 0 the sender stays that few rounds ahead of the keys
// read, so neither queue can overflow.
Arrived Flood(int ahead) {
  HWND hwnd = S().WindowHandle;
  std::atomic<int> roundsRead{0};
  std::atomic<bool> done{false};
  std::thread sender([&] {
    for (int i = 0; i < kRounds; ++i) {
      // A key that never arrives fails the test below rather than hanging it here.
      const auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
      while (ahead > 0 && i - roundsRead.load() >= ahead && std::chrono::steady_clock::now() < giveUp)
        std::this_thread::yield();
      PostMessageA(hwnd, WM_CHAR, RoundLetter(i), 0);
      PostMessageA(hwnd, WM_KEYDOWN, VK_LEFT, 0);
      PostMessageA(hwnd, WM_MOUSEMOVE, 0, MAKELPARAM(i % 800, i % 600));
      if (ahead == 0 && i % 50 == 0) Sleep(1);
    }
    done = true;
  });
  Arrived got;
  MouseEvent e;
  while (!done) {
    while (KeyWaiting()) got.keys.push_back(NextKey());
    while (NextMouseEvent(e)) got.events.push_back(e);
    roundsRead = static_cast<int>(got.keys.size() / 3);
    PlotPixel(static_cast<int16_t>(got.keys.size() % 800), 10, NamedColor(ncWhite));
  }
  sender.join();
  for (uint8_t b : pvtest::ReadKeysPostedSoFar()) got.keys.push_back(b);
  while (NextMouseEvent(e)) got.events.push_back(e);
  return got;
}

TEST(Threads, InputFloodWhileTheProgramReads) {
  pvtest::OpenWindow();
  ASSERT_TRUE(GraphActive());

  // Read as fast as it comes: everything arrives, in order.
  const Arrived paced = Flood(4);
  std::vector<uint8_t> expected;
  for (int i = 0; i < kRounds; ++i) expected.insert(expected.end(), {RoundLetter(i), 0, 75});
  EXPECT_EQ(paced.keys, expected);
  ASSERT_EQ(paced.events.size(), static_cast<size_t>(kRounds));
  for (int i = 0; i < kRounds; ++i) {
    const MouseEvent &ev = paced.events[i];
    ASSERT_EQ(RoundOf(ev), i);
    ASSERT_EQ(ev.Event, meMove);
    ASSERT_EQ(ev.Buttons | ev.Wheel, 0);
  }

  // Faster than it is read: full queues drop their oldest entries, extended pairs whole, and
  // never the newest.
  const Arrived flood = Flood(0);
  for (size_t k = 0; k < flood.keys.size(); ++k) {
    const uint8_t b = flood.keys[k];
    if (b == 0) {
      ASSERT_TRUE(k + 1 < flood.keys.size() && flood.keys[++k] == 75) << "a pair cut at byte " << k;
    } else {
      ASSERT_TRUE(b >= 'a' && b <= 'z') << "a lone extended byte at " << k;
    }
  }
  ASSERT_GE(flood.keys.size(), 3u);
  EXPECT_EQ(std::vector<uint8_t>(flood.keys.end() - 3, flood.keys.end()),
            (std::vector<uint8_t>{RoundLetter(kRounds - 1), 0, 75}));
  int last = -1;
  for (const MouseEvent &ev : flood.events) {
    ASSERT_GT(RoundOf(ev), last) << "events out of order";
    last = RoundOf(ev);
  }
  EXPECT_EQ(last, kRounds - 1);
  EXPECT_EQ(MouseX(), (kRounds - 1) % 800);
  EXPECT_EQ(MouseY(), (kRounds - 1) % 600);
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
