// Ellipse and Arc, with the outline pixels real GDI sets.
//
// The outline is one quadrant walked from the right end of the horizontal axis up to the top
// and mirrored into the other three. The walk runs in doubled coordinates about the centre
// (X to the right, Y up; pixel centres of a box w x h sit at X = w-1, w-3, ... and Y = h-1, ...),
// and each step takes, of the moves up, up-left and left, the one whose point leaves the
// smallest |B²X² + A²Y² - A²B²| (A = w-1, B = h-1), preferring up-left, then up, on ties. It
// ends at the centre column: an odd width stops at the first point it reaches there, an even
// one climbs on while the points stay strictly inside. The interior is every pixel between
// the outline's two ends of a row.
#include <algorithm>
#include <vector>

#include "gdi_brush.h"

namespace pv::gdi {
namespace {

// The walk costs one step per pixel of a quadrant; boxes wider or taller than this (twice the
// 16-bit coordinate range) are refused rather than walked for seconds.
constexpr long long kMaxExtent = 1LL << 18;

struct QPoint {
  long long x, y;  // doubled, about the centre
};

__int128 Residual(long long A, long long B, long long X, long long Y) {
  const __int128 a2 = static_cast<__int128>(A) * A, b2 = static_cast<__int128>(B) * B;
  return b2 * X * X + a2 * Y * Y - a2 * b2;
}

__int128 Abs(__int128 v) { return v < 0 ? -v : v; }

// The first quadrant, from (A, B mod 2) to the centre column. A, B >= 2.
std::vector<QPoint> WalkQuadrant(long long A, long long B) {
  std::vector<QPoint> q;
  q.reserve(static_cast<size_t>((A + B) / 2 + 2));
  long long X = A, Y = B % 2;
  q.push_back({X, Y});
  while (X > A % 2) {
    const __int128 diag = Abs(Residual(A, B, X - 2, Y + 2));
    const __int128 up = Abs(Residual(A, B, X, Y + 2));
    const __int128 left = Abs(Residual(A, B, X - 2, Y));
    if (diag <= up && diag <= left) {
      X -= 2;
      Y += 2;
    } else if (up <= left) {
      Y += 2;
    } else {
      X -= 2;
    }
    q.push_back({X, Y});
  }
  if (X == 1)
    while (Y + 2 <= B && Residual(A, B, X, Y + 2) < 0) q.push_back({X, Y += 2});
  return q;
}

// Programs draw the same few sizes again and again (markers, obstacles): the quadrants of the
// last few small sizes are kept per thread. The reference stays valid until the thread's next
// call; an outline takes one when it is made and is gone before another is.
const std::vector<QPoint> &CachedQuadrant(long long A, long long B) {
  constexpr long long kLargestKept = 2048;  // larger ones are walked afresh each time
  struct Entry {
    long long A = -1, B = -1;
    std::vector<QPoint> q;
  };
  thread_local Entry kept[8];
  thread_local unsigned next = 0;
  thread_local std::vector<QPoint> large;
  for (const Entry &e : kept)
    if (e.A == A && e.B == B) return e.q;
  if (A > kLargestKept || B > kLargestKept) {
    large = WalkQuadrant(A, B);
    return large;
  }
  Entry &e = kept[next++ % 8];
  e.A = A;
  e.B = B;
  e.q = WalkQuadrant(A, B);
  return e.q;
}

// The whole outline counter-clockwise on the screen, starting at the right end of the
// horizontal axis, each pixel once; built from one quadrant without storing four.
class Outline {
 public:
  Outline(long long left, long long top, long long A, long long B)
      : left_(left), top_(top), A_(A), B_(B), q_(CachedQuadrant(A, B)) {
    const long long n = static_cast<long long>(q_.size());
    // Where two quadrants meet on an axis the mirrored point is the same pixel.
    const bool onVertical = q_.back().x == 0, onHorizontal = q_.front().y == 0;
    start_[0] = 0;
    len_[0] = n;
    len_[1] = n - (onVertical ? 1 : 0);
    len_[2] = n - (onHorizontal ? 1 : 0);
    len_[3] = n - (onVertical ? 1 : 0) - (onHorizontal ? 1 : 0);
    for (int k = 1; k < 4; ++k) start_[k] = start_[k - 1] + len_[k - 1];
    size_ = start_[3] + len_[3];
    skipVertical_ = onVertical;
    skipHorizontal_ = onHorizontal;
  }
  long long Size() const { return size_; }
  const std::vector<QPoint> &Quadrant() const { return q_; }

