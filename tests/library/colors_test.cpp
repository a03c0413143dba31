// The stock palette, named colours, MapColor and palette installation.
#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

// The stock palette, RRGGBB: basic colours, a grey ramp, nine blocks of 24 hues (entry 65 and
// the last block, which lacks (64, 44, 44), break the rule) and black.
constexpr uint32_t kStockRRGGBB[256] = {
    0x000000, 0x0000A8, 0x00A800, 0x00A8A8, 0xA80000, 0xA800A8, 0xA85400, 0xA8A8A8,  // 0
    0x545454, 0x8484FC, 0x54FC54, 0x54FCFC, 0xFC5454, 0xFC54FC, 0xFCFC54, 0xFCFCFC,  // 8
    0x000000, 0x141414, 0x202020, 0x2C2C2C, 0x383838, 0x444444, 0x505050, 0x606060,  // 16
    0x707070, 0x808080, 0x909090, 0xA0A0A0, 0xB4B4B4, 0xC8C8C8, 0xE0E0E0, 0xFCFCFC,  // 24
    0x0000FC, 0x4000FC, 0x7C00FC, 0xBC00FC, 0xFC00FC, 0xFC00BC, 0xFC007C, 0xFC0040,  // 32
    0xFC0000, 0xFC4000, 0xFC7C00, 0xFCBC00, 0xFCFC00, 0xBCFC00, 0x7CFC00, 0x40FC00,  // 40
    0x00FC00, 0x00FC40, 0x00FC7C, 0x00FCBC, 0x00FCFC, 0x00BCFC, 0x007CFC, 0x0040FC,  // 48
    0x7C7CFC, 0x9C7CFC, 0xBC7CFC, 0xDC7CFC, 0xFC7CFC, 0xFC7CDC, 0xFC7CBC, 0xFC7C9C,  // 56
    0xFC7C7C, 0xFC9CFC, 0xFCBC7C, 0xFCDC7C, 0xFCFC7C, 0xDCFC7C, 0xBCFC7C, 0x9CFC7C,  // 64
    0x7CFC7C, 0x7CFC9C, 0x7CFCBC, 0x7CFCDC, 0x7CFCFC, 0x7CDCFC, 0x7CBCFC, 0x7C9CFC,  // 72
    0xB4B4FC, 0xC4B4FC, 0xD8B4FC, 0xE8B4FC, 0xFCB4FC, 0xFCB4E8, 0xFCB4D8, 0xFCB4C4,  // 80
    0xFCB4B4, 0xFCC4B4, 0xFCD8B4, 0xFCE8B4, 0xFCFCB4, 0xE8FCB4, 0xD8FCB4, 0xC4FCB4,  // 88
    0xB4FCB4, 0xB4FCC4, 0xB4FCD8, 0xB4FCE8, 0xB4FCFC, 0xB4E8FC, 0xB4D8FC, 0xB4C4FC,  // 96
    0x000070, 0x1C0070, 0x380070, 0x540070, 0x700070, 0x700054, 0x700038, 0x70001C,  // 104
    0x700000, 0x701C00, 0x703800, 0x705400, 0x707000, 0x547000, 0x387000, 0x1C7000,  // 112
    0x007000, 0x00701C, 0x007038, 0x007054, 0x007070, 0x005470, 0x003870, 0x001C70,  // 120
    0x383870, 0x443870, 0x543870, 0x603870, 0x703870, 0x703860, 0x703854, 0x703844,  // 128
    0x703838, 0x704438, 0x705438, 0x706038, 0x707038, 0x607038, 0x547038, 0x447038,  // 136
    0x387038, 0x387044, 0x387054, 0x387060, 0x387070, 0x386070, 0x385470, 0x384470,  // 144
    0x505070, 0x585070, 0x605070, 0x685070, 0x705070, 0x705068, 0x705060, 0x705058,  // 152
    0x705050, 0x705850, 0x706050, 0x706850, 0x707050, 0x687050, 0x607050, 0x587050,  // 160
    0x507050, 0x507058, 0x507060, 0x507068, 0x507070, 0x506870, 0x506070, 0x505870,  // 168
    0x000040, 0x100040, 0x200040, 0x300040, 0x400040, 0x400030, 0x400020, 0x400010,  // 176
    0x400000, 0x401000, 0x402000, 0x403000, 0x404000, 0x304000, 0x204000, 0x104000,  // 184
    0x004000, 0x004010, 0x004020, 0x004030, 0x004040, 0x003040, 0x002040, 0x001040,  // 192
    0x202040, 0x282040, 0x302040, 0x382040, 0x402040, 0x402038, 0x402030, 0x402028,  // 200
    0x402020, 0x402820, 0x403020, 0x403820, 0x404020, 0x384020, 0x304020, 0x284020,  // 208
    0x204020, 0x204028, 0x204030, 0x204038, 0x204040, 0x203840, 0x203040, 0x202840,  // 216
    0x2C2C40, 0x302C40, 0x342C40, 0x3C2C40, 0x402C40, 0x402C3C, 0x402C34, 0x402C30,  // 224
    0x40302C, 0x40342C, 0x403C2C, 0x40402C, 0x3C402C, 0x34402C, 0x30402C, 0x2C402C,  // 232
    0x2C4030, 0x2C4034, 0x2C403C, 0x2C4040, 0x2C3C40, 0x2C3440, 0x2C3040, 0x000000,  // 240
    0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000, 0x000000,  // 248
};

