// Colour numbers, the stock palette, the named colours and the session palette.
#include "plotvane/session.h"

namespace plotvane {

namespace {

constexpr COLORREF Rgb(uint32_t r, uint32_t g, uint32_t b) { return r | (g << 8) | (b << 16); }

// One block of 24 hues from five levels: blue rising to magenta, red, yellow, green, cyan and
// back toward blue.
constexpr std::array<COLORREF, 24> HueBlock(const uint8_t (&l)[5]) {
  constexpr uint8_t order[24][3] = {
      {0, 0, 4}, {1, 0, 4}, {2, 0, 4}, {3, 0, 4}, {4, 0, 4}, {4, 0, 3}, {4, 0, 2}, {4, 0, 1},
      {4, 0, 0}, {4, 1, 0}, {4, 2, 0}, {4, 3, 0}, {4, 4, 0}, {3, 4, 0}, {2, 4, 0}, {1, 4, 0},
      {0, 4, 0}, {0, 4, 1}, {0, 4, 2}, {0, 4, 3}, {0, 4, 4}, {0, 3, 4}, {0, 2, 4}, {0, 1, 4},
  };
  std::array<COLORREF, 24> block{};
  for (int i = 0; i < 24; ++i) block[i] = Rgb(l[order[i][0]], l[order[i][1]], l[order[i][2]]);
  return block;
}

constexpr std::array<COLORREF, 256> MakeStockPalette() {
  std::array<COLORREF, 256> p{};  // entries not set below stay black
  constexpr uint8_t basic[16][3] = {
      {0, 0, 0},     {0, 0, 168},    {0, 168, 0},    {0, 168, 168},  {168, 0, 0},    {168, 0, 168},
      {168, 84, 0},  {168, 168, 168}, {84, 84, 84},  {132, 132, 252}, {84, 252, 84}, {84, 252, 252},
      {252, 84, 84}, {252, 84, 252},  {252, 252, 84}, {252, 252, 252},
  };
  for (int i = 0; i < 16; ++i) p[i] = Rgb(basic[i][0], basic[i][1], basic[i][2]);
  constexpr uint8_t greys[16] = {0, 20, 32, 44, 56, 68, 80, 96, 112, 128, 144, 160, 180, 200, 224, 252};
  for (int i = 0; i < 16; ++i) p[16 + i] = Rgb(greys[i], greys[i], greys[i]);

  constexpr uint8_t levels[9][5] = {
      {0, 64, 124, 188, 252}, {124, 156, 188, 220, 252}, {180, 196, 216, 232, 252},
      {0, 28, 56, 84, 112},   {56, 68, 84, 96, 112},     {80, 88, 96, 104, 112},
      {0, 16, 32, 48, 64},    {32, 40, 48, 56, 64},      {44, 48, 52, 60, 64},
  };
  for (int b = 0; b < 8; ++b) {
    const auto block = HueBlock(levels[b]);
    for (int i = 0; i < 24; ++i) p[32 + 24 * b + i] = block[i];
  }
  // The last block lacks its ninth hue; its last entry stays black.
  const auto last = HueBlock(levels[8]);
  for (int i = 0, out = 224; i < 24; ++i) {
    if (i != 8) p[out++] = last[i];
  }
  p[65] = Rgb(252, 156, 252);
  return p;
}

// Named colour defaults as written, RRGGBB (red first).
constexpr uint32_t NamedRRGGBB[256] = {
    0xF0F8FF, 0xE32636, 0xFFBF00, 0x9966CC, 0xFAEBD7, 0x7FFFD4, 0x7BA05B, 0xF0FFFF,  // 0
    0xF5F5DC, 0xFFE4C4, 0x3D2B1F, 0xCAE00D, 0x000000, 0xFFEBCD, 0xFF9900, 0x0000FF,  // 8
    0x8A2BE2, 0x0095B6, 0xB5A642, 0x66FF00, 0x08E8DE, 0xCD00CD, 0xCD7F32, 0xA52A2A,  // 16
    0xF0DC82, 0x900020, 0xDEB887, 0xCC5500, 0xE97451, 0x8A3324, 0x5F9EA0, 0x78866B,  // 24
    0xC41E3A, 0x960018, 0xED9121, 0xADBED1, 0xACE1AF, 0xDE3163, 0x007BA7, 0x2A52BE,  // 32
    0x7FFF00, 0xD2691E, 0x7B3F00, 0x0047AB, 0xB87333, 0xFF7F50, 0xFBEC5D, 0x6495ED,  // 40
    0xFFF8DC, 0xFFFDD0, 0xDC143C, 0x00FFFF, 0x00008B, 0x654321, 0x08457E, 0x986960,  // 48
    0xCD5B45, 0x008B8B, 0xB8860B, 0x545454, 0x006400, 0x310062, 0xBDB76B, 0x8B008B,  // 56
    0x556832, 0x556B2F, 0xFF8C00, 0x9932CC, 0x03C03C, 0xE75480, 0x8B0000, 0xE9967A,  // 64
    0x560319, 0x8FBC8F, 0x483D8B, 0x2F4F4F, 0x177245, 0x918151, 0xFFA812, 0xBADBAD,  // 72
    0xCC4E5C, 0x00CED1, 0x9400D3, 0xFF1493, 0x00BFFF, 0x1560BD, 0x696969, 0x1E90FF,  // 80
    0x50C878, 0x990066, 0x4F7942, 0xB22222, 0xEEDC82, 0xFFFAF0, 0x228B22, 0x808080,  // 88
    0xF400A1, 0xDCDCDC, 0xE49B0F, 0xF8F8FF, 0xFFD700, 0xDAA520, 0x7E7E7E, 0x465945,  // 96
    0xCADABA, 0x008000, 0xADFF2F, 0xDF73FF, 0xF0FFF0, 0xFF69B4, 0xCD5C5C, 0x4B0082,  // 104
    0x002FA7, 0xFF4F00, 0xFFFFF0, 0x00A86B, 0xF0E68C, 0xE6E6FA, 0xFFF0F5, 0x7CFC00,  // 112
    0xFDE910, 0xFFFACD, 0xADD8E6, 0xD2B48C, 0xF08080, 0xE0FFFF, 0xFAFAD2, 0xA8A8A8,  // 120
    0x90EE90, 0xFF80FF, 0xFFB6C1, 0xFF8080, 0xFFA07A, 0x20B2AA, 0x87CEFA, 0x778899,  // 128
    0xB0C4DE, 0xFFFFE0, 0xC8A2C8, 0x00FF00, 0x32CD32, 0xFAF0E6, 0xFF00FF, 0x0BDA51,  // 136
    0x800000, 0xE0B0FF, 0x66CDAA, 0x0000CD, 0xBA55D3, 0x9370DB, 0x3CB371, 0x7B68EE,  // 144
    0x00FA9A, 0x48D1CC, 0xC71585, 0x191970, 0xF5FFFA, 0xFFE4E1, 0xFFE4B5, 0xC0DCC0,  // 152
    0xC7031E, 0xADDFAD, 0x997A8D, 0xFFDB58, 0xFFDEAD, 0x000080, 0xCC7722, 0xCFB53B,  // 160
    0xFDF5E6, 0x808000, 0x6B8E23, 0xFFA500, 0xFF4500, 0xDA70D6, 0x987654, 0xAF4035,  // 168
    0xDDADAF, 0xABCDEF, 0xEEE8AA, 0x98FB98, 0xF984E5, 0x996666, 0xFADADD, 0xDABDAB,  // 176
    0xAFEEEE, 0xDB7093, 0xFFEFD5, 0x77DD77, 0xFFD1DC, 0xFFE5B4, 0xFFCC99, 0xFFDAB9,  // 184
    0xFADFAD, 0xD1E231, 0xCCCCFF, 0x6600FF, 0xCD853F, 0x01796F, 0xFFC0CB, 0xFF9966,  // 192
    0xDDA0DD, 0xB0E0E6, 0x003153, 0xCC8899, 0xFF7518, 0x800080, 0x734A12, 0xFF0000,  // 200
    0xC9FFA2, 0x00CCCC, 0xBC8F8F, 0x4169E1, 0x80461B, 0xB7410E, 0x8B4513, 0xF4C430,  // 208
    0xFA8072, 0xF4A460, 0x92000A, 0x082567, 0xFF2400, 0xFFD800, 0x2E8B57, 0xFFF5EE,  // 216
    0xFFBA00, 0x704214, 0xA0522D, 0xC0C0C0, 0x87CEEB, 0x6A5ACD, 0x708090, 0xFFFAFA,  // 224
    0x00FF7F, 0x4682B4, 0xACB78E, 0xBC987E, 0xFFCC00, 0x008080, 0xD0F0C0, 0xCD5700,  // 232
    0xE2725B, 0xD8BFD8, 0xFF6347, 0x40E0D0, 0x120A8F, 0xFF4D00, 0xEE82EE, 0x991199,  // 240
    0x40826D, 0xF5DEB3, 0xFFFFFF, 0xF5F5F5, 0xC9A0DC, 0xFFFF00, 0x9ACD32, 0xEBC2AF,  // 248
};

constexpr std::array<COLORREF, 256> MakeNamedDefaults() {
  std::array<COLORREF, 256> c{};
  for (int i = 0; i < 256; ++i) c[i] = Rgb(NamedRRGGBB[i] >> 16, (NamedRRGGBB[i] >> 8) & 0xFF, NamedRRGGBB[i] & 0xFF);
  return c;
}

}  // namespace

const std::array<COLORREF, 256> StockPalette = MakeStockPalette();
const std::array<COLORREF, 256> NamedColorDefaults = MakeNamedDefaults();

uint32_t MapColor(uint32_t color) {
  const GraphSession &s = Session();
  if (!s.PaletteMode) return color;
  // Before any palette is installed (an open stopped by the font probe) the session palette
  // has MaxColors black entries; never divide by zero.
  uint32_t size = s.PaletteSize ? s.PaletteSize : s.MaxColors;
  if (size == 0) size = 1;
  return 0x01000000u + color % size;
}

uint32_t NamedColor(uint8_t index) { return Session().NamedColors[index]; }

void ReadStockPalette(PaletteRecord &rec) {
  const GraphSession &s = Session();
  rec.Size = s.PaletteMode ? s.MaxColors : 256;
  for (uint16_t i = 0; i < rec.Size; ++i) rec.Colors[i] = StockPalette[i];
  if (s.Driver == 1) {
    rec.Colors[0] = 0x000000;
    rec.Colors[1] = 0xFFFFFF;
  }
}

void CreateSessionPalette() {
  GraphSession &s = Session();
  struct {
    WORD version;
    WORD count;
    PALETTEENTRY entries[256];
  } pal{};
  pal.version = 0x300;
  pal.count = s.MaxColors;
  s.SessionPalette = CreatePalette(reinterpret_cast<const LOGPALETTE *>(&pal));
}

void MatchNamedColors() {
  GraphSession &s = Session();
  for (int i = 0; i < 256; ++i) s.NamedColors[i] = GetNearestPaletteIndex(s.SessionPalette, NamedColorDefaults[i]);
}

void ResetNamedColors() {
  GraphSession &s = Session();
  for (int i = 0; i < 256; ++i) s.NamedColors[i] = NamedColorDefaults[i];
}

void InstallPalette(const PaletteRecord &rec) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (!s.PaletteMode) {
    s.GraphError = grNotPaletteMode;
    return;
  }
  // Size 0 has no colour 0 to repeat and would leave MapColor nothing to reduce by.
  if (rec.Size == 0 || rec.Size > s.MaxColors) {
    s.GraphError = grOutOfRange;
    return;
  }
  PALETTEENTRY entries[256];
  for (uint16_t i = 0; i < rec.Size; ++i) {
    const uint32_t c = rec.Colors[i];
    entries[i] = PALETTEENTRY{static_cast<BYTE>(c), static_cast<BYTE>(c >> 8), static_cast<BYTE>(c >> 16), 0};
  }
  for (uint16_t i = 0; i < s.MaxColors; ++i) {
    const PALETTEENTRY &e = entries[i < rec.Size ? i : 0];
    s.PageColorTable[i] = RGBQUAD{e.peBlue, e.peGreen, e.peRed, 0};
  }

  EnterCriticalSection(&s.SessionLock);
  ResizePalette(s.SessionPalette, rec.Size);
  SetPaletteEntries(s.SessionPalette, 0, rec.Size, entries);
  SetDIBColorTable(s.PageDC, 0, s.MaxColors, s.PageColorTable.data());
  MatchNamedColors();
  RealizePalette(s.WindowDC);
  RealizePalette(s.PageDC);
  RealizePalette(s.SpareDC);
  LeaveCriticalSection(&s.SessionLock);
  InvalidateRect(s.WindowHandle, nullptr, FALSE);
  s.PaletteSize = rec.Size;
}

void SetBackColor(uint32_t color) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  s.BackColor = color;
  SetBkColor(s.WindowDC, MapColor(color));
  SetBkColor(s.PageDC, MapColor(color));
}

}  // namespace plotvane
