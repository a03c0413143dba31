// The soak with a second thread flooding the window with keys, mouse events and paint
// requests the whole time, through opens and closes alike: nothing is left behind, and under
// ThreadSanitizer nothing races.
#include <atomic>
#include <thread>

#include "headless_window.h"
#include "robust_support.h"

using namespace plotvane;

namespace {

// Posts to whatever window `target` names, until told to stop; a handle of a window that has
// just closed must be refused quietly.
class Flooder {
 public:
  Flooder() : thread_([this] { Run(); }) {}
  ~Flooder() { Stop(); }
  void Aim(HWND window) { target_ = window; }
  void Stop() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
  }
  long Accepted() const { return accepted_; }

 private:
  void Run() {
    for (uint32_t i = 0; !stop_; ++i) {
      const HWND h = target_;
      if (!h) {
        Sleep(1);
        continue;
      }
      const LPARAM at = MAKELPARAM(i % 800, i % 600);
      BOOL ok = FALSE;
      switch (i % 7) {
        case 0: ok = PostMessageA(h, WM_CHAR, 'a' + i % 26, 0); break;
        case 1: ok = PostMessageA(h, WM_KEYDOWN, VK_F1 + i % 12, 0); break;
        case 2: ok = PostMessageA(h, WM_MOUSEMOVE, i % 2 ? MK_LBUTTON : 0, at); break;
        case 3: ok = PostMessageA(h, WM_LBUTTONDOWN, MK_LBUTTON, at); break;
        case 4: ok = PostMessageA(h, WM_MOUSEWHEEL, MAKEWPARAM(0, 120), at); break;
        case 5: ok = PostMessageA(h, WM_CLOSE, 0, 0); break;
        default: ok = InvalidateRect(h, nullptr, FALSE); break;
      }
      accepted_ += ok ? 1 : 0;
      // Let the window thread drain its queue now and then, so that it also gets to paint.
      if (i % 256 == 0) Sleep(1);
    }
  }

  std::atomic<HWND> target_{nullptr};
  std::atomic<bool> stop_{false};
  std::atomic<long> accepted_{0};
  std::thread thread_;
};

void ReadInput() {
  while (KeyWaiting()) NextKey();
  MouseEvent e;
  while (NextMouseEvent(e)) {
  }
}

TEST(SoakThreads, CyclesUnderAnInputAndPaintFloodLeaveNothingBehind) {
  pvtest::UseHeadlessHost();
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "Plotvane soak");
  ASSERT_TRUE(GraphActive());
  CloseGraphWindow();
  const std::string start = robust::Live();
  const int threads = robust::ProcessThreads();

  Flooder flooder;
  const int cycles = robust::Scaled(1000, 100);
  for (int i = 1; i <= cycles; ++i) {
    driver = i % 2 ? 3 : 9;
    mode = 6;
    OpenGraphWindow(driver, mode, "Plotvane soak");
    ASSERT_TRUE(GraphActive()) << "cycle " << i << ": GraphError " << GraphError();
    flooder.Aim(Session().WindowHandle);
    for (int f = 0; f < 3; ++f) {
      robust::DrawBusyFrame(i * 3 + f);
      ReadInput();
    }
    // The flood goes on while the window closes and after it has gone.
    CloseGraphWindow();
    ASSERT_EQ(GraphError(), grOk) << "cycle " << i;
    if (i % 100 == 0) {
      ASSERT_EQ(robust::Live(), start) << "after cycle " << i;
    }
  }
  flooder.Stop();
  EXPECT_GT(flooder.Accepted(), cycles) << "the flood never reached a window";
  EXPECT_EQ(robust::Live(), start);
  EXPECT_EQ(robust::ProcessThreadsSettledAt(threads), threads);
}

}  // namespace
