// Brushes: creation, the brush origin, and painting spans with solid, hatched and pattern brushes.
#include "gdi_brush.h"

#include <algorithm>
#include <climits>
#include <cstring>
#include <memory>

namespace pv::gdi {
namespace {

// Rows of the six hatches in an 8x8 cell, top row first; bit 7 is the cell's left column.
void HatchRows(ULONG_PTR style, uint8_t rows[8]) {
  for (int y = 0; y < 8; ++y) {
    const uint8_t horizontal = y == 3 ? 0xFF : 0x00;
    const uint8_t vertical = 0x80 >> 4;
    const uint8_t forward = static_cast<uint8_t>(0x80 >> y);       // x == y
    const uint8_t backward = static_cast<uint8_t>(0x80 >> (7 - y));  // x + y == 7
    switch (style) {
      case HS_HORIZONTAL: rows[y] = horizontal; break;
      case HS_VERTICAL: rows[y] = vertical; break;
      case HS_FDIAGONAL: rows[y] = forward; break;
      case HS_BDIAGONAL: rows[y] = backward; break;
      case HS_CROSS: rows[y] = horizontal | vertical; break;
      default: rows[y] = forward | backward; break;  // HS_DIAGCROSS
    }
  }
}

// Non-negative remainder, for origins anywhere in the int range.
int Wrap(long long v, int m) {
  long long r = v % m;
  return static_cast<int>(r < 0 ? r + m : r);
}

}  // namespace

BrushPainter::BrushPainter(DrawScope &scope, const Brush *brush) : scope_(scope) {
  if (!brush || scope.target().bpp == 0) return;
  Dc &dc = scope.dc();
  const Raster &t = scope.target();
  switch (brush->log.lbStyle) {
    case BS_SOLID:
      kind_ = Kind::Solid;
      fore_ = ResolveColor(dc, brush->log.lbColor, t, ColorUse::Pen);
      return;
    case BS_HATCHED:
      kind_ = Kind::Hatch;
      fore_ = ResolveColor(dc, brush->log.lbColor, t, ColorUse::Pen);
      opaque_ = dc.bkMode == OPAQUE;
      if (opaque_) back_ = ResolveBackground(dc, t, brush->log.lbColor, fore_);
      HatchRows(brush->log.lbHatch, hatchRows_);
      tileW_ = tileH_ = 8;
      break;
    case BS_PATTERN: {
      const BrushPattern &p = brush->pattern;
      if (p.width <= 0 || p.height <= 0) return;
      kind_ = Kind::Pattern;
      tileW_ = p.width;
      tileH_ = p.height;
      tile_.resize(p.pixels.size());
      // Indices stay indices between formats of the same depth; otherwise the colour counts.
      const bool sameIndexed = p.bpp == t.bpp && t.bpp <= 8;
      // A pattern has few distinct values (two, for a monochrome one): each is searched for in
      // the target's table once, not once per pixel of the tile.
      uint32_t lastSource = 0, lastValue = 0;
      bool haveLast = false;
      for (size_t i = 0; i < p.pixels.size(); ++i) {
        const uint32_t v = p.pixels[i];
        if (sameIndexed) {
          tile_[i] = v & t.mask;
          continue;
        }
        if (haveLast && v == lastSource) {
          tile_[i] = lastValue;
          continue;
        }
        COLORREF c;
        if (p.bpp == 32) {
          c = RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
        } else {
          const RGBQUAD q = v < p.table.size() ? p.table[v] : RGBQUAD{0, 0, 0, 0};
          c = RGB(q.rgbRed, q.rgbGreen, q.rgbBlue);
        }
        tile_[i] = t.bpp == 32 ? (GetRValue(c) << 16 | GetGValue(c) << 8 | GetBValue(c))
                               : static_cast<uint32_t>(NearestIndex(t.table, t.tableSize, c));
        haveLast = true;
        lastSource = v;
        lastValue = tile_[i];
      }
      break;
    }
    default: return;  // BS_NULL and anything unknown paint nothing
  }
  orgX_ = Wrap(dc.brushOrg.x, tileW_);
  orgY_ = Wrap(dc.brushOrg.y, tileH_);
}

void BrushPainter::Span(int y, int x0, int x1) {
  switch (kind_) {
    case Kind::None: return;
    case Kind::Solid: FillSpan(scope_, y, x0, x1, fore_); return;
    case Kind::Hatch: {
      const uint8_t row = hatchRows_[Wrap(static_cast<long long>(y) - orgY_, 8)];
      if (row == 0 && !opaque_) return;
      // Copies, so that the pixel writes cannot be taken to change them.
      FillSpanWith(scope_, y, x0, x1, [row, orgX = orgX_, fore = fore_, back = back_, opaque = opaque_](int x, uint32_t &v) {
        const bool line = (row << ((x - orgX) & 7)) & 0x80;
        v = line ? fore : back;
        return line || opaque;
      });
      return;
    }
    case Kind::Pattern: {
      const uint32_t *row = tile_.data() + static_cast<size_t>(Wrap(static_cast<long long>(y) - orgY_, tileH_)) * tileW_;
      const Raster &t = scope_.target();
      const RECT &c = scope_.clip();
      if (scope_.rop2 == R2_COPYPEN && (t.bpp == 8 || t.bpp == 32) && y >= c.top && y < c.bottom) {
        x0 = std::max<int>(x0, c.left);
        x1 = std::min<int>(x1, c.right);
        if (x0 >= x1) return;
        // The row repeats with the tile's width: write one period, then copy what is written
        // onto what follows, doubling the copy each time.
        const size_t bytes = static_cast<size_t>(t.bpp / 8);
        uint8_t *out = t.Row(y) + static_cast<size_t>(x0) * bytes;
        const int period = std::min(tileW_, x1 - x0);
        int column = Wrap(static_cast<long long>(x0) - orgX_, tileW_);
        for (int i = 0; i < period; ++i) {
          const uint32_t v = row[column] & t.mask;
          if (bytes == 1)
            out[i] = static_cast<uint8_t>(v);
          else
            std::memcpy(out + static_cast<size_t>(i) * 4, &v, 4);
          if (++column == tileW_) column = 0;
        }
        const size_t total = static_cast<size_t>(x1 - x0) * bytes;
        for (size_t done = static_cast<size_t>(period) * bytes; done < total; done *= 2)
          std::memcpy(out + done, out, std::min(done, total - done));
        scope_.Touch(x0, y, x1, y + 1);
        return;
      }
      // Pixels come left to right: step the tile column, wrapping it, rather than divide.
      int next = INT_MIN, column = 0;
      FillSpanWith(scope_, y, x0, x1, [&](int x, uint32_t &v) {
        if (x != next) column = Wrap(static_cast<long long>(x) - orgX_, tileW_);
        v = row[column];
        next = x + 1;
        if (++column == tileW_) column = 0;
        return true;
      });
      return;
    }
  }
}

void BrushPainter::Box(int x0, int y0, int x1, int y1) {
  if (kind_ == Kind::Solid) {
    FillBlock(scope_, x0, y0, x1, y1, fore_);
    return;
  }
  for (int y = y0; y < y1; ++y) Span(y, x0, x1);
}

}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

