#include "page.h"

#include <cstring>

namespace reference {

Page::Page(const PageFormat &format) : format_(format) {
  if (format_.bits != 32 && format_.table.empty()) format_.table = StandardTable(format_.bits);
  if (format_.bits == 32) format_.table.clear();

  // BITMAPINFO has room for one colour; indexed formats need the whole table behind it.
  std::vector<uint8_t> info(sizeof(BITMAPINFOHEADER) + 256 * sizeof(RGBQUAD), 0);
  auto *bmi = reinterpret_cast<BITMAPINFO *>(info.data());
  bmi->bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  bmi->bmiHeader.biWidth = format_.width;
  bmi->bmiHeader.biHeight = format_.topDown ? -format_.height : format_.height;
  bmi->bmiHeader.biPlanes = 1;
  bmi->bmiHeader.biBitCount = static_cast<WORD>(format_.bits);
  bmi->bmiHeader.biCompression = BI_RGB;
  bmi->bmiHeader.biClrUsed = static_cast<DWORD>(format_.table.size());
  if (!format_.table.empty())
    std::memcpy(info.data() + sizeof(BITMAPINFOHEADER), format_.table.data(), format_.table.size() * sizeof(RGBQUAD));

  dc_ = CreateCompatibleDC(nullptr);
  if (!dc_) return;
  void *bits = nullptr;
  bitmap_ = CreateDIBSection(dc_, bmi, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!bitmap_ || !bits) return;
  oldBitmap_ = SelectObject(dc_, bitmap_);

  std::vector<PALETTEENTRY> entries = format_.palette.empty() ? PaletteOf(format_.table) : format_.palette;
  if (!entries.empty()) {
    std::vector<uint8_t> logBuf(sizeof(LOGPALETTE) + entries.size() * sizeof(PALETTEENTRY), 0);
    auto *log = reinterpret_cast<LOGPALETTE *>(logBuf.data());
    log->palVersion = 0x300;
    log->palNumEntries = static_cast<WORD>(entries.size());
    std::memcpy(log->palPalEntry, entries.data(), entries.size() * sizeof(PALETTEENTRY));
    palette_ = CreatePalette(log);
    if (!palette_) return;
    oldPalette_ = SelectPalette(dc_, palette_, FALSE);
    RealizePalette(dc_);
  }
  stride_ = ((format_.width * format_.bits + 31) / 32) * 4;
  bits_ = static_cast<uint8_t *>(bits);
}

Page::~Page() {
  if (dc_) {
    if (oldPalette_) SelectPalette(dc_, oldPalette_, FALSE);
    if (oldBitmap_) SelectObject(dc_, oldBitmap_);
    DeleteDC(dc_);
  }
  if (palette_) DeleteObject(palette_);
  if (bitmap_) DeleteObject(bitmap_);
}

uint8_t *Page::Row(int y) const {
  return bits_ + static_cast<ptrdiff_t>(format_.topDown ? y : format_.height - 1 - y) * stride_;
}

uint32_t Page::Get(int x, int y) const {
  const uint8_t *row = Row(y);
  switch (format_.bits) {
    case 1: return (row[x / 8] >> (7 - x % 8)) & 1;
    case 4: return (row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF;
    case 8: return row[x];
    default: {
      uint32_t v;
      std::memcpy(&v, row + 4 * x, 4);
      return v & 0xFFFFFF;
    }
  }
}

void Page::Put(int x, int y, uint32_t value) {
  uint8_t *row = Row(y);
  switch (format_.bits) {
    case 1: {
      const uint8_t mask = static_cast<uint8_t>(0x80 >> (x % 8));
      row[x / 8] = static_cast<uint8_t>((value & 1) ? row[x / 8] | mask : row[x / 8] & ~mask);
      break;
    }
    case 4: {
      const int shift = x % 2 ? 0 : 4;
      row[x / 2] = static_cast<uint8_t>((row[x / 2] & ~(0xF << shift)) | ((value & 0xF) << shift));
      break;
    }
    case 8: row[x] = static_cast<uint8_t>(value); break;
    default: {
      const uint32_t v = value & 0xFFFFFF;
      std::memcpy(row + 4 * x, &v, 4);
    }
  }
}

namespace {

RGBQUAD Quad(int r, int g, int b) {
  return RGBQUAD{static_cast<BYTE>(b), static_cast<BYTE>(g), static_cast<BYTE>(r), 0};
}

// The sixteen classic colours, in their usual order.
const int kVga[16][3] = {{0, 0, 0},       {128, 0, 0},   {0, 128, 0},   {128, 128, 0},
                         {0, 0, 128},     {128, 0, 128}, {0, 128, 128}, {192, 192, 192},
                         {128, 128, 128}, {255, 0, 0},   {0, 255, 0},   {255, 255, 0},
                         {0, 0, 255},     {255, 0, 255}, {0, 255, 255}, {255, 255, 255}};

}  // namespace

std::vector<RGBQUAD> StandardTable(int bits) {
  std::vector<RGBQUAD> t;
  if (bits == 1) return {Quad(0, 0, 0), Quad(255, 255, 255)};
  for (const auto &c : kVga) t.push_back(Quad(c[0], c[1], c[2]));
  if (bits == 4) return t;
  // The VGA colours, a 6 x 6 x 6 cube (whose black and white repeat entries 0 and 15) and a
  // ramp of greys: close colours and exact duplicates, as a real page's table has.
  for (int r = 0; r < 6; ++r)
    for (int g = 0; g < 6; ++g)
      for (int b = 0; b < 6; ++b) t.push_back(Quad(r * 51, g * 51, b * 51));
  for (int i = 0; i < 24; ++i) t.push_back(Quad(8 + i * 10, 8 + i * 10, 8 + i * 10));
  return t;
}

std::vector<RGBQUAD> DuplicatesTable() {
  std::vector<RGBQUAD> t = StandardTable(8);
  for (int i = 247; i < 256; ++i) t[i] = Quad(0, 0, 0);
  for (int i = 100; i < 104; ++i) t[i] = Quad(96, 96, 96);  // the same grey four times
  t[200] = t[9];                                              // bright red twice
  return t;
}

std::vector<PALETTEENTRY> PaletteOf(const std::vector<RGBQUAD> &table) {
  std::vector<PALETTEENTRY> p;
  for (const RGBQUAD &q : table) p.push_back(PALETTEENTRY{q.rgbRed, q.rgbGreen, q.rgbBlue, 0});
  return p;
}

}  // namespace reference
