// Fonts and the text state of a DC: logical fonts, font families through fontconfig, text
// alignment, character extra and justification.
#include <fontconfig/fontconfig.h>
#include <strings.h>

#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gdi_internal.h"
#include "pvplatform.h"

namespace pv::gdi {
namespace {

// Windows faces that fontconfig knows no metric-compatible stand-in for, and the installed
// family that stands for them here: the one the Wine prefixes of the scripts map it to, so
// that text measures and looks the same on both.
struct Substitute {
  const char *face;
  const char *family;
};
constexpr Substitute kSubstitutes[] = {{"MS Sans Serif", "Liberation Sans"}};

// fontconfig's configuration is shared; its calls are kept to one thread at a time.
std::mutex &FontconfigMutex() {
  static std::mutex m;
  return m;
}

struct FoundFont {
  std::string family;
  int weight = FW_NORMAL;
  bool italic = false;
  bool fixedPitch = false;
};

int WeightOf(int fcWeight) {
  // fontconfig's scale: 80 regular, 200 bold; GDI's: 400 and 700.
  return static_cast<int>(FcWeightToOpenType(fcWeight));
}

FoundFont Describe(FcPattern *font) {
  FoundFont f;
  FcChar8 *family = nullptr;
  if (FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch) f.family = reinterpret_cast<char *>(family);
  int v = 0;
  if (FcPatternGetInteger(font, FC_WEIGHT, 0, &v) == FcResultMatch) f.weight = WeightOf(v);
  if (FcPatternGetInteger(font, FC_SLANT, 0, &v) == FcResultMatch) f.italic = v != FC_SLANT_ROMAN;
  if (FcPatternGetInteger(font, FC_SPACING, 0, &v) == FcResultMatch) f.fixedPitch = v == FC_MONO;
  return f;
}

// The installed family that a face name stands for: the family of that name, or one that
// fontconfig binds to it strongly (its metric-compatible aliases). Empty when there is none.
std::string ResolveFamily(const char *face) {
  FcPattern *pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(face));
  for (const Substitute &s : kSubstitutes)
    if (strcasecmp(s.face, face) == 0)
      FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(s.family));
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  std::string result;
  FcResult r;
  FcPattern *match = FcFontMatch(nullptr, pattern, &r);
  FcChar8 *matched = nullptr;
  if (match && FcPatternGetString(match, FC_FAMILY, 0, &matched) == FcResultMatch) {
    // Weakly bound families are generic fallbacks: any face would "match" one of those.
    FcValue value;
    FcValueBinding binding;
    for (int i = 0; FcPatternGetWithBinding(pattern, FC_FAMILY, i, &value, &binding) == FcResultMatch; ++i) {
      if (binding == FcValueBindingWeak || value.type != FcTypeString) continue;
      if (strcasecmp(reinterpret_cast<const char *>(value.u.s), reinterpret_cast<const char *>(matched)) == 0) {
        result = reinterpret_cast<char *>(matched);
        break;
      }
    }
  }
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return result;
}

// Every installed font of `family` (all families when empty), one entry per font.
std::vector<FoundFont> ListFonts(const std::string &family) {
  std::vector<FoundFont> fonts;
  FcPattern *pattern = FcPatternCreate();
  if (!family.empty()) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
  FcObjectSet *objects = FcObjectSetBuild(FC_FAMILY, FC_WEIGHT, FC_SLANT, FC_SPACING, nullptr);
  FcFontSet *set = FcFontList(nullptr, pattern, objects);
  if (set) {
    for (int i = 0; i < set->nfont; ++i) fonts.push_back(Describe(set->fonts[i]));
    FcFontSetDestroy(set);
  }
  FcObjectSetDestroy(objects);
  FcPatternDestroy(pattern);
  return fonts;
}

void Fill(const FoundFont &f, const char *faceName, LOGFONTA &lf, TEXTMETRICA &tm) {
  lf = LOGFONTA{};
  lf.lfHeight = 16;
  lf.lfWeight = f.weight;
  lf.lfItalic = f.italic ? 1 : 0;
  lf.lfCharSet = 0;  // ANSI_CHARSET
  lf.lfOutPrecision = 3;  // OUT_STROKE_PRECIS, as scalable fonts report
  lf.lfClipPrecision = 2;  // CLIP_STROKE_PRECIS
  lf.lfQuality = 1;  // DRAFT_QUALITY
  lf.lfPitchAndFamily = static_cast<BYTE>(f.fixedPitch ? 0x31 : 0x22);  // FF_MODERN|FIXED, FF_SWISS|VARIABLE
  std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  tm = TEXTMETRICA{};
  tm.tmHeight = 16;
  tm.tmAscent = 13;
  tm.tmDescent = 3;
  tm.tmWeight = f.weight;
  tm.tmItalic = lf.lfItalic;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  // TMPF_FIXED_PITCH means "not fixed" in GDI; scalable outlines set TMPF_VECTOR|TMPF_TRUETYPE.
  tm.tmPitchAndFamily = static_cast<BYTE>((f.fixedPitch ? 0x30 : 0x21) | 0x02 | 0x04);
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
}

}  // namespace

