// Brushes and rectangle fills: solid, hatched, pattern and null brushes, the brush origin, the
// background mode, and what FillRect and Rectangle cover. Hatch rows as Wine's GDI draws them.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "shapes_page.h"

namespace {



void FillWith(const Page &page, const LOGBRUSH &lb, const RECT &r) {
  HBRUSH brush = CreateBrushIndirect(&lb);
  ASSERT_NE(brush, nullptr);
  EXPECT_EQ(FillRect(page.dc(), &r, brush), 1);
  DeleteObject(brush);
}

// ---- Hatches ---------------------------------------------------------------------------------

struct HatchCase {
  const char *name;
  int hatch;
  Rows cell;  // the 8 x 8 cell at the origin: 2 for the line, 0 for the untouched gap
};

class Hatch : public ::testing::TestWithParam<HatchCase> {};

TEST_P(Hatch, RowsOfTheCellRepeatFromThePageOrigin) {
  const HatchCase &c = GetParam();
  Page page(16, 16);
  SetBkMode(page.dc(), TRANSPARENT);
  FillWith(page, LOGBRUSH{BS_HATCHED, RGB(255, 0, 0), static_cast<ULONG_PTR>(c.hatch)}, RECT{0, 0, 16, 16});
  EXPECT_EQ(page.Picture(0, 0, 8, 8), c.cell);
  EXPECT_EQ(page.Picture(8, 8, 8, 8), c.cell);
}

INSTANTIATE_TEST_SUITE_P(
    Styles, Hatch,
    ::testing::Values(
        HatchCase{"horizontal", HS_HORIZONTAL,
                  {"00000000", "00000000", "00000000", "22222222", "00000000", "00000000", "00000000", "00000000"}},
        HatchCase{"vertical", HS_VERTICAL,
                  {"00002000", "00002000", "00002000", "00002000", "00002000", "00002000", "00002000", "00002000"}},
        HatchCase{"fdiagonal", HS_FDIAGONAL,
                  {"20000000", "02000000", "00200000", "00020000", "00002000", "00000200", "00000020", "00000002"}},
        HatchCase{"bdiagonal", HS_BDIAGONAL,
                  {"00000002", "00000020", "00000200", "00002000", "00020000", "00200000", "02000000", "20000000"}},
        HatchCase{"cross", HS_CROSS,
                  {"00002000", "00002000", "00002000", "22222222", "00002000", "00002000", "00002000", "00002000"}},
        HatchCase{"diagcross", HS_DIAGCROSS,
                  {"20000002", "02000020", "00200200", "00022000", "00022000", "00200200", "02000020", "20000002"}}),
    [](const ::testing::TestParamInfo<HatchCase> &i) { return std::string(i.param.name); });

TEST(Hatch, GapsTakeTheBackgroundOnlyWhenOpaque) {
  Page page(8, 8);
  page.Fill(4);
  SetBkColor(page.dc(), RGB(0, 0, 255));
  SetBkMode(page.dc(), OPAQUE);
  FillWith(page, LOGBRUSH{BS_HATCHED, RGB(255, 0, 0), HS_HORIZONTAL}, RECT{0, 0, 8, 4});
  SetBkMode(page.dc(), TRANSPARENT);
  FillWith(page, LOGBRUSH{BS_HATCHED, RGB(255, 0, 0), HS_HORIZONTAL}, RECT{0, 4, 8, 8});
  EXPECT_EQ(page.Picture(0, 0, 8, 8), (Rows{"33333333", "33333333", "33333333", "22222222", "44444444", "44444444",
                                         "44444444", "44444444"}));
}

TEST(Hatch, BrushOriginShiftsTheCell) {
  Page page(16, 12);
  SetBkMode(page.dc(), TRANSPARENT);
  POINT previous{-1, -1};
  ASSERT_TRUE(SetBrushOrgEx(page.dc(), 3, 2, &previous));
  EXPECT_EQ(previous.x, 0);
  EXPECT_EQ(previous.y, 0);
  FillWith(page, LOGBRUSH{BS_HATCHED, RGB(255, 0, 0), HS_CROSS}, RECT{0, 0, 16, 12});
  // Cell row 3 lands on row 5, cell column 4 on column 7 (Wine).
  EXPECT_EQ(page.Picture(0, 4, 16, 2), (Rows{"0000000200000002", "2222222222222222"}));
  page.Fill(0);
  SetBrushOrgEx(page.dc(), -1, 9, nullptr);
  FillWith(page, LOGBRUSH{BS_HATCHED, RGB(255, 0, 0), HS_FDIAGONAL}, RECT{0, 0, 16, 12});
  EXPECT_EQ(page.Picture(0, 0, 16, 2), (Rows{"0000002000000020", "0000000200000002"}));
}

// ---- Patterns ---------------------------------------------------------------------------------

// An 8 x 8 bitmap made as the library makes it: compatible with the page, painted per pixel.
HBITMAP PatternBitmap(HDC pageDc, const uint8_t rows[8], COLORREF ink, COLORREF paper) {
  HBITMAP bitmap = CreateCompatibleBitmap(pageDc, 8, 8);
  HDC dc = CreateCompatibleDC(pageDc);
  HGDIOBJ old = SelectObject(dc, bitmap);
  for (int y = 0; y < 8; ++y)
    for (int x = 0; x < 8; ++x) SetPixelV(dc, x, y, (rows[y] >> (7 - x)) & 1 ? ink : paper);
  SelectObject(dc, old);
  DeleteDC(dc);
  return bitmap;
}

TEST(Pattern, BitsLandLeftmostFirstAndTheBrushKeepsItsOwnCopy) {
  Page page(16, 10);
  const uint8_t rows[8] = {0x80, 0x01, 0xFF, 0x00, 0x0F, 0xF0, 0x81, 0x18};
  HBITMAP bitmap = PatternBitmap(page.dc(), rows, RGB(255, 255, 255), RGB(0, 0, 255));
  LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap)};
  HBRUSH brush = CreateBrushIndirect(&lb);
  ASSERT_NE(brush, nullptr);
  DeleteObject(bitmap);  // the brush must not depend on it
  SetROP2(page.dc(), R2_XORPEN);  // FillRect ignores the mix
  RECT r{0, 0, 16, 10};
  FillRect(page.dc(), &r, brush);
  DeleteObject(brush);
  EXPECT_EQ(page.Picture(0, 0, 16, 10),
            (Rows{"1333333313333333", "3333333133333331", "1111111111111111", "3333333333333333",
                  "3333111133331111", "1111333311113333", "1333333113333331", "3331133333311333",
                  "1333333313333333", "3333333133333331"}));
}

