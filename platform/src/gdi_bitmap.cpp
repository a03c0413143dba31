// Bitmaps: DIB sections, compatible bitmaps, colour tables, GetDIBits and BitBlt.
#include <algorithm>
#include <cstring>

#include "gdi_expand.h"
#include "gdi_internal.h"

namespace pv::gdi {
namespace {

constexpr long long kMaxBitmapBytes = 1LL << 30;

bool SupportedDepth(int bpp) { return bpp == 1 || bpp == 4 || bpp == 8 || bpp == 32; }

long long StrideOf(long long width, int bpp) { return ((width * bpp + 31) / 32) * 4; }

// A zeroed bitmap of the given shape, or nullptr when it is too large.
std::unique_ptr<Bitmap> NewBitmap(int width, int height, int bpp, bool topDown) {
  long long stride = StrideOf(width, bpp);
  long long bytes = stride * height;
  if (width <= 0 || height <= 0 || bytes > kMaxBitmapBytes) return nullptr;
  auto b = std::make_unique<Bitmap>();
  b->width = width;
  b->height = height;
  b->bpp = bpp;
  b->topDown = topDown;
  b->stride = static_cast<int>(stride);
  b->storage = std::make_unique<uint32_t[]>(static_cast<size_t>(bytes / 4));
  b->bits = reinterpret_cast<uint8_t *>(b->storage.get());
  if (bpp <= 8) b->table.assign(size_t{1} << bpp, RGBQUAD{0, 0, 0, 0});
  b->tableVersion = NextVersion();
  return b;
}

uint32_t Pixel32(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }
COLORREF Color32(uint32_t v) { return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF); }

// Monochrome device-dependent bitmaps take their two colours from the DCs around them, as on
// Windows: 0 is the destination's text colour and 1 its background colour.
bool MonoDdb(const Dc &dc) { return dc.bitmap && !dc.bitmap->dib && dc.bitmap->bpp == 1 && !dc.surface; }

// Converts source pixel values to destination values for one blit.
class BlitConverter {
 public:
  BlitConverter(Dc &dst, const Raster &d, Dc &src, const Raster &s) : d_(d), s_(s) {
    // Into a monochrome bitmap, the source's background colour becomes 1 and the rest 0.
    monoDest_ = MonoDdb(dst);
    if (monoDest_) sourceBk_ = ColorOfRef(src, src.bkColor);
    if (s.bpp <= 8) {
      const bool monoSource = MonoDdb(src);
      identity_ = !monoSource && !MonoDdb(dst) && s.bpp == d.bpp && s.tableSize == d.tableSize &&
                  std::equal(s.table, s.table + s.tableSize, d.table, [](const RGBQUAD &a, const RGBQUAD &b) {
                    return a.rgbRed == b.rgbRed && a.rgbGreen == b.rgbGreen && a.rgbBlue == b.rgbBlue;
                  });
      for (int i = 0; i < s.tableSize && !identity_; ++i) {
        COLORREF c = monoSource ? ColorOfRef(dst, i ? dst.bkColor : dst.textColor) : s.ColorOf(i);
        map_[i] = ToDest(c);
      }
    } else {
      identity_ = d.bpp == 32 && d.mask == s.mask;
    }
  }
  bool Identity() const { return identity_; }
  // Destination values of an indexed source's entries, for loops that look them up directly.
  const uint32_t *Map() const { return map_; }
  uint32_t operator()(uint32_t v) {
    if (s_.bpp <= 8) return map_[v];
    if (d_.bpp == 32) return v;
    if (monoDest_) return Color32(v) == sourceBk_ ? 1u : 0u;
    // True colour into a colour table goes through a 5-5-5 reduction, each channel taken at the
    // middle of its step, as real GDI does for blits.
    uint32_t key = v & 0x00F8F8F8u;
    if (key != lastKey_) {
      lastKey_ = key;
      uint32_t mid = key | 0x00040404u;
      lastValue_ = static_cast<uint32_t>(NearestIndex(d_.table, d_.tableSize, Color32(mid)));
    }
    return lastValue_;
  }

