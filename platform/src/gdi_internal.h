// GDI's object model and raster primitives, shared by the GDI source files.
//
// Every GDI object lives in one handle table; a handle carries the slot and a generation, so a
// stale or deleted handle, or a handle of the wrong kind, is simply not found. All GDI state is
// guarded by one process-wide lock (GdiLock): a call takes it for its whole duration. Drawing
// goes through a DrawScope, which also holds the mutex of a window surface while it draws and
// reports the changed rectangle to the surface's owner after releasing both locks.
#pragma once

#include <windows.h>

#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <type_traits>
#include <vector>

#include "window_surface.h"

namespace pv::gdi {

// ---- Objects ------------------------------------------------------------------------------

enum class Kind : uint8_t { Dc, Bitmap, Palette, Pen, Brush, Font, Region };

struct Dc;

struct Object {
  explicit Object(Kind k) : kind(k) {}
  virtual ~Object() = default;
  Object(const Object &) = delete;
  Object &operator=(const Object &) = delete;

  const Kind kind;
  HGDIOBJ handle = nullptr;  // set by Register
  bool stock = false;        // stock objects are never freed
  int selections = 0;        // how many DCs hold it selected
  bool deletePending = false;  // DeleteObject came while selected: freed when the last DC lets go
};

struct Bitmap : Object {
  Bitmap() : Object(Kind::Bitmap) {}
  int width = 0;
  int height = 0;
  int bpp = 0;                  // 1, 4, 8 or 32
  bool dib = false;             // made by CreateDIBSection (or compatible with one)
  bool topDown = false;         // rows stored top first
  int stride = 0;               // bytes per stored row, a multiple of 4
  std::unique_ptr<uint32_t[]> storage;  // words, so 32-bit pixels are read as what they are
  uint8_t *bits = nullptr;      // the stored rows, as CreateDIBSection hands them out
  std::vector<RGBQUAD> table;   // colour table, 2^bpp entries for indexed formats
  uint32_t tableVersion = 0;    // changes whenever `table` does (NextVersion)
  Dc *selectedIn = nullptr;     // a bitmap is selected into at most one DC

  uint8_t *Row(int y) const { return bits + static_cast<ptrdiff_t>(topDown ? y : height - 1 - y) * stride; }
};

struct Palette : Object {
  Palette() : Object(Kind::Palette) {}
  std::vector<PALETTEENTRY> entries;
  uint32_t version = 0;  // changes whenever `entries` does (NextVersion)
};

struct Pen : Object {
  Pen() : Object(Kind::Pen) {}
  LOGPEN log{};
  int Style() const { return static_cast<int>(log.lopnStyle & 0x0F); }
  int Width() const { return log.lopnWidth.x; }
  // Cosmetic pens draw one pixel wide and carry the dash pattern; wider pens are solid.
  bool Wide() const { return log.lopnWidth.x > 1; }
};

// The pixels of a BS_PATTERN brush, copied from its bitmap when the brush is made.
struct BrushPattern {
  int width = 0;
  int height = 0;
  int bpp = 0;                  // of the bitmap it came from
  std::vector<uint32_t> pixels;  // pixel values of that bitmap (indices or 0x00RRGGBB), top row first
  std::vector<RGBQUAD> table;    // that bitmap's colour table, for indexed patterns
};

struct Brush : Object {
  Brush() : Object(Kind::Brush) {}
  LOGBRUSH log{};
  BrushPattern pattern;
};

struct RealizedFont;  // gdi_text.cpp

struct Font : Object {
  Font() : Object(Kind::Font) {}
  LOGFONTA log{};
  std::shared_ptr<RealizedFont> realized;  // made on first use; `log` never changes
};

// The font file that fontconfig picks for a LOGFONT's face, weight and slant; an empty path
// when there is none at all.
struct FontFile {
  std::string path;
  int index = 0;
};
FontFile ResolveFontFile(const LOGFONTA &log);

// Only rectangular regions exist here; an empty rectangle is a NULLREGION.
struct Region : Object {
  Region() : Object(Kind::Region) {}
  RECT rect{};
};

// Colours resolved for one target, keyed by COLORREF; invalid once the target, its colour
// table or the DC's palette has a different version. PALETTEINDEX(0..255), what pages are
// drawn with, have a slot each; other colours share a small hash table.
struct ColorCache {
  static constexpr int kSize = 64;
  uint32_t targetVersion = 0;
  uint32_t paletteVersion = 0;
  struct Entry {
    COLORREF key = CLR_INVALID;
    uint32_t value = 0;
  } entries[kSize];
  Entry paletteIndices[256];
};

struct Dc : Object {
  Dc() : Object(Kind::Dc) {}
  bool memory = true;                 // OBJ_MEMDC; false for window and screen DCs
  WindowSurface *surface = nullptr;   // window DCs draw here
  uint32_t surfaceVersion = 0;        // identifies the surface's current size for caches
  bool screen = false;                // the desktop's DC: 32 bits, nothing to draw on

