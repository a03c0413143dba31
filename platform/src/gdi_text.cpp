// Text output: the font file a LOGFONT resolves to, realised by FreeType at the pixel size GDI
// maps its height to; metrics, extents, and hinted glyphs in the text colour: monochrome, or
// smoothed on 32-bit pages at the sizes the font's gasp table marks for grey.
//
// GDI's mapping, as Wine's GDI shows it: a positive height is the cell height (the font's
// Windows ascent plus descent); the em size is that height scaled to the em, rounded, and made
// smaller while the scaled cell would round above the height asked for. Ascent and descent are
// the Windows ascent and descent at that em size, rounded.
#include <ft2build.h>
#include FT_FREETYPE_H
#include FT_GASP_H
#include FT_OUTLINE_H
#include FT_TRUETYPE_TABLES_H

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>
#include <vector>

#include "gdi_internal.h"

namespace pv::gdi {

namespace {

// Glyph bitmaps are kept up to this em size; larger glyphs are drawn straight from their outline
// and only where they meet the clip.
constexpr int kCachedPpem = 256;

long Round(double v) { return std::lround(v); }

// Windows-1252 bytes 0x80-0x9F; the five it leaves undefined map to the same C1 code point, as
// Windows does.
char32_t FromCp1252(uint8_t b) {
  static constexpr char16_t high[32] = {
      0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
      0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
      0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  return b >= 0x80 && b < 0xA0 ? high[b - 0x80] : b;
}

FT_Library Library() {
  static FT_Library library = [] {
    FT_Library l = nullptr;
    if (FT_Init_FreeType(&l) != 0) l = nullptr;
    return l;
  }();
  return library;
}

// Coverage in the 17 levels GDI smooths with, 0 to kFullInk.
constexpr uint8_t kFullInk = 16;

// A glyph image: one coverage level per pixel, top row first.
struct Ink {
  int left = 0;  // device offset of column 0 from the glyph's origin
  int top = 0;   // device offset of row 0 from the origin (down is positive)
  int width = 0;
  int rows = 0;
  std::vector<uint8_t> bits;
};

struct Glyph {
  bool loaded = false;
  int advance = 0;  // whole pixels along the baseline
  int drawnAdvance = 0;  // of the monochrome hinting, with which plain text steps
  double linear = 0;  // unhinted, fractional: the step of text turned off the four straight directions
  Ink ink;          // cached image (em sizes up to kCachedPpem)
  bool smoothLoaded = false;
  Ink smoothInk;    // the smoothed image, cached likewise
};

}  // namespace

// One font file at one em size and direction.
struct RealizedFont {
  ~RealizedFont() {
    if (face) FT_Done_Face(face);
  }

  FontFile file;
  int ppem = 0;
  int escapement = 0;  // tenths of a degree, 0 to 3599
  bool smoothable = false;  // the gasp table asks for grey at this em size
  FT_Face face = nullptr;
  FT_Matrix rotation{0x10000, 0, 0, 0x10000};
  double cosine = 1, sine = 0;  // of the direction; exact for multiples of 90 degrees
  // The same as the glyphs are turned by (16.16), with which Wine's GDI places glyphs: 30
  // degrees has a sine of exactly one half here, and the current position moves by the former.
  double placeCosine = 1, placeSine = 0;