// The named colours' defaults, RRGGBB.
constexpr uint32_t kNamedRRGGBB[256] = {
    0xF0F8FF, 0xE32636, 0xFFBF00, 0x9966CC, 0xFAEBD7, 0x7FFFD4, 0x7BA05B, 0xF0FFFF,  // 0
    0xF5F5DC, 0xFFE4C4, 0x3D2B1F, 0xCAE00D, 0x000000, 0xFFEBCD, 0xFF9900, 0x0000FF,  // 8
    0x8A2BE2, 0x0095B6, 0xB5A642, 0x66FF00, 0x08E8DE, 0xCD00CD, 0xCD7F32, 0xA52A2A,  // 16
    0xF0DC82, 0x900020, 0xDEB887, 0xCC5500, 0xE97451, 0x8A3324, 0x5F9EA0, 0x78866B,  // 24
    0xC41E3A, 0x960018, 0xED9121, 0xADBED1, 0xACE1AF, 0xDE3163, 0x007BA7, 0x2A52BE,  // 32
    0x7FFF00, 0xD2691E, 0x7B3F00, 0x0047AB, 0xB87333, 0xFF7F50, 0xFBEC5D, 0x6495ED,  // 40
    0xFFF8DC, 0xFFFDD0, 0xDC143C, 0x00FFFF, 0x00008B, 0x654321, 0x08457E, 0x986960,  // 48
    0xCD5B45, 0x008B8B, 0xB8860B, 0x545454, 0x006400, 0x310062, 0xBDB76B, 0x8B008B,  // 56
    0x556832, 0x556B2F, 0xFF8C00, 0x9932CC, 0x03C03C, 0xE75480, 0x8B0000, 0xE9967A,  // 64
    0x560319, 0x8FBC8F, 0x483D8B, 0x2F4F4F, 0x177245, 0x918151, 0xFFA812, 0xBADBAD,  // 72
    0xCC4E5C, 0x00CED1, 0x9400D3, 0xFF1493, 0x00BFFF, 0x1560BD, 0x696969, 0x1E90FF,  // 80
    0x50C878, 0x990066, 0x4F7942, 0xB22222, 0xEEDC82, 0xFFFAF0, 0x228B22, 0x808080,  // 88
    0xF400A1, 0xDCDCDC, 0xE49B0F, 0xF8F8FF, 0xFFD700, 0xDAA520, 0x7E7E7E, 0x465945,  // 96
    0xCADABA, 0x008000, 0xADFF2F, 0xDF73FF, 0xF0FFF0, 0xFF69B4, 0xCD5C5C, 0x4B0082,  // 104
    0x002FA7, 0xFF4F00, 0xFFFFF0, 0x00A86B, 0xF0E68C, 0xE6E6FA, 0xFFF0F5, 0x7CFC00,  // 112
    0xFDE910, 0xFFFACD, 0xADD8E6, 0xD2B48C, 0xF08080, 0xE0FFFF, 0xFAFAD2, 0xA8A8A8,  // 120
    0x90EE90, 0xFF80FF, 0xFFB6C1, 0xFF8080, 0xFFA07A, 0x20B2AA, 0x87CEFA, 0x778899,  // 128
    0xB0C4DE, 0xFFFFE0, 0xC8A2C8, 0x00FF00, 0x32CD32, 0xFAF0E6, 0xFF00FF, 0x0BDA51,  // 136
    0x800000, 0xE0B0FF, 0x66CDAA, 0x0000CD, 0xBA55D3, 0x9370DB, 0x3CB371, 0x7B68EE,  // 144
    0x00FA9A, 0x48D1CC, 0xC71585, 0x191970, 0xF5FFFA, 0xFFE4E1, 0xFFE4B5, 0xC0DCC0,  // 152
    0xC7031E, 0xADDFAD, 0x997A8D, 0xFFDB58, 0xFFDEAD, 0x000080, 0xCC7722, 0xCFB53B,  // 160
    0xFDF5E6, 0x808000, 0x6B8E23, 0xFFA500, 0xFF4500, 0xDA70D6, 0x987654, 0xAF4035,  // 168
    0xDDADAF, 0xABCDEF, 0xEEE8AA, 0x98FB98, 0xF984E5, 0x996666, 0xFADADD, 0xDABDAB,  // 176
    0xAFEEEE, 0xDB7093, 0xFFEFD5, 0x77DD77, 0xFFD1DC, 0xFFE5B4, 0xFFCC99, 0xFFDAB9,  // 184
    0xFADFAD, 0xD1E231, 0xCCCCFF, 0x6600FF, 0xCD853F, 0x01796F, 0xFFC0CB, 0xFF9966,  // 192
    0xDDA0DD, 0xB0E0E6, 0x003153, 0xCC8899, 0xFF7518, 0x800080, 0x734A12, 0xFF0000,  // 200
    0xC9FFA2, 0x00CCCC, 0xBC8F8F, 0x4169E1, 0x80461B, 0xB7410E, 0x8B4513, 0xF4C430,  // 208
    0xFA8072, 0xF4A460, 0x92000A, 0x082567, 0xFF2400, 0xFFD800, 0x2E8B57, 0xFFF5EE,  // 216
    0xFFBA00, 0x704214, 0xA0522D, 0xC0C0C0, 0x87CEEB, 0x6A5ACD, 0x708090, 0xFFFAFA,  // 224
    0x00FF7F, 0x4682B4, 0xACB78E, 0xBC987E, 0xFFCC00, 0x008080, 0xD0F0C0, 0xCD5700,  // 232
    0xE2725B, 0xD8BFD8, 0xFF6347, 0x40E0D0, 0x120A8F, 0xFF4D00, 0xEE82EE, 0x991199,  // 240
    0x40826D, 0xF5DEB3, 0xFFFFFF, 0xF5F5F5, 0xC9A0DC, 0xFFFF00, 0x9ACD32, 0xEBC2AF,  // 248
};

