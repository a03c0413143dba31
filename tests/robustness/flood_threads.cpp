// Floods of input against a queue nobody reads: the window thread keeps handling and painting,
// the key queue ends with the last 31 bytes in whole keys, the mouse queue with the last 15
// events. And a program waiting in NextKey wakes when a key arrives.
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <thread>
#include <vector>

#include "headless_window.h"
#include "robust_support.h"

using namespace plotvane;

namespace {

// Shows a new colour and waits until the window thread has put it on the window. The paint
// comes only once the window's queue is empty, so this also waits for everything posted before.
bool PaintedAfterQueue(uint16_t page, uint32_t color) {
  SetDrawPage(page);
  PlotPixel(5, 5, color);
  const COLORREF expected = pvtest::PagePixel(5, 5);
  SetShowPage(page);
  for (int i = 0; i < 6000; ++i) {  // a generous minute
    if (pvtest::WindowRGB(5, 5) == expected) return true;
    Sleep(10);
  }
  return false;
}

struct Key {
  UINT message;
  WPARAM wParam;
  std::vector<uint8_t> bytes;  // what it queues
};

class Flood : public pvtest::HeadlessWindow {};

TEST_F(Flood, AMillionMessagesKeepTheQueueRulesAndTheWindowPainting) {
  const HWND window = Session().WindowHandle;
  const uint32_t colors[2] = {NamedColor(ncRed), NamedColor(ncYellow)};
  const int bursts = 100, perBurst = 10000;
  long accepted = 0;
  for (int b = 0; b < bursts; ++b) {
    for (int i = 0; i < perBurst; ++i) {
      BOOL ok = FALSE;
      switch (i % 5) {
        case 0: ok = PostMessageA(window, WM_CHAR, 'a' + i % 26, 0); break;
        case 1: ok = PostMessageA(window, WM_KEYDOWN, i % 2 ? VK_UP : VK_F1, 0); break;
        case 2: ok = PostMessageA(window, WM_MOUSEMOVE, 0, MAKELPARAM(i % 800, b)); break;
        case 3: ok = PostMessageA(window, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(b, i % 600)); break;
        default: ok = PostMessageA(window, WM_CLOSE, 0, 0); break;
      }
      accepted += ok ? 1 : 0;
    }
    ASSERT_TRUE(PaintedAfterQueue(static_cast<uint16_t>(b & 1), colors[b & 1]))
        << "the window thread stopped painting after burst " << b;
  }
  EXPECT_EQ(accepted, static_cast<long>(bursts) * perBurst);

  // A last stretch of known keys and moves decides what the queues hold.
  std::vector<Key> keys;
  for (int j = 0; j < 30; ++j) {
    if (j % 3 == 0)
      keys.push_back({WM_KEYDOWN, VK_UP, {0, 72}});
    else
      keys.push_back({WM_CHAR, static_cast<WPARAM>('A' + j), {static_cast<uint8_t>('A' + j)}});
  }
  for (int j = 0; j < 30; ++j) {
    PostMessageA(window, keys[j].message, keys[j].wParam, 0);
    if (j < 20) PostMessageA(window, WM_MOUSEMOVE, MK_RBUTTON, MAKELPARAM(1000 + j, 2000 + j));
  }
  ASSERT_TRUE(PaintedAfterQueue(0, colors[0]));

  // Whole keys from the newest back, as many as fit in 31 bytes.
  std::vector<uint8_t> expected;
  for (auto k = keys.rbegin(); k != keys.rend() && expected.size() + k->bytes.size() <= 31; ++k)
    expected.insert(expected.begin(), k->bytes.begin(), k->bytes.end());
  std::vector<uint8_t> queued;
  while (KeyWaiting() && queued.size() < 64) queued.push_back(NextKey());
  EXPECT_EQ(queued, expected);

  std::vector<int> moves;
  MouseEvent e;
  while (NextMouseEvent(e) && moves.size() < 32) {
    EXPECT_EQ(e.Event, meMove);
    EXPECT_EQ(e.Buttons, mbRight);
    EXPECT_EQ(e.Y, e.X + 1000);
    moves.push_back(e.X - 1000);
  }
  const std::vector<int> last15{5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19};
  EXPECT_EQ(moves, last15);
  EXPECT_EQ(MouseX(), 1019);
  EXPECT_EQ(MouseY(), 2019);
}

TEST_F(Flood, NextKeyWakesWhenAKeyArrives) {
  const HWND window = Session().WindowHandle;
  while (KeyWaiting()) NextKey();
  for (int round = 0; round < 20; ++round) {
    std::atomic<bool> woke{false};
    // Posts a key while this thread waits in NextKey; if NextKey never comes back the test
    // cannot go on, so it ends the process with the reason.
    std::thread sender([&] {
      Sleep(static_cast<DWORD>(round % 4 * 7));
      PostMessageA(window, WM_KEYDOWN, VK_UP, 0);
      for (int i = 0; i < 1000 && !woke; ++i) Sleep(10);
      if (!woke) {
        std::fprintf(stderr, "NextKey did not wake within 10 s of a key arriving (round %d)\n", round);
        std::abort();
      }
    });
    const uint8_t first = NextKey();
    woke = true;
    sender.join();
    EXPECT_EQ(first, 0) << "round " << round;
    ASSERT_TRUE(KeyWaiting()) << "the second byte of the pair is missing";
    EXPECT_EQ(NextKey(), 72) << "round " << round;
    EXPECT_FALSE(KeyWaiting());
  }
}

}  // namespace
