// Colour resolution on indexed and true-colour pages, palettes, and the sixteen mixes.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <vector>

namespace {

struct Dib {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  uint8_t *bits = nullptr;

  Dib(int bpp, int width, int height, const std::vector<RGBQUAD> &table) {
    dc = CreateCompatibleDC(nullptr);
    std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD));
    auto *h = reinterpret_cast<BITMAPINFOHEADER *>(info.data());
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = -height;  // top-down, so row y is at y * stride
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bpp);
    h->biClrUsed = static_cast<DWORD>(table.size());
    if (!table.empty()) std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), table.data(), table.size() * sizeof(RGBQUAD));
    void *p = nullptr;
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(info.data()), DIB_RGB_COLORS, &p, nullptr, 0);
    bits = static_cast<uint8_t *>(p);
    old = SelectObject(dc, bitmap);
  }
  ~Dib() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  uint8_t Index8(int x) const { return bits[x]; }
  uint32_t Word32(int x) const {
    uint32_t v;
    std::memcpy(&v, bits + 4 * x, 4);
    return v;
  }
  // Value at (x, 0) of a 1-bit page.
  int Bit(int x) const { return (bits[x >> 3] >> (7 - (x & 7))) & 1; }
};

RGBQUAD Q(int r, int g, int b) { return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0}; }

HPALETTE MakePalette(const std::vector<PALETTEENTRY> &entries) {
  std::vector<uint8_t> buf(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY));
  auto *lp = reinterpret_cast<LOGPALETTE *>(buf.data());
  lp->palVersion = 0x300;
  lp->palNumEntries = static_cast<WORD>(entries.size());
  std::memcpy(lp->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
  return CreatePalette(lp);
}

TEST(ColorResolution, NearestEntryByDistanceWithTiesToLowerIndex) {
  Dib page(8, 8, 1, {Q(0, 0, 0), Q(100, 50, 0), Q(80, 80, 0), Q(255, 255, 255)});
  struct {
    COLORREF color;
    int index;
  } cases[] = {
      {RGB(50, 50, 0), 2},    // squared distance, not the sum of differences
      {RGB(80, 80, 0), 2},    // exact
      {RGB(90, 65, 0), 1},    // equally far from 1 and 2: the lower index
      {RGB(200, 200, 200), 3},
      {RGB(10, 10, 10), 0},
  };
  for (const auto &c : cases) {
    SetPixelV(page.dc, 0, 0, c.color);
    EXPECT_EQ(page.Index8(0), c.index) << std::hex << c.color;
  }
  // Entries beyond the ones given are black: black lands on the first of them.
  SetPixelV(page.dc, 1, 0, RGB(0, 0, 1));
  EXPECT_EQ(page.Index8(1), 0);
}

TEST(ColorResolution, PaletteIndexGoesThroughThePaletteToTheLowestEqualEntry) {
  // Black at 0 and at 247..255, red at 5 and 9 (duplicates).
  std::vector<RGBQUAD> table(256, Q(0, 0, 0));
  table[5] = table[9] = Q(128, 0, 0);
  table[7] = Q(0, 0, 255);
  Dib page(8, 16, 1, table);
  HPALETTE pal = MakePalette({{0, 0, 0, 0}, {128, 0, 0, 0}, {0, 0, 255, 0}, {0, 0, 0, 0}});
  HPALETTE oldPal = SelectPalette(page.dc, pal, TRUE);
  SetPixelV(page.dc, 0, 0, PALETTEINDEX(1));
  SetPixelV(page.dc, 1, 0, PALETTEINDEX(2));
  SetPixelV(page.dc, 2, 0, PALETTEINDEX(3));
  SetPixelV(page.dc, 3, 0, PALETTEINDEX(40));  // beyond the palette: entry 0
  EXPECT_EQ(page.Index8(0), 5);
  EXPECT_EQ(page.Index8(1), 7);
  EXPECT_EQ(page.Index8(2), 0);
  EXPECT_EQ(page.Index8(3), 0);

  // New entries take effect at once, without RealizePalette, even for colours seen before.
  PALETTEENTRY blue{0, 0, 255, 0};
  ASSERT_EQ(SetPaletteEntries(pal, 1, 1, &blue), 1u);
  SetPixelV(page.dc, 4, 0, PALETTEINDEX(1));
  EXPECT_EQ(page.Index8(4), 7);
  // So does a new colour table.
  RGBQUAD moved = Q(0, 0, 255);
  SetDIBColorTable(page.dc, 3, 1, &moved);
  SetPixelV(page.dc, 5, 0, PALETTEINDEX(1));
  EXPECT_EQ(page.Index8(5), 3);

  // Entries added by ResizePalette are black.
  ASSERT_TRUE(ResizePalette(pal, 6));
  PALETTEENTRY got[6];
  ASSERT_EQ(GetPaletteEntries(pal, 0, 6, got), 6u);
  EXPECT_EQ(got[5].peRed + got[5].peGreen + got[5].peBlue, 0);
  EXPECT_EQ(GetPaletteEntries(pal, 0, 0, nullptr), 6u);
  EXPECT_EQ(GetNearestPaletteIndex(pal, RGB(0, 0, 250)), 1u);

  SelectPalette(page.dc, oldPal, TRUE);
  DeleteObject(pal);
}

