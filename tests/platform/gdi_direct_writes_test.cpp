// The copy mix on 8- and 32-bit targets writes pixels directly; every other mix goes pixel by
// pixel through the mixer. On a black target the merge mix (p | 0) sets exactly what copy sets,
// so drawing the same thing both ways must give the same bytes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <functional>
#include <string>
#include <vector>

namespace {

// A DIB section selected into its own DC, with a four-entry table for the 8-bit ones.
class Target {
 public:
  Target(int width, int height, int bpp, bool topDown) : w_(width), h_(height), bpp_(bpp) {
    dc_ = CreateCompatibleDC(nullptr);
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD c[4];
    } bi{};
    bi.h.biSize = sizeof bi.h;
    bi.h.biWidth = width;
    bi.h.biHeight = topDown ? -height : height;
    bi.h.biPlanes = 1;
    bi.h.biBitCount = static_cast<WORD>(bpp);
    bi.h.biClrUsed = bpp == 8 ? 4 : 0;
    bi.c[1] = RGBQUAD{255, 255, 255, 0};
    bi.c[2] = RGBQUAD{0, 0, 255, 0};
    bi.c[3] = RGBQUAD{0, 255, 0, 0};
    void *bits = nullptr;
    bmp_ = CreateDIBSection(dc_, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
    bits_ = static_cast<uint8_t *>(bits);
    old_ = SelectObject(dc_, bmp_);
  }
  ~Target() {
    SelectObject(dc_, old_);
    DeleteObject(bmp_);
    DeleteDC(dc_);
  }
  HDC dc() const { return dc_; }
  HBITMAP bitmap() const { return bmp_; }
  size_t Bytes() const { return static_cast<size_t>((w_ * bpp_ / 8 + 3) & ~3) * h_; }
  std::vector<uint8_t> Pixels() const { return {bits_, bits_ + Bytes()}; }
  void Zero() { std::memset(bits_, 0, Bytes()); }

