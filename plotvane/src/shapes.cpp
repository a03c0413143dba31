// The brush and the shapes: fill styles, the user pattern, boxes, ellipses, polygons and arcs.
#include <cmath>
#include <utility>

#include "plotvane/session.h"

namespace plotvane {

namespace {

inline int DeviceX(const GraphSession &s, int32_t x) { return static_cast<int16_t>(x + s.ViewOriginX); }
inline int DeviceY(const GraphSession &s, int32_t y) { return static_cast<int16_t>(y + s.ViewOriginY); }

inline uint16_t CorrectRadius(uint16_t radius, int32_t aspect) {
  return static_cast<uint16_t>(static_cast<int32_t>(radius) * 10000 / aspect);
}

void CorrectAspect(const GraphSession &s, uint16_t &xRadius, uint16_t &yRadius) {
  if (s.AspectNeutral) return;
  xRadius = CorrectRadius(xRadius, s.AspectX);
  yRadius = CorrectRadius(yRadius, s.AspectY);
}

inline int RoundHalfEven(long double v) { return static_cast<int>(std::nearbyint(v)); }

}  // namespace

// The offset of the point at `angle` degrees on an axis of `radius`: cos (or sin) of the angle
// times the radius, rounded. On the axes (every whole quarter turn, which is what DrawCircle
// asks) the result is exact whatever the rounding of the angle, so it is taken from the
// quadrant without the extended-precision functions and their argument reduction.
int ArcRayOffset(uint16_t angle, uint16_t radius, bool sine) {
  if (angle % 90 == 0) {
    static constexpr int kCos[4] = {1, 0, -1, 0};
    const int quarter = (angle / 90 + (sine ? 3 : 0)) % 4;
    return kCos[quarter] * radius;
  }
  constexpr long double k = 3.14159265358979323846264338327950288L / 180.0L;
  return RoundHalfEven((sine ? std::sin(angle * k) : std::cos(angle * k)) * radius);
}

void SetFillKind(int16_t style, uint32_t color) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  LOGBRUSH lb{};
  switch (style) {
    case 0: lb.lbStyle = BS_SOLID; color = s.BackColor; break;
    case 1: lb.lbStyle = BS_SOLID; break;
    case 2: lb.lbStyle = BS_HATCHED; lb.lbHatch = HS_HORIZONTAL; break;
    case 3: lb.lbStyle = BS_HATCHED; lb.lbHatch = HS_VERTICAL; break;
    case 4: lb.lbStyle = BS_HATCHED; lb.lbHatch = HS_CROSS; break;
    case 5: lb.lbStyle = BS_HATCHED; lb.lbHatch = HS_BDIAGONAL; break;
    case 6: lb.lbStyle = BS_HATCHED; lb.lbHatch = HS_FDIAGONAL; break;
    case 7: lb.lbStyle = BS_HATCHED; lb.lbHatch = HS_DIAGCROSS; break;
    case 8: lb.lbStyle = BS_PATTERN; lb.lbHatch = reinterpret_cast<ULONG_PTR>(s.PatternBitmap); break;
    case 9: lb.lbStyle = BS_NULL; break;
    default: s.GraphError = grOutOfRange; return;
  }
  lb.lbColor = MapColor(color);

  EnterCriticalSection(&s.SessionLock);
  HBRUSH brush;
  {
    PageBatch batch(true);  // selections only: nothing is drawn
    brush = CreateBrushIndirect(&lb);
    if (brush) {
      s.FillStyle = style;
      s.FillColor = color;
      s.CurrentBrush = brush;
      SelectIntoBothDCs(brush, s.InitialBrush);
    }
  }
  LeaveCriticalSection(&s.SessionLock);
  if (!brush) s.GraphError = grNoWindow;  // the old brush and its style stay
}

