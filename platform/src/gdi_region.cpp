// Rectangular regions and the DC's clip region.
#include <algorithm>

#include "gdi_internal.h"

using namespace pv::gdi;

extern "C" {

HRGN WINAPI CreateRectRgn(int left, int top, int right, int bottom) {
  GdiGuard lock(GdiLock());
  auto r = std::make_unique<Region>();
  // Corners may come in any order, as on Windows.
  r->rect = RECT{std::min(left, right), std::min(top, bottom), std::max(left, right), std::max(top, bottom)};
  return static_cast<HRGN>(Register(std::move(r)));
}

int WINAPI SelectClipRgn(HDC hdc, HRGN region) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return ERROR;
  if (!region) {
    dc->hasClip = false;
    return SIMPLEREGION;
  }
  Region *r = FindRegion(region);
  if (!r) return ERROR;
  // The DC keeps its own copy; the region may be changed or deleted afterwards.
  dc->hasClip = true;
  dc->clipRect = r->rect;
  return r->rect.left < r->rect.right && r->rect.top < r->rect.bottom ? SIMPLEREGION : NULLREGION;
}

int WINAPI GetClipBox(HDC hdc, LPRECT rect) {
  if (!rect) return ERROR;
  DrawScope scope(hdc);
  if (!scope) return ERROR;
  const RECT &c = scope.clip();
  if (c.left < c.right && c.top < c.bottom) {
    *rect = c;
    return SIMPLEREGION;
  }
  // Nothing visible: an empty region has an empty box; a region beside the page gives the bare
  // intersection, corners unsorted, as real GDI reports it.
  const Dc &dc = scope.dc();
  const Raster &t = scope.target();
  *rect = RECT{0, 0, 0, 0};
  const RECT &r = dc.clipRect;
  if (dc.hasClip && (r.left >= r.right || r.top >= r.bottom)) return NULLREGION;
  *rect = RECT{0, 0, t.width, t.height};
  if (dc.hasClip) {
    rect->left = std::max(rect->left, dc.clipRect.left);
    rect->top = std::max(rect->top, dc.clipRect.top);
    rect->right = std::min(rect->right, dc.clipRect.right);
    rect->bottom = std::min(rect->bottom, dc.clipRect.bottom);
  }
  return NULLREGION;
}

}  // extern "C"