  int ascent = 0, descent = 0, internalLeading = 0, externalLeading = 0;
  int aveWidth = 0, maxWidth = 0;
  int underlineTop = 0, underlineThickness = 1;  // below the baseline, pixels
  long extentLeft = 0, extentRight = 0, extentUp = 0, extentDown = 0;  // ink bounds of any glyph
  Glyph glyphs[256];
};

namespace {

// Loads glyph `code` hinted for monochrome or smoothed output; its outline is rotated to the
// direction.
bool LoadOutline(RealizedFont &f, uint8_t code, bool smooth) {
  const FT_UInt index = FT_Get_Char_Index(f.face, FromCp1252(code));
  if (FT_Load_Glyph(f.face, index, (smooth ? FT_LOAD_DEFAULT : FT_LOAD_TARGET_MONO) | FT_LOAD_NO_BITMAP) != 0) return false;
  if (f.face->glyph->format != FT_GLYPH_FORMAT_OUTLINE) return false;
  if (f.escapement != 0) FT_Outline_Transform(&f.face->glyph->outline, &f.rotation);
  return true;
}

// Rasterises the loaded outline into the device window [x0, x1) x [y0, y1), given relative to
// the glyph's origin (device directions: y down).
Ink Rasterise(RealizedFont &f, int x0, int y0, int x1, int y1, bool smooth) {
  Ink ink;
  ink.left = x0;
  ink.top = y0;
  ink.width = x1 - x0;
  ink.rows = y1 - y0;
  if (ink.width <= 0 || ink.rows <= 0) {
    ink.width = ink.rows = 0;
    return ink;
  }
  const int pitch = smooth ? ink.width : (ink.width + 7) / 8;
  std::vector<unsigned char> buffer(static_cast<size_t>(pitch) * ink.rows);
  FT_Bitmap bitmap{};
  bitmap.rows = static_cast<unsigned>(ink.rows);
  bitmap.width = static_cast<unsigned>(ink.width);
  bitmap.pitch = pitch;
  bitmap.buffer = buffer.data();
  bitmap.pixel_mode = smooth ? FT_PIXEL_MODE_GRAY : FT_PIXEL_MODE_MONO;
  bitmap.num_grays = smooth ? 256 : 2;
  // The window's bottom-left corner goes to the bitmap's origin; FreeType's y points up. Whole
  // pixel shifts leave the rasteriser's choices as they are.
  FT_Outline &outline = f.face->glyph->outline;
  FT_Outline_Translate(&outline, -x0 * 64, y1 * 64);
  FT_Outline_Get_Bitmap(Library(), &outline, &bitmap);
  FT_Outline_Translate(&outline, x0 * 64, -y1 * 64);
  ink.bits.resize(static_cast<size_t>(ink.width) * ink.rows);
  for (int r = 0; r < ink.rows; ++r)
    for (int c = 0; c < ink.width; ++c) {
      uint8_t level;
      if (smooth) {
        // 256 coverages to 17 levels; the faintest level is left out, as GDI leaves it.
        level = static_cast<uint8_t>(buffer[static_cast<size_t>(r) * pitch + c] * (kFullInk + 1) >> 8);
        if (level == 1) level = 0;
      } else {
        level = (buffer[static_cast<size_t>(r) * pitch + c / 8] >> (7 - c % 8)) & 1 ? kFullInk : 0;
      }
      ink.bits[static_cast<size_t>(r) * ink.width + c] = level;
    }
  return ink;
}

// The device box, relative to the origin, that the loaded outline covers, in whole pixels.
void OutlineBox(RealizedFont &f, int &x0, int &y0, int &x1, int &y1) {
  FT_BBox box;
  FT_Outline_Get_CBox(&f.face->glyph->outline, &box);
  x0 = static_cast<int>(box.xMin >> 6);
  x1 = static_cast<int>((box.xMax + 63) >> 6);
  y0 = -static_cast<int>((box.yMax + 63) >> 6);
  y1 = -static_cast<int>(box.yMin >> 6);
}

// The cached image of a loaded glyph, smoothed or not.
const Ink &ImageOf(RealizedFont &f, Glyph &g, uint8_t code, bool smooth) {
  if (!smooth || g.smoothLoaded) return smooth ? g.smoothInk : g.ink;
  g.smoothLoaded = true;
  if (f.ppem <= kCachedPpem && LoadOutline(f, code, true)) {
    int x0, y0, x1, y1;
    OutlineBox(f, x0, y0, x1, y1);
    g.smoothInk = Rasterise(f, x0, y0, x1, y1, true);
  }
  return g.smoothInk;
}

Glyph &GlyphOf(RealizedFont &f, uint8_t code) {
  Glyph &g = f.glyphs[code];
  if (g.loaded) return g;
  g.loaded = true;
  // GDI's advances are those of the normal hinting, though the glyphs are drawn with the
  // monochrome one.
  if (FT_Load_Glyph(f.face, FT_Get_Char_Index(f.face, FromCp1252(code)), FT_LOAD_DEFAULT | FT_LOAD_NO_BITMAP) == 0) {
    g.advance = static_cast<int>((f.face->glyph->metrics.horiAdvance + 32) >> 6);
    g.linear = f.face->glyph->linearHoriAdvance / 65536.0;
  }
  if (!LoadOutline(f, code, false)) return g;
  g.drawnAdvance = static_cast<int>((f.face->glyph->metrics.horiAdvance + 32) >> 6);
  if (f.ppem <= kCachedPpem) {
    int x0, y0, x1, y1;
    OutlineBox(f, x0, y0, x1, y1);
    g.ink = Rasterise(f, x0, y0, x1, y1, false);
  }
  return g;
}

// The em size GDI picks for a LOGFONT height (see the top of this file).
int PpemFor(long height, long units, long ascender, long descender) {
  if (height < 0) return static_cast<int>(std::min<long>(-height, 0xFFFF));
  if (height == 0) height = 16;  // what GDI gives for "any height"
  const long cell = ascender + descender;
  if (cell <= 0) return static_cast<int>(std::min<long>(height, 0xFFFF));
  long ppem = Round(static_cast<double>(height) * units / cell);
  while (ppem > 1 && Round(static_cast<double>(cell) * ppem / units) > height) --ppem;
  return static_cast<int>(std::clamp<long>(ppem, 1, 0xFFFF));
}

std::shared_ptr<RealizedFont> Realize(const LOGFONTA &log) {
  FontFile file = ResolveFontFile(log);
  if (file.path.empty() || !Library()) return nullptr;
  FT_Face face = nullptr;
  if (FT_New_Face(Library(), file.path.c_str(), file.index, &face) != 0) return nullptr;
  auto f = std::make_shared<RealizedFont>();
  f->face = face;
  f->file = std::move(file);
  const TT_OS2 *os2 = static_cast<TT_OS2 *>(FT_Get_Sfnt_Table(face, FT_SFNT_OS2));
  const TT_HoriHeader *hhea = static_cast<TT_HoriHeader *>(FT_Get_Sfnt_Table(face, FT_SFNT_HHEA));
  const TT_Postscript *post = static_cast<TT_Postscript *>(FT_Get_Sfnt_Table(face, FT_SFNT_POST));
  const long units = face->units_per_EM ? face->units_per_EM : 2048;
  long winAscent = os2 ? os2->usWinAscent : face->ascender;
  long winDescent = os2 ? os2->usWinDescent : -face->descender;
  if (winAscent + winDescent <= 0) {
    winAscent = face->ascender;
    winDescent = -face->descender;
  }
  f->ppem = PpemFor(log.lfHeight, units, winAscent, winDescent);
  if (FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(f->ppem)) != 0) return nullptr;
  f->smoothable = (FT_Get_Gasp(face, static_cast<FT_UInt>(f->ppem)) & FT_GASP_DO_GRAY) != 0;
  const double scale = static_cast<double>(f->ppem) / units;
  f->ascent = static_cast<int>(Round(winAscent * scale));
  f->descent = static_cast<int>(Round(winDescent * scale));
  f->internalLeading = static_cast<int>(Round((winAscent + winDescent - units) * scale));
  if (hhea) {
    const long gap = hhea->Line_Gap + hhea->Ascender - hhea->Descender - (winAscent + winDescent);
    f->externalLeading = static_cast<int>(std::max(0L, Round(gap * scale)));
  }
  f->aveWidth = static_cast<int>(Round((os2 ? os2->xAvgCharWidth : units / 2) * scale));
  f->maxWidth = static_cast<int>(Round((face->bbox.xMax - face->bbox.xMin) * scale));
  if (post && post->underlineThickness > 0) {
    f->underlineThickness = static_cast<int>(std::max(1L, Round(post->underlineThickness * scale)));
    // The table's position is the line's centre, as Wine's GDI reads it.
    f->underlineTop = static_cast<int>(Round(-post->underlinePosition * scale)) - f->underlineThickness / 2;
  } else {
    f->underlineThickness = std::max(1, f->ppem / 14);
    f->underlineTop = std::max(1, f->descent / 2);
  }