TEST(Pattern, IndicesOfAnEightBitPatternAreUsedAsTheyAre) {
  Page page(8, 2);
  // Two table entries of the same colour: the pattern's own index must survive.
  RGBQUAD twin{0, 0, 255, 0};
  SetDIBColorTable(page.dc(), 4, 1, &twin);
  HBITMAP bitmap = CreateCompatibleBitmap(page.dc(), 8, 8);
  HDC dc = CreateCompatibleDC(page.dc());
  HGDIOBJ old = SelectObject(dc, bitmap);
  RECT all{0, 0, 8, 8};
  HBRUSH index4 = CreateSolidBrush(DIBINDEX(4));
  FillRect(dc, &all, index4);
  DeleteObject(index4);
  SelectObject(dc, old);
  DeleteDC(dc);
  LOGBRUSH lb{BS_PATTERN, 0, reinterpret_cast<ULONG_PTR>(bitmap)};
  HBRUSH brush = CreateBrushIndirect(&lb);
  DeleteObject(bitmap);
  RECT r{0, 0, 8, 2};
  FillRect(page.dc(), &r, brush);
  DeleteObject(brush);
  EXPECT_EQ(page.Picture(0, 0, 8, 2), (Rows{"44444444", "44444444"}));
}

TEST(Pattern, RefusesWhatIsNoBitmap) {
  LOGBRUSH lb{BS_PATTERN, 0, 0};
  EXPECT_EQ(CreateBrushIndirect(&lb), nullptr);
  lb = LOGBRUSH{BS_HATCHED, 0, 6};
  EXPECT_EQ(CreateBrushIndirect(&lb), nullptr);
  EXPECT_EQ(CreateBrushIndirect(nullptr), nullptr);
}