 private:
  uint32_t ToDest(COLORREF c) const {
    if (d_.bpp == 32) return Pixel32(c);
    if (monoDest_) return c == sourceBk_ ? 1u : 0u;
    return static_cast<uint32_t>(NearestIndex(d_.table, d_.tableSize, c));
  }

  const Raster &d_;
  const Raster &s_;
  bool identity_ = false;
  bool monoDest_ = false;
  COLORREF sourceBk_ = 0;
  uint32_t map_[256] = {};
  uint32_t lastKey_ = 0xFFFFFFFFu;
  uint32_t lastValue_ = 0;
};

void CopyRows(const Raster &d, int dx, int dy, const Raster &s, int sx, int sy, int w, int h) {
  // Same pixels on both sides may overlap: walk rows and pixels away from the overlap.
  const bool upward = s.origin == d.origin && dy > sy;
  for (int i = 0; i < h; ++i) {
    int row = upward ? h - 1 - i : i;
    if (d.bpp == 8 || d.bpp == 32) {
      int bytes = d.bpp / 8;
      std::memmove(d.Row(dy + row) + static_cast<ptrdiff_t>(dx) * bytes,
                   s.Row(sy + row) + static_cast<ptrdiff_t>(sx) * bytes, static_cast<size_t>(w) * bytes);
    } else {
      const bool leftward = s.origin == d.origin && dx > sx;
      for (int j = 0; j < w; ++j) {
        int col = leftward ? w - 1 - j : j;
        d.Set(dx + col, dy + row, s.Get(sx + col, sy + row));
      }
    }
  }
}

}  // namespace
}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

HBITMAP WINAPI CreateDIBSection(HDC hdc, const BITMAPINFO *info, UINT usage, void **bits, HANDLE section,
                                DWORD) {
  if (bits) *bits = nullptr;
  if (!info || section || (usage != DIB_RGB_COLORS && usage != DIB_PAL_COLORS)) return nullptr;
  const BITMAPINFOHEADER &h = info->bmiHeader;
  if (h.biSize < sizeof(BITMAPINFOHEADER) || h.biPlanes != 1 || h.biCompression != BI_RGB ||
      !SupportedDepth(h.biBitCount) || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN)
    return nullptr;
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (usage == DIB_PAL_COLORS && !dc) return nullptr;
  auto b = NewBitmap(h.biWidth, h.biHeight < 0 ? -h.biHeight : h.biHeight, h.biBitCount, h.biHeight < 0);
  if (!b) return nullptr;
  b->dib = true;
  // The table follows the header (biSize may be larger than ours); absent entries stay black.
  const uint8_t *colors = reinterpret_cast<const uint8_t *>(info) + h.biSize;
  size_t given = h.biClrUsed ? std::min<size_t>(h.biClrUsed, b->table.size()) : b->table.size();
  for (size_t i = 0; i < given; ++i) {
    if (usage == DIB_RGB_COLORS) {
      std::memcpy(&b->table[i], colors + 4 * i, sizeof(RGBQUAD));
      b->table[i].rgbReserved = 0;
    } else {
      WORD index;
      std::memcpy(&index, colors + 2 * i, sizeof index);
      COLORREF c = ColorOfRef(*dc, PALETTEINDEX(index));
      b->table[i] = RGBQUAD{GetBValue(c), GetGValue(c), GetRValue(c), 0};
    }
  }
  uint8_t *data = b->bits;
  HGDIOBJ handle = Register(std::move(b));
  if (handle && bits) *bits = data;
  return static_cast<HBITMAP>(handle);
}