  f->escapement = static_cast<int>(((log.lfEscapement % 3600) + 3600) % 3600);
  switch (f->escapement) {
    case 0: break;
    case 900: f->cosine = 0, f->sine = 1; break;
    case 1800: f->cosine = -1, f->sine = 0; break;
    case 2700: f->cosine = 0, f->sine = -1; break;
    default: {
      const double a = f->escapement * 3.14159265358979323846 / 1800;
      f->cosine = std::cos(a);
      f->sine = std::sin(a);
    }
  }
  // Counter-clockwise on the screen: FreeType's y points up.
  f->rotation.xx = static_cast<FT_Fixed>(Round(f->cosine * 65536));
  f->rotation.xy = static_cast<FT_Fixed>(Round(-f->sine * 65536));
  f->rotation.yx = static_cast<FT_Fixed>(Round(f->sine * 65536));
  f->rotation.yy = f->rotation.xx;
  f->placeCosine = f->rotation.xx / 65536.0;
  f->placeSine = f->rotation.yx / 65536.0;

  // Bounds of any glyph around its origin, for skipping glyphs that miss the clip.
  const long reach = Round(std::max({std::abs(face->bbox.xMin), std::abs(face->bbox.xMax), std::abs(face->bbox.yMin),
                                     std::abs(face->bbox.yMax), units}) * scale * 1.5) + 2;
  f->extentLeft = f->extentRight = f->extentUp = f->extentDown = reach;
  return f;
}

RealizedFont *RealizedOf(Dc &dc) {
  Font *font = dc.font;
  if (!font) return nullptr;
  if (font->realized) return font->realized.get();
  // Fonts made alike (the library makes a new one at every change) share one realisation.
  static std::vector<std::pair<LOGFONTA, std::weak_ptr<RealizedFont>>> shared;
  for (auto &[log, weak] : shared)
    if (std::memcmp(&log, &font->log, sizeof log) == 0)
      if (auto f = weak.lock()) return (font->realized = std::move(f)).get();
  font->realized = Realize(font->log);
  if (!font->realized) return nullptr;
  std::erase_if(shared, [](const auto &entry) { return entry.second.expired(); });
  shared.emplace_back(font->log, font->realized);
  return font->realized.get();
}

// What Wine's GDI reports for the standard faces' fonts: the first character one below the
// space, the space as the default, and "!" as the break character, which justification widens.
constexpr uint8_t kFirstChar = 0x1F, kDefaultChar = 0x20, kBreakChar = 0x21;

bool IsBreak(uint8_t c) { return c == kBreakChar; }

// Width of the text along the baseline: advances, the character extra after every character,
// and the justification's extra on the break characters.
long long ExtentOf(RealizedFont &f, const Dc &dc, const uint8_t *text, int count) {
  long long width = 0;
  int breaks = 0;
  for (int i = 0; i < count; ++i) {
    width += GlyphOf(f, text[i]).advance + dc.charExtra;
    if (dc.breakCount > 0 && IsBreak(text[i])) {
      width += dc.breakExtra / dc.breakCount + (breaks < dc.breakExtra % dc.breakCount ? 1 : 0);
      ++breaks;
    }
  }
  return width;
}

int Saturate(long long v) { return static_cast<int>(std::clamp<long long>(v, INT_MIN, INT_MAX)); }

// A smoothed pixel of 32-bit colour `text` over `under`, as Wine's GDI mixes it: each channel
// moves from the background toward the text by a weight of the level, from a table that makes
// thin edges lighter where the text is darker than the background, and the mirrored table
// where it is brighter. (Wine's weights also vary a little with the two colours: a channel may
// come out one step away from this.)
uint32_t Blend(uint32_t text, uint32_t under, int level) {
  static constexpr int kDarker[kFullInk + 1] = {0, 7, 15, 22, 30, 38, 47, 56, 66, 77, 88, 101, 115, 131, 151, 178, 255};
  uint32_t out = 0;
  for (int shift = 0; shift < 24; shift += 8) {
    const int t = static_cast<int>((text >> shift) & 0xFF), b = static_cast<int>((under >> shift) & 0xFF);
    const int weight = t < b ? kDarker[level] : 255 - kDarker[kFullInk - level];
    out |= static_cast<uint32_t>((t * weight + b * (255 - weight)) / 255) << shift;
  }
  return out;
}

// A box of the text's own frame (u along the baseline, v down across it) filled on the device,
// pixel centres inside the turned box.
template <class Plot>
void FillTextBox(const RealizedFont &f, double ox, double oy, double u0, double v0, double u1, double v1,
                 const RECT &clip, Plot &&plot) {
  const double c = f.cosine, s = f.sine;
  auto devX = [&](double u, double v) { return ox + u * c + v * s; };
  auto devY = [&](double u, double v) { return oy - u * s + v * c; };
  const double xs[4] = {devX(u0, v0), devX(u1, v0), devX(u0, v1), devX(u1, v1)};
  const double ys[4] = {devY(u0, v0), devY(u1, v0), devY(u0, v1), devY(u1, v1)};
  const long left = std::max<long>(clip.left, static_cast<long>(std::floor(*std::min_element(xs, xs + 4))));
  const long right = std::min<long>(clip.right, static_cast<long>(std::ceil(*std::max_element(xs, xs + 4))));
  const long top = std::max<long>(clip.top, static_cast<long>(std::floor(*std::min_element(ys, ys + 4))));
  const long bottom = std::min<long>(clip.bottom, static_cast<long>(std::ceil(*std::max_element(ys, ys + 4))));
  for (long y = top; y < bottom; ++y)
    for (long x = left; x < right; ++x) {
      // Back into the text's frame; the centre of the pixel decides.
      const double dx = x + 0.5 - ox, dy = y + 0.5 - oy;
      const double u = dx * c - dy * s, v = dx * s + dy * c;
      if (u >= u0 && u < u1 && v >= v0 && v < v1) plot(static_cast<int>(x), static_cast<int>(y));
    }
}

}  // namespace

}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

