// Font families in the browser. A page reaches none of the system's fonts, so the catalogue is
// fixed: the Debian families a desktop build finds (Liberation, DejaVu Sans) with the same
// stand-ins for the Windows faces that fontconfig binds on the desktop.
#include <strings.h>

#include "gdi_font_families.h"
#include "gdi_internal.h"

namespace pv::gdi {
namespace {

struct Alias {
  const char *face;
  const char *family;
};
constexpr Alias kAliases[] = {
    {"Arial", "Liberation Sans"},           {"Helvetica", "Liberation Sans"},
    {"Times New Roman", "Liberation Serif"}, {"Times", "Liberation Serif"},
    {"Courier New", "Liberation Mono"},      {"Courier", "Liberation Mono"},
    {"MS Sans Serif", "Liberation Sans"},
};

const std::vector<FoundFont> &Catalogue() {
  static const std::vector<FoundFont> fonts = [] {
    std::vector<FoundFont> all;
    for (const char *family : {"Liberation Sans", "Liberation Serif", "Liberation Mono"})
      for (int weight : {FW_NORMAL, FW_BOLD})
        for (bool italic : {false, true})
          all.push_back({family, weight, italic, std::string(family) == "Liberation Mono"});
    all.push_back({"DejaVu Sans", FW_NORMAL, false, false});
    all.push_back({"DejaVu Sans", FW_BOLD, false, false});
    return all;
  }();
  return fonts;
}

}  // namespace

std::mutex &FontFamiliesMutex() {
  static std::mutex m;
  return m;
}

std::string ResolveFamily(const char *face) {
  for (const FoundFont &f : Catalogue())
    if (strcasecmp(f.family.c_str(), face) == 0) return f.family;
  for (const Alias &a : kAliases)
    if (strcasecmp(a.face, face) == 0) return a.family;
  return {};
}

std::vector<FoundFont> ListFonts(const std::string &family) {
  std::vector<FoundFont> fonts;
  for (const FoundFont &f : Catalogue())
    if (family.empty() || f.family == family) fonts.push_back(f);
  return fonts;
}

}  // namespace pv::gdi