HBITMAP WINAPI CreateCompatibleBitmap(HDC hdc, int width, int height) {
  if (width < 0 || height < 0) return nullptr;
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return nullptr;
  // An empty size gets the stock 1x1 monochrome bitmap, as on Windows.
  if (width == 0 || height == 0) return static_cast<HBITMAP>(DefaultBitmap()->handle);
  const Bitmap *model = dc->memory ? dc->bitmap : nullptr;
  std::unique_ptr<Bitmap> b;
  if (model && model->dib) {
    // Another DIB section of the same format and colour table.
    b = NewBitmap(width, height, model->bpp, false);
    if (b) {
      b->dib = true;
      b->table = model->table;
    }
  } else {
    // Window and screen DCs make true-colour bitmaps; memory DCs make bitmaps like the one
    // they hold (monochrome while they hold the stock one).
    b = NewBitmap(width, height, model ? model->bpp : 32, false);
    if (b && b->bpp == 1) b->table = {RGBQUAD{0, 0, 0, 0}, RGBQUAD{255, 255, 255, 0}};
  }
  if (!b) return nullptr;
  return static_cast<HBITMAP>(Register(std::move(b)));
}

UINT WINAPI SetDIBColorTable(HDC hdc, UINT start, UINT count, const RGBQUAD *colors) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  Bitmap *b = dc ? dc->bitmap : nullptr;
  if (!b || !b->dib || b->table.empty() || !colors || start >= b->table.size()) return 0;
  UINT n = std::min<UINT>(count, static_cast<UINT>(b->table.size()) - start);
  for (UINT i = 0; i < n; ++i) b->table[start + i] = RGBQUAD{colors[i].rgbBlue, colors[i].rgbGreen, colors[i].rgbRed, 0};
  b->tableVersion = NextVersion();
  return n;
}

UINT WINAPI GetDIBColorTable(HDC hdc, UINT start, UINT count, RGBQUAD *colors) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  Bitmap *b = dc ? dc->bitmap : nullptr;
  if (!b || !b->dib || b->table.empty() || !colors || start >= b->table.size()) return 0;
  UINT n = std::min<UINT>(count, static_cast<UINT>(b->table.size()) - start);
  std::copy(b->table.begin() + start, b->table.begin() + start + n, colors);
  return n;
}

int WINAPI GetDIBits(HDC hdc, HBITMAP bitmap, UINT startScan, UINT scanLines, LPVOID bits, BITMAPINFO *info,
                     UINT usage) {
  if (!info || info->bmiHeader.biSize < sizeof(BITMAPINFOHEADER) || usage != DIB_RGB_COLORS) return 0;
  GdiGuard lock(GdiLock());
  Bitmap *b = FindBitmap(bitmap);
  if (!b || !FindDc(hdc)) return 0;
  BITMAPINFOHEADER &h = info->bmiHeader;
  RGBQUAD *table = reinterpret_cast<RGBQUAD *>(reinterpret_cast<uint8_t *>(info) + h.biSize);
  if (h.biBitCount == 0) {
    // Describe the bitmap.
    h.biWidth = b->width;
    h.biHeight = b->height;
    h.biPlanes = 1;
    h.biBitCount = static_cast<WORD>(b->bpp);
    h.biCompression = BI_RGB;
    h.biSizeImage = static_cast<DWORD>(StrideOf(b->width, b->bpp) * b->height);
    h.biClrUsed = 0;
    return b->height;
  }
  const int bpp = h.biBitCount;
  // Copies as they are, or converted to true colour.
  if (bpp != 32 && bpp != b->bpp) return 0;
  if (h.biWidth != b->width || h.biHeight == 0 || h.biHeight == INT32_MIN) return 0;
  const bool topDown = h.biHeight < 0;
  const long long lines = topDown ? -static_cast<long long>(h.biHeight) : h.biHeight;
  const long long stride = StrideOf(b->width, bpp);
  h.biSizeImage = static_cast<DWORD>(stride * lines);
  if (bpp <= 8) std::copy(b->table.begin(), b->table.end(), table);
  if (!bits) return static_cast<int>(std::min<long long>(lines, b->height));
  if (startScan >= static_cast<UINT>(std::min<long long>(lines, b->height))) return 0;
  const long long count = std::min<long long>(scanLines, std::min<long long>(lines, b->height) - startScan);
  Raster src;
  src.origin = b->Row(0);
  src.pitch = b->topDown ? b->stride : -static_cast<ptrdiff_t>(b->stride);
  src.width = b->width;
  src.height = b->height;
  src.bpp = b->bpp;
  src.table = b->table.data();
  src.tableSize = static_cast<int>(b->table.size());
  // Scan line i of the request counts from the top for top-down requests, else from the bottom.
  for (long long i = 0; i < count; ++i) {
    long long scan = startScan + i;
    int y = static_cast<int>(topDown ? scan : b->height - 1 - scan);
    uint8_t *out = static_cast<uint8_t *>(bits) + i * stride;
    if (bpp == b->bpp) {
      std::memcpy(out, src.Row(y), static_cast<size_t>(stride));
    } else {
      auto *px = reinterpret_cast<uint32_t *>(out);
      for (int x = 0; x < b->width; ++x) px[x] = Pixel32(src.ColorOf(src.Get(x, y)));
    }
  }
  return static_cast<int>(count);
}

