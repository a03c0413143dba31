// Pens, cosmetic and wide lines, the current position, LineDDA and single pixels.
#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>

#include "gdi_internal.h"
#include "pvgdibatch.h"

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
template <class Int>
long long MinorOffsetIn(long long k, long long dminor, long long n, bool towardStart) {
  Int num = Int{2} * k * dminor + n;
  Int den = Int{2} * n;
  Int q = num / den, r = num % den;
  if (r < 0) {
    r += den;
    --q;
  }
  if (r == 0 && (!towardStart || q > 0)) --q;
  return static_cast<long long>(q);
}
long long MinorOffset(long long k, long long dminor, long long n, bool towardStart) {
  // 0 <= k <= n: below 2^31 each, 2 k dminor + n fits in 64 bits, so no 128-bit division.
  if (n < (1LL << 31) && std::llabs(dminor) < (1LL << 31))
    return MinorOffsetIn<long long>(k, dminor, n, towardStart);
  return MinorOffsetIn<__int128>(k, dminor, n, towardStart);
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

// The rows of a round pen's dot, as real GDI fills an ellipse in the pen's box: the outline
// walked over one quadrant in doubled coordinates about the centre (A = w - 1), each step
// taking, of up-left, up and left, the move whose point lies nearest the ellipse (in that order
// on ties); an even width climbs the centre column while it stays strictly inside. Row k of
// the result (k = 0 at the box's top) spans offsets first..last about the pen's point.
std::vector<std::pair<int, int>> DotRows(int width) {
  const int low = -(width / 2);
  std::vector<std::pair<int, int>> rows(static_cast<size_t>(width), {low, low + width - 1});
  if (width <= 2) return rows;
  const long long a = width - 1;
  auto residual = [a](long long x, long long y) { return a * a * (x * x + y * y - a * a); };
  std::vector<long long> reach(static_cast<size_t>(width), -1);  // doubled half-width per row
  auto mark = [&](long long x, long long y) {
    for (long long yy : {y, -y}) {
      size_t row = static_cast<size_t>((yy + a) / 2);
      reach[row] = std::max(reach[row], x);
    }
  };
  long long x = a, y = a % 2;
  mark(x, y);
  while (x > a % 2) {
    const long long diag = std::llabs(residual(x - 2, y + 2)), up = std::llabs(residual(x, y + 2)),
                    left = std::llabs(residual(x - 2, y));
    if (diag <= up && diag <= left) {
      x -= 2;
      y += 2;
    } else if (up <= left) {
      y += 2;
    } else {
      x -= 2;
    }
    mark(x, y);
  }
  if (x == 1)
    while (y + 2 <= a && residual(x, y + 2) < 0) mark(x, y += 2);
  for (size_t row = 0; row < rows.size(); ++row)
    rows[row] = {static_cast<int>((a - reach[row]) / 2) + low, static_cast<int>((a + reach[row]) / 2) + low};
  return rows;
}

// floor(width * |along| / |d|) for a segment d = (dx, dy) and one of its components: exact
// where the products fit, so that ties (3-4-5 directions) land as GDI's do.
long long ScaledFloor(long long along, long long dx, long long dy, int width) {
  along = std::llabs(along);
  const double length = std::hypot(static_cast<double>(dx), static_cast<double>(dy));
  long long k = static_cast<long long>(std::floor(width * static_cast<double>(along) / length));
  if (width > 65535 || std::llabs(dx) >= (1LL << 33) || std::llabs(dy) >= (1LL << 33)) return k;
  const __int128 lengthSquared = static_cast<__int128>(dx) * dx + static_cast<__int128>(dy) * dy;
  const __int128 target = static_cast<__int128>(width) * width * along * along;
  while (k > 0 && static_cast<__int128>(k) * k * lengthSquared > target) --k;
  while (static_cast<__int128>(k + 1) * (k + 1) * lengthSquared <= target) ++k;
  return k;
}

// The two whole-pixel offsets by which GDI moves a segment (dx, dy) to either side to make the
// body of a wide line: o1 on the side of the normal (-dy, dx), o2 on the other. Across each
// axis the body spans W = floor(width * |normal component| / length) + 1 pixels, from -W/2 up
// (rounded towards the normal's negative side, so -floor(W/2)); a segment running down-right
// or up-left spans -ceil(W/2) up on the y axis instead. An axis-aligned segment is the plain
// width-pixel band, its ends flush with its points (the dots round them).
void WideBodyOffsets(long long dx, long long dy, int width, long long &o1x, long long &o1y, long long &o2x,
                     long long &o2y) {
  long long spanX, spanY;
  if (dx == 0 || dy == 0) {
    spanX = dx == 0 ? width : 0;
    spanY = dy == 0 ? width : 0;
  } else {
    spanX = ScaledFloor(dy, dx, dy, width) + 1;
    spanY = ScaledFloor(dx, dx, dy, width) + 1;
  }
  const long long loX = -(spanX / 2), loY = (dx > 0) == (dy > 0) && dx != 0 && dy != 0 ? -((spanY + 1) / 2) : -(spanY / 2);
  // The normal is (-dy, dx): its positive side takes the far end of each span.
  const bool normalX = -dy > 0, normalY = dx > 0;
  o1x = normalX ? loX + spanX : loX;
  o2x = normalX ? loX : loX + spanX;
  o1y = normalY ? loY + spanY : loY;
  o2y = normalY ? loY : loY + spanY;
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
  if (!p) {
    if (scope.rop2 == R2_COPYPEN && (t.bpp == 8 || t.bpp == 32)) direct_ = t;
    return;
  }
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

namespace {

// Writes `count` >= 1 pixels from p on: a major step each, and a minor step whenever r,
// advanced by `step`, leaves [0, den). The pointer never moves past the last pixel.
template <class Pixel>
void StepPixels(uint8_t *p, ptrdiff_t majorStride, ptrdiff_t minorStride, long long count, long long r,
                long long step, long long den, Pixel value) {
  // A horizontal line (rows of filled bodies drawn as lines) is one run of the row.
  if (step == 0 && (majorStride == static_cast<ptrdiff_t>(sizeof value) || majorStride == -static_cast<ptrdiff_t>(sizeof value))) {
    Pixel *first = reinterpret_cast<Pixel *>(majorStride > 0 ? p : p + majorStride * (count - 1));
    std::fill_n(first, count, value);
    return;
  }
  if (step < 0) {
    step = -step;
    minorStride = -minorStride;
    r = den - 1 - r;  // the same walk, mirrored so r only grows
  }
  std::memcpy(p, &value, sizeof value);
  for (long long i = 1; i < count; ++i) {
    p += majorStride;
    r += step;
    if (r >= den) {
      r -= den;
      p += minorStride;
    }
    std::memcpy(p, &value, sizeof value);
  }
}

}  // namespace

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
  // The minor coordinate is monotonic in k: narrow the range to where it is inside too,
  // unless both ends already are (most lines).
  const bool rising = g.dminor >= 0;
  auto inside = [&](long long k) {
    const long long m = g.Minor(k);
    return m >= minorLo && m <= minorHi;
  };
  if (!inside(k0) || !inside(k1 - 1)) {
    k0 = FirstNotBefore(k0, k1, [&](long long k) {
      long long m = g.Minor(k);
      return rising ? m < minorLo : m > minorHi;
    });
    k1 = FirstNotBefore(k0, k1, [&](long long k) {
      long long m = g.Minor(k);
      return rising ? m <= minorHi : m >= minorLo;
    });
  }
  walker.Skip(k0);
  // Step the minor coordinate incrementally from the first visible pixel: q, r are the
  // quotient and remainder of (2 k dminor + n) / 2n, a zero remainder being a tie.
  const long long den = 2 * g.n, step = 2 * g.dminor;
  long long q, r;
  // As in MinorOffset: 64 bits where they hold, as a 128-bit division is done in software in
  // WebAssembly, once for every line drawn.
  if (g.n < (1LL << 31) && std::llabs(g.dminor) < (1LL << 31)) {
    const long long num = 2 * k0 * g.dminor + g.n;
    q = num / den;
    r = num % den;
  } else {
    const __int128 num = static_cast<__int128>(2) * k0 * g.dminor + g.n;
    q = static_cast<long long>(num / den);
    r = static_cast<long long>(num % den);
  }
  if (r < 0) {
    r += den;
    --q;
  }
  const long long minor0 = g.xMajor ? g.y0 : g.x0;
  const Raster &t = walker.DirectTarget();
  if (t.bpp == 0) {
    long long major = g.Major(k0);
    for (long long k = k0; k < k1; ++k) {
      const int minor = static_cast<int>(minor0 + q - (r == 0 ? 1 : 0));
      if (g.xMajor)
        walker.Plot(static_cast<int>(major), minor);
      else
        walker.Plot(minor, static_cast<int>(major));
      major += g.majorStep;
      r += step;
      if (r >= den) {
        r -= den;
        ++q;
      } else if (r < 0) {
        r += den;
        --q;
      }
    }
  } else if (k0 < k1) {
    // Solid pen, copy mix: step a pointer through the bytes. With r' = r - 1 taken modulo den,
    // the pixel's minor offset is the quotient itself, so a tie needs no test per pixel.
    long long qd = q, rd = r - 1;
    if (rd < 0) {
      rd += den;
      --qd;
    }
    const int bytes = t.bpp / 8;
    const long long firstMajor = g.Major(k0), firstMinor = minor0 + qd;
    const int fx = static_cast<int>(g.xMajor ? firstMajor : firstMinor), fy = static_cast<int>(g.xMajor ? firstMinor : firstMajor);
    const ptrdiff_t majorStride = g.xMajor ? g.majorStep * bytes : g.majorStep * t.pitch;
    const ptrdiff_t minorStride = g.xMajor ? t.pitch : bytes;
    uint8_t *p = t.Row(fy) + static_cast<ptrdiff_t>(fx) * bytes;
    if (bytes == 1)
      StepPixels(p, majorStride, minorStride, k1 - k0, rd, step, den, static_cast<uint8_t>(walker.PenValue() & t.mask));
    else
      StepPixels(p, majorStride, minorStride, k1 - k0, rd, step, den, walker.PenValue() & t.mask);
    const long long lastMajor = g.Major(k1 - 1), lastMinor = g.Minor(k1 - 1);
    const int lx = static_cast<int>(g.xMajor ? lastMajor : lastMinor), ly = static_cast<int>(g.xMajor ? lastMinor : lastMajor);
    walker.Touch(std::min(fx, lx), std::min(fy, ly), std::max(fx, lx) + 1, std::max(fy, ly) + 1);
  }
  walker.Skip(g.n - k1);
}

void WideStroke(DrawScope &scope, const Pen &pen, const POINT *points, int count, bool closed) {
  if (count < 1) return;
  const RECT &c = scope.clip();
  // Every point of the path gets the pen's round dot, and each segment a parallelogram: the
  // segment moved by two whole-pixel offsets (WideBodyOffsets), filled as polygons are (left
  // and top edges in).
  const int width = pen.Width();
  const double half = width / 2.0;
  const std::vector<std::pair<int, int>> dot = DotRows(width);
  const int segments = count == 1 ? 0 : (closed ? count : count - 1);
  struct Body {
    double x[4], y[4];
  };
  std::vector<Body> bodies;
  bodies.reserve(static_cast<size_t>(segments));
  long long top = c.bottom, bottom = c.top;
  for (int i = 0; i < count; ++i) {
    top = std::min<long long>(top, static_cast<long long>(std::floor(points[i].y - half)) - 1);
    bottom = std::max<long long>(bottom, static_cast<long long>(std::ceil(points[i].y + half)) + 2);
  }
  for (int s = 0; s < segments; ++s) {
    const POINT &a = points[s];
    const POINT &b = points[(s + 1) % count];
    if (a.x == b.x && a.y == b.y) continue;
    long long o1x, o1y, o2x, o2y;
    WideBodyOffsets(static_cast<long long>(b.x) - a.x, static_cast<long long>(b.y) - a.y, width, o1x, o1y, o2x, o2y);
    Body body;
    const long long ends[4][2] = {{a.x + o1x, a.y + o1y}, {b.x + o1x, b.y + o1y}, {b.x + o2x, b.y + o2y}, {a.x + o2x, a.y + o2y}};
    for (int k = 0; k < 4; ++k) {
      body.x[k] = static_cast<double>(ends[k][0]);
      body.y[k] = static_cast<double>(ends[k][1]);
    }
    bodies.push_back(body);
  }
  top = std::max<long long>(top, c.top);
  bottom = std::min<long long>(bottom, c.bottom);
  // Only pieces that reach the clip box can colour a pixel: a huge outline costs what shows.
  std::vector<int> dots;
  for (int i = 0; i < count; ++i) {
    const long long x = points[i].x, y = static_cast<long long>(points[i].y) - width / 2;
    if (x + width >= c.left && x - width < c.right && y + width > top && y < bottom) dots.push_back(i);
  }
  std::erase_if(bodies, [&](const Body &b) {
    const auto [xLo, xHi] = std::minmax({b.x[0], b.x[1], b.x[2], b.x[3]});
    const auto [yLo, yHi] = std::minmax({b.y[0], b.y[1], b.y[2], b.y[3]});
    return xHi < c.left || xLo > c.right || yHi < top || yLo > bottom;
  });
  const uint32_t value = ResolveColor(scope.dc(), pen.log.lopnColor, scope.target(), ColorUse::Pen);
  std::vector<std::pair<double, double>> spans;  // pixels from <= x < to
  for (long long y = top; y < bottom; ++y) {
    // Every piece meets a row in one interval; the row is filled once with their union, so
    // joins and overlaps are mixed only once.
    spans.clear();
    const double row = static_cast<double>(y);
    // Pieces are cut to the clip box as they come; one covering it all settles the row.
    bool wholeRow = false;
    auto add = [&](double from, double to) {
      from = std::max(from, static_cast<double>(c.left));
      to = std::min(to, static_cast<double>(c.right));
      if (from >= to) return;
      spans.emplace_back(from, to);
      wholeRow = from <= c.left && to >= c.right;
    };
    for (int i : dots) {
      const long long k = y - (static_cast<long long>(points[i].y) - width / 2);
      if (k < 0 || k >= width) continue;
      const auto &[first, last] = dot[static_cast<size_t>(k)];
      add(static_cast<double>(points[i].x) + first, static_cast<double>(points[i].x) + last + 1);
      if (wholeRow) break;
    }
    for (const Body &body : bodies) {
      if (wholeRow) break;
      double lo = INFINITY, hi = -INFINITY;
      for (int k = 0; k < 4; ++k) {
        double x0 = body.x[k], y0 = body.y[k], x1 = body.x[(k + 1) % 4], y1 = body.y[(k + 1) % 4];
        if (y0 == y1) continue;
        if (y0 > y1) {
          std::swap(x0, x1);
          std::swap(y0, y1);
        }
        if (row < y0 || row >= y1) continue;
        const double x = x0 + (row - y0) * (x1 - x0) / (y1 - y0);
        lo = std::min(lo, x);
        hi = std::max(hi, x);
      }
      if (lo < hi) add(std::ceil(lo - 1e-9), std::ceil(hi - 1e-9));
    }
    if (wholeRow) spans.assign(1, {static_cast<double>(c.left), static_cast<double>(c.right)});
    std::sort(spans.begin(), spans.end());
    size_t i = 0;
    while (i < spans.size()) {
      double from = spans[i].first, to = spans[i].second;
      for (++i; i < spans.size() && spans[i].first <= to; ++i) to = std::max(to, spans[i].second);
      FillSpan(scope, static_cast<int>(y), static_cast<int>(from), static_cast<int>(to), value);
    }
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

namespace {

// LineTo's work, in a scope already open on the DC.
void LineInScope(DrawScope &scope, int x, int y) {
  Dc &dc = scope.dc();
  const POINT line[2] = {dc.pos, POINT{x, y}};
  if (dc.pen && dc.pen->Wide()) {
    StrokePolyline(scope, line, 2, false);
  } else if (dc.pen) {
    PenWalker walker(scope, *dc.pen);
    CosmeticLine(walker, line[0].x, line[0].y, x, y);
  }
  dc.pos = POINT{x, y};
}

}  // namespace

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
  LineInScope(scope, x, y);
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

BOOL pvplatform::LineToWithEnd(HDC hdc, int x, int y, COLORREF endColor) {
  DrawScope scope(hdc);
  if (!scope) return FALSE;
  LineInScope(scope, x, y);
  scope.rop2 = R2_COPYPEN;
  PutPixel(scope, x, y, ResolveColor(scope.dc(), endColor, scope.target(), ColorUse::Pixel));
  return TRUE;
}
