// DIB sections, colour tables, GetDIBits and BitBlt between formats.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

#include "gdi_expand.h"

namespace {

struct Page {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  uint8_t *bits = nullptr;
  int width, height, bpp, stride;
  bool topDown;

  Page(int bpp, int width, int height, const std::vector<RGBQUAD> &table, bool topDown = true)
      : width(width), height(height), bpp(bpp), stride(((width * bpp + 31) / 32) * 4), topDown(topDown) {
    dc = CreateCompatibleDC(nullptr);
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto *h = reinterpret_cast<BITMAPINFOHEADER *>(info.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = topDown ? -height : height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bpp);
    h->biClrUsed = static_cast<DWORD>(table.size());
    if (!table.empty()) std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), table.data(), table.size() * 4);
    void *p = nullptr;
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(info.data()), DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint8_t *>(p);
    old = SelectObject(dc, bitmap);
  }
  ~Page() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  uint8_t *Row(int y) const { return bits + (topDown ? y : height - 1 - y) * stride; }
  uint32_t Word(int x, int y) const {
    uint32_t v;
    std::memcpy(&v, Row(y) + 4 * x, 4);
    return v;
  }
};

RGBQUAD Q(int r, int g, int b) { return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0}; }

std::vector<RGBQUAD> Ramp() {
  std::vector<RGBQUAD> t(256);
  for (int i = 0; i < 256; ++i) t[i] = Q(i, 0, 0);
  return t;
}

TEST(DibSections, OrientationAndFormatsMatchTheirBits) {
  struct {
    int bpp;
    bool topDown;
  } cases[] = {{1, true}, {1, false}, {4, true}, {4, false}, {8, true}, {8, false}, {32, true}, {32, false}};
  for (const auto &c : cases) {
    std::vector<RGBQUAD> table;
    if (c.bpp <= 8)
      for (int i = 0; i < (1 << c.bpp); ++i) table.push_back(Q(i * 255 / ((1 << c.bpp) - 1), 7, 9));
    Page page(c.bpp, 13, 5, table, c.topDown);
    ASSERT_NE(page.bits, nullptr);
    const COLORREF white = RGB(255, 7, 9);
    SetPixelV(page.dc, 9, 1, white);
    EXPECT_EQ(GetPixel(page.dc, 9, 1), white) << c.bpp;
    // The bit for (9, 1) sits where the orientation says, most significant pixel first.
    const uint8_t *row = page.Row(1);
    switch (c.bpp) {
      case 1: EXPECT_EQ(row[1], 0x40) << c.topDown; break;
      case 4: EXPECT_EQ(row[4], 0x0F) << c.topDown; break;
      case 8: EXPECT_EQ(row[9], 0xFF) << c.topDown; break;
      default: EXPECT_EQ(page.Word(9, 1), 0x00FF0709u) << c.topDown; break;
    }
    EXPECT_EQ(GetPixel(page.dc, 13, 0), CLR_INVALID);
    EXPECT_EQ(GetPixel(page.dc, 0, -1), CLR_INVALID);
  }
}

