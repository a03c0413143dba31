// Colour resolution, logical palettes and the DC's colour and mix attributes.
#include <algorithm>
#include <utility>

#include "gdi_internal.h"

namespace pv::gdi {
namespace {

bool IsPaletteIndex(COLORREF c) { return (c & 0x01000000u) != 0; }
bool IsDibIndex(COLORREF c) { return (c & 0xFFFF0000u) == 0x10FF0000u; }

uint32_t Pixel32(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

bool SameColor(const RGBQUAD &q, COLORREF c) {
  return q.rgbRed == GetRValue(c) && q.rgbGreen == GetGValue(c) && q.rgbBlue == GetBValue(c);
}

// The entry of a two-colour table equal to `c`, or -1.
int ExactIndex(const Raster &t, COLORREF c) {
  for (int i = 0; i < t.tableSize; ++i)
    if (SameColor(t.table[i], c)) return i;
  return -1;
}

// Pen and brush colours on two-colour targets: an exact entry, else the background's nearest
// index for the background colour itself, else the other index.
uint32_t MonoPenValue(const Dc &dc, const Raster &t, COLORREF rgb) {
  int exact = ExactIndex(t, rgb);
  if (exact >= 0) return static_cast<uint32_t>(exact);
  COLORREF bk = ColorOfRef(dc, dc.bkColor);
  int bkExact = ExactIndex(t, bk);
  uint32_t bkIndex = static_cast<uint32_t>(bkExact >= 0 ? bkExact : NearestIndex(t.table, t.tableSize, bk));
  return rgb == bk ? bkIndex : bkIndex ^ 1u;
}

uint32_t Uncached(const Dc &dc, COLORREF color, const Raster &t, ColorUse use) {
  if (IsDibIndex(color)) {
    uint32_t n = color & 0xFFFFu;
    return t.bpp != 32 && static_cast<int>(n) < t.tableSize ? n : 0;
  }
  COLORREF rgb = ColorOfRef(dc, color);
  if (t.bpp == 32) return Pixel32(rgb);
  if (t.bpp == 1 && use == ColorUse::Pen) return MonoPenValue(dc, t, rgb);
  return static_cast<uint32_t>(NearestIndex(t.table, t.tableSize, rgb));
}

}  // namespace

COLORREF ColorOfRef(const Dc &dc, COLORREF color) {
  if (!IsPaletteIndex(color)) return color & 0x00FFFFFFu;
  const Palette *p = dc.palette;
  if (!p || p->entries.empty()) return RGB(0, 0, 0);
  size_t i = color & 0xFFFFu;
  const PALETTEENTRY &e = p->entries[i < p->entries.size() ? i : 0];
  return RGB(e.peRed, e.peGreen, e.peBlue);
}

int NearestIndex(const RGBQUAD *table, int size, COLORREF rgb) {
  const int r = GetRValue(rgb), g = GetGValue(rgb), b = GetBValue(rgb);
  int best = 0;
  int bestDistance = 0x7FFFFFFF;
  for (int i = 0; i < size; ++i) {
    int dr = table[i].rgbRed - r, dg = table[i].rgbGreen - g, db = table[i].rgbBlue - b;
    int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
      if (d == 0) break;
    }
  }
  return best;
}

uint32_t ResolveColor(Dc &dc, COLORREF color, const Raster &target, ColorUse use) {
  if (target.bpp == 0) return 0;
  // Only the nearest-entry searches on 4- and 8-bit tables cost enough to cache.
  if (target.bpp != 4 && target.bpp != 8) return Uncached(dc, color, target, use);
  ColorCache &cache = dc.colorCache;
  const uint32_t paletteVersion = dc.palette ? dc.palette->version : 0;
  if (cache.targetVersion != target.version || cache.paletteVersion != paletteVersion) {
    for (auto &e : cache.entries) e.key = CLR_INVALID;
    for (auto &e : cache.paletteIndices) e.key = CLR_INVALID;
    cache.targetVersion = target.version;
    cache.paletteVersion = paletteVersion;
  }
  auto &entry = (color & 0xFFFFFF00u) == 0x01000000u ? cache.paletteIndices[color & 0xFFu]
                                                     : cache.entries[(color * 2654435761u) >> 26];
  if (entry.key != color) {
    entry.key = color;
    entry.value = Uncached(dc, color, target, use);
  }
  return entry.value;
}

uint32_t ResolveBackground(Dc &dc, const Raster &target, COLORREF fore, uint32_t foreValue) {
  if (target.bpp != 1) return ResolveColor(dc, dc.bkColor, target, ColorUse::Pen);
  // Two-colour targets: a background that is no table entry takes the index the foreground
  // does not, unless both are the same colour.
  COLORREF bk = ColorOfRef(dc, dc.bkColor);
  int exact = ExactIndex(target, bk);
  if (exact >= 0) return static_cast<uint32_t>(exact);
  return bk == ColorOfRef(dc, fore) ? foreValue : foreValue ^ 1u;
}

}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