FontFile ResolveFontFile(const LOGFONTA &log) {
  std::lock_guard lock(FontconfigMutex());
  // A face that nothing stands for still gets a font, as GDI's mapper always finds one.
  std::string family = ResolveFamily(log.lfFaceName);
  if (family.empty()) family = log.lfFaceName;
  FcPattern *pattern = FcPatternCreate();
  FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8 *>(family.c_str()));
  const int weight = log.lfWeight <= 0 ? FW_NORMAL : log.lfWeight > 1000 ? 1000 : log.lfWeight;
  FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(weight));
  FcPatternAddInteger(pattern, FC_SLANT, log.lfItalic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
  FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
  FcConfigSubstitute(nullptr, pattern, FcMatchPattern);
  FcDefaultSubstitute(pattern);
  FontFile result;
  FcResult r;
  FcPattern *match = FcFontMatch(nullptr, pattern, &r);
  FcChar8 *file = nullptr;
  if (match && FcPatternGetString(match, FC_FILE, 0, &file) == FcResultMatch) {
    result.path = reinterpret_cast<char *>(file);
    if (FcPatternGetInteger(match, FC_INDEX, 0, &result.index) != FcResultMatch) result.index = 0;
  }
  if (match) FcPatternDestroy(match);
  FcPatternDestroy(pattern);
  return result;
}

}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

HFONT WINAPI CreateFontIndirectA(const LOGFONTA *log) {
  if (!log) return nullptr;
  GdiGuard lock(GdiLock());
  auto font = std::make_unique<Font>();
  font->log = *log;
  // The face name is a fixed field that may lack its terminator.
  font->log.lfFaceName[LF_FACESIZE - 1] = '\0';
  return static_cast<HFONT>(Register(std::move(font)));
}

int WINAPI EnumFontFamiliesA(HDC hdc, LPCSTR family, FONTENUMPROCA proc, LPARAM data) {
  {
    GdiGuard lock(GdiLock());
    if (!FindDc(hdc)) return 0;
  }
  if (!proc) return 0;
  struct Entry {
    LOGFONTA lf;
    TEXTMETRICA tm;
  };
  std::vector<Entry> entries;
  {
    // Collected first: the callback may call GDI, or enumerate again.
    std::lock_guard lock(FontconfigMutex());
    if (family && *family) {
      const std::string installed = ResolveFamily(family);
      if (!installed.empty())
        for (const FoundFont &f : ListFonts(installed)) {
          Entry e;
          Fill(f, family, e.lf, e.tm);
          entries.push_back(e);
        }
    } else {
      std::vector<std::string> seen;
      for (const FoundFont &f : ListFonts("")) {
        bool known = false;
        for (const std::string &s : seen) known = known || s == f.family;
        if (known) continue;
        seen.push_back(f.family);
        Entry e;
        Fill(f, f.family.c_str(), e.lf, e.tm);
        entries.push_back(e);
      }
    }
  }
  int result = 1;
  for (const Entry &e : entries) {
    result = proc(&e.lf, &e.tm, TRUETYPE_FONTTYPE, data);
    if (result == 0) break;
  }
  return result;
}

UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return GDI_ERROR;
  const UINT previous = dc->textAlign;
  dc->textAlign = align;
  return previous;
}

UINT WINAPI GetTextAlign(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  return dc ? dc->textAlign : GDI_ERROR;
}

int WINAPI SetTextCharacterExtra(HDC hdc, int extra) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return static_cast<int>(0x80000000);  // as GDI reports a bad DC
  const int previous = dc->charExtra;
  dc->charExtra = extra;
  return previous;
}

int WINAPI GetTextCharacterExtra(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  return dc ? dc->charExtra : static_cast<int>(0x80000000);
}

BOOL WINAPI SetTextJustification(HDC hdc, int breakExtra, int breakCount) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return FALSE;
  // No break characters means no justification, whatever extra is asked for.
  dc->breakExtra = breakCount > 0 ? breakExtra : 0;
  dc->breakCount = breakCount > 0 ? breakCount : 0;
  return TRUE;
}

}  // extern "C"

namespace pvplatform {

void GetTextJustification(HDC hdc, int &breakExtra, int &breakCount) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  breakExtra = dc ? dc->breakExtra : 0;
  breakCount = dc ? dc->breakCount : 0;
}

}  // namespace pvplatform
