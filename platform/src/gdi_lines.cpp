// Pens, cosmetic and wide lines, the current position, LineDDA and single pixels.
#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "gdi_internal.h"

namespace pv::gdi {
namespace {

// Dash patterns of cosmetic styled pens, as alternating on/off run lengths starting "on".
struct DashPattern {
  uint8_t runs[6];
  int count;
};
const DashPattern *PatternOf(int style) {
  static const DashPattern dash{{18, 6}, 2};
  static const DashPattern dot{{3, 3}, 2};
  static const DashPattern dashDot{{9, 6, 3, 6}, 4};
  static const DashPattern dashDotDot{{9, 3, 3, 3, 3, 3}, 6};
  switch (style) {
    case PS_DASH: return &dash;
    case PS_DOT: return &dot;
    case PS_DASHDOT: return &dashDot;
    case PS_DASHDOTDOT: return &dashDotDot;
    default: return nullptr;
  }
}

// The minor-axis offset of step k of a line that moves `dminor` over `n` major steps: the
// nearest pixel to the ideal line, a tie going to the smaller coordinate (LineTo) or toward
// the start point (LineDDA).
long long MinorOffset(long long k, long long dminor, long long n, bool towardStart) {
  __int128 num = static_cast<__int128>(2) * k * dminor + n;
  __int128 den = static_cast<__int128>(2) * n;
  __int128 q = num / den, r = num % den;
  if (r < 0) {
    r += den;
    --q;
  }
  if (r == 0 && (!towardStart || q > 0)) --q;
  return static_cast<long long>(q);
}

struct LineGeometry {
  bool xMajor;
  long long n;       // pixels in the line (end excluded)
  long long majorStep;
  long long dminor;
  long long x0, y0;
  long long Major(long long k) const { return (xMajor ? x0 : y0) + majorStep * k; }
  long long Minor(long long k) const { return (xMajor ? y0 : x0) + MinorOffset(k, dminor, n, false); }
};

LineGeometry Geometry(long long x0, long long y0, long long x1, long long y1) {
  long long dx = x1 - x0, dy = y1 - y0;
  LineGeometry g{};
  g.xMajor = std::llabs(dx) >= std::llabs(dy);
  g.n = g.xMajor ? std::llabs(dx) : std::llabs(dy);
  g.majorStep = (g.xMajor ? dx : dy) < 0 ? -1 : 1;
  g.dminor = g.xMajor ? dy : dx;
  g.x0 = x0;
  g.y0 = y0;
  return g;
}

// First k in [lo, hi) where `inside(k)` holds, given that it holds on one interval only and
// that `before(k)` is true exactly for the k ahead of that interval.
template <class Before>
long long FirstNotBefore(long long lo, long long hi, Before before) {
  while (lo < hi) {
    long long mid = lo + (hi - lo) / 2;
    if (before(mid))
      lo = mid + 1;
    else
      hi = mid;
  }
  return lo;
}

}  // namespace

PenWalker::PenWalker(DrawScope &scope, const Pen &pen) : scope_(scope) {
  const int style = pen.Style();
  null_ = style == PS_NULL;
  if (null_) return;
  Dc &dc = scope.dc();
  const Raster &t = scope.target();
  penValue_ = ResolveColor(dc, pen.log.lopnColor, t, ColorUse::Pen);
  const DashPattern *p = pen.Wide() ? nullptr : PatternOf(style);
  if (!p) return;
  runs_ = p->runs;
  runCount_ = p->count;
  for (int i = 0; i < p->count; ++i) period_ += p->runs[i];
  opaque_ = dc.bkMode == OPAQUE;
  if (opaque_) bkValue_ = ResolveBackground(dc, t, pen.log.lopnColor, penValue_);
}

void PenWalker::Plot(int x, int y) {
  if (!runs_) {
    PutPixel(scope_, x, y, penValue_);
    return;
  }
  int phase = static_cast<int>(step_++ % period_);
  int run = 0;
  while (phase >= runs_[run]) phase -= runs_[run++];
  if ((run & 1) == 0)
    PutPixel(scope_, x, y, penValue_);
  else if (opaque_)
    PutPixel(scope_, x, y, bkValue_);
}

void PenWalker::Skip(long long n) { step_ += n; }

void CosmeticLine(PenWalker &walker, int x0, int y0, int x1, int y1) {
  if (walker.Null()) return;
  const LineGeometry g = Geometry(x0, y0, x1, y1);
  if (g.n == 0) return;
  const RECT &c = walker.Clip();
  // Steps whose major coordinate lies in the clip.
  long long majorLo = g.xMajor ? c.left : c.top, majorHi = (g.xMajor ? c.right : c.bottom) - 1;
  long long minorLo = g.xMajor ? c.top : c.left, minorHi = (g.xMajor ? c.bottom : c.right) - 1;
  long long k0, k1;  // visible steps: k0 <= k < k1
  long long m0 = g.Major(0);
  if (g.majorStep > 0) {
    k0 = majorLo - m0;
    k1 = majorHi - m0 + 1;
  } else {
    k0 = m0 - majorHi;
    k1 = m0 - majorLo + 1;
  }
  k0 = std::max(k0, 0LL);
  k1 = std::min(k1, g.n);
  if (majorLo > majorHi || minorLo > minorHi || k0 >= k1) {
    walker.Skip(g.n);
    return;
  }
  // The minor coordinate is monotonic in k: narrow the range to where it is inside too.
  const bool rising = g.dminor >= 0;
  k0 = FirstNotBefore(k0, k1, [&](long long k) {
    long long m = g.Minor(k);
    return rising ? m < minorLo : m > minorHi;
  });
  k1 = FirstNotBefore(k0, k1, [&](long long k) {
    long long m = g.Minor(k);
    return rising ? m <= minorHi : m >= minorLo;
  });
  walker.Skip(k0);
  for (long long k = k0; k < k1; ++k) {
    int major = static_cast<int>(g.Major(k)), minor = static_cast<int>(g.Minor(k));
    if (g.xMajor)
      walker.Plot(major, minor);
    else
      walker.Plot(minor, major);
  }
  walker.Skip(g.n - k1);
}

void WideStroke(DrawScope &scope, const Pen &pen, const POINT *points, int count, bool closed) {
  if (count < 1) return;
  const RECT &c = scope.clip();
  const double r = pen.Width() / 2.0;
  // Pixel centres sit half a pixel before the integer point for even widths, so that a pen
  // of width w covers exactly w pixels across.
  const double shift = (pen.Width() % 2 == 0) ? -0.5 : 0.0;
  const double r2 = r * r - 0.25;
  int segments = count == 1 ? 1 : (closed ? count : count - 1);
  long long top = c.bottom, bottom = c.top;
  for (int i = 0; i < count; ++i) {
    top = std::min<long long>(top, static_cast<long long>(std::floor(points[i].y + shift - r)));
    bottom = std::max<long long>(bottom, static_cast<long long>(std::ceil(points[i].y + shift + r)) + 1);
  }
  top = std::max<long long>(top, c.top);
  bottom = std::min<long long>(bottom, c.bottom);
  const uint32_t value = ResolveColor(scope.dc(), pen.log.lopnColor, scope.target(), ColorUse::Pen);
  std::vector<std::pair<double, double>> many;
  for (long long y = top; y < bottom; ++y) {
    // Each capsule meets a row in one interval; rows are filled once as the union of them.
    many.clear();
    for (int s = 0; s < segments; ++s) {
      const POINT &a = points[s];
      const POINT &b = points[(s + 1) % count];
      double ax = a.x + shift, ay = a.y + shift, bx = b.x + shift, by = b.y + shift;
      double lo = INFINITY, hi = -INFINITY;
      // Capsule ∩ row = union over the two end discs and the band between them.
      auto disc = [&](double cx, double cy) {
        double dy = static_cast<double>(y) - cy, h = r2 - dy * dy;
        if (h < 0) return;
        double w = std::sqrt(h);
        lo = std::min(lo, cx - w);
        hi = std::max(hi, cx + w);
      };
      disc(ax, ay);
      disc(bx, by);
      double dx = bx - ax, dyv = by - ay, len = std::hypot(dx, dyv);
      if (len > 0) {
        // Points (x, y) with 0 <= t <= 1 along the segment and distance <= r from it.
        double ux = dx / len, uy = dyv / len, rr = std::sqrt(std::max(r2, 0.0));
        double py = static_cast<double>(y) - ay;
        if (std::fabs(uy) < 1e-12) {
          if (std::fabs(py) <= rr) {
            lo = std::min(lo, std::min(ax, bx));
            hi = std::max(hi, std::max(ax, bx));
          }
        } else {
          // Across the band: |(x - ax) * uy - py * ux| <= rr; along it: 0 <= (x - ax) * ux + py * uy <= len.
          double x1 = (py * ux - rr) / uy, x2 = (py * ux + rr) / uy;
          double bandLo = std::min(x1, x2), bandHi = std::max(x1, x2);
          if (std::fabs(ux) > 1e-12) {
            double t1 = (0 - py * uy) / ux, t2 = (len - py * uy) / ux;
            bandLo = std::max(bandLo, std::min(t1, t2));
            bandHi = std::min(bandHi, std::max(t1, t2));
          } else {
            double along = py * uy;
            if (along < 0 || along > len) bandHi = -INFINITY;
          }
          if (bandLo <= bandHi) {
            lo = std::min(lo, ax + bandLo);
            hi = std::max(hi, ax + bandHi);
          }
        }
      }
      if (lo <= hi) many.emplace_back(lo, hi);
    }
    std::sort(many.begin(), many.end());
    double curLo = 0, curHi = -INFINITY;
    bool open = false;
    auto flush = [&]() {
      if (!open) return;
      double from = std::ceil(curLo - shift), to = std::floor(curHi - shift) + 1;
      from = std::max(from, static_cast<double>(c.left));
      to = std::min(to, static_cast<double>(c.right));
      if (from < to) FillSpan(scope, static_cast<int>(y), static_cast<int>(from), static_cast<int>(to), value);
    };
    for (const auto &[lo, hi] : many) {
      if (open && lo <= curHi + 1) {
        curHi = std::max(curHi, hi);
      } else {
        flush();
        curLo = lo;
        curHi = hi;
        open = true;
      }
    }
    flush();
  }
}

void StrokePolyline(DrawScope &scope, const POINT *points, int count, bool closed) {
  const Pen *pen = scope.dc().pen;
  if (!pen || pen->Style() == PS_NULL || count < 1) return;
  if (pen->Wide()) {
    WideStroke(scope, *pen, points, count, closed);
    return;
  }
  // The dash pattern runs on along the whole outline.
  PenWalker walker(scope, *pen);
  for (int i = 0; i + 1 < count; ++i)
    CosmeticLine(walker, points[i].x, points[i].y, points[i + 1].x, points[i + 1].y);
  if (closed && count > 1)
    CosmeticLine(walker, points[count - 1].x, points[count - 1].y, points[0].x, points[0].y);
}

}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