BOOL WINAPI GetTextMetricsA(HDC hdc, TEXTMETRICA *tm) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc || !tm) return FALSE;
  RealizedFont *f = RealizedOf(*dc);
  if (!f) return FALSE;
  const LOGFONTA &log = dc->font->log;
  *tm = TEXTMETRICA{};
  tm->tmHeight = f->ascent + f->descent;
  tm->tmAscent = f->ascent;
  tm->tmDescent = f->descent;
  tm->tmInternalLeading = f->internalLeading;
  tm->tmExternalLeading = f->externalLeading;
  tm->tmAveCharWidth = f->aveWidth;
  tm->tmMaxCharWidth = f->maxWidth;
  tm->tmWeight = log.lfWeight > 0 ? log.lfWeight : FW_NORMAL;
  tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = 96;
  tm->tmFirstChar = kFirstChar;
  tm->tmLastChar = 0xFF;
  tm->tmDefaultChar = kDefaultChar;
  tm->tmBreakChar = kBreakChar;
  tm->tmItalic = log.lfItalic ? 1 : 0;
  tm->tmUnderlined = log.lfUnderline ? 1 : 0;
  tm->tmStruckOut = log.lfStrikeOut ? 1 : 0;
  // TMPF_FIXED_PITCH set means variable pitch; outlines are TMPF_VECTOR | TMPF_TRUETYPE.
  const bool fixed = FT_IS_FIXED_WIDTH(f->face);
  tm->tmPitchAndFamily = static_cast<BYTE>((fixed ? 0x30 : 0x21) | 0x02 | 0x04);
  tm->tmCharSet = 0;  // ANSI_CHARSET
  return TRUE;
}