  Bitmap *bitmap = nullptr;  // memory DCs always hold one (the stock 1x1 bitmap at first)
  Pen *pen = nullptr;
  Brush *brush = nullptr;
  Font *font = nullptr;
  Palette *palette = nullptr;

  int rop2 = R2_COPYPEN;
  int bkMode = OPAQUE;
  COLORREF bkColor = RGB(255, 255, 255);
  COLORREF textColor = RGB(0, 0, 0);
  UINT textAlign = TA_LEFT | TA_TOP | TA_NOUPDATECP;
  int charExtra = 0;
  int breakExtra = 0;
  int breakCount = 0;
  POINT pos{0, 0};
  POINT brushOrg{0, 0};
  int polyFillMode = ALTERNATE;

  bool hasClip = false;
  RECT clipRect{};  // device coordinates; meaningful when hasClip

  ColorCache colorCache;
  int notifying = 0;  // change notifications in flight for `surface`
};

// ---- Lock and handle table ----------------------------------------------------------------

// The one lock of GDI; re-entrant so that a call may use another call's internals.
std::recursive_mutex &GdiLock();
using GdiGuard = std::lock_guard<std::recursive_mutex>;

// A fresh, never repeated version number for colour tables, palettes and surfaces.
uint32_t NextVersion();

// Puts `object` in the table and returns its handle. Caller holds GdiLock.
HGDIOBJ Register(std::unique_ptr<Object> object);
// The live object behind `handle`, or nullptr. Caller holds GdiLock.
Object *Find(HGDIOBJ handle);
template <class T>
T *Find(HGDIOBJ handle, Kind kind) {
  Object *o = Find(handle);
  return o && o->kind == kind ? static_cast<T *>(o) : nullptr;
}
inline Dc *FindDc(HDC dc) { return Find<Dc>(dc, Kind::Dc); }
inline Bitmap *FindBitmap(HGDIOBJ h) { return Find<Bitmap>(h, Kind::Bitmap); }
inline Palette *FindPalette(HGDIOBJ h) { return Find<Palette>(h, Kind::Palette); }
inline Pen *FindPen(HGDIOBJ h) { return Find<Pen>(h, Kind::Pen); }
inline Brush *FindBrush(HGDIOBJ h) { return Find<Brush>(h, Kind::Brush); }
inline Font *FindFont(HGDIOBJ h) { return Find<Font>(h, Kind::Font); }
inline Region *FindRegion(HGDIOBJ h) { return Find<Region>(h, Kind::Region); }
// Frees the object and its slot; its handle is stale from now on. Caller holds GdiLock.
void Unregister(Object *object);

// The stock objects, made on first use: index as for GetStockObject, nullptr if none.
Object *StockObject(int index);
// The 1x1 monochrome bitmap every memory DC starts with.
Bitmap *DefaultBitmap();

// Live objects (bitmaps, palettes, pens, brushes, fonts, regions; stock ones not counted) and DCs.
void CountLiveObjects(int &objects, int &dcs);

// The desktop's DC, for USER's GetDC(GetDesktopWindow()): 32 bits per pixel, nothing to draw
// on. The same DC every time; it lives as long as the process and is not counted as live.
HDC ScreenDC();

// ---- Targets and colours ------------------------------------------------------------------

// The pixels a DC draws on: a selected bitmap or a window surface.
struct Raster {
  uint8_t *origin = nullptr;  // start of row 0 (the top row)
  ptrdiff_t pitch = 0;        // bytes from one row to the next one down (negative bottom-up)
  int width = 0;
  int height = 0;
  int bpp = 0;                        // 1, 4, 8 or 32; 0 when there is nothing to draw on
  const RGBQUAD *table = nullptr;     // colour table of indexed formats
  int tableSize = 0;
  uint32_t version = 0;               // changes with the table or the surface
  uint32_t mask = 0;                  // bits a pixel value keeps (window surfaces keep no alpha)