  // Doubled coordinates of point i (0 <= i < Size()).
  QPoint Doubled(long long i) const {
    const int k = QuarterOf(i);
    return InQuarter(k, i - start_[k]);
  }
  // Calls visit(pixel) for points first, first + 1, ... (count of them, wrapping round): a
  // quarter at a time, without finding each point's quarter afresh.
  template <class Visit>
  void Walk(long long first, long long count, Visit &&visit) const {
    long long i = first % size_;
    while (count > 0) {
      const int k = QuarterOf(i);
      const long long j0 = i - start_[k], j1 = std::min(len_[k], j0 + count);
      for (long long j = j0; j < j1; ++j) visit(Pixel(InQuarter(k, j)));
      count -= j1 - j0;
      i = (start_[k] + j1) % size_;
    }
  }
  POINT Pixel(const QPoint &d) const {
    return POINT{static_cast<LONG>(left_ + (A_ + d.x) / 2), static_cast<LONG>(top_ + (B_ - d.y) / 2)};
  }

 private:
  int QuarterOf(long long i) const {
    int k = 0;
    while (k < 3 && i >= start_[k + 1]) ++k;
    return k;
  }
  // Point j of quarter k.
  QPoint InQuarter(int k, long long j) const {
    const long long n = static_cast<long long>(q_.size());
    switch (k) {
      case 0: return q_[static_cast<size_t>(j)];
      case 1: {  // top to left end, mirrored in X
        const QPoint &p = q_[static_cast<size_t>(n - 1 - (skipVertical_ ? 1 : 0) - j)];
        return {-p.x, p.y};
      }
      case 2: {  // left end to bottom
        const QPoint &p = q_[static_cast<size_t>((skipHorizontal_ ? 1 : 0) + j)];
        return {-p.x, -p.y};
      }
      default: {  // bottom to right end
        const QPoint &p = q_[static_cast<size_t>(n - 1 - (skipVertical_ ? 1 : 0) - j)];
        return {p.x, -p.y};
      }
    }
  }

