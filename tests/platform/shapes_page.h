// An 8-bit top-down page for the shape tests: index 0 black, 1 white, 2 red, 3 blue, 4 green.
#pragma once

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

using Rows = std::vector<std::string>;

class Page {
 public:
  Page(int width, int height) : w_(width), h_(height), stride_((width + 3) & ~3) {
    dc_ = CreateCompatibleDC(nullptr);
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD c[5];
    } bi{};
    bi.h = BITMAPINFOHEADER{sizeof bi.h, width, -height, 1, 8, BI_RGB, 0, 0, 0, 5, 0};
    bi.c[1] = RGBQUAD{255, 255, 255, 0};
    bi.c[2] = RGBQUAD{0, 0, 255, 0};
    bi.c[3] = RGBQUAD{255, 0, 0, 0};
    bi.c[4] = RGBQUAD{0, 255, 0, 0};
    void *bits = nullptr;
    bmp_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint8_t *>(bits);
    old_ = SelectObject(dc_, bmp_);
    Use(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), GetStockObject(NULL_BRUSH));
  }
  ~Page() {
    Use(GetStockObject(BLACK_PEN), GetStockObject(WHITE_BRUSH));
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  // Selects a pen and a brush and deletes the ones selected before (stock objects stay).
  void Use(HGDIOBJ pen, HGDIOBJ brush) {
    for (HGDIOBJ old : {SelectObject(dc_, pen), SelectObject(dc_, brush)}) DeleteObject(old);
  }
  HDC dc() const { return dc_; }
  uint8_t At(int x, int y) const { return bits_[y * stride_ + x]; }
  void Fill(uint8_t v) { std::memset(bits_, v, static_cast<size_t>(stride_) * h_); }
  // Rows of the area (x, y, w, h): index digits, or with `mark`, '#' where the pixel is that
  // index (any non-zero one for mark 0) and '.' elsewhere.
  Rows Picture(int x0, int y0, int w, int h, int mark = -1) const {
    Rows rows;
    for (int y = y0; y < y0 + h; ++y) {
      std::string r;
      for (int x = x0; x < x0 + w; ++x) {
        const uint8_t v = At(x, y);
        r += mark < 0 ? static_cast<char>('0' + v) : ((mark ? v == mark : v != 0) ? '#' : '.');
      }
      rows.push_back(r);
    }
    return rows;
  }
  int Count(uint8_t v) const {
    int n = 0;
    for (int y = 0; y < h_; ++y)
      for (int x = 0; x < w_; ++x) n += At(x, y) == v;
    return n;
  }

 private:
  int w_, h_, stride_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  uint8_t *bits_ = nullptr;
};