TEST(DibSections, BadHeadersAreRefused) {
  HDC dc = CreateCompatibleDC(nullptr);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bi.bmiHeader.biWidth = 4;
  bi.bmiHeader.biHeight = 4;
  bi.bmiHeader.biPlanes = 1;
  void *bits = reinterpret_cast<void *>(1);
  for (WORD bpp : {0, 2, 3, 24}) {
    bi.bmiHeader.biBitCount = bpp;
    EXPECT_EQ(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr) << bpp;
    EXPECT_EQ(bits, nullptr);
  }
  bi.bmiHeader.biBitCount = 32;
  bi.bmiHeader.biWidth = 1 << 20;
  bi.bmiHeader.biHeight = 1 << 20;  // four terabytes
  EXPECT_EQ(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  bi.bmiHeader.biHeight = INT32_MIN;
  EXPECT_EQ(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  bi.bmiHeader.biWidth = 0;
  bi.bmiHeader.biHeight = 4;
  EXPECT_EQ(CreateDIBSection(dc, &bi, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  EXPECT_EQ(CreateDIBSection(dc, nullptr, DIB_RGB_COLORS, &bits, nullptr, 0), nullptr);
  DeleteDC(dc);
}

TEST(ColourTables, SetAndGetAreClippedToTheTable) {
  Page page(4, 4, 4, {});
  RGBQUAD in[5] = {Q(1, 2, 3), Q(4, 5, 6), Q(7, 8, 9), Q(10, 11, 12), Q(13, 14, 15)};
  EXPECT_EQ(SetDIBColorTable(page.dc, 14, 5, in), 2u);
  RGBQUAD out[16];
  EXPECT_EQ(GetDIBColorTable(page.dc, 0, 256, out), 16u);
  EXPECT_EQ(out[15].rgbRed, 4);
  EXPECT_EQ(out[0].rgbRed, 0);
  EXPECT_EQ(SetDIBColorTable(page.dc, 16, 1, in), 0u);
  // Pixels keep their index and show the new colour.
  SetPixelV(page.dc, 0, 0, RGB(1, 2, 3));
  EXPECT_EQ(GetPixel(page.dc, 0, 0), RGB(1, 2, 3));
  EXPECT_EQ(SetDIBColorTable(page.dc, 14, 1, &in[4]), 1u);
  EXPECT_EQ(GetPixel(page.dc, 0, 0), RGB(13, 14, 15));
  Page truecolour(32, 2, 2, {});
  EXPECT_EQ(SetDIBColorTable(truecolour.dc, 0, 1, in), 0u);
}

TEST(Blits, IndexedToTrueColourThroughTheTable) {
  Page src(8, 16, 4, Ramp(), false), dst(32, 16, 4, {});
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 16; ++x) src.Row(y)[x] = static_cast<uint8_t>(y * 16 + x);
  std::memset(dst.bits, 0xEE, static_cast<size_t>(dst.stride) * 4);
  SetROP2(dst.dc, R2_XORPEN);  // blits ignore the mix
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 16, 4, src.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.Word(0, 0), 0x00000000u);
  EXPECT_EQ(dst.Word(5, 2), static_cast<uint32_t>(37) << 16);
  EXPECT_EQ(dst.Word(15, 3), static_cast<uint32_t>(63) << 16);

  Page src4(4, 4, 1, {Q(0, 0, 0), Q(16, 1, 2), Q(32, 1, 2), Q(48, 1, 2)});
  src4.Row(0)[0] = 0x12;
  src4.Row(0)[1] = 0x30;
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 4, 1, src4.dc, 0, 0, SRCCOPY));
  EXPECT_EQ(dst.Word(0, 0), 0x00100102u);
  EXPECT_EQ(dst.Word(1, 0), 0x00200102u);
  EXPECT_EQ(dst.Word(2, 0), 0x00300102u);
  EXPECT_EQ(dst.Word(3, 0), 0x00000000u);
}