HPALETTE WINAPI CreatePalette(const LOGPALETTE *palette) {
  if (!palette) return nullptr;
  GdiGuard lock(GdiLock());
  auto p = std::make_unique<Palette>();
  p->entries.assign(palette->palPalEntry, palette->palPalEntry + palette->palNumEntries);
  p->version = NextVersion();
  return static_cast<HPALETTE>(Register(std::move(p)));
}

HPALETTE WINAPI SelectPalette(HDC hdc, HPALETTE palette, BOOL) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  Palette *p = FindPalette(palette);
  if (!dc || !p || p->deletePending) return nullptr;
  Palette *old = dc->palette;
  if (old == p) return palette;
  ++p->selections;
  dc->palette = p;
  HPALETTE oldHandle = old ? static_cast<HPALETTE>(old->handle) : nullptr;
  if (old) {
    --old->selections;
    if (old->deletePending && old->selections == 0) Unregister(old);
  }
  return oldHandle;
}

UINT WINAPI RealizePalette(HDC hdc) {
  GdiGuard lock(GdiLock());
  // A true-colour display has no system palette to map entries into.
  return FindDc(hdc) ? 0 : GDI_ERROR;
}

BOOL WINAPI ResizePalette(HPALETTE palette, UINT entries) {
  GdiGuard lock(GdiLock());
  Palette *p = FindPalette(palette);
  if (!p || p->stock || entries == 0 || entries > 1024) return FALSE;
  p->entries.resize(entries, PALETTEENTRY{0, 0, 0, 0});
  p->version = NextVersion();
  return TRUE;
}

UINT WINAPI SetPaletteEntries(HPALETTE palette, UINT start, UINT count, const PALETTEENTRY *entries) {
  GdiGuard lock(GdiLock());
  Palette *p = FindPalette(palette);
  if (!p || p->stock || !entries || start >= p->entries.size()) return 0;
  UINT n = std::min<UINT>(count, static_cast<UINT>(p->entries.size()) - start);
  std::copy(entries, entries + n, p->entries.begin() + start);
  p->version = NextVersion();
  return n;
}

UINT WINAPI GetPaletteEntries(HPALETTE palette, UINT start, UINT count, LPPALETTEENTRY entries) {
  GdiGuard lock(GdiLock());
  Palette *p = FindPalette(palette);
  if (!p) return 0;
  const UINT size = static_cast<UINT>(p->entries.size());
  if (!entries) return size;
  if (start >= size) return 0;
  UINT n = std::min(count, size - start);
  std::copy(p->entries.begin() + start, p->entries.begin() + start + n, entries);
  return n;
}

UINT WINAPI GetNearestPaletteIndex(HPALETTE palette, COLORREF color) {
  GdiGuard lock(GdiLock());
  Palette *p = FindPalette(palette);
  if (!p || p->entries.empty()) return CLR_INVALID;
  if (IsPaletteIndex(color)) {
    UINT index = color & 0xFFFFu;
    return index < p->entries.size() ? index : 0;
  }
  const int r = GetRValue(color), g = GetGValue(color), b = GetBValue(color);
  UINT best = 0;
  int bestDistance = 0x7FFFFFFF;
  for (UINT i = 0; i < p->entries.size(); ++i) {
    const PALETTEENTRY &e = p->entries[i];
    int dr = e.peRed - r, dg = e.peGreen - g, db = e.peBlue - b;
    int d = dr * dr + dg * dg + db * db;
    if (d < bestDistance) {
      bestDistance = d;
      best = i;
    }
  }
  return best;
}

COLORREF WINAPI SetBkColor(HDC hdc, COLORREF color) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->bkColor, color);
}

COLORREF WINAPI GetBkColor(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  return dc ? dc->bkColor : CLR_INVALID;
}

int WINAPI SetBkMode(HDC hdc, int mode) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc || (mode != TRANSPARENT && mode != OPAQUE)) return 0;
  return std::exchange(dc->bkMode, mode);
}

int WINAPI GetBkMode(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  return dc ? dc->bkMode : 0;
}

int WINAPI SetROP2(HDC hdc, int rop2) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc || rop2 < R2_BLACK || rop2 > R2_WHITE) return 0;
  return std::exchange(dc->rop2, rop2);
}

int WINAPI GetROP2(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  return dc ? dc->rop2 : 0;
}

COLORREF WINAPI SetTextColor(HDC hdc, COLORREF color) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return CLR_INVALID;
  return std::exchange(dc->textColor, color);
}

COLORREF WINAPI GetTextColor(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  return dc ? dc->textColor : CLR_INVALID;
}

}  // extern "C"