BOOL WINAPI GetTextExtentPoint32A(HDC hdc, LPCSTR text, int count, LPSIZE size) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc || !size || count < 0 || (count > 0 && !text)) return FALSE;
  RealizedFont *f = RealizedOf(*dc);
  if (!f) return FALSE;
  if (count == 0) {
    *size = SIZE{0, 0};
    return TRUE;
  }
  size->cx = Saturate(ExtentOf(*f, *dc, reinterpret_cast<const uint8_t *>(text), count));
  size->cy = f->ascent + f->descent;
  return TRUE;
}

BOOL WINAPI TextOutA(HDC hdc, int x, int y, LPCSTR text, int count) {
  if (count < 0 || (count > 0 && !text)) return FALSE;
  DrawScope scope(hdc);
  if (!scope) return FALSE;
  Dc &dc = scope.dc();
  RealizedFont *f = RealizedOf(dc);
  if (!f) return FALSE;
  if (count == 0) return TRUE;
  const uint8_t *chars = reinterpret_cast<const uint8_t *>(text);
  const bool updateCp = dc.textAlign & TA_UPDATECP;
  if (updateCp) {
    x = dc.pos.x;
    y = dc.pos.y;
  }
  const long long width = ExtentOf(*f, dc, chars, count);
  const UINT horizontal = dc.textAlign & TA_CENTER;
  const UINT vertical = dc.textAlign & TA_BASELINE;
  // Where the text starts along the baseline, and where the baseline lies below the point.
  const double start = horizontal == TA_CENTER ? -static_cast<double>(width / 2)
                       : horizontal == TA_RIGHT ? -static_cast<double>(width)
                                                : 0.0;
  const int baseline = vertical == TA_BASELINE ? 0 : vertical == TA_BOTTOM ? -f->descent : f->ascent;
  const double c = f->placeCosine, s = f->placeSine;

  const Raster &target = scope.target();
  const RECT &clip = scope.clip();
  // The glyphs and their background ignore the mix, as in Wine's GDI.
  const uint32_t ink = ResolveColor(dc, dc.textColor, target, ColorUse::Pen);
  auto put = [&](int px, int py, uint32_t value) { target.Set(px, py, value & target.mask); };
  long touchedLeft = LONG_MAX, touchedTop = LONG_MAX, touchedRight = LONG_MIN, touchedBottom = LONG_MIN;
  auto touch = [&](long l, long t, long r, long b) {
    touchedLeft = std::min(touchedLeft, l);
    touchedTop = std::min(touchedTop, t);
    touchedRight = std::max(touchedRight, r);
    touchedBottom = std::max(touchedBottom, b);
  };

  if (target.bpp != 0 && clip.left < clip.right) {
    // Where the baseline starts (rounded down), and each glyph's origin from there (cut toward
    // zero), as Wine's GDI places text in any direction.
    const long baseX = x + static_cast<long>(std::floor(start * c + baseline * s));
    const long baseY = y + static_cast<long>(std::floor(-start * s + baseline * c));
    // Wine's GDI fills the background only of text that runs rightwards, and then as an upright
    // box: the cell's height around the baseline's start, the text's width across the page.
    if (dc.bkMode == OPAQUE && c > 0) {
      const uint32_t back = ResolveBackground(dc, target, dc.textColor, ink);
      const long left = std::max<long>(clip.left, baseX), right = std::min<long>(clip.right, baseX + Round(width * c));
      const long top = std::max<long>(clip.top, baseY - f->ascent), bottom = std::min<long>(clip.bottom, baseY + f->descent);
      for (long py = top; py < bottom; ++py)
        for (long px = left; px < right; ++px) put(static_cast<int>(px), static_cast<int>(py), back);
      if (left < right && top < bottom) touch(left, top, right, bottom);
    }
    // Glyphs are cut to the cell, as Wine's GDI does (accents of capitals and some descenders
    // at small sizes reach beyond it); in the four straight directions.
    RECT glyphClip = clip;
    const long cellTop = baseline - f->ascent, cellBottom = baseline + f->descent;  // across, from the point
    auto narrow = [](LONG &low, LONG &high, long from, long to) {
      low = static_cast<LONG>(std::max<long>(low, from));
      high = static_cast<LONG>(std::min<long>(high, to));
    };
    switch (f->escapement) {
      case 0: narrow(glyphClip.top, glyphClip.bottom, y + cellTop, y + cellBottom); break;
      case 900: narrow(glyphClip.left, glyphClip.right, x + cellTop, x + cellBottom); break;
      case 1800: narrow(glyphClip.top, glyphClip.bottom, y - cellBottom, y - cellTop); break;
      case 2700: narrow(glyphClip.left, glyphClip.right, x - cellBottom, x - cellTop); break;
      default: break;
    }
    // Plain horizontal text steps by the advances of the glyphs as drawn; once spacing or a
    // straight direction places each glyph, the measured advances are used, and in any other
    // direction the unhinted ones, as in Wine's GDI.
    const bool straight = f->escapement % 900 == 0;
    const bool glyphSteps = f->escapement == 0 && dc.charExtra == 0 && dc.breakExtra == 0;
    // Wine's GDI smooths glyphs on 32-bit pages only; smoothed glyphs are hinted as the
    // measured advances are, so plain text steps by those.
    const bool smooth = target.bpp == 32 && f->smoothable;
    double pen = start;
    int breaks = 0;
    for (int i = 0; i < count; ++i) {
      Glyph &g = GlyphOf(*f, chars[i]);
      const double along = pen - start;
      const long gx = baseX + static_cast<long>(along * c), gy = baseY + static_cast<long>(-along * s);
      pen += (glyphSteps && !smooth ? g.drawnAdvance : straight ? g.advance : g.linear) + dc.charExtra;
      if (dc.breakCount > 0 && IsBreak(chars[i])) {
        pen += dc.breakExtra / dc.breakCount + (breaks < dc.breakExtra % dc.breakCount ? 1 : 0);
        ++breaks;
      }
      // Glyphs that cannot reach the clip are not drawn at all.
      if (gx + f->extentRight <= glyphClip.left || gx - f->extentLeft >= glyphClip.right || gy + f->extentDown <= glyphClip.top ||
          gy - f->extentUp >= glyphClip.bottom)
        continue;
      Ink drawn;
      const Ink *image = &ImageOf(*f, g, chars[i], smooth);
      if (f->ppem > kCachedPpem) {
        if (!LoadOutline(*f, chars[i], smooth)) continue;
        int x0, y0, x1, y1;
        OutlineBox(*f, x0, y0, x1, y1);
        drawn = Rasterise(*f, std::max<long>(x0, glyphClip.left - gx), std::max<long>(y0, glyphClip.top - gy),
                          std::min<long>(x1, glyphClip.right - gx), std::min<long>(y1, glyphClip.bottom - gy), smooth);
        image = &drawn;
      }
      const long left = gx + image->left, top = gy + image->top;
      const long r0 = std::max<long>(0, glyphClip.top - top), r1 = std::min<long>(image->rows, glyphClip.bottom - top);
      const long c0 = std::max<long>(0, glyphClip.left - left), c1 = std::min<long>(image->width, glyphClip.right - left);
      if (r0 >= r1 || c0 >= c1) continue;
      for (long r = r0; r < r1; ++r) {
        const uint8_t *row = image->bits.data() + r * image->width;
        for (long col = c0; col < c1; ++col) {
          if (!row[col]) continue;
          const int px = static_cast<int>(left + col), py = static_cast<int>(top + r);
          put(px, py, row[col] == kFullInk ? ink : Blend(ink, target.Get(px, py), row[col]));
        }
      }
      touch(left + c0, top + r0, left + c1, top + r1);
    }
    // The underline is a line, and follows the mix as lines do (the glyphs do not).
    if (dc.font->log.lfUnderline && dc.rop2 != R2_NOP) {
      FillTextBox(*f, x, y, start, baseline + f->underlineTop, start + static_cast<double>(width),
                  baseline + f->underlineTop + f->underlineThickness, clip, [&](int px, int py) {
                    put(px, py, Mix(dc.rop2, ink, target.Get(px, py)));
                    touch(px, py, px + 1, py + 1);
                  });
    }
    if (touchedLeft < touchedRight)
      scope.Touch(static_cast<int>(touchedLeft), static_cast<int>(touchedTop), static_cast<int>(touchedRight),
                  static_cast<int>(touchedBottom));
  }

  if (updateCp && horizontal != TA_CENTER) {
    // The position moves to the far end of the text: after it, or before it when right-aligned.
    const double along = horizontal == TA_RIGHT ? -static_cast<double>(width) : static_cast<double>(width);
    dc.pos.x = Saturate(x + static_cast<long long>(along * f->cosine));
    dc.pos.y = Saturate(y - static_cast<long long>(along * f->sine));
  }
  return TRUE;
}

}  // extern "C"