 private:
  int w_, h_, bpp_;
  HDC dc_;
  HBITMAP bmp_;
  HGDIOBJ old_;
  uint8_t *bits_;
};

struct Layout {
  int bpp;
  bool topDown;
};

// The bytes `draw` leaves on a black target under `mix`.
std::vector<uint8_t> DrawnWith(const Layout &layout, int mix, const std::function<void(HDC)> &draw) {
  Target t(61, 47, layout.bpp, layout.topDown);  // odd sizes: rows carry padding on 8 bits
  t.Zero();
  SetROP2(t.dc(), mix);
  draw(t.dc());
  return t.Pixels();
}

struct Scene {
  const char *name;
  std::function<void(HDC)> draw;
};

HPEN SolidPen(COLORREF c) { return CreatePen(PS_SOLID, 1, c); }

const Scene kScenes[] = {
    {"lines in every octant and off every edge",
     [](HDC dc) {
       HGDIOBJ old = SelectObject(dc, SolidPen(RGB(255, 255, 255)));
       const POINT ends[] = {{60, 20}, {55, 46}, {30, 46}, {5, 40}, {0, 20}, {4, 0}, {30, 0}, {58, 3},
                             {90, 70}, {-20, 60}, {-15, -30}, {80, -9}, {30, 1000}, {-1000, 21}};
       for (const POINT &e : ends) {
         MoveToEx(dc, 30, 21, nullptr);
         LineTo(dc, e.x, e.y);
       }
       // Lines crossing the whole target from outside, and ties between two rows.
       MoveToEx(dc, -100, -37, nullptr);
       LineTo(dc, 200, 90);
       MoveToEx(dc, 2, 2, nullptr);
       LineTo(dc, 12, 7);
       DeleteObject(SelectObject(dc, old));
     }},
    {"a clipped polygon outline and fill",
     [](HDC dc) {
       HGDIOBJ pen = SelectObject(dc, SolidPen(RGB(0, 255, 0)));
       HGDIOBJ brush = SelectObject(dc, CreateSolidBrush(RGB(255, 0, 0)));
       HRGN clip = CreateRectRgn(3, 2, 57, 44);
       SelectClipRgn(dc, clip);
       const POINT corners[] = {{-400, -300}, {300, 15}, {20, 400}, {-5, 30}};
       Polygon(dc, corners, 4);
       SelectClipRgn(dc, nullptr);
       DeleteObject(clip);
       DeleteObject(SelectObject(dc, brush));
       DeleteObject(SelectObject(dc, pen));
     }},
    {"a pattern brush with its origin off the cell, partly clipped",
     [](HDC dc) {
       Target cell(8, 8, 8, true);
       for (int y = 0; y < 8; ++y)
         for (int x = 0; x < 8; ++x) SetPixelV(cell.dc(), x, y, (x + y) % 3 ? RGB(255, 255, 255) : RGB(0, 255, 0));
       const LOGBRUSH log{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(cell.bitmap())};
       HBRUSH brush = CreateBrushIndirect(&log);
       SetBrushOrgEx(dc, 3, 5, nullptr);
       HGDIOBJ oldBrush = SelectObject(dc, brush);
       HGDIOBJ oldPen = SelectObject(dc, GetStockObject(NULL_PEN));
       Rectangle(dc, -7, 4, 50, 60);
       SelectObject(dc, oldPen);
       SelectObject(dc, oldBrush);
       DeleteObject(brush);
     }},
};

class DirectWrites : public ::testing::TestWithParam<Layout> {};

TEST_P(DirectWrites, CopyGivesWhatTheMixerGives) {
  for (const Scene &scene : kScenes) {
    const std::vector<uint8_t> copied = DrawnWith(GetParam(), R2_COPYPEN, scene.draw);
    const std::vector<uint8_t> merged = DrawnWith(GetParam(), R2_MERGEPEN, scene.draw);
    EXPECT_EQ(copied, merged) << scene.name;
    EXPECT_NE(copied, std::vector<uint8_t>(copied.size(), 0)) << scene.name << ": nothing drawn";
  }
}

INSTANTIATE_TEST_SUITE_P(Layouts, DirectWrites,
                         ::testing::Values(Layout{8, true}, Layout{8, false}, Layout{32, true}, Layout{32, false}),
                         [](const auto &info) {
                           return std::to_string(info.param.bpp) + (info.param.topDown ? "TopDown" : "BottomUp");
                         });

// Filling whole rows is one block in memory; the rows around it and the padding stay as they were.
TEST(DirectWrites, FillOfWholeRowsKeepsToItsRows) {
  for (const Layout layout : {Layout{8, true}, Layout{8, false}, Layout{32, true}, Layout{32, false}}) {
    Target t(8, 6, layout.bpp, layout.topDown);  // 8 pixels: rows without padding on either depth
    t.Zero();
    HBRUSH brush = CreateSolidBrush(RGB(255, 255, 255));
    const RECT rows{0, 2, 8, 4};
    FillRect(t.dc(), &rows, brush);
    DeleteObject(brush);
    const std::vector<uint8_t> px = t.Pixels();
    const size_t rowBytes = 8 * static_cast<size_t>(layout.bpp / 8);
    for (int y = 0; y < 6; ++y) {
      const size_t stored = static_cast<size_t>(layout.topDown ? y : 5 - y) * rowBytes;
      const bool filled = y == 2 || y == 3;
      for (size_t i = 0; i < rowBytes; ++i) {
        const uint8_t expected = !filled ? 0 : layout.bpp == 8 ? 1 : (i % 4 == 3 ? 0 : 255);
        ASSERT_EQ(px[stored + i], expected) << layout.bpp << " bits, row " << y << ", byte " << i;
      }
    }
  }
}

// The 8-bit to 32-bit blit reads eight source pixels at a time: every width and offset of a row
// must still come out pixel for pixel, and nothing beyond the destination rectangle may change.
TEST(DirectWrites, PageToTrueColourBlitAtEveryWidthAndOffset) {
  Target page(40, 3, 8, false);
  Target window(40, 3, 32, true);
  std::vector<uint8_t> indices(40 * 3);
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<uint8_t>((i * 7 + i / 5) % 4);
  const uint32_t colours[4] = {0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00};  // the table, as 0x00RRGGBB
  for (int y = 0; y < 3; ++y) {
    for (int x = 0; x < 40; ++x) {
      const uint32_t c = colours[indices[y * 40 + x]];
      SetPixelV(page.dc(), x, y, RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
    }
  }
  for (int width = 1; width <= 19; ++width) {
    for (int offset : {0, 1, 5, 13}) {
      window.Zero();
      ASSERT_TRUE(BitBlt(window.dc(), offset + 2, 1, width, 1, page.dc(), offset, 1, SRCCOPY));
      const std::vector<uint8_t> px = window.Pixels();
      for (int y = 0; y < 3; ++y) {
        for (int x = 0; x < 40; ++x) {
          uint32_t got;
          std::memcpy(&got, &px[(static_cast<size_t>(y) * 40 + x) * 4], 4);
          const bool inside = y == 1 && x >= offset + 2 && x < offset + 2 + width;
          const uint32_t expected = inside ? colours[indices[40 + x - 2]] : 0;
          ASSERT_EQ(got, expected) << "width " << width << ", offset " << offset << ", x " << x << ", y " << y;
        }
      }
    }
  }
}

}  // namespace
