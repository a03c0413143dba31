#include "scene.h"

namespace reference {

void FillIndexRamp(Page &page) {
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) {
      if (page.Bits() == 32) {
        page.Put(x, y, static_cast<uint32_t>(((x * 5) & 0xFF) << 16 | ((y * 7) & 0xFF) << 8 | ((x + y) * 3 & 0xFF)));
      } else {
        const uint32_t count = 1u << page.Bits();
        page.Put(x, y, static_cast<uint32_t>(x + y * 3) % count);
      }
    }
}

void FillSolid(Page &page, uint32_t value) {
  for (int y = 0; y < page.Height(); ++y)
    for (int x = 0; x < page.Width(); ++x) page.Put(x, y, value);
}

COLORREF CubeColor(int i) {
  const int n = 1 + (i * 47) % 214;
  return RGB(n / 36 * 51, n / 6 % 6 * 51, n % 6 * 51);
}

HBRUSH SolidBrush(COLORREF color) {
  LOGBRUSH lb{BS_SOLID, color, 0};
  return CreateBrushIndirect(&lb);
}

HBRUSH HatchBrush(int hatch, COLORREF color) {
  LOGBRUSH lb{BS_HATCHED, color, static_cast<ULONG_PTR>(hatch)};
  return CreateBrushIndirect(&lb);
}

HBRUSH NullBrush() {
  LOGBRUSH lb{BS_NULL, 0, 0};
  return CreateBrushIndirect(&lb);
}

HPEN Pen(int style, int width, COLORREF color) {
  LOGPEN lp{static_cast<UINT>(style), POINT{width, 0}, color};
  return CreatePenIndirect(&lp);
}

void Line(HDC dc, int x1, int y1, int x2, int y2) {
  MoveToEx(dc, x1, y1, nullptr);
  LineTo(dc, x2, y2);
}

const char *Rop2Name(int rop2) {
  static const char *const names[] = {"black", "notmergepen", "masknotpen", "notcopypen", "maskpennot", "not",
                                      "xorpen", "notmaskpen", "maskpen", "notxorpen", "nop", "mergenotpen",
                                      "copypen", "mergepennot", "mergepen", "white"};
  return rop2 >= 1 && rop2 <= 16 ? names[rop2 - 1] : "?";
}

const char *PenStyleName(int style) {
  static const char *const names[] = {"solid", "dash", "dot", "dashdot", "dashdotdot", "null", "insideframe"};
  return style >= 0 && style <= 6 ? names[style] : "?";
}

const char *HatchName(int hatch) {
  static const char *const names[] = {"horizontal", "vertical", "fdiagonal", "bdiagonal", "cross", "diagcross"};
  return hatch >= 0 && hatch <= 5 ? names[hatch] : "?";
}

}  // namespace reference