  long long left_, top_, A_, B_;
  const std::vector<QPoint> &q_;
  long long start_[4] = {}, len_[4] = {};
  long long size_ = 0;
  bool skipVertical_ = false, skipHorizontal_ = false;
};

struct Box {
  long long left, top, right, bottom;
  long long Width() const { return right - left; }
  long long Height() const { return bottom - top; }
};

bool NormalBox(int l, int t, int r, int b, Box &box) {
  box = Box{std::min(l, r), std::min(t, b), std::max(l, r), std::max(t, b)};
  return box.Width() <= kMaxExtent && box.Height() <= kMaxExtent;
}

// Boxes one or two pixels across: the outline is the whole box, the interior its top-left part.
bool Thin(const Box &box) { return box.Width() <= 2 || box.Height() <= 2; }

void StrokeThin(DrawScope &scope, const Box &box) {
  const Pen *pen = scope.dc().pen;
  // A one-pixel box has no outline, except the dot a wide pen puts on it.
  if (!pen || pen->Style() == PS_NULL || (box.Width() == 1 && box.Height() == 1 && !pen->Wide())) return;
  const POINT corners[4] = {{static_cast<LONG>(box.left), static_cast<LONG>(box.top)},
                            {static_cast<LONG>(box.right - 1), static_cast<LONG>(box.top)},
                            {static_cast<LONG>(box.right - 1), static_cast<LONG>(box.bottom - 1)},
                            {static_cast<LONG>(box.left), static_cast<LONG>(box.bottom - 1)}};
  if (pen->Wide()) {
    WideStroke(scope, *pen, corners, 4, true);
    return;
  }
  PenWalker walker(scope, *pen);
  const RECT &c = scope.clip();
  const long long y0 = std::max<long long>(box.top, c.top), y1 = std::min<long long>(box.bottom, c.bottom);
  const long long x0 = std::max<long long>(box.left, c.left), x1 = std::min<long long>(box.right, c.right);
  for (long long y = y0; y < y1; ++y)
    for (long long x = x0; x < x1; ++x) walker.Plot(static_cast<int>(x), static_cast<int>(y));
}

// Rows of the interior: each row the quadrant reaches, between its mirrored outer points.
void FillInterior(DrawScope &scope, const Box &box, const std::vector<QPoint> &q) {
  BrushPainter brush(scope, scope.dc().brush);
  if (brush.Null()) return;
  const long long A = box.Width() - 1, B = box.Height() - 1;
  const RECT &c = scope.clip();
  auto row = [&](long long y, long long x0, long long x1) {
    if (y < c.top || y >= c.bottom) return;
    x0 = std::max<long long>(x0, c.left);
    x1 = std::min<long long>(x1, c.right);
    if (x0 < x1) brush.Span(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1));
  };
  for (size_t i = 0; i < q.size(); ++i) {
    if (i > 0 && q[i].y == q[i - 1].y) continue;  // the first point of a row reaches furthest out
    const long long x0 = box.left + (A - q[i].x) / 2, x1 = box.left + (A + q[i].x) / 2 + 1;
    const long long upper = box.top + (B - q[i].y) / 2, lower = box.top + (B + q[i].y) / 2;
    row(upper, x0, x1);
    if (lower != upper) row(lower, x0, x1);
  }
}

// Strokes points first..first+count-1 of the outline (indices wrap), as one path.
void StrokeOutline(DrawScope &scope, const Outline &o, long long first, long long count, bool closed) {
  const Pen *pen = scope.dc().pen;
  if (!pen || pen->Style() == PS_NULL || count <= 0) return;
  if (pen->Wide()) {
    std::vector<POINT> path;
    path.reserve(static_cast<size_t>(count));
    o.Walk(first, count, [&](const POINT &p) { path.push_back(p); });
    WideStroke(scope, *pen, path.data(), static_cast<int>(count), closed);
    return;
  }
  PenWalker walker(scope, *pen);
  o.Walk(first, count, [&](const POINT &p) { walker.Plot(p.x, p.y); });
}

// Where an outline point lies against a ray from the centre: -1 before it, 0 on it, 1 after
// it, counting from the positive X axis round through the upper half-plane. GDI measures a
// point of a box with an even side by its offset from the centre in whole pixels, rounded
// towards the centre along that side. A point rounded onto the negative X axis lies at 180
// degrees, so on a ray along it; one rounded onto the positive X axis from below stays the
// outline's last point (360 degrees).
bool UpperHalf(const QPoint &v) { return v.y > 0 || (v.y == 0 && v.x >= 0); }
int CompareToRay(const QPoint &point, const QPoint &ray, bool evenWidth, bool evenHeight) {
  QPoint p = point;
  if (evenWidth) p.x -= p.x > 0 ? 1 : -1;
  if (evenHeight) p.y -= p.y > 0 ? 1 : -1;
  const bool hp = p.y == 0 && p.x > 0 ? point.y >= 0 : UpperHalf(p), hr = UpperHalf(ray);
  if (hp != hr) return hp ? -1 : 1;
  // |p| <= 2^18 (kMaxExtent) and |ray| < 2^34 (twice a 32-bit point less twice a centre): the
  // cross product fits 64 bits, and needs no 128-bit multiplication, done in software in
  // WebAssembly, in the search the arcs of every circle make.
  const long long cross = p.x * ray.y - p.y * ray.x;
  return cross > 0 ? -1 : (cross < 0 ? 1 : 0);
}

}  // namespace
}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