TEST(Blits, BetweenIndexedPagesKeepIndicesOrMatchColours) {
  std::vector<RGBQUAD> table = Ramp();
  table[7] = table[3];  // a duplicate colour
  Page a(8, 8, 1, table), b(8, 8, 1, table);
  for (int x = 0; x < 8; ++x) a.Row(0)[x] = static_cast<uint8_t>(x);
  // The same table: indices as they are, duplicates included.
  BitBlt(b.dc, 0, 0, 8, 1, a.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(b.Row(0)[7], 7);
  // Another table: each colour to its nearest entry.
  std::vector<RGBQUAD> reversed(256);
  for (int i = 0; i < 256; ++i) reversed[i] = Q(255 - i, 0, 0);
  SetDIBColorTable(b.dc, 0, 256, reversed.data());
  BitBlt(b.dc, 0, 0, 8, 1, a.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(b.Row(0)[1], 254);
  EXPECT_EQ(b.Row(0)[7], 252);
  // To a two-colour page: the nearest of its two colours.
  Page mono(1, 8, 1, {Q(0, 0, 0), Q(255, 0, 0)});
  for (int x = 0; x < 8; ++x) a.Row(0)[x] = static_cast<uint8_t>(x * 36);
  BitBlt(mono.dc, 0, 0, 8, 1, a.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(mono.Row(0)[0], 0x0F);  // 0, 36, 72, 108 dark; 144 and up red
  // True colour to indexed goes through a 5-5-5 reduction, as real GDI does.
  Page tc(32, 4, 1, {});
  const uint32_t px[4] = {0x00100000u, 0xFF030000u, 0x00FF0000u, 0x00000080u};
  std::memcpy(tc.bits, px, sizeof px);
  SetDIBColorTable(b.dc, 0, 256, Ramp().data());
  BitBlt(b.dc, 0, 0, 4, 1, tc.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(b.Row(0)[0], 20);
  EXPECT_EQ(b.Row(0)[1], 4);
  EXPECT_EQ(b.Row(0)[2], 252);
  EXPECT_EQ(b.Row(0)[3], 4);
}

TEST(Blits, OnlyWhatExistsIsCopiedAndClipIsHonoured) {
  Page src(8, 8, 4, Ramp()), dst(8, 8, 4, Ramp());
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) src.Row(y)[x] = static_cast<uint8_t>(y * 8 + x);
  std::memset(dst.bits, 0xEE, static_cast<size_t>(dst.stride) * 4);
  ASSERT_TRUE(BitBlt(dst.dc, 0, 0, 8, 4, src.dc, -2, -1, SRCCOPY));
  EXPECT_EQ(dst.Row(0)[3], 0xEE);  // source row -1 does not exist
  EXPECT_EQ(dst.Row(1)[1], 0xEE);  // nor does source column -1
  EXPECT_EQ(dst.Row(1)[2], 0);
  EXPECT_EQ(dst.Row(3)[7], 21);

  std::memset(dst.bits, 0, static_cast<size_t>(dst.stride) * 4);
  HRGN clip = CreateRectRgn(0, 0, 2, 4);
  SelectClipRgn(dst.dc, clip);
  DeleteObject(clip);
  BitBlt(dst.dc, 0, 0, 8, 4, src.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(dst.Row(2)[1], 17);
  EXPECT_EQ(dst.Row(2)[2], 0);
  SelectClipRgn(dst.dc, nullptr);

  // Within one page the copy behaves as if through a buffer.
  for (int x = 0; x < 8; ++x) dst.Row(0)[x] = static_cast<uint8_t>(x);
  BitBlt(dst.dc, 1, 0, 7, 1, dst.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(std::vector<uint8_t>(dst.Row(0), dst.Row(0) + 8), (std::vector<uint8_t>{0, 0, 1, 2, 3, 4, 5, 6}));
  BitBlt(dst.dc, 0, 0, 7, 1, dst.dc, 1, 0, SRCCOPY);
  EXPECT_EQ(std::vector<uint8_t>(dst.Row(0), dst.Row(0) + 8), (std::vector<uint8_t>{0, 1, 2, 3, 4, 5, 6, 6}));

  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, src.dc, 0, 0, 0x00FF0062));  // mixes other than SRCCOPY
  EXPECT_FALSE(BitBlt(dst.dc, 0, 0, 1, 1, nullptr, 0, 0, SRCCOPY));
}

// Monochrome bitmaps made by a fresh memory DC take their colours from the DCs around them.
TEST(Blits, MonochromeBitmapsUseTextAndBackgroundColours) {
  HDC mono = CreateCompatibleDC(nullptr);
  HBITMAP bmp = CreateCompatibleBitmap(mono, 8, 1);
  HGDIOBJ old = SelectObject(mono, bmp);
  SetPixelV(mono, 0, 0, RGB(255, 255, 255));
  SetPixelV(mono, 1, 0, RGB(0, 0, 0));
  SetPixelV(mono, 2, 0, RGB(200, 200, 200));
  EXPECT_EQ(GetPixel(mono, 2, 0), RGB(255, 255, 255));
  Page colour(32, 8, 1, {});
  SetTextColor(colour.dc, RGB(1, 2, 3));
  SetBkColor(colour.dc, RGB(4, 5, 6));
  BitBlt(colour.dc, 0, 0, 3, 1, mono, 0, 0, SRCCOPY);
  EXPECT_EQ(colour.Word(0, 0), 0x00040506u);  // 1: the destination's background colour
  EXPECT_EQ(colour.Word(1, 0), 0x00010203u);  // 0: its text colour
  EXPECT_EQ(colour.Word(2, 0), 0x00040506u);
  // Into the monochrome bitmap: the source's background colour is 1, everything else 0.
  Page indexed(8, 4, 1, {Q(0, 0, 0), Q(10, 20, 30), Q(255, 255, 255), Q(1, 2, 3)});
  for (int x = 0; x < 4; ++x) indexed.Row(0)[x] = static_cast<uint8_t>(x);
  SetBkColor(indexed.dc, RGB(10, 20, 30));
  BitBlt(mono, 0, 0, 4, 1, indexed.dc, 0, 0, SRCCOPY);
  EXPECT_EQ(GetPixel(mono, 0, 0), RGB(0, 0, 0));
  EXPECT_EQ(GetPixel(mono, 1, 0), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(mono, 2, 0), RGB(0, 0, 0));
  SelectObject(mono, old);
  DeleteObject(bmp);
  DeleteDC(mono);
}

TEST(GetDIBitsCall, DescribesAndCopiesInEitherOrientation) {
  std::vector<RGBQUAD> table = Ramp();
  Page src(8, 8, 4, table, false);
  for (int y = 0; y < 4; ++y)
    for (int x = 0; x < 8; ++x) src.Row(y)[x] = static_cast<uint8_t>(y * 8 + x);
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD c[256];
  } bi{};
  bi.h.biSize = sizeof bi.h;
  ASSERT_EQ(GetDIBits(src.dc, src.bitmap, 0, 0, nullptr, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS), 4);
  EXPECT_EQ(bi.h.biBitCount, 8);
  EXPECT_EQ(bi.h.biSizeImage, 32u);

  bi.h.biBitCount = 32;
  bi.h.biHeight = -4;
  uint32_t out[32];
  ASSERT_EQ(GetDIBits(src.dc, src.bitmap, 0, 4, out, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS), 4);
  EXPECT_EQ(out[0], 0u);
  EXPECT_EQ(out[31], static_cast<uint32_t>(31) << 16);
  bi.h.biHeight = 4;  // bottom-up: scan line 1 is the second row from the bottom
  ASSERT_EQ(GetDIBits(src.dc, src.bitmap, 1, 2, out, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS), 2);
  EXPECT_EQ(out[0], static_cast<uint32_t>(16) << 16);

  bi.h.biBitCount = 8;
  uint8_t raw[32];
  std::memset(bi.c, 0, sizeof bi.c);
  ASSERT_EQ(GetDIBits(src.dc, src.bitmap, 0, 4, raw, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS), 4);
  EXPECT_EQ(raw[1], 25);  // bottom row first
  EXPECT_EQ(bi.c[200].rgbRed, 200);
  bi.h.biBitCount = 4;  // other conversions are not offered
  EXPECT_EQ(GetDIBits(src.dc, src.bitmap, 0, 4, raw, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS), 0);
}

}  // namespace

// The page-to-window conversion: every index, rows of every length around the 64-pixel steps
// of the vector path, at unaligned starts, each pixel its table entry and nothing written past.
TEST(Blits, IndexExpansionGivesEachPixelItsEntry) {
  uint32_t map[256];
  for (uint32_t i = 0; i < 256; ++i) map[i] = (i * 0x01020305u) ^ 0x00A5C3E7u;
  const pv::gdi::IndexExpander expand(map);
  std::vector<uint8_t> in(300);
  for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(i * 7 + i / 256);
  for (int count : {0, 1, 7, 63, 64, 65, 128, 200, 256}) {
    for (int start : {0, 3}) {
      std::vector<uint32_t> out(static_cast<size_t>(count) + 2, 0xDEADBEEFu);
      expand.Row(in.data() + start, out.data() + 1, count);
      ASSERT_EQ(out[0], 0xDEADBEEFu);
      ASSERT_EQ(out[static_cast<size_t>(count) + 1], 0xDEADBEEFu) << count;
      for (int i = 0; i < count; ++i) ASSERT_EQ(out[static_cast<size_t>(i) + 1], map[in[static_cast<size_t>(start + i)]]) << count << " " << i;
    }
  }
}
