// Handles, selection and deletion rules, stock objects and object queries.
#include <gtest/gtest.h>
#include <pvplatform.h>
#include <windows.h>

namespace {

HBITMAP Dib8(HDC dc, int width, int height) {
  struct {
    BITMAPINFOHEADER h;
    RGBQUAD c[2];
  } bi{};
  bi.h.biSize = sizeof bi.h;
  bi.h.biWidth = width;
  bi.h.biHeight = height;
  bi.h.biPlanes = 1;
  bi.h.biBitCount = 8;
  bi.h.biClrUsed = 2;
  bi.c[1] = RGBQUAD{255, 255, 255, 0};
  void *bits;
  return CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(&bi), DIB_RGB_COLORS, &bits, nullptr, 0);
}

TEST(Handles, StaleAndWrongHandlesFailCleanly) {
  HDC dc = CreateCompatibleDC(nullptr);
  HPEN pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  ASSERT_TRUE(DeleteObject(pen));
  EXPECT_FALSE(DeleteObject(pen));  // double delete
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_EQ(SelectObject(dc, pen), nullptr);
  LOGPEN lp;
  EXPECT_EQ(GetObjectA(pen, sizeof lp, &lp), 0);
  // A new object in the freed slot does not bring the old handle back to life.
  HPEN again = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  EXPECT_NE(again, pen);
  EXPECT_EQ(GetObjectType(pen), 0u);
  EXPECT_EQ(GetObjectType(again), static_cast<DWORD>(OBJ_PEN));
  DeleteObject(again);

  // Handles of the wrong kind are refused.
  EXPECT_EQ(SelectObject(dc, dc), nullptr);
  EXPECT_FALSE(DeleteObject(dc));
  EXPECT_EQ(SelectObject(dc, GetStockObject(DEFAULT_PALETTE)), nullptr);  // palettes need SelectPalette
  EXPECT_EQ(SelectPalette(dc, reinterpret_cast<HPALETTE>(GetStockObject(BLACK_PEN)), FALSE), nullptr);
  EXPECT_EQ(SetBkMode(reinterpret_cast<HDC>(GetStockObject(BLACK_PEN)), OPAQUE), 0);
  EXPECT_FALSE(LineTo(reinterpret_cast<HDC>(GetStockObject(WHITE_BRUSH)), 3, 3));
  EXPECT_EQ(GetObjectType(reinterpret_cast<HGDIOBJ>(static_cast<uintptr_t>(0x7FFF1234))), 0u);

  ASSERT_TRUE(DeleteDC(dc));
  EXPECT_FALSE(DeleteDC(dc));
  EXPECT_FALSE(MoveToEx(dc, 0, 0, nullptr));
  EXPECT_EQ(GetPixel(dc, 0, 0), CLR_INVALID);
}