BOOL WINAPI Ellipse(HDC hdc, int left, int top, int right, int bottom) {
  Box box;
  if (!NormalBox(left, top, right, bottom, box)) return FALSE;
  DrawScope scope(hdc);
  if (!scope) return FALSE;
  if (box.Width() == 0 || box.Height() == 0) return TRUE;
  if (Thin(box)) {
    BrushPainter brush(scope, scope.dc().brush);
    const RECT &c = scope.clip();
    const long long y0 = std::max<long long>(box.top, c.top), y1 = std::min<long long>(box.bottom - 1, c.bottom);
    const long long x0 = std::max<long long>(box.left, c.left), x1 = std::min<long long>(box.right - 1, c.right);
    if (!brush.Null() && x0 < x1)
      for (long long y = y0; y < y1; ++y) brush.Span(static_cast<int>(y), static_cast<int>(x0), static_cast<int>(x1));
    StrokeThin(scope, box);
    return TRUE;
  }
  const Outline outline(box.left, box.top, box.Width() - 1, box.Height() - 1);
  FillInterior(scope, box, outline.Quadrant());
  StrokeOutline(scope, outline, 0, outline.Size(), true);
  return TRUE;
}

BOOL WINAPI Arc(HDC hdc, int left, int top, int right, int bottom, int xStart, int yStart, int xEnd, int yEnd) {
  Box box;
  if (!NormalBox(left, top, right, bottom, box)) return FALSE;
  DrawScope scope(hdc);
  if (!scope) return FALSE;
  // Unlike Ellipse, Arc walks the outline of a box two pixels across too, and draws nothing
  // on a box one pixel across.
  if (box.Width() <= 1 || box.Height() <= 1) return TRUE;
  const long long A = box.Width() - 1, B = box.Height() - 1;
  // Rays run to the given points from the box's centre in whole pixels, (left + width / 2,
  // top + height / 2): on a box with an even side, half a pixel past the outline's centre.
  // Below, in the outline's doubled coordinates.
  const long long cx2 = 2 * (box.left + box.Width() / 2), cy2 = 2 * (box.top + box.Height() / 2);
  const QPoint s{2LL * xStart - cx2, cy2 - 2LL * yStart}, e{2LL * xEnd - cx2, cy2 - 2LL * yEnd};
  const Outline o(box.left, box.top, A, B);
  const long long n = o.Size();
  // Both points at the centre: no direction at all, and the whole ellipse.
  if (s.x == 0 && s.y == 0 && e.x == 0 && e.y == 0) {
    StrokeOutline(scope, o, 0, n, true);
    return TRUE;
  }
  // A point exactly on a ray belongs to the arc's start in the upper half (and on the positive
  // X axis), to what lies before it in the lower half; the end ray the other way round.
  const bool startTakesTie = s.y >= 0;
  const bool endTakesTie = e.y < 0 || (e.y == 0 && e.x >= 0);
  // The outline runs in increasing angle from the positive X axis, so both ends are searches.
  auto firstFrom = [&](const QPoint &ray, bool tie) {
    long long lo = 0, hi = n;
    while (lo < hi) {
      const long long mid = lo + (hi - lo) / 2;
      const int c = CompareToRay(o.Doubled(mid), ray, A % 2 == 1, B % 2 == 1);
      if (c > 0 || (c == 0 && tie)) hi = mid; else lo = mid + 1;
    }
    return lo;  // first point at or after the ray; n when none
  };
  long long first = firstFrom(s, startTakesTie) % n;
  long long end = firstFrom(e, !endTakesTie);  // first point past the end
  long long last = (end + n - 1) % n;          // the end point itself, which is left out
  // An end ray along the positive X axis reaches the outline's last point first when that
  // point lies on it too (an even height): that one is the end point.
  if (e.y == 0 && e.x > 0 && B % 2 == 1) last = n - 1;
  // Where the arc starts at its own end point, two rays the same way round give the whole
  // ellipse; rays apart give nothing.
  const bool sameRay = static_cast<__int128>(s.x) * e.y == static_cast<__int128>(s.y) * e.x &&
                       static_cast<__int128>(s.x) * e.x + static_cast<__int128>(s.y) * e.y >= 0;
  if (first == last && !sameRay) return TRUE;
  const long long count = first == last ? n : (last - first + n) % n;
  // A wide pen's arc runs on to the end point, as a wide line includes its end.
  const Pen *pen = scope.dc().pen;
  const bool wide = pen && pen->Wide() && first != last;
  StrokeOutline(scope, o, first, count + (wide ? 1 : 0), first == last);
  return TRUE;
}

}  // extern "C"
