// Open, draw, close, a thousand times in one process: every thread, window, DC, GDI object and
// heap byte that a cycle makes is gone when it ends (LeakSanitizer checks the bytes in the
// sanitizer build, the heap's own count here).
#include <malloc.h>
#include <windows.h>

#include <algorithm>

#include "headless_window.h"
#include "robust_support.h"

using namespace plotvane;

namespace {

constexpr int16_t Drivers[] = {3, 9, 1, 2};

// Off-screen Mesa keeps a few hundred bytes of every context it ever made, and every open makes
// one for its page. Those bytes are the renderer's, not the library's: measured here on a page
// of the window's size, so that the soak counts only what is ours.
long long RendererBytesPerContext() {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), 800, -600, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void *bits = nullptr;
  HBITMAP page = CreateDIBSection(dc, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(dc, page);
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_BITMAP | PFD_SUPPORT_OPENGL;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd);
  const auto cycle = [dc] {
    HGLRC rc = wglCreateContext(dc);
    if (!rc) return false;
    wglMakeCurrent(dc, rc);
    wglMakeCurrent(nullptr, nullptr);
    return wglDeleteContext(rc) != FALSE;
  };
  long long perContext = 0;
  if (cycle()) {
    constexpr int contexts = 100;
    const size_t before = mallinfo2().uordblks;
    for (int i = 0; i < contexts; ++i) cycle();
    perContext = std::max(0LL, (static_cast<long long>(mallinfo2().uordblks) - static_cast<long long>(before)) / contexts);
  }
  SelectObject(dc, old);
  DeleteObject(page);
  DeleteDC(dc);
  return perContext;
}

void Cycle(int16_t driver, int16_t mode, int n) {
  OpenGraphWindow(driver, mode, "Plotvane soak");
  ASSERT_TRUE(GraphActive()) << "cycle " << n << ": GraphError " << GraphError();
  for (int f = 0; f < 3; ++f) robust::DrawBusyFrame(n * 3 + f);
  CloseGraphWindow();
  ASSERT_EQ(GraphError(), grOk) << "cycle " << n;
  ASSERT_FALSE(GraphActive());
}

TEST(Soak, OpenDrawCloseCyclesLeaveNothingBehind) {
  pvtest::UseHeadlessHost();
  // Each kind of page once first: the platform and its libraries make some things on first use.
  for (int16_t d : Drivers) Cycle(d, 6, 0);
  const std::string start = robust::Live();
  const int threads = robust::ProcessThreads();
  size_t halfway = 0;

  const int cycles = robust::Scaled(1000, 200);
  for (int i = 1; i <= cycles; ++i) {
    Cycle(Drivers[i % 4], i % 8 == 0 ? 1 : 6, i);
    if (i == cycles / 2) halfway = mallinfo2().uordblks;
    if (i % 100 == 0) {
      ASSERT_EQ(robust::Live(), start) << "after cycle " << i;
    }
  }
  EXPECT_EQ(robust::Live(), start);
  EXPECT_EQ(robust::ProcessThreadsSettledAt(threads), threads);
  // Caches fill during the first half; in the second, what a cycle left behind would add up.
  // The count wobbles by some kilobytes (chunks that threads keep for reuse count as in use),
  // and under AddressSanitizer, whose allocator replaces the heap, it means nothing.
  if (!ROBUST_SANITIZED) {
    const auto grown = static_cast<long long>(mallinfo2().uordblks) - static_cast<long long>(halfway);
    const long long renderer = RendererBytesPerContext();
    EXPECT_LT(grown, (64LL + renderer) * (cycles - cycles / 2))
        << grown << " bytes more in use over the second half (the renderer keeps " << renderer
        << " bytes of each context)";
  }
}

}  // namespace