HBRUSH WINAPI CreateBrushIndirect(const LOGBRUSH *log) {
  if (!log) return nullptr;
  GdiGuard lock(GdiLock());
  auto brush = std::make_unique<Brush>();
  brush->log = *log;
  switch (log->lbStyle) {
    case BS_SOLID:
    case BS_NULL: break;
    case BS_HATCHED:
      if (log->lbHatch > HS_DIAGCROSS) return nullptr;
      break;
    case BS_PATTERN: {
      // The brush keeps its own copy: the bitmap may change or go away afterwards.
      const Bitmap *b = FindBitmap(reinterpret_cast<HGDIOBJ>(log->lbHatch));
      if (!b || !b->bits || b->width <= 0 || b->height <= 0) return nullptr;
      const Raster src = RasterOf(*b);
      BrushPattern &p = brush->pattern;
      p.width = b->width;
      p.height = b->height;
      p.bpp = b->bpp;
      p.table = b->table;
      p.pixels.resize(static_cast<size_t>(b->width) * b->height);
      for (int y = 0; y < b->height; ++y)
        for (int x = 0; x < b->width; ++x) p.pixels[static_cast<size_t>(y) * b->width + x] = src.Get(x, y);
      break;
    }
    default: return nullptr;
  }
  return static_cast<HBRUSH>(Register(std::move(brush)));
}

HBRUSH WINAPI CreateSolidBrush(COLORREF color) {
  const LOGBRUSH log{BS_SOLID, color, 0};
  return CreateBrushIndirect(&log);
}

BOOL WINAPI SetBrushOrgEx(HDC hdc, int x, int y, LPPOINT previous) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return FALSE;
  if (previous) *previous = dc->brushOrg;
  dc->brushOrg = POINT{x, y};
  return TRUE;
}

}  // extern "C"
