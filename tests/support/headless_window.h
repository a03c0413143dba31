// Test helpers: open the graphics window on the headless host and read pixels back from the
// pages and the window. Works against our platform layer and against real Windows (where the
// host variable is simply ignored).
#pragma once

#include <gtest/gtest.h>
#include <plotvane/session.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#ifndef _WIN32
#include <pvplatform.h>
#endif

namespace pvtest {

inline void UseHeadlessHost() {
#ifdef _WIN32
  _putenv_s("PLOTVANE_HOST", "headless");
#else
  setenv("PLOTVANE_HOST", "headless", 1);
  pvplatform::SetHostKind(pvplatform::HostKind::Headless);
#endif
}

// Opens the window on the headless host; returns GraphError (-9 still means an open window).
inline int16_t OpenWindow(int16_t driver = 3, int16_t mode = 6, const char *caption = "Plotvane test") {
  UseHeadlessHost();
  plotvane::OpenGraphWindow(driver, mode, caption);
  return plotvane::GraphError();
}

inline void CloseWindowIfOpen() {
  if (plotvane::GraphActive()) plotvane::CloseGraphWindow();
}

// Polls until `done` holds or about five seconds have passed; returns whether it held.
template <typename Pred>
bool WaitUntil(Pred done) {
  for (int i = 0; i < 2500; ++i) {
    if (done()) return true;
    Sleep(2);
  }
  return done();
}

// Waits until the window thread has painted what is invalid: the update region is empty and
// no paint holds the session lock.
inline void WaitForPaint() {
  auto &s = plotvane::Session();
  if (!s.WindowOpen) return;
  WaitUntil([&] {
    RECT r;
    return !GetUpdateRect(s.WindowHandle, &r, FALSE);
  });
  EnterCriticalSection(&s.SessionLock);
  LeaveCriticalSection(&s.SessionLock);
}

// Reads key bytes up to a character posted behind everything sent so far: the window thread
// handles its messages in order, so what was posted before it has been queued by then.
inline std::vector<uint8_t> ReadKeysPostedSoFar() {
  constexpr uint8_t sentinel = 0xFF;
  std::vector<uint8_t> out;
  PostMessageA(plotvane::Session().WindowHandle, WM_CHAR, sentinel, 0);
  while (WaitUntil([] { return plotvane::KeyWaiting(); })) {
    const uint8_t b = plotvane::NextKey();
    if (b == sentinel) break;
    out.push_back(b);
  }
  return out;
}

// A whole page read back with GetDIBits: RGB (COLORREF) and, on palette pages, the raw index.
struct PageImage {
  int width = 0, height = 0;
  std::vector<COLORREF> rgb;
  std::vector<uint8_t> index;

  COLORREF At(int x, int y) const { return rgb[static_cast<size_t>(y) * width + x]; }
  int IndexAt(int x, int y) const { return index[static_cast<size_t>(y) * width + x]; }
  int CountRGB(COLORREF c) const {
    int n = 0;
    for (COLORREF v : rgb) n += v == c;
    return n;
  }
  int CountIndex(int i) const {
    int n = 0;
    for (uint8_t v : index) n += v == i;
    return n;
  }
};

inline PageImage ReadPage(uint16_t page) {
  auto &s = plotvane::Session();
  PageImage img;
  img.width = s.MaxX + 1;
  img.height = s.MaxY + 1;
  const size_t n = static_cast<size_t>(img.width) * img.height;

  struct Info {
    BITMAPINFOHEADER h;
    RGBQUAD colors[256];
  } info{};
  EnterCriticalSection(&s.SessionLock);
  info.h.biSize = sizeof(BITMAPINFOHEADER);
  info.h.biWidth = img.width;
  info.h.biHeight = -img.height;  // top row first
  info.h.biPlanes = 1;
  info.h.biBitCount = 32;
  info.h.biCompression = BI_RGB;
  std::vector<uint32_t> bgrx(n);
  GetDIBits(s.SpareDC, s.Pages[page], 0, img.height, bgrx.data(), reinterpret_cast<BITMAPINFO *>(&info),
            DIB_RGB_COLORS);
  img.rgb.resize(n);
  for (size_t i = 0; i < n; ++i) img.rgb[i] = RGB((bgrx[i] >> 16) & 0xFF, (bgrx[i] >> 8) & 0xFF, bgrx[i] & 0xFF);

  if (s.PaletteMode) {
    const int bpp = s.ColorDepth;
    const size_t stride = ((static_cast<size_t>(img.width) * bpp + 31) / 32) * 4;
    std::vector<uint8_t> raw(stride * img.height);
    info = {};
    info.h.biSize = sizeof(BITMAPINFOHEADER);
    info.h.biWidth = img.width;
    info.h.biHeight = -img.height;
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(bpp);
    info.h.biCompression = BI_RGB;
    GetDIBits(s.SpareDC, s.Pages[page], 0, img.height, raw.data(), reinterpret_cast<BITMAPINFO *>(&info),
              DIB_RGB_COLORS);
    img.index.resize(n);
    for (int y = 0; y < img.height; ++y) {
      const uint8_t *row = raw.data() + stride * y;
      for (int x = 0; x < img.width; ++x) {
        const int bit = x * bpp;
        const int shift = 8 - bpp - (bit % 8);
        img.index[static_cast<size_t>(y) * img.width + x] =
            static_cast<uint8_t>((row[bit / 8] >> shift) & ((1 << bpp) - 1));
      }
    }
  }
  LeaveCriticalSection(&s.SessionLock);
  return img;
}

inline PageImage ReadActivePage() { return ReadPage(plotvane::Session().ActivePage); }

// The session lock, held as the library's own operations hold it. A test that asks a DC for its
// objects, clip box, pixels or colour table holds it too: Wine fails such a query while the
// window thread paints from the DC.
class SessionLockHeld {
 public:
  SessionLockHeld() { EnterCriticalSection(&plotvane::Session().SessionLock); }
  ~SessionLockHeld() { LeaveCriticalSection(&plotvane::Session().SessionLock); }
  SessionLockHeld(const SessionLockHeld &) = delete;
  SessionLockHeld &operator=(const SessionLockHeld &) = delete;
};

inline HGDIOBJ CurrentObject(HDC dc, UINT type) {
  SessionLockHeld held;
  return GetCurrentObject(dc, type);
}

inline COLORREF PagePixel(int x, int y) {
  SessionLockHeld held;
  return GetPixel(plotvane::Session().PageDC, x, y);
}

// One pixel of what the window shows.
inline COLORREF WindowRGB(int x, int y) {
  SessionLockHeld held;
  return GetPixel(plotvane::Session().WindowDC, x, y);
}

// A fixture with the window open (driver 3, mode 6 unless a test asks otherwise) and closed
// again after each test.
class HeadlessWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    const int16_t err = OpenWindow(driver_, mode_);
    ASSERT_TRUE(plotvane::GraphActive()) << "open failed with " << err;
    ASSERT_TRUE(err == 0 || err == plotvane::grNoOpenGL) << err;
  }
  void TearDown() override { CloseWindowIfOpen(); }

  int16_t driver_ = 3;
  int16_t mode_ = 6;
};

}  // namespace pvtest