BOOL WINAPI BitBlt(HDC dest, int x, int y, int width, int height, HDC source, int srcX, int srcY, DWORD rop) {
  if (rop != SRCCOPY || width < 0 || height < 0) return FALSE;
  DrawScope scope(dest);
  if (!scope) return FALSE;
  Dc *src = FindDc(source);
  if (!src) return FALSE;
  pv::WindowSurface *otherSurface = src->surface && src->surface != scope.dc().surface ? src->surface : nullptr;
  std::unique_lock<std::mutex> sourceLock;
  if (otherSurface) sourceLock = std::unique_lock<std::mutex>(otherSurface->mutex);
  const Raster s = TargetOf(*src);
  const Raster &d = scope.target();
  if (s.bpp == 0 || d.bpp == 0) return TRUE;
  // The destination rectangle, clipped, then cut to what exists of the source.
  long long left = std::max<long long>(x, scope.clip().left), top = std::max<long long>(y, scope.clip().top);
  long long right = std::min<long long>(static_cast<long long>(x) + width, scope.clip().right);
  long long bottom = std::min<long long>(static_cast<long long>(y) + height, scope.clip().bottom);
  const long long offX = static_cast<long long>(srcX) - x, offY = static_cast<long long>(srcY) - y;
  left = std::max(left, -offX);
  top = std::max(top, -offY);
  right = std::min(right, s.width - offX);
  bottom = std::min(bottom, s.height - offY);
  if (left >= right || top >= bottom) return TRUE;
  const int dx = static_cast<int>(left), dy = static_cast<int>(top);
  const int sx = static_cast<int>(left + offX), sy = static_cast<int>(top + offY);
  const int w = static_cast<int>(right - left), h = static_cast<int>(bottom - top);
  BlitConverter convert(scope.dc(), d, *src, s);
  if (convert.Identity()) {
    CopyRows(d, dx, dy, s, sx, sy, w, h);
  } else if (s.bpp == 8 && d.bpp == 32) {
    // The page-to-window copy.
    const IndexExpander expand(convert.Map());
    for (int row = 0; row < h; ++row)
      expand.Row(s.Row(sy + row) + sx, reinterpret_cast<uint32_t *>(d.Row(dy + row)) + dx, w);
  } else {
    for (int row = 0; row < h; ++row)
      for (int col = 0; col < w; ++col) d.Set(dx + col, dy + row, convert(s.Get(sx + col, sy + row)) & d.mask);
  }
  scope.Touch(dx, dy, dx + w, dy + h);
  return TRUE;
}

}  // extern "C"