HPEN WINAPI CreatePenIndirect(const LOGPEN *log) {
  if (!log) return nullptr;
  UINT style = log->lopnStyle & 0x0F;
  if (style > PS_INSIDEFRAME) return nullptr;
  GdiGuard lock(GdiLock());
  auto pen = std::make_unique<Pen>();
  pen->log = *log;
  pen->log.lopnStyle = style;
  pen->log.lopnWidth.x = std::max<LONG>(log->lopnWidth.x, 0);
  pen->log.lopnWidth.y = 0;
  // Windows keeps a null pen's width as 1 (as the stock one reports) and its colour as 0.
  if (style == PS_NULL) {
    pen->log.lopnWidth.x = 1;
    pen->log.lopnColor = 0;
  }
  return static_cast<HPEN>(Register(std::move(pen)));
}

HPEN WINAPI CreatePen(int style, int width, COLORREF color) {
  LOGPEN log{};
  log.lopnStyle = static_cast<UINT>(style);
  log.lopnWidth.x = width;
  log.lopnColor = color;
  return CreatePenIndirect(&log);
}

BOOL WINAPI MoveToEx(HDC hdc, int x, int y, LPPOINT previous) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->pos;
  dc->pos = POINT{x, y};
  return TRUE;
}

BOOL WINAPI GetCurrentPositionEx(HDC hdc, LPPOINT position) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc || !position) return FALSE;
  *position = dc->pos;
  return TRUE;
}

