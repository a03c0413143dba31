// Rectangles and polygons: SetRect, FillRect, Rectangle, the polygon fill mode and Polygon.
#include <algorithm>
#include <climits>
#include <vector>

#include "gdi_brush.h"

namespace pv::gdi {
namespace {

// [lo, hi) of one axis of a box clipped to [clipLo, clipHi), in int range.
void ClipAxis(long long lo, long long hi, LONG clipLo, LONG clipHi, int &outLo, int &outHi) {
  outLo = static_cast<int>(std::max<long long>(lo, clipLo));
  outHi = static_cast<int>(std::min<long long>(hi, clipHi));
}

// Fills [left, right) x [top, bottom) with the brush, visible rows only.
void FillBox(DrawScope &scope, BrushPainter &brush, long long left, long long top, long long right,
             long long bottom) {
  if (brush.Null()) return;
  const RECT &c = scope.clip();
  int x0, x1, y0, y1;
  ClipAxis(left, right, c.left, c.right, x0, x1);
  ClipAxis(top, bottom, c.top, c.bottom, y0, y1);
  if (x0 >= x1) return;
  brush.Box(x0, y0, x1, y1);
}

// floor(n / d) and n - d * floor(n / d), for d > 0.
void FloorDivMod(__int128 n, long long d, long long &q, long long &r) {
  __int128 quotient = n / d, rest = n % d;
  if (rest < 0) {
    rest += d;
    --quotient;
  }
  q = static_cast<long long>(quotient);
  r = static_cast<long long>(rest);
}

struct Edge {
  long long x0, y0, x1, y1;  // y0 < y1
  int direction;             // +1 drawn downwards, -1 upwards
  // (x1 - x0) * (y - y0) = q * (y1 - y0) + r with 0 <= r < y1 - y0, stepped a row at a time
  // so that a row costs no division.
  long long q = 0, r = 0, stepQ = 0, stepR = 0;
  long long x = 0;  // the first pixel at or right of the edge on the current row

  void Start(long long y) {
    FloorDivMod(static_cast<__int128>(x1 - x0) * (y - y0), y1 - y0, q, r);
    FloorDivMod(x1 - x0, y1 - y0, stepQ, stepR);
    x = x0 + q + (r != 0 ? 1 : 0);
  }
  void NextRow() {
    q += stepQ;
    r += stepR;
    if (r >= y1 - y0) {
      r -= y1 - y0;
      ++q;
    }
    x = x0 + q + (r != 0 ? 1 : 0);
  }
};

// Pixel (x, y) is inside when the point (x, y) is, edges taken half-open: top and left
// included, bottom and right left out. Only rows inside the clip are visited; a row costs a
// step of each edge it crosses and one span write per run inside.
void FillPolygon(DrawScope &scope, BrushPainter &brush, const POINT *points, int count, int fillMode) {
  if (brush.Null() || count < 3) return;
  std::vector<Edge> edges;
  edges.reserve(static_cast<size_t>(count));
  for (int i = 0; i < count; ++i) {
    const POINT &a = points[i];
    const POINT &b = points[(i + 1) % count];
    if (a.y == b.y) continue;
    if (a.y < b.y)
      edges.push_back(Edge{a.x, a.y, b.x, b.y, 1});
    else
      edges.push_back(Edge{b.x, b.y, a.x, a.y, -1});
  }
  if (edges.empty()) return;
  std::sort(edges.begin(), edges.end(), [](const Edge &p, const Edge &q) { return p.y0 < q.y0; });
  long long top = edges.front().y0, bottom = top;
  for (const Edge &e : edges) bottom = std::max(bottom, e.y1);
  const RECT &c = scope.clip();
  top = std::max<long long>(top, c.top);
  bottom = std::min<long long>(bottom, c.bottom);

  // The edges crossing the current row, kept in the order of their crossings: from one row to
  // the next that order seldom changes, so an insertion pass keeps it.
  std::vector<Edge *> active;
  active.reserve(edges.size());
  size_t next = 0;
  long long firstEnd = LLONG_MAX;  // the row where the first active edge ends
  auto span = [&](long long y, long long from, long long to) {
    int x0, x1;
    ClipAxis(from, to, c.left, c.right, x0, x1);
    if (x0 < x1) brush.Span(static_cast<int>(y), x0, x1);
  };
  for (long long y = top; y < bottom; ++y) {
    for (Edge *e : active) e->NextRow();
    while (next < edges.size() && edges[next].y0 <= y) {
      edges[next].Start(y);
      firstEnd = std::min(firstEnd, edges[next].y1);
      active.push_back(&edges[next++]);
    }
    if (firstEnd <= y) {
      std::erase_if(active, [y](const Edge *e) { return e->y1 <= y; });
      firstEnd = LLONG_MAX;
      for (const Edge *e : active) firstEnd = std::min(firstEnd, e->y1);
    }
    for (size_t i = 1; i < active.size(); ++i) {
      Edge *e = active[i];
      size_t j = i;
      for (; j > 0 && active[j - 1]->x > e->x; --j) active[j] = active[j - 1];
      active[j] = e;
    }
    if (fillMode == WINDING) {
      int winding = 0;
      for (size_t k = 0; k + 1 < active.size(); ++k) {
        winding += active[k]->direction;
        if (winding != 0) span(y, active[k]->x, active[k + 1]->x);
      }
    } else {
      for (size_t k = 0; k + 1 < active.size(); k += 2) span(y, active[k]->x, active[k + 1]->x);
    }
  }
}

}  // namespace
}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

