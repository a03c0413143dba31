// Font families in the browser. A page reaches none of the system's fonts, so the catalogue is
// fixed: the Debian font files a desktop build resolves the library's faces to, with the same
// stand-ins for the Windows faces that fontconfig binds there. The site carries those files in
// fonts/; each is fetched the first time a font needs it, so pages without text never load one.
#include <emscripten/emscripten.h>
#include <strings.h>
#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <set>

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

// What fontconfig falls back to on the desktop for a face it has nothing for.
constexpr const char *kFallbackFamily = "DejaVu Sans";

struct CatalogueFont {
  FoundFont font;
  std::string file;
};

const std::vector<CatalogueFont> &Catalogue() {
  static const std::vector<CatalogueFont> fonts = [] {
    std::vector<CatalogueFont> all;
    struct Family {
      const char *name, *stem, *regular, *bold, *italic, *boldItalic;
      bool fixed;
    };
    constexpr Family families[] = {
        {"Liberation Sans", "LiberationSans-", "Regular", "Bold", "Italic", "BoldItalic", false},
        {"Liberation Serif", "LiberationSerif-", "Regular", "Bold", "Italic", "BoldItalic", false},
        {"Liberation Mono", "LiberationMono-", "Regular", "Bold", "Italic", "BoldItalic", true},
        {"DejaVu Sans", "DejaVuSans", "", "-Bold", "-Oblique", "-BoldOblique", false},
    };
    for (const Family &f : families) {
      const char *styles[4] = {f.regular, f.bold, f.italic, f.boldItalic};
      for (int s = 0; s < 4; ++s)
        all.push_back({{f.name, s & 1 ? FW_BOLD : FW_NORMAL, (s & 2) != 0, f.fixed},
                       std::string(f.stem) + styles[s] + ".ttf"});
    }
    return all;
  }();
  return fonts;
}

// The file's bytes, fetched synchronously beside the page (only a worker may block so; every
// program thread is one). Null with `status` set when it cannot be had.
EM_JS(void *, FetchFile, (const char *url, int *size, int *status), {
  var request = new XMLHttpRequest();
  try {
    request.open('GET', UTF8ToString(url), false);
    request.responseType = 'arraybuffer';
    request.send(null);
  } catch (e) {
    HEAP32[status >> 2] = -1;
    return 0;
  }
  HEAP32[status >> 2] = request.status;
  if (request.status != 200 || !request.response) return 0;
  var bytes = new Uint8Array(request.response);
  var at = _malloc(bytes.length);
  if (!at) return 0;
  HEAPU8.set(bytes, at);
  HEAP32[size >> 2] = bytes.length;
  return at;
});

// The font file in the program's file system, fetched on first use. Empty when it cannot be
// fetched; that is said once per file, as nothing else would tell why text is missing.
std::string Fetched(const std::string &file) {
  static const char *const dir = "/fonts";
  std::string path = std::string(dir) + "/" + file;
  struct stat st;
  if (stat(path.c_str(), &st) == 0) return path;
  static std::set<std::string> failed;
  if (failed.count(file)) return {};
  const std::string url = std::string("fonts/") + file;
  int size = 0, status = 0;
  void *bytes = FetchFile(url.c_str(), &size, &status);
  bool written = false;
  if (bytes) {
    mkdir(dir, 0755);
    // Written whole under another name first, so a failed write never leaves half a font.
    const std::string partial = path + ".part";
    if (FILE *out = std::fopen(partial.c_str(), "wb")) {
      written = std::fwrite(bytes, 1, size, out) == static_cast<size_t>(size);
      written = std::fclose(out) == 0 && written;
      written = written && std::rename(partial.c_str(), path.c_str()) == 0;
      if (!written) std::remove(partial.c_str());
    }
    std::free(bytes);
  }
  if (written) return path;
  failed.insert(file);
  if (!bytes)
    std::fprintf(stderr, "Plotvane: the font file %s could not be fetched (%s %d); its text is not drawn\n",
                 url.c_str(), status > 0 ? "HTTP status" : "network error", status);
  else
    std::fprintf(stderr, "Plotvane: the font file %s could not be stored; its text is not drawn\n", url.c_str());
  return {};
}

}  // namespace

std::mutex &FontFamiliesMutex() {
  static std::mutex m;
  return m;
}

std::string ResolveFamily(const char *face) {
  for (const CatalogueFont &f : Catalogue())
    if (strcasecmp(f.font.family.c_str(), face) == 0) return f.font.family;
  for (const Alias &a : kAliases)
    if (strcasecmp(a.face, face) == 0) return a.family;
  return {};
}

std::vector<FoundFont> ListFonts(const std::string &family) {
  std::vector<FoundFont> fonts;
  for (const CatalogueFont &f : Catalogue())
    if (family.empty() || f.font.family == family) fonts.push_back(f.font);
  return fonts;
}

FontFile ResolveFontFile(const LOGFONTA &log) {
  std::lock_guard lock(FontFamiliesMutex());
  std::string family = ResolveFamily(log.lfFaceName);
  if (family.empty()) family = kFallbackFamily;
  // As fontconfig matches: the slant asked for, then the nearest weight.
  const int weight = log.lfWeight <= 0 ? FW_NORMAL : log.lfWeight > 1000 ? 1000 : log.lfWeight;
  const CatalogueFont *best = nullptr;
  int bestScore = 0;
  for (const CatalogueFont &f : Catalogue()) {
    if (f.font.family != family) continue;
    const int score = (f.font.italic != (log.lfItalic != 0)) * 10000 + std::abs(f.font.weight - weight);
    if (!best || score <= bestScore) best = &f, bestScore = score;  // ties to the heavier, as there
  }
  FontFile result;
  if (best) result.path = Fetched(best->file);
  return result;
}

}  // namespace pv::gdi
