// Font families through fontconfig.
#include <fontconfig/fontconfig.h>
#include <strings.h>

#include "gdi_font_families.h"

namespace pv::gdi {
namespace {

// Windows faces that fontconfig knows no metric-compatible stand-in for, and the installed
// family that stands for them here. "MS Sans Serif" is a wide screen face; DejaVu Sans
// (fonts-dejavu-core) is the closest in spirit, and leaves Liberation Sans to "Arial".
struct Substitute {
  const char *face;
  const char *family;
};
constexpr Substitute kSubstitutes[] = {{"MS Sans Serif", "DejaVu Sans"}};

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

}  // namespace

// fontconfig's configuration is shared; its calls are kept to one thread at a time.
std::mutex &FontFamiliesMutex() {
  static std::mutex m;
  return m;
}

// fontconfig binds metric-compatible aliases strongly to a face name.
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

}  // namespace pv::gdi