BOOL WINAPI LineTo(HDC hdc, int x, int y) {
  DrawScope scope(hdc);
  if (!scope) return FALSE;
  Dc &dc = scope.dc();
  const POINT line[2] = {dc.pos, POINT{x, y}};
  if (dc.pen && dc.pen->Wide()) {
    StrokePolyline(scope, line, 2, false);
  } else if (dc.pen) {
    PenWalker walker(scope, *dc.pen);
    CosmeticLine(walker, line[0].x, line[0].y, x, y);
  }
  dc.pos = POINT{x, y};
  return TRUE;
}

BOOL WINAPI Polyline(HDC hdc, const POINT *points, int count) {
  if (!points || count < 2) return FALSE;
  DrawScope scope(hdc);
  if (!scope) return FALSE;
  StrokePolyline(scope, points, count, false);
  return TRUE;
}

BOOL WINAPI LineDDA(int x1, int y1, int x2, int y2, LINEDDAPROC proc, LPARAM data) {
  if (!proc) return FALSE;
  const LineGeometry g = Geometry(x1, y1, x2, y2);
  for (long long k = 0; k < g.n; ++k) {
    int major = static_cast<int>(g.Major(k));
    int minor = static_cast<int>((g.xMajor ? g.y0 : g.x0) + MinorOffset(k, g.dminor, g.n, true));
    if (g.xMajor)
      proc(major, minor, data);
    else
      proc(minor, major, data);
  }
  return TRUE;
}

BOOL WINAPI SetPixelV(HDC hdc, int x, int y, COLORREF color) {
  DrawScope scope(hdc);
  if (!scope) return FALSE;
  PutPixel(scope, x, y, ResolveColor(scope.dc(), color, scope.target(), ColorUse::Pixel));
  return TRUE;
}

COLORREF WINAPI SetPixel(HDC hdc, int x, int y, COLORREF color) {
  DrawScope scope(hdc);
  if (!scope) return CLR_INVALID;
  const RECT &c = scope.clip();
  if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) return CLR_INVALID;
  const Raster &t = scope.target();
  uint32_t value = ResolveColor(scope.dc(), color, t, ColorUse::Pixel);
  PutPixel(scope, x, y, value);
  // The colour asked for as the page can hold it, whatever the mix made of it.
  return t.ColorOf(value);
}

COLORREF WINAPI GetPixel(HDC hdc, int x, int y) {
  DrawScope scope(hdc);
  if (!scope) return CLR_INVALID;
  const Raster &t = scope.target();
  if (!t.Contains(x, y)) return CLR_INVALID;
  return t.ColorOf(t.Get(x, y));
}

}  // extern "C"