  uint8_t *Row(int y) const { return origin + pitch * y; }
  // Pixel values: colour-table indices, or 0x00RRGGBB for 32 bits (mixes may set the top byte
  // of a 32-bit bitmap, as on Windows; it is no part of the colour).
  uint32_t Get(int x, int y) const;
  void Set(int x, int y, uint32_t value) const;
  // The colour of a pixel value, as COLORREF.
  COLORREF ColorOf(uint32_t value) const;
  bool Contains(int x, int y) const { return x >= 0 && y >= 0 && x < width && y < height; }
};

// The raster a DC draws on now (empty for a screen DC). Caller holds GdiLock.
Raster TargetOf(const Dc &dc);
// A view of a bitmap's pixels, read and written the way a DC would (empty when it has none).
// Caller holds GdiLock.
Raster RasterOf(const Bitmap &b);

// What a colour is asked for: a single pixel takes the nearest colour on every format; pens,
// brushes and text on 1-bit targets follow the two-colour rule (exact entry, else background's
// index if it is the background colour, else the other index).
enum class ColorUse { Pixel, Pen };

// The colour a COLORREF stands for in `dc`: PALETTEINDEX through the DC's palette (beyond its
// size: entry 0); anything else by its RGB bits.
COLORREF ColorOfRef(const Dc &dc, COLORREF color);
// The pixel value of `color` on the DC's target, cached per DC. DIBINDEX(n) is table entry n.
uint32_t ResolveColor(Dc &dc, COLORREF color, const Raster &target, ColorUse use = ColorUse::Pen);
// The pixel value of the DC's background colour where it fills the gaps of something drawn in
// `fore` (resolved to `foreValue`): two-colour targets choose it relative to the foreground.
uint32_t ResolveBackground(Dc &dc, const Raster &target, COLORREF fore, uint32_t foreValue);
// Nearest colour-table entry, ties to the lower index.
int NearestIndex(const RGBQUAD *table, int size, COLORREF rgb);

// ---- Mixing and spans ---------------------------------------------------------------------

// The sixteen ROP2 mixes of pen value p with destination d, on pixel values.
inline uint32_t Mix(int rop2, uint32_t p, uint32_t d) {
  switch (rop2) {
    case R2_BLACK: return 0;
    case R2_NOTMERGEPEN: return ~(p | d);
    case R2_MASKNOTPEN: return ~p & d;
    case R2_NOTCOPYPEN: return ~p;
    case R2_MASKPENNOT: return p & ~d;
    case R2_NOT: return ~d;
    case R2_XORPEN: return p ^ d;
    case R2_NOTMASKPEN: return ~(p & d);
    case R2_MASKPEN: return p & d;
    case R2_NOTXORPEN: return ~(p ^ d);
    case R2_NOP: return d;
    case R2_MERGENOTPEN: return ~p | d;
    case R2_MERGEPENNOT: return p | ~d;
    case R2_MERGEPEN: return p | d;
    case R2_WHITE: return ~0u;
    default: return p;  // R2_COPYPEN
  }
}

class DrawScope;

// Horizontal span x0 <= x < x1 on row y, in `value` under the DC's mix, clipped.
void FillSpan(DrawScope &scope, int y, int x0, int x1, uint32_t value);
// The box [x0, x1) x [y0, y1) in `value` under the DC's mix, clipped.
void FillBlock(DrawScope &scope, int x0, int y0, int x1, int y1, uint32_t value);
// One pixel under the DC's mix, clipped.
void PutPixel(DrawScope &scope, int x, int y, uint32_t value);

// ---- Drawing scope ------------------------------------------------------------------------

// Holds everything one drawing call needs: the GDI lock, the DC, its target (under the window
// surface's mutex for window DCs) and the effective clip rectangle; collects the changed area
// and reports it to the surface after releasing the locks.
class DrawScope {
 public:
  explicit DrawScope(HDC hdc);
  ~DrawScope();
  DrawScope(const DrawScope &) = delete;
  DrawScope &operator=(const DrawScope &) = delete;