COLORREF FromRRGGBB(uint32_t v) { return RGB(v >> 16, (v >> 8) & 0xFF, v & 0xFF); }

TEST(StockPalette, WholeTableAlsoWithoutAWindow) {
  pvtest::CloseWindowIfOpen();
  PaletteRecord rec;
  ReadStockPalette(rec);
  ASSERT_EQ(rec.Size, 256);
  for (int i = 0; i < 256; ++i) {
    EXPECT_EQ(StockPalette[i], FromRRGGBB(kStockRRGGBB[i])) << "entry " << i;
    EXPECT_EQ(rec.Colors[i], StockPalette[i]) << "entry " << i;
  }
}

// Driver 9 hands out the defaults themselves; driver 3 the nearest stock entries (the first of
// equally near ones).
TEST(NamedColors, DefaultsWithRgbAndNearestStockEntriesWithPalettes) {
  pvtest::OpenWindow(9, 6);
  ASSERT_TRUE(GraphActive());
  for (int i = 0; i < 256; ++i) EXPECT_EQ(NamedColor(uint8_t(i)), FromRRGGBB(kNamedRRGGBB[i])) << "entry " << i;
  CloseGraphWindow();
  pvtest::OpenWindow(3, 6);
  ASSERT_TRUE(GraphActive());
  for (int i = 0; i < 256; ++i) {
    const COLORREF want = FromRRGGBB(kNamedRRGGBB[i]);
    const auto distance = [&](int e) {
      const COLORREF c = FromRRGGBB(kStockRRGGBB[e]);
      const int dr = GetRValue(c) - GetRValue(want), dg = GetGValue(c) - GetGValue(want), db = GetBValue(c) - GetBValue(want);
      return dr * dr + dg * dg + db * db;
    };
    uint32_t nearest = 0;
    for (int e = 1; e < 256; ++e)
      if (distance(e) < distance(static_cast<int>(nearest))) nearest = static_cast<uint32_t>(e);
    EXPECT_EQ(NamedColor(uint8_t(i)), nearest) << "entry " << i;
  }
  CloseGraphWindow();
}

class PaletteDriver : public pvtest::HeadlessWindow {};

TEST_F(PaletteDriver, EightBitPaletteAfterOpen) {
  EXPECT_EQ(S().PaletteSize, 256);
  EXPECT_EQ(MapColor(300), PALETTEINDEX(44));
  EXPECT_EQ(MapColor(5), PALETTEINDEX(5));
  // The active page carries the stock table.
  RGBQUAD table[256];
  pvtest::SessionLockHeld held;
  ASSERT_EQ(GetDIBColorTable(S().PageDC, 0, 256, table), 256u);
  for (int i = 0; i < 256; ++i)
    EXPECT_EQ(RGB(table[i].rgbRed, table[i].rgbGreen, table[i].rgbBlue), StockPalette[i]) << "entry " << i;
}