// ---- FillRect and Rectangle -------------------------------------------------------------------

TEST(FillRect, LeftAndTopIncludedRightAndBottomLeftOutMixIgnored) {
  Page page(12, 10);
  page.Fill(4);
  SetROP2(page.dc(), R2_XORPEN);
  FillWith(page, LOGBRUSH{BS_SOLID, RGB(255, 0, 0), 0}, RECT{2, 1, 5, 3});
  EXPECT_EQ(page.Picture(0, 0, 6, 4), (Rows{"444444", "442224", "442224", "444444"}));
  EXPECT_EQ(page.Count(2), 6);
}

TEST(FillRect, ReversedEdgesRunBackwardsFromTheFirstEdge) {
  Page page(16, 12);
  FillWith(page, LOGBRUSH{BS_SOLID, RGB(255, 0, 0), 0}, RECT{10, 8, 2, 2});
  // Wine: x 3..10, y 3..8.
  EXPECT_EQ(page.Count(2), 8 * 6);
  EXPECT_EQ(page.At(3, 3), 2);
  EXPECT_EQ(page.At(10, 8), 2);
  EXPECT_EQ(page.At(2, 2), 0);
}

TEST(FillRect, NullBrushEmptyAndOffPageRectangles) {
  Page page(12, 10);
  FillWith(page, LOGBRUSH{BS_NULL, RGB(255, 0, 0), 0}, RECT{0, 0, 12, 10});
  FillWith(page, LOGBRUSH{BS_SOLID, RGB(255, 0, 0), 0}, RECT{5, 5, 5, 9});
  FillWith(page, LOGBRUSH{BS_SOLID, RGB(255, 0, 0), 0}, RECT{-30000, -30000, -20, 2});
  EXPECT_EQ(page.Count(0), 120);
  FillWith(page, LOGBRUSH{BS_SOLID, RGB(255, 0, 0), 0}, RECT{-30000, -30000, 30000, 30000});
  EXPECT_EQ(page.Count(2), 120);
  RECT r{0, 0, 1, 1};
  EXPECT_EQ(FillRect(page.dc(), &r, nullptr), 0);
}

TEST(Rectangle, OutlineOnTheOuterPixelsInteriorInside) {
  Page page(12, 10);
  page.Use(CreatePen(PS_SOLID, 1, RGB(255, 255, 255)), CreateSolidBrush(RGB(255, 0, 0)));
  EXPECT_TRUE(Rectangle(page.dc(), 9, 6, 2, 1));  // reversed corners are put in order
  EXPECT_EQ(page.Picture(1, 0, 10, 7), (Rows{"0000000000", "0111111100", "0122222100", "0122222100", "0122222100",
                                             "0111111100", "0000000000"}));
  page.Use(GetStockObject(NULL_PEN), CreateSolidBrush(RGB(255, 0, 0)));
  page.Fill(0);
  Rectangle(page.dc(), 2, 1, 9, 6);  // without a pen the interior is one short on the right and bottom
  EXPECT_EQ(page.Count(2), 6 * 4);
}

// ---- Brushes in shapes --------------------------------------------------------------------------

TEST(ShapeFill, InteriorsFollowTheMixAndTheBrushOrigin) {
  Page page(16, 12);
  page.Fill(1);
  LOGBRUSH lb{BS_HATCHED, RGB(255, 255, 255), HS_HORIZONTAL};
  page.Use(GetStockObject(NULL_PEN), CreateBrushIndirect(&lb));
  SetBkMode(page.dc(), TRANSPARENT);
  SetROP2(page.dc(), R2_XORPEN);
  const POINT square[] = {{0, 0}, {16, 0}, {16, 12}, {0, 12}};
  Polygon(page.dc(), square, 4);
  // Hatch rows 3 and 11 XOR white onto white: 0; the gaps are left alone.
  EXPECT_EQ(page.Picture(0, 2, 4, 2), (Rows{"1111", "0000"}));
  EXPECT_EQ(page.At(5, 11), 0);
}

}  // namespace