  explicit operator bool() const { return dc_ != nullptr; }  // false: not a valid DC
  Dc &dc() const { return *dc_; }
  const Raster &target() const { return target_; }
  // The target's bounds intersected with the clip region; may be empty.
  const RECT &clip() const { return clip_; }
  // Records a changed area (already clipped by the caller).
  void Touch(int left, int top, int right, int bottom) {
    if (left >= right || top >= bottom) return;
    if (dirty_.left >= dirty_.right) {
      dirty_ = RECT{left, top, right, bottom};
      return;
    }
    if (left < dirty_.left) dirty_.left = left;
    if (top < dirty_.top) dirty_.top = top;
    if (right > dirty_.right) dirty_.right = right;
    if (bottom > dirty_.bottom) dirty_.bottom = bottom;
  }
  // Mix in effect and the span primitives above use; changing it lasts for this scope only.
  int rop2 = R2_COPYPEN;

 private:
  std::unique_lock<std::recursive_mutex> gdi_;
  Dc *dc_ = nullptr;
  WindowSurface *surface_ = nullptr;
  Raster target_;
  RECT clip_{0, 0, 0, 0};
  RECT dirty_{0, 0, 0, 0};
};

// A span whose pixel values come from `source(x, value)`; a false result leaves that pixel
// alone (transparent hatch gaps). Clipped and mixed with scope.rop2.
template <class Source>
void FillSpanWith(DrawScope &scope, int y, int x0, int x1, Source &&source) {
  const RECT &c = scope.clip();
  if (y < c.top || y >= c.bottom) return;
  if (x0 < c.left) x0 = c.left;
  if (x1 > c.right) x1 = c.right;
  if (x0 >= x1) return;
  const Raster &t = scope.target();
  const int rop = scope.rop2;
  // The copy mix on whole bytes (pages, windows) writes without the per-pixel depth switch.
  const uint32_t mask = t.mask;
  auto direct = [&](auto *row) {
    for (int x = x0; x < x1; ++x) {
      uint32_t v;
      if (source(x, v)) row[x] = static_cast<std::remove_reference_t<decltype(*row)>>(v & mask);
    }
  };
  if (rop == R2_COPYPEN && t.bpp == 8) {
    direct(t.Row(y));
  } else if (rop == R2_COPYPEN && t.bpp == 32) {
    direct(reinterpret_cast<uint32_t *>(t.Row(y)));
  } else {
    for (int x = x0; x < x1; ++x) {
      uint32_t v;
      if (!source(x, v)) continue;
      t.Set(x, y, (rop == R2_COPYPEN ? v : Mix(rop, v, t.Get(x, y))) & t.mask);
    }
  }
  scope.Touch(x0, y, x1, y + 1);
}

// ---- Pens and lines -----------------------------------------------------------------------

// Walks the dash pattern of a cosmetic pen: one step per pixel of a line or outline. Pixels in
// the pattern's "on" runs get the pen value; gaps get the background value in OPAQUE mode and
// are skipped otherwise. A pattern starts afresh with each new walker.
class PenWalker {
 public:
  PenWalker(DrawScope &scope, const Pen &pen);
  bool Null() const { return null_; }
  uint32_t PenValue() const { return penValue_; }
  // Plots the next pixel of the path at (x, y), clipped.
  void Plot(int x, int y);
  // Advances the pattern by `n` pixels without drawing them (clipped-away parts of a path).
  void Skip(long long n);
  const RECT &Clip() const { return scope_.clip(); }
  // The target when plotting is a plain write of PenValue() (solid pen, copy mix, 8 or 32
  // bits), else an empty raster.
  const Raster &DirectTarget() const { return direct_; }
  void Touch(int left, int top, int right, int bottom) { scope_.Touch(left, top, right, bottom); }

 private:
  DrawScope &scope_;
  bool null_ = false;
  uint32_t penValue_ = 0;
  uint32_t bkValue_ = 0;
  bool opaque_ = false;
  const uint8_t *runs_ = nullptr;  // alternating on/off run lengths, nullptr for solid
  int runCount_ = 0;
  int period_ = 0;
  long long step_ = 0;
  Raster direct_;
};

// The pixels real GDI sets for a cosmetic line from (x0, y0) to (x1, y1), end excluded, in
// drawing order, each handed to walker.Plot; parts outside the clip are skipped in O(1).
void CosmeticLine(PenWalker &walker, int x0, int y0, int x1, int y1);
// A wide solid stroke through `points` (round caps and joins), filled once as a whole with the
// pen value under the DC's mix. `count` >= 1; a single point draws a dot.
void WideStroke(DrawScope &scope, const Pen &pen, const POINT *points, int count, bool closed);
// Outlines `points` with the DC's pen as Polyline does (closed: back to the first point too).
void StrokePolyline(DrawScope &scope, const POINT *points, int count, bool closed);

}  // namespace pv::gdi
