// A drawing page as the library makes them: a memory DC holding a DIB section, with a logical
// palette selected for PALETTEINDEX colours. Only Win32 calls, so it builds on both systems.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace reference {

struct PageFormat {
  int width = 64;
  int height = 64;
  int bits = 8;                        // 1, 4, 8 or 32
  std::vector<RGBQUAD> table;          // indexed pages; empty takes the standard table for the depth
  std::vector<PALETTEENTRY> palette;   // selected logical palette; empty takes the table's colours
  bool topDown = false;
};

class Page {
 public:
  explicit Page(const PageFormat &format);
  ~Page();
  Page(const Page &) = delete;
  Page &operator=(const Page &) = delete;

  bool Ok() const { return bits_ != nullptr; }
  HDC Dc() const { return dc_; }
  int Width() const { return format_.width; }
  int Height() const { return format_.height; }
  int Bits() const { return format_.bits; }
  const std::vector<RGBQUAD> &Table() const { return format_.table; }

  // Reads and writes the DIB's memory directly, bypassing GDI: for setting up backgrounds and
  // for reading the result. Values are table indices, or 0xRRGGBB on 32-bit pages.
  uint32_t Get(int x, int y) const;
  void Put(int x, int y, uint32_t value);

 private:
  uint8_t *Row(int y) const;

  PageFormat format_;
  HDC dc_ = nullptr;
  HBITMAP bitmap_ = nullptr;
  HGDIOBJ oldBitmap_ = nullptr;
  HPALETTE palette_ = nullptr;
  HPALETTE oldPalette_ = nullptr;
  uint8_t *bits_ = nullptr;
  int stride_ = 0;
};

// Colour tables the scenes share.
std::vector<RGBQUAD> StandardTable(int bits);
// 8-bit table with duplicate colours: black at 0 and at 247 to 255, and repeated greys.
std::vector<RGBQUAD> DuplicatesTable();
std::vector<PALETTEENTRY> PaletteOf(const std::vector<RGBQUAD> &table);

}  // namespace reference
