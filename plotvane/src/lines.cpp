// The current position, pixels, lines and the pen.
#include "plotvane/session.h"

#ifndef _WIN32
#include "pvgdibatch.h"
#endif

namespace plotvane {

namespace {

// View-area point to device point: the origin is added in 16-bit arithmetic, as the
// coordinates are 16-bit.
inline int DeviceX(const GraphSession &s, int32_t x) { return static_cast<int16_t>(x + s.ViewOriginX); }
inline int DeviceY(const GraphSession &s, int32_t y) { return static_cast<int16_t>(y + s.ViewOriginY); }

// Sets the plain colour: GDI's SetPixelV follows the mix mode, the library's pixels don't.
// Under the copy mix, the usual one, the mode needs no change (each change takes GDI's lock).
inline void SetPlainPixel(HDC dc, int x, int y, COLORREF color, int mix) {
  if (mix == R2_COPYPEN) {
    SetPixelV(dc, x, y, color);
    return;
  }
  SetROP2(dc, R2_COPYPEN);
  SetPixelV(dc, x, y, color);
  SetROP2(dc, mix);
}

// LineTo, then the end point in the plain colour when `withEnd`: in one call on our platform.
bool LineToDevice(HDC dc, int x, int y, bool withEnd, COLORREF endColor, int mix) {
#ifdef _WIN32
  const bool drawn = LineTo(dc, x, y);
  if (withEnd) SetPlainPixel(dc, x, y, endColor, mix);
  return drawn;
#else
  (void)mix;  // the platform's call sets the end point under the copy mix itself
  return withEnd ? pvplatform::LineToWithEnd(dc, x, y, endColor) : LineTo(dc, x, y);
#endif
}

// MoveCursor, leaving out the device contexts a LineTo has already moved to the point.
void MoveCursorAfterLine(int16_t x, int16_t y, bool windowThere, bool pageThere) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  s.CursorX = x;
  s.CursorY = y;
  if (!windowThere) MoveToEx(s.WindowDC, DeviceX(s, x), DeviceY(s, y), nullptr);
  if (!pageThere) MoveToEx(s.PageDC, DeviceX(s, x), DeviceY(s, y), nullptr);
}

void CALLBACK StyleFivePixel(int x, int y, LPARAM pattern) {
  GraphSession &s = Session();
  if ((static_cast<uint32_t>(pattern) >> s.PatternStep) & 1u)
    PlotPixel(static_cast<int16_t>(x), static_cast<int16_t>(y), s.DrawColor);
  s.PatternStep = (s.PatternStep + 1) % 16;
}

// DrawLineTo's work; the caller holds the SessionLock.
void LineFromCursor(int16_t x, int16_t y) {
  GraphSession &s = Session();
  if (s.LineStyle == 5) {
    s.PatternStep = 0;
    LineDDA(s.CursorX, s.CursorY, x, y, StyleFivePixel, s.LinePattern);
    MoveCursor(x, y);
    return;
  }
  // LineTo leaves the end point out; one-pixel lines include it.
  const bool withEnd = s.LineThickness == 1;
  const COLORREF endColor = withEnd ? MapColor(s.DrawColor) : 0;
  const int dx = DeviceX(s, x), dy = DeviceY(s, y);
  const bool windowThere = s.DrawThrough && LineToDevice(s.WindowDC, dx, dy, withEnd, endColor, s.RasterMix);
  const bool pageThere = LineToDevice(s.PageDC, dx, dy, withEnd, endColor, s.RasterMix);
  MoveCursorAfterLine(x, y, windowThere, pageThere);
}

}  // namespace

void MoveCursor(int16_t x, int16_t y) { MoveCursorAfterLine(x, y, false, false); }

void DrawLineTo(int16_t x, int16_t y) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  EnterCriticalSection(&s.SessionLock);
  {
    PageBatch batch(!s.DrawThrough);
    LineFromCursor(x, y);
  }
  LeaveCriticalSection(&s.SessionLock);
}

void DrawLine(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  EnterCriticalSection(&s.SessionLock);
  {
    PageBatch batch(!s.DrawThrough);
    MoveCursor(x1, y1);
    LineFromCursor(x2, y2);
  }
  LeaveCriticalSection(&s.SessionLock);
}

void PlotPixel(int16_t x, int16_t y, uint32_t color) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  const COLORREF c = MapColor(color);
  const int dx = DeviceX(s, x), dy = DeviceY(s, y);
  EnterCriticalSection(&s.SessionLock);
  if (s.DrawThrough) SetPlainPixel(s.WindowDC, dx, dy, c, s.RasterMix);
  SetPlainPixel(s.PageDC, dx, dy, c, s.RasterMix);
  LeaveCriticalSection(&s.SessionLock);
}

void SetPenStyle(int16_t style, uint16_t pattern, uint16_t thickness) {
  // Library style numbers to the platform's: 1 is dotted and 3 dashed.
  static constexpr UINT penStyles[7] = {PS_SOLID, PS_DOT, PS_DASHDOT, PS_DASH, PS_DASHDOTDOT, PS_NULL, PS_NULL};
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (style < 0 || style > 6) {
    s.GraphError = grOutOfRange;
    return;
  }
  s.LineStyle = style;
  s.LinePattern = pattern;
  s.LineThickness = thickness;
  LOGPEN lp{};
  lp.lopnStyle = penStyles[style];
  lp.lopnWidth.x = thickness;
  lp.lopnColor = MapColor(s.DrawColor);

  EnterCriticalSection(&s.SessionLock);
  {
    PageBatch batch(true);  // selections only: nothing is drawn
    HPEN pen = CreatePenIndirect(&lp);
    if (pen) {
      s.CurrentPen = pen;
      SelectIntoBothDCs(pen, s.InitialPen);
    }
  }
  LeaveCriticalSection(&s.SessionLock);
}

void SetDrawColor(uint32_t color) {
  GraphSession &s = Session();
  // Kept even while closed, which reports -1.
  s.DrawColor = color;
  if (!CommonStart()) return;
  SetPenStyle(s.LineStyle, s.LinePattern, s.LineThickness);
  if (s.GraphError != grOk) return;
  // The text colour is a plain attribute, set outside the session lock.
  PageBatch batch(true);
  SetTextColor(s.WindowDC, MapColor(color));
  SetTextColor(s.PageDC, MapColor(color));
}

}  // namespace plotvane