BOOL WINAPI SetRect(LPRECT rect, int left, int top, int right, int bottom) {
  if (!rect) return FALSE;
  *rect = RECT{left, top, right, bottom};
  return TRUE;
}

// The mix mode plays no part: the rectangle is copied, as real GDI does.
int WINAPI FillRect(HDC hdc, const RECT *rect, HBRUSH hbrush) {
  if (!rect) return 0;
  DrawScope scope(hdc);
  if (!scope) return 0;
  const Brush *brush = FindBrush(hbrush);
  if (!brush) return 0;
  scope.rop2 = R2_COPYPEN;
  // Reversed extents run from the first edge backwards, that edge included.
  auto axis = [](LONG a, LONG b, long long &lo, long long &hi) {
    if (a <= b) {
      lo = a;
      hi = b;
    } else {
      lo = static_cast<long long>(b) + 1;
      hi = static_cast<long long>(a) + 1;
    }
  };
  long long l, r, t, b;
  axis(rect->left, rect->right, l, r);
  axis(rect->top, rect->bottom, t, b);
  BrushPainter painter(scope, brush);
  FillBox(scope, painter, l, t, r, b);
  return 1;
}

BOOL WINAPI Rectangle(HDC hdc, int left, int top, int right, int bottom) {
  DrawScope scope(hdc);
  if (!scope) return FALSE;
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  if (left == right || top == bottom) return TRUE;
  BrushPainter painter(scope, scope.dc().brush);
  // The interior is one pixel short of the box on the right and bottom; the outline runs
  // through the outermost pixels.
  FillBox(scope, painter, left, top, static_cast<long long>(right) - 1, static_cast<long long>(bottom) - 1);
  const POINT corners[4] = {{left, top}, {right - 1, top}, {right - 1, bottom - 1}, {left, bottom - 1}};
  StrokePolyline(scope, corners, 4, true);
  return TRUE;
}

int WINAPI SetPolyFillMode(HDC hdc, int mode) {
  if (mode != ALTERNATE && mode != WINDING) return 0;
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return 0;
  const int previous = dc->polyFillMode;
  dc->polyFillMode = mode;
  return previous;
}

int WINAPI GetPolyFillMode(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  return dc ? dc->polyFillMode : 0;
}

BOOL WINAPI Polygon(HDC hdc, const POINT *points, int count) {
  if (!points || count < 2) return FALSE;
  DrawScope scope(hdc);
  if (!scope) return FALSE;
  BrushPainter painter(scope, scope.dc().brush);
  FillPolygon(scope, painter, points, count, scope.dc().polyFillMode);
  StrokePolyline(scope, points, count, true);
  return TRUE;
}

}  // extern "C"
