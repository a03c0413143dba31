// The stock palette, named colours, MapColor and palette installation.
#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

TEST(StockPalette, RuleAndItsTwoExceptions) {
  const struct {
    int index;
    COLORREF rgb;
  } cases[] = {
      {6, RGB(168, 84, 0)},     {9, RGB(132, 132, 252)},  {23, RGB(96, 96, 96)},   {36, RGB(252, 0, 252)},
      {55, RGB(0, 64, 252)},    {64, RGB(252, 124, 124)}, {66, RGB(252, 188, 124)}, {199, RGB(0, 16, 64)},
      {65, RGB(252, 156, 252)},  // exception: the rule gives (252, 156, 124)
      {231, RGB(64, 44, 48)},   {232, RGB(64, 48, 44)},   // block 9 skips (64, 44, 44)
      {246, RGB(44, 48, 64)},   {247, RGB(0, 0, 0)},      {255, RGB(0, 0, 0)},
  };
  for (const auto &c : cases) EXPECT_EQ(StockPalette[c.index], c.rgb) << "entry " << c.index;
  // Read without a window: all 256.
  pvtest::CloseWindowIfOpen();
  PaletteRecord rec;
  ReadStockPalette(rec);
  EXPECT_EQ(rec.Size, 256);
  EXPECT_EQ(rec.Colors[65], StockPalette[65]);
}

class PaletteDriver : public pvtest::HeadlessWindow {};

TEST_F(PaletteDriver, EightBitPaletteAfterOpen) {
  EXPECT_EQ(S().PaletteSize, 256);
  EXPECT_EQ(MapColor(300), PALETTEINDEX(44));
  EXPECT_EQ(MapColor(5), PALETTEINDEX(5));
  // Named colours hold the nearest stock entries.
  EXPECT_EQ(NamedColor(ncBlack), 0u);
  EXPECT_EQ(NamedColor(ncWhite), 15u);
  EXPECT_EQ(NamedColor(ncRed), 40u);
  EXPECT_EQ(NamedColor(ncYellow), 44u);
  // The active page carries the stock table.
  RGBQUAD table[256];
  ASSERT_EQ(GetDIBColorTable(S().PageDC, 0, 256, table), 256u);
  EXPECT_EQ(RGB(table[65].rgbRed, table[65].rgbGreen, table[65].rgbBlue), StockPalette[65]);
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
  ASSERT_EQ(GetDIBColorTable(S().PageDC, 0, 256, table), 256u);
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
    RGBQUAD q[1];
    GetDIBColorTable(S().PageDC, 0, 1, q);
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
  EXPECT_EQ(GetPixel(S().PageDC, 7, 8), RGB(12, 34, 56));
  CloseGraphWindow();
}

}  // namespace