void SetFillPattern(const uint8_t pattern[8], uint32_t color) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (!pattern) {
    s.GraphError = grOutOfRange;
    return;
  }
  uint8_t rows[8];
  for (int i = 0; i < 8; ++i) rows[i] = pattern[i];
  const COLORREF fg = MapColor(color);
  const COLORREF bg = MapColor(s.BackColor);

  EnterCriticalSection(&s.SessionLock);
  // Made before the old one goes: when the platform can't make it, the old brush stays whole.
  HBITMAP bitmap = CreateCompatibleBitmap(s.PageDC, 8, 8);
  if (!bitmap) {
    LeaveCriticalSection(&s.SessionLock);
    s.GraphError = grNoWindow;
    return;
  }
  SelectObject(s.SpareDC, bitmap);
  for (int j = 0; j < 8; ++j) {
    uint8_t bits = rows[j];
    for (int x = 7; x >= 0; --x) {
      SetPixelV(s.SpareDC, x, j, (bits & 1) ? fg : bg);
      bits >>= 1;
    }
  }
  SelectObject(s.SpareDC, s.InitialBitmap);
  if (s.PatternBitmap) DeleteObject(s.PatternBitmap);
  s.PatternBitmap = bitmap;
  LeaveCriticalSection(&s.SessionLock);
  for (int i = 0; i < 8; ++i) s.UserPattern[i] = rows[i];
  SetFillKind(8, color);
}

void FillBox(int16_t x1, int16_t y1, int16_t x2, int16_t y2) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  // Any two opposite corners name the same box.
  if (x1 > x2) std::swap(x1, x2);
  if (y1 > y2) std::swap(y1, y2);
  RECT r;
  SetRect(&r, DeviceX(s, x1), DeviceY(s, y1), DeviceX(s, x2) + 1, DeviceY(s, y2) + 1);
  EnterCriticalSection(&s.SessionLock);
  if (s.DrawThrough) FillRect(s.WindowDC, &r, s.CurrentBrush);
  FillRect(s.PageDC, &r, s.CurrentBrush);
  LeaveCriticalSection(&s.SessionLock);
}

void DrawEllipse(int16_t x, int16_t y, uint16_t xRadius, uint16_t yRadius) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  const int cx = DeviceX(s, x), cy = DeviceY(s, y);
  CorrectAspect(s, xRadius, yRadius);
  const int l = cx - xRadius, t = cy - yRadius, r = cx + xRadius + 1, b = cy + yRadius + 1;
  EnterCriticalSection(&s.SessionLock);
  if (s.DrawThrough) Ellipse(s.WindowDC, l, t, r, b);
  Ellipse(s.PageDC, l, t, r, b);
  LeaveCriticalSection(&s.SessionLock);
}

void FillPolygonShape(uint16_t count, const PolygonPoint *points) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (count < 2 || !points) {
    s.GraphError = grOutOfRange;
    return;
  }
  std::vector<POINT> &pts = s.PolygonBuffer;
  pts.resize(count);
  const uint32_t ox = static_cast<uint32_t>(s.ViewOriginX), oy = static_cast<uint32_t>(s.ViewOriginY);
  for (uint16_t i = 0; i < count; ++i) {
    // 32-bit wrap-around, as the coordinates are 32-bit; no signed overflow.
    pts[i].x = static_cast<LONG>(static_cast<uint32_t>(points[i].x) + ox);
    pts[i].y = static_cast<LONG>(static_cast<uint32_t>(points[i].y) + oy);
  }
  EnterCriticalSection(&s.SessionLock);
  if (s.DrawThrough) Polygon(s.WindowDC, pts.data(), count);
  Polygon(s.PageDC, pts.data(), count);
  LeaveCriticalSection(&s.SessionLock);
}

void DrawArc(int16_t x, int16_t y, uint16_t startAngle, uint16_t endAngle, uint16_t xRadius, uint16_t yRadius) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  const int cx = DeviceX(s, x), cy = DeviceY(s, y);
  // The ray points come from the radii before the aspect correction.
  const int xs = ArcRayOffset(startAngle, xRadius, false);
  const int xe = ArcRayOffset(endAngle, xRadius, false);
  const int ys = ArcRayOffset(startAngle, yRadius, true);
  const int ye = ArcRayOffset(endAngle, yRadius, true);
  CorrectAspect(s, xRadius, yRadius);
  const int l = cx - xRadius, t = cy - yRadius, r = cx + xRadius + 1, b = cy + yRadius + 1;
  EnterCriticalSection(&s.SessionLock);
  if (s.DrawThrough) Arc(s.WindowDC, l, t, r, b, cx + xs, cy - ys, cx + xe, cy - ye);
  Arc(s.PageDC, l, t, r, b, cx + xs, cy - ys, cx + xe, cy - ye);
  LeaveCriticalSection(&s.SessionLock);
}

void DrawCircle(int16_t x, int16_t y, uint16_t radius) { DrawArc(x, y, 0, 360, radius, radius); }

}  // namespace plotvane
