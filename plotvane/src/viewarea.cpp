// The view area with its clip region, raster modes, aspect values and the two clears.
#include "plotvane/session.h"

namespace plotvane {

void SetViewArea(int16_t x1, int16_t y1, int16_t x2, int16_t y2, bool clip) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (x1 > x2 || y1 > y2) {
    s.GraphError = grOutOfRange;
    return;
  }
  s.ViewArea = ViewAreaRecord{x1, y1, x2, y2, clip};
  s.ViewWidth = static_cast<int16_t>(x2 - x1);
  s.ViewHeight = static_cast<int16_t>(y2 - y1);
  s.ViewOriginX = x1;
  s.ViewOriginY = y1;
  MoveCursor(0, 0);

  EnterCriticalSection(&s.SessionLock);
  if (s.ClipRegion) {
    SelectClipRgn(s.WindowDC, nullptr);
    SelectClipRgn(s.PageDC, nullptr);
    DeleteObject(s.ClipRegion);
    s.ClipRegion = nullptr;
  }
  if (clip) {
    s.ClipRegion = CreateRectRgn(x1, y1, x2 + 1, y2 + 1);
    SelectClipRgn(s.WindowDC, s.ClipRegion);
    SelectClipRgn(s.PageDC, s.ClipRegion);
  }
  LeaveCriticalSection(&s.SessionLock);
}

void SetRasterMode(int16_t mode) {
  static constexpr int mixes[16] = {
      R2_COPYPEN,   R2_XORPEN,     R2_MERGEPEN,    R2_MASKPEN,     R2_NOTCOPYPEN, R2_NOT,
      R2_NOTXORPEN, R2_NOTMERGEPEN, R2_NOTMASKPEN, R2_MASKNOTPEN,  R2_MERGENOTPEN, R2_MASKPENNOT,
      R2_MERGEPENNOT, R2_BLACK,    R2_WHITE,       R2_NOP,
  };
  GraphSession &s = Session();
  if (!CommonStart()) return;
  const int r = mode % 16;
  const int base = (mode / 16) * 16;
  if (r < 0 || (base != 0 && base != 16)) {
    s.GraphError = grOutOfRange;
    return;
  }
  const int bk = base == 0 ? TRANSPARENT : OPAQUE;
  s.RasterMix = mixes[r];
  SetROP2(s.WindowDC, mixes[r]);
  SetBkMode(s.WindowDC, bk);
  SetROP2(s.PageDC, mixes[r]);
  SetBkMode(s.PageDC, bk);
}

void SetAspect(uint16_t xasp, uint16_t yasp) {
  GraphSession &s = Session();
  // A zero value would make the radius correction divide by zero.
  if (xasp == 0 || yasp == 0) {
    s.GraphError = grOutOfRange;
    return;
  }
  s.AspectX = xasp;
  s.AspectY = yasp;
  s.AspectNeutral = xasp == 10000 && yasp == 10000;
}

void ClearViewArea() {
  GraphSession &s = Session();
  MoveCursor(0, 0);
  if (s.GraphError != grOk) return;
  const int16_t style = s.FillStyle;
  const uint32_t color = s.FillColor;
  SetFillKind(1, s.BackColor);
  FillBox(0, 0, s.ViewWidth, s.ViewHeight);
  SetFillKind(style, color);
}

void ClearScreen() {
  GraphSession &s = Session();
  const ViewAreaRecord kept = s.ViewArea;
  SetViewArea(0, 0, static_cast<int16_t>(s.MaxX), static_cast<int16_t>(s.MaxY), false);
  if (s.GraphError != grOk) return;
  ClearViewArea();
  SetViewArea(kept.X1, kept.Y1, kept.X2, kept.Y2, kept.Clip);
}

}  // namespace plotvane
