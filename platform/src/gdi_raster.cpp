// Pixel access on the four formats, the drawing scope, and mixed spans and pixels.
#include <algorithm>
#include <cstring>

#include "gdi_internal.h"

namespace pv::gdi {

uint32_t Raster::Get(int x, int y) const {
  const uint8_t *row = Row(y);
  switch (bpp) {
    case 1: return (row[x >> 3] >> (7 - (x & 7))) & 1u;
    case 4: return (x & 1) ? row[x >> 1] & 0x0Fu : row[x >> 1] >> 4;
    case 8: return row[x];
    default: return reinterpret_cast<const uint32_t *>(row)[x];
  }
}

void Raster::Set(int x, int y, uint32_t value) const {
  uint8_t *row = Row(y);
  switch (bpp) {
    case 1: {
      uint8_t bit = static_cast<uint8_t>(0x80u >> (x & 7));
      row[x >> 3] = static_cast<uint8_t>((value & 1u) ? row[x >> 3] | bit : row[x >> 3] & ~bit);
      break;
    }
    case 4: {
      uint8_t &b = row[x >> 1];
      b = static_cast<uint8_t>((x & 1) ? (b & 0xF0u) | (value & 0x0Fu) : (b & 0x0Fu) | ((value & 0x0Fu) << 4));
      break;
    }
    case 8: row[x] = static_cast<uint8_t>(value); break;
    default: reinterpret_cast<uint32_t *>(row)[x] = value; break;
  }
}

COLORREF Raster::ColorOf(uint32_t value) const {
  if (bpp == 32) return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
  if (static_cast<int>(value) >= tableSize) return RGB(0, 0, 0);
  const RGBQUAD &q = table[value];
  return RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
}

Raster TargetOf(const Dc &dc) {
  Raster r;
  if (dc.surface) {
    const WindowSurface &s = *dc.surface;
    if (s.width <= 0 || s.height <= 0 || s.pixels.size() < static_cast<size_t>(s.width) * s.height) return r;
    // The surface's pixels are only written through this view, as 32-bit words.
    r.origin = reinterpret_cast<uint8_t *>(const_cast<uint32_t *>(s.pixels.data()));
    r.pitch = static_cast<ptrdiff_t>(s.width) * 4;
    r.width = s.width;
    r.height = s.height;
    r.bpp = 32;
    r.version = dc.surfaceVersion;
    r.mask = 0x00FFFFFFu;
    return r;
  }
  return dc.bitmap ? RasterOf(*dc.bitmap) : r;
}

Raster RasterOf(const Bitmap &b) {
  Raster r;
  if (!b.bits) return r;
  r.origin = b.Row(0);
  r.pitch = b.topDown ? b.stride : -static_cast<ptrdiff_t>(b.stride);
  r.width = b.width;
  r.height = b.height;
  r.bpp = b.bpp;
  r.table = b.table.data();
  r.tableSize = static_cast<int>(b.table.size());
  r.version = b.tableVersion;
  r.mask = b.bpp == 32 ? 0xFFFFFFFFu : (1u << b.bpp) - 1u;
  return r;
}

DrawScope::DrawScope(HDC hdc) : gdi_(GdiLock()) {
  dc_ = FindDc(hdc);
  if (!dc_) return;
  surface_ = dc_->surface;
  if (surface_) surface_->mutex.lock();
  target_ = TargetOf(*dc_);
  rop2 = dc_->rop2;
  clip_ = RECT{0, 0, target_.width, target_.height};
  if (dc_->hasClip) {
    const RECT &c = dc_->clipRect;
    clip_.left = std::max(clip_.left, c.left);
    clip_.top = std::max(clip_.top, c.top);
    clip_.right = std::min(clip_.right, c.right);
    clip_.bottom = std::min(clip_.bottom, c.bottom);
    if (clip_.left >= clip_.right || clip_.top >= clip_.bottom) clip_ = RECT{0, 0, 0, 0};
  }
}

DrawScope::~DrawScope() {
  if (!surface_) return;
  surface_->mutex.unlock();
  if (dirty_.left >= dirty_.right || !surface_->onChanged) return;
  ++dc_->notifying;
  gdi_.unlock();
  surface_->onChanged(dirty_);
  gdi_.lock();
  --dc_->notifying;
}

void FillSpan(DrawScope &scope, int y, int x0, int x1, uint32_t value) {
  const RECT &c = scope.clip();
  if (y < c.top || y >= c.bottom) return;
  x0 = std::max<int>(x0, c.left);
  x1 = std::min<int>(x1, c.right);
  if (x0 >= x1 || scope.rop2 == R2_NOP) return;
  const Raster &t = scope.target();
  const uint32_t mask = t.mask;
  const int rop = scope.rop2;
  if (rop == R2_COPYPEN && (t.bpp == 8 || t.bpp == 32)) {
    uint8_t *row = t.Row(y);
    if (t.bpp == 8)
      std::memset(row + x0, static_cast<int>(value & mask), static_cast<size_t>(x1 - x0));
    else
      std::fill(reinterpret_cast<uint32_t *>(row) + x0, reinterpret_cast<uint32_t *>(row) + x1, value & mask);
  } else if (rop == R2_COPYPEN) {
    for (int x = x0; x < x1; ++x) t.Set(x, y, value);
  } else {
    for (int x = x0; x < x1; ++x) t.Set(x, y, Mix(rop, value, t.Get(x, y)) & mask);
  }
  scope.Touch(x0, y, x1, y + 1);
}

void FillBlock(DrawScope &scope, int x0, int y0, int x1, int y1, uint32_t value) {
  const RECT &c = scope.clip();
  x0 = std::max<int>(x0, c.left);
  x1 = std::min<int>(x1, c.right);
  y0 = std::max<int>(y0, c.top);
  y1 = std::min<int>(y1, c.bottom);
  if (x0 >= x1 || y0 >= y1) return;
  const Raster &t = scope.target();
  const ptrdiff_t rowBytes = static_cast<ptrdiff_t>(t.width) * (t.bpp / 8);
  // Whole rows stored back to back (a clear) are one block in memory, whichever way they run.
  if (scope.rop2 == R2_COPYPEN && (t.bpp == 8 || t.bpp == 32) && x0 == 0 && x1 == t.width &&
      (t.pitch == rowBytes || t.pitch == -rowBytes)) {
    uint8_t *first = t.pitch > 0 ? t.Row(y0) : t.Row(y1 - 1);
    const size_t pixels = static_cast<size_t>(t.width) * static_cast<size_t>(y1 - y0);
    if (t.bpp == 8)
      std::memset(first, static_cast<int>(value & t.mask), pixels);
    else
      std::fill_n(reinterpret_cast<uint32_t *>(first), pixels, value & t.mask);
    scope.Touch(x0, y0, x1, y1);
    return;
  }
  for (int y = y0; y < y1; ++y) FillSpan(scope, y, x0, x1, value);
}

void PutPixel(DrawScope &scope, int x, int y, uint32_t value) {
  const RECT &c = scope.clip();
  if (x < c.left || x >= c.right || y < c.top || y >= c.bottom) return;
  const Raster &t = scope.target();
  // Outlines and line ends are drawn a pixel at a time: the usual page takes a plain store.
  if (scope.rop2 == R2_COPYPEN && t.bpp == 8)
    t.Row(y)[x] = static_cast<uint8_t>(value);
  else
    t.Set(x, y, (scope.rop2 == R2_COPYPEN ? value : Mix(scope.rop2, value, t.Get(x, y))) & t.mask);
  scope.Touch(x, y, x + 1, y + 1);
}

}  // namespace pv::gdi