TEST(ColorResolution, TrueColourPagesTakeTheColourItself) {
  Dib page(32, 4, 1, {});
  SetPixelV(page.dc, 0, 0, RGB(0x12, 0x34, 0x56));
  SetPixelV(page.dc, 1, 0, PALETTEINDEX(13));  // the default palette's red
  SetPixelV(page.dc, 2, 0, PALETTEINDEX(999));
  EXPECT_EQ(page.Word32(0), 0x00123456u);
  EXPECT_EQ(page.Word32(1), 0x00FF0000u);
  EXPECT_EQ(page.Word32(2), 0x00000000u);
  EXPECT_EQ(GetPixel(page.dc, 0, 0), RGB(0x12, 0x34, 0x56));
  // SetPixel answers with the colour the page took.
  EXPECT_EQ(SetPixel(page.dc, 3, 0, PALETTEINDEX(1)), RGB(128, 0, 0));
}

// Two-colour pages: pixels take the nearest entry; pens take an equal entry, else the
// background's index for the background colour, else the other index; the gaps of a styled
// pen use the background's entry if there is one, else the index the pen did not take.
TEST(ColorResolution, TwoColourPagesFollowThePenAndBackgroundRules) {
  const COLORREF red = RGB(255, 0, 0), blue = RGB(0, 0, 255), green = RGB(0, 255, 0), darkRed = RGB(200, 0, 0),
                 darkBlue = RGB(0, 0, 200), white = RGB(255, 255, 255);
  struct {
    COLORREF back, pen;
    int penBit, gapBit, pixelBit;
  } cases[] = {
      {red, red, 0, 0, 0},        {red, blue, 1, 0, 1},        {red, green, 1, 0, 0},
      {red, darkRed, 1, 0, 0},    {blue, red, 0, 1, 0},        {blue, white, 0, 1, 0},
      {green, red, 0, 1, 0},      {green, blue, 1, 0, 1},      {green, green, 0, 0, 0},
      {green, darkRed, 1, 0, 0},  {darkRed, darkRed, 0, 0, 0}, {darkBlue, darkBlue, 1, 1, 1},
      {darkBlue, green, 0, 1, 0}, {darkBlue, blue, 1, 0, 1},
  };
  Dib page(1, 32, 1, {Q(255, 0, 0), Q(0, 0, 255)});
  SetBkMode(page.dc, OPAQUE);
  for (const auto &c : cases) {
    std::memset(page.bits, 0x55, 4);
    SetBkColor(page.dc, c.back);
    HPEN pen = CreatePen(PS_DOT, 1, c.pen);
    HGDIOBJ old = SelectObject(page.dc, pen);
    MoveToEx(page.dc, 0, 0, nullptr);
    LineTo(page.dc, 6, 0);  // three on, three in the background
    SelectObject(page.dc, old);
    DeleteObject(pen);
    SetPixelV(page.dc, 20, 0, c.pen);
    EXPECT_EQ(page.Bit(0), c.penBit) << std::hex << c.back << " " << c.pen;
    EXPECT_EQ(page.Bit(3), c.gapBit) << std::hex << c.back << " " << c.pen;
    EXPECT_EQ(page.Bit(20), c.pixelBit) << std::hex << c.back << " " << c.pen;
  }
}

// Each mix applied by SetPixelV to destination index 0x5A with pen index 0x33 on an 8-bit page.
TEST(Mixes, SixteenMixesActOnIndices) {
  std::vector<RGBQUAD> table(256);
  for (int i = 0; i < 256; ++i) table[i] = Q(i, 255 - i, i / 2);
  Dib page(8, 16, 1, table);
  const uint8_t p = 0x33, d = 0x5A;
  const uint8_t expected[16] = {0x00,
                                static_cast<uint8_t>(~(p | d)),
                                static_cast<uint8_t>(~p & d),
                                static_cast<uint8_t>(~p),
                                static_cast<uint8_t>(p & ~d),
                                static_cast<uint8_t>(~d),
                                static_cast<uint8_t>(p ^ d),
                                static_cast<uint8_t>(~(p & d)),
                                static_cast<uint8_t>(p & d),
                                static_cast<uint8_t>(~(p ^ d)),
                                d,
                                static_cast<uint8_t>(~p | d),
                                p,
                                static_cast<uint8_t>(p | ~d),
                                static_cast<uint8_t>(p | d),
                                0xFF};
  for (int mix = R2_BLACK; mix <= R2_WHITE; ++mix) {
    page.bits[mix - 1] = d;
    ASSERT_EQ(SetROP2(page.dc, mix), mix == R2_BLACK ? R2_COPYPEN : mix - 1);
    SetPixelV(page.dc, mix - 1, 0, RGB(p, 255 - p, p / 2));
    EXPECT_EQ(page.Index8(mix - 1), expected[mix - 1]) << "mix " << mix;
  }
  // Out-of-range values are refused and change nothing.
  EXPECT_EQ(SetROP2(page.dc, 0), 0);
  EXPECT_EQ(SetROP2(page.dc, 17), 0);
  EXPECT_EQ(GetROP2(page.dc), R2_WHITE);
}

TEST(Mixes, LinesFollowTheMixAndTrueColourKeepsTheHighByte) {
  Dib page(32, 8, 1, {});
  SetROP2(page.dc, R2_NOT);
  SetPixelV(page.dc, 0, 0, 0);
  EXPECT_EQ(page.Word32(0), 0xFFFFFFFFu);
  EXPECT_EQ(GetPixel(page.dc, 0, 0), RGB(255, 255, 255));
  SetROP2(page.dc, R2_XORPEN);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(0, 0, 0xFF));
  HGDIOBJ old = SelectObject(page.dc, pen);
  MoveToEx(page.dc, 0, 0, nullptr);
  LineTo(page.dc, 3, 0);
  SelectObject(page.dc, old);
  DeleteObject(pen);
  EXPECT_EQ(page.Word32(0), 0xFFFFFF00u);
  EXPECT_EQ(page.Word32(1), 0x000000FFu);
  EXPECT_EQ(page.Word32(3), 0u);
}

}  // namespace