TEST_F(PaletteDriver, SmallRecordRepeatsColourZero) {
  PaletteRecord rec;
  rec.Size = 4;
  rec.Colors[0] = RGB(10, 20, 30);
  rec.Colors[1] = RGB(255, 0, 0);
  rec.Colors[2] = RGB(0, 255, 0);
  rec.Colors[3] = RGB(0, 0, 255);
  InstallPalette(rec);
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_EQ(S().PaletteSize, 4);
  EXPECT_EQ(MapColor(5), PALETTEINDEX(1));
  RGBQUAD table[256];
  {
    pvtest::SessionLockHeld held;
    ASSERT_EQ(GetDIBColorTable(S().PageDC, 0, 256, table), 256u);
  }
  EXPECT_EQ(table[2].rgbGreen, 255);
  for (int i = 4; i < 256; ++i) {
    EXPECT_EQ(table[i].rgbRed, 10) << i;
    EXPECT_EQ(table[i].rgbBlue, 30) << i;
  }
  EXPECT_EQ(NamedColor(ncRed), 1u);
  EXPECT_EQ(NamedColor(ncBlack), 0u);  // (10, 20, 30) is nearest to black
  // Another page takes the table when it becomes the drawing page.
  SetDrawPage(2);
  PlotPixel(1, 1, 3);
  EXPECT_EQ(pvtest::ReadPage(2).At(1, 1), RGB(0, 0, 255));
}

TEST_F(PaletteDriver, RecordsOfSizeZeroOrTooLargeAreRefused) {
  PaletteRecord rec;
  ReadStockPalette(rec);
  rec.Colors[0] = RGB(1, 2, 3);
  for (uint16_t size : {uint16_t{0}, uint16_t{257}}) {
    rec.Size = size;
    InstallPalette(rec);
    EXPECT_EQ(GraphError(), grOutOfRange) << size;
    EXPECT_EQ(S().PaletteSize, 256);
    RGBQUAD q[1]{};
    {
      pvtest::SessionLockHeld held;
      GetDIBColorTable(S().PageDC, 0, 1, q);
    }
    EXPECT_EQ(q[0].rgbRed, 0);
  }
}

TEST_F(PaletteDriver, BackColorKeepsTheNumberAsGiven) {
  SetBackColor(300);
  EXPECT_EQ(GraphError(), grOk);
  EXPECT_EQ(S().BackColor, 300u);
  EXPECT_EQ(GetBkColor(S().PageDC), PALETTEINDEX(44));
  EXPECT_EQ(GetBkColor(S().WindowDC), PALETTEINDEX(44));
  ClearScreen();
  EXPECT_EQ(pvtest::ReadActivePage().IndexAt(400, 300), 44);
}

TEST(OtherDrivers, OneBitPaletteIsBlackAndWhite) {
  pvtest::OpenWindow(1, 6);
  ASSERT_TRUE(GraphActive());
  PaletteRecord rec;
  ReadStockPalette(rec);
  EXPECT_EQ(rec.Size, 2);
  EXPECT_EQ(rec.Colors[0], RGB(0, 0, 0));
  EXPECT_EQ(rec.Colors[1], RGB(255, 255, 255));
  rec.Size = 3;
  InstallPalette(rec);
  EXPECT_EQ(GraphError(), grOutOfRange);
  EXPECT_EQ(NamedColor(ncWhite), 1u);
  PlotPixel(5, 5, NamedColor(ncWhite));
  EXPECT_EQ(pvtest::ReadActivePage().IndexAt(5, 5), 1);
  CloseGraphWindow();
}

TEST(OtherDrivers, RgbDriverUsesColoursAsGiven) {
  pvtest::OpenWindow(9, 6);
  ASSERT_TRUE(GraphActive());
  EXPECT_EQ(MapColor(0x0000FF), 0x0000FFu);
  EXPECT_EQ(NamedColor(ncRed), 0x000000FFu);
  PaletteRecord rec;
  ReadStockPalette(rec);
  InstallPalette(rec);
  EXPECT_EQ(GraphError(), grNotPaletteMode);
  PlotPixel(7, 8, RGB(12, 34, 56));
  EXPECT_EQ(pvtest::ReadActivePage().At(7, 8), RGB(12, 34, 56));
  CloseGraphWindow();
}

}  // namespace
