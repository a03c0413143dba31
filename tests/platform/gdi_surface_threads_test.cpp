// Window surfaces: drawing under the surface's lock, change reports, and two threads at once.
#include <gtest/gtest.h>
#include <pvplatform.h>
#include <windows.h>

#include <atomic>
#include <cstring>
#include <thread>
#include <vector>

#include "window_surface.h"

namespace {

struct Surface {
  pv::WindowSurface s;
  HDC dc = nullptr;
  std::vector<RECT> reports;
  bool lockedDuringReport = false;

  Surface(int width, int height) {
    s.width = width;
    s.height = height;
    s.pixels.assign(static_cast<size_t>(width) * height, 0);
    s.onChanged = [this](const RECT &r) {
      reports.push_back(r);
      // The surface's lock must be free while its owner hears of the change.
      if (s.mutex.try_lock())
        s.mutex.unlock();
      else
        lockedDuringReport = true;
    };
    dc = pv::gdi::CreateSurfaceDC(&s);
  }
  ~Surface() { pv::gdi::DestroySurfaceDC(dc); }
  uint32_t At(int x, int y) {
    std::lock_guard<std::mutex> lock(s.mutex);
    return s.pixels[static_cast<size_t>(y) * s.width + x];
  }
};

TEST(WindowSurfaces, DrawingReportsWhatChangedWithTheLockReleased) {
  Surface w(40, 30);
  ASSERT_NE(w.dc, nullptr);
  EXPECT_EQ(GetObjectType(w.dc), static_cast<DWORD>(OBJ_DC));
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0x10, 0x20, 0x30));
  HGDIOBJ old = SelectObject(w.dc, pen);
  MoveToEx(w.dc, 2, 3, nullptr);
  LineTo(w.dc, 12, 3);
  ASSERT_EQ(w.reports.size(), 1u);
  EXPECT_EQ(w.reports[0].left, 2);
  EXPECT_EQ(w.reports[0].top, 3);
  EXPECT_EQ(w.reports[0].right, 12);
  EXPECT_EQ(w.reports[0].bottom, 4);
  EXPECT_FALSE(w.lockedDuringReport);
  EXPECT_EQ(w.At(2, 3), 0x00102030u);
  EXPECT_EQ(w.At(12, 3), 0u);
  // Nothing drawn, nothing reported.
  LineTo(w.dc, 12, 3);
  SetPixelV(w.dc, -5, 2, RGB(255, 255, 255));
  EXPECT_EQ(w.reports.size(), 1u);
  // Mixes may not leave anything in the surface's unused high byte.
  SetROP2(w.dc, R2_NOT);
  SetPixelV(w.dc, 0, 0, 0);
  EXPECT_EQ(w.At(0, 0), 0x00FFFFFFu);
  SelectObject(w.dc, old);
  DeleteObject(pen);
  EXPECT_FALSE(DeleteDC(w.dc));  // the window's DC is not the program's to delete
}

TEST(WindowSurfaces, PagesAreCopiedOntoTheSurfaceThroughTheirTable) {
  Surface w(16, 8);
  HDC page = CreateCompatibleDC(w.dc);
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD c[256];
  } bi{};
  bi.h.biSize = sizeof bi.h;
  bi.h.biWidth = 16;
  bi.h.biHeight = 8;
  bi.h.biPlanes = 1;
  bi.h.biBitCount = 8;
  for (int i = 0; i < 256; ++i) bi.c[i] = RGBQUAD{static_cast<BYTE>(i), 0, static_cast<BYTE>(255 - i), 0};
  void *bits;
  HBITMAP bmp = CreateDIBSection(w.dc, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
  HGDIOBJ old = SelectObject(page, bmp);
  SetPixelV(page, 3, 2, RGB(255 - 77, 0, 77));
  ASSERT_TRUE(BitBlt(w.dc, 0, 0, 16, 8, page, 0, 0, SRCCOPY));
  EXPECT_EQ(w.At(3, 2), 0x00B2004Du);
  EXPECT_EQ(w.At(4, 2), 0x00FF0000u);
  EXPECT_EQ(GetPixel(w.dc, 3, 2), RGB(255 - 77, 0, 77));
  // A window DC makes true-colour compatible bitmaps.
  HBITMAP compat = CreateCompatibleBitmap(w.dc, 4, 4);
  BITMAP bm{};
  GetObjectA(compat, sizeof bm, &bm);
  EXPECT_EQ(bm.bmBitsPixel, 32);
  DeleteObject(compat);
  SelectObject(page, old);
  DeleteObject(bmp);
  DeleteDC(page);
}

TEST(WindowSurfaces, ResizeAndDestroy) {
  auto w = std::make_unique<Surface>(10, 10);
  {
    std::lock_guard<std::mutex> lock(w->s.mutex);
    w->s.width = 20;
    w->s.height = 5;
    w->s.pixels.assign(100, 0);
  }
  pv::gdi::SurfaceResized(w->dc);
  RECT box;
  ASSERT_EQ(GetClipBox(w->dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 20);
  EXPECT_EQ(box.bottom, 5);
  SetPixelV(w->dc, 19, 4, RGB(1, 2, 3));
  EXPECT_EQ(w->At(19, 4), 0x00010203u);
  HDC dc = w->dc;
  const int dcsBefore = pvplatform::CountLive().dcs;
  w.reset();
  EXPECT_EQ(pvplatform::CountLive().dcs, dcsBefore - 1);
  EXPECT_FALSE(SetPixelV(dc, 0, 0, 0));
}

// A program thread drawing through to the window while the window thread presents it and
// copies pages to it, and a third thread making and dropping objects of its own.
TEST(WindowSurfaces, DrawingPresentingAndObjectChurnOnThreeThreads) {
  Surface w(64, 48);
  std::atomic<bool> stop{false};
  std::atomic<int> presented{0};
  w.s.onChanged = [&](const RECT &) { presented.fetch_add(1, std::memory_order_relaxed); };

  std::thread presenter([&] {
    HDC page = CreateCompatibleDC(nullptr);
    HBITMAP bmp = CreateCompatibleBitmap(w.dc, 64, 48);
    HGDIOBJ old = SelectObject(page, bmp);
    uint64_t sum = 0;
    while (!stop.load()) {
      {
        std::lock_guard<std::mutex> lock(w.s.mutex);
        for (uint32_t p : w.s.pixels) sum += p;
      }
      BitBlt(w.dc, 0, 0, 8, 8, page, 0, 0, SRCCOPY);
    }
    SelectObject(page, old);
    DeleteObject(bmp);
    DeleteDC(page);
    EXPECT_GE(sum, 0u);
  });
  std::thread churn([&] {
    while (!stop.load()) {
      HDC dc = CreateCompatibleDC(nullptr);
      HPEN pen = CreatePen(PS_DOT, 1, RGB(9, 9, 9));
      SelectObject(dc, pen);
      DeleteObject(pen);
      DeleteDC(dc);
    }
  });
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(255, 255, 255));
  HGDIOBJ old = SelectObject(w.dc, pen);
  for (int i = 0; i < 2000; ++i) {
    MoveToEx(w.dc, i % 64, 0, nullptr);
    LineTo(w.dc, 63 - i % 64, 47);
  }
  stop = true;
  presenter.join();
  churn.join();
  SelectObject(w.dc, old);
  DeleteObject(pen);
  EXPECT_GE(presented.load(), 2000);
}

}  // namespace