TEST(Selection, ABitmapLivesInOneDcAndOutlivesDeletionWhileSelected) {
  HDC a = CreateCompatibleDC(nullptr), b = CreateCompatibleDC(nullptr);
  HBITMAP bmp = Dib8(a, 4, 4);
  HGDIOBJ initial = SelectObject(a, bmp);
  EXPECT_EQ(GetObjectType(initial), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_EQ(SelectObject(a, bmp), bmp);      // again into the same DC: fine
  EXPECT_EQ(SelectObject(b, bmp), nullptr);  // into a second DC: refused
  // The stock bitmap may sit in any number of DCs.
  EXPECT_EQ(SelectObject(b, initial), initial);

  // Deleted while selected: still usable until deselected, then gone.
  EXPECT_TRUE(DeleteObject(bmp));
  EXPECT_EQ(GetObjectType(bmp), static_cast<DWORD>(OBJ_BITMAP));
  EXPECT_TRUE(SetPixelV(a, 1, 1, RGB(255, 255, 255)));
  EXPECT_EQ(GetPixel(a, 1, 1), RGB(255, 255, 255));
  EXPECT_EQ(SelectObject(a, initial), bmp);
  EXPECT_EQ(GetObjectType(bmp), 0u);

  // A pen selected into two DCs goes with the last one.
  HPEN pen = CreatePen(PS_DOT, 0, RGB(1, 1, 1));
  SelectObject(a, pen);
  SelectObject(b, pen);
  EXPECT_TRUE(DeleteObject(pen));
  DeleteDC(a);
  EXPECT_EQ(GetObjectType(pen), static_cast<DWORD>(OBJ_PEN));
  SelectObject(b, GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetObjectType(pen), 0u);
  DeleteDC(b);
}

TEST(Selection, EverythingMadeIsFreedAgain) {
  const pvplatform::LiveCounts before = pvplatform::CountLive();
  {
    HDC dc = CreateCompatibleDC(nullptr);
    HBITMAP bmp = Dib8(dc, 8, 8);
    HGDIOBJ oldBmp = SelectObject(dc, bmp);
    HPEN pen = CreatePen(PS_SOLID, 3, RGB(0, 0, 0));
    HGDIOBJ oldPen = SelectObject(dc, pen);
    HRGN rgn = CreateRectRgn(0, 0, 4, 4);
    SelectClipRgn(dc, rgn);
    LOGPALETTE lp{0x300, 1, {{0, 0, 0, 0}}};
    HPALETTE pal = CreatePalette(&lp);
    SelectPalette(dc, pal, FALSE);
    HBITMAP compat = CreateCompatibleBitmap(dc, 3, 3);
    const pvplatform::LiveCounts during = pvplatform::CountLive();
    EXPECT_EQ(during.gdiObjects, before.gdiObjects + 5);
    EXPECT_EQ(during.dcs, before.dcs + 1);
    DeleteObject(rgn);
    DeleteObject(compat);
    DeleteObject(pal);  // selected: freed with the DC
    SelectObject(dc, oldPen);
    SelectObject(dc, oldBmp);
    DeleteObject(pen);
    DeleteObject(bmp);
    DeleteDC(dc);
  }
  const pvplatform::LiveCounts after = pvplatform::CountLive();
  EXPECT_EQ(after.gdiObjects, before.gdiObjects);
  EXPECT_EQ(after.dcs, before.dcs);
}

TEST(Queries, GetObjectAndCompatibleBitmaps) {
  HDC dc = CreateCompatibleDC(nullptr);
  // On a fresh memory DC: monochrome, as Windows makes them.
  HBITMAP mono = CreateCompatibleBitmap(dc, 5, 3);
  BITMAP bm{};
  ASSERT_EQ(GetObjectA(mono, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 1);
  EXPECT_EQ(bm.bmWidthBytes, 2);
  EXPECT_EQ(GetObjectA(mono, 0, nullptr), static_cast<int>(sizeof bm));
  // An empty size gives the stock bitmap.
  EXPECT_EQ(CreateCompatibleBitmap(dc, 0, 4), GetCurrentObject(dc, OBJ_BITMAP));
  EXPECT_EQ(CreateCompatibleBitmap(dc, -1, 4), nullptr);

  // On a DC holding an 8-bit DIB section: another 8-bit DIB section with the same table.
  HBITMAP page = Dib8(dc, 16, 16);
  HGDIOBJ old = SelectObject(dc, page);
  HBITMAP twin = CreateCompatibleBitmap(dc, 8, 8);
  ASSERT_EQ(GetObjectA(twin, sizeof bm, &bm), static_cast<int>(sizeof bm));
  EXPECT_EQ(bm.bmBitsPixel, 8);
  EXPECT_NE(bm.bmBits, nullptr);
  HDC other = CreateCompatibleDC(dc);
  SelectObject(other, twin);
  RGBQUAD entry[16];
  ASSERT_EQ(GetDIBColorTable(other, 0, 2, entry), 2u);
  EXPECT_EQ(entry[1].rgbRed, 255);
  ASSERT_EQ(GetDIBColorTable(other, 250, 10, entry), 6u);

  LOGPEN lp{};
  HPEN pen = CreatePen(PS_DASHDOT, 7, RGB(4, 5, 6));
  ASSERT_EQ(GetObjectA(pen, sizeof lp, &lp), static_cast<int>(sizeof lp));
  EXPECT_EQ(lp.lopnStyle, static_cast<UINT>(PS_DASHDOT));
  EXPECT_EQ(lp.lopnWidth.x, 7);
  EXPECT_EQ(lp.lopnColor, RGB(4, 5, 6));
  WORD count = 0;
  EXPECT_EQ(GetObjectA(GetStockObject(DEFAULT_PALETTE), sizeof count, &count), 2);
  EXPECT_EQ(count, 20);

  // Every DC answers for the 32-bit display it belongs to.
  EXPECT_EQ(GetDeviceCaps(dc, BITSPIXEL), 32);
  EXPECT_EQ(GetDeviceCaps(dc, PLANES), 1);

  DeleteObject(pen);
  DeleteDC(other);
  DeleteObject(twin);
  SelectObject(dc, old);
  DeleteObject(page);
  DeleteObject(mono);
  DeleteDC(dc);
}

TEST(Queries, ClipRegionsAreCopiedAndBoxedByThePage) {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP page = Dib8(dc, 16, 16);
  HGDIOBJ old = SelectObject(dc, page);
  RECT box;
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.right, 16);
  // Corners in any order; a region bigger than the page is cut to it.
  HRGN rgn = CreateRectRgn(40, 12, -5, 3);
  EXPECT_EQ(SelectClipRgn(dc, rgn), SIMPLEREGION);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.left, 0);
  EXPECT_EQ(box.top, 3);
  EXPECT_EQ(box.right, 16);
  EXPECT_EQ(box.bottom, 12);
  // Selecting a region through SelectObject answers with the region type.
  HRGN empty = CreateRectRgn(5, 5, 5, 9);
  EXPECT_EQ(SelectObject(dc, empty), reinterpret_cast<HGDIOBJ>(static_cast<intptr_t>(NULLREGION)));
  EXPECT_EQ(GetClipBox(dc, &box), NULLREGION);
  EXPECT_FALSE(SetPixel(dc, 5, 6, RGB(255, 255, 255)) != CLR_INVALID);
  // The clip region stays when another bitmap comes in.
  HBITMAP second = Dib8(dc, 16, 16);
  SelectClipRgn(dc, rgn);
  SelectObject(dc, second);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.top, 3);
  EXPECT_EQ(SelectClipRgn(dc, nullptr), SIMPLEREGION);
  EXPECT_EQ(GetClipBox(dc, &box), SIMPLEREGION);
  EXPECT_EQ(box.top, 0);
  SelectObject(dc, old);
  DeleteObject(second);
  DeleteObject(page);
  DeleteObject(rgn);
  DeleteObject(empty);
  DeleteDC(dc);
}

}  // namespace
