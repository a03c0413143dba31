// Compares the scenes our GDI rendered with those Wine's GDI rendered, pixel for pixel.
//
//   reference_compare <ours> <wine> [--filter PATTERN]... [--known FILE] [--png DIR] [--png-all]
//                     [--show N] [--scale N] [--verbose]
//
// A pattern is a scene name with * and ?, or a plain prefix ("lines" takes "lines/..."). Every
// difference fails unless the known-differences file lists the scene with its reason. Exit
// status: 0 when nothing unexpected differs, 1 otherwise, 2 for bad usage.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "png_file.h"
#include "scene_file.h"

using namespace reference;

namespace {

bool GlobMatch(const char *pattern, const char *text) {
  for (; *pattern; ++pattern, ++text) {
    if (*pattern == '*') {
      for (const char *t = text;; ++t) {
        if (GlobMatch(pattern + 1, t)) return true;
        if (!*t) return false;
      }
    }
    if (!*text || (*pattern != '?' && *pattern != *text)) return false;
  }
  return !*text;
}

bool Selected(const std::string &name, const std::vector<std::string> &filters) {
  if (filters.empty()) return true;
  for (const std::string &f : filters) {
    if (f.find_first_of("*?") == std::string::npos ? name.compare(0, f.size(), f) == 0
                                                    : GlobMatch(f.c_str(), name.c_str()))
      return true;
  }
  return false;
}

struct Known {
  std::string pattern;
  std::string reason;
  bool used = false;
};

// Lines of "<scene or pattern> <reason>"; blank lines and lines starting with # are skipped.
bool ReadKnown(const std::string &path, std::vector<Known> &known) {
  std::FILE *f = std::fopen(path.c_str(), "r");
  if (!f) return false;
  char line[1024];
  while (std::fgets(line, sizeof line, f)) {
    std::string s(line);
    while (!s.empty() && (s.back() == '\n' || s.back() == '\r' || s.back() == ' ')) s.pop_back();
    if (s.empty() || s[0] == '#') continue;
    const size_t space = s.find_first_of(" \t");
    Known k;
    k.pattern = s.substr(0, space);
    if (space != std::string::npos) k.reason = s.substr(s.find_first_not_of(" \t", space));
    known.push_back(k);
  }
  std::fclose(f);
  return true;
}

uint32_t ColourOf(const SceneResult &s, uint32_t pixel) {
  if (s.bits == 32) return pixel;
  return pixel < s.table.size() ? s.table[pixel] : 0;
}

std::string PixelText(const SceneResult &s, uint32_t pixel) {
  char buf[40];
  if (s.bits == 32)
    std::snprintf(buf, sizeof buf, "#%06X", pixel);
  else
    std::snprintf(buf, sizeof buf, "%u (#%06X)", pixel, ColourOf(s, pixel));
  return buf;
}

std::string FileName(std::string name) {
  for (char &ch : name)
    if (ch == '/') ch = '_';
  return name;
}

void WriteImages(const std::string &dir, const SceneResult &ours, const SceneResult &wine, int scale) {
  std::vector<uint32_t> a, b, diff;
  for (size_t i = 0; i < ours.pixels.size(); ++i) {
    const uint32_t ca = ColourOf(ours, ours.pixels[i]), cb = ColourOf(wine, wine.pixels[i]);
    a.push_back(ca);
    b.push_back(cb);
    // Differences in magenta over a dimmed copy of ours.
    diff.push_back(ours.pixels[i] != wine.pixels[i] ? 0xFF00FF : (ca >> 2) & 0x3F3F3F);
  }
  if (scale <= 0) scale = std::max(1, std::min(8, 256 / std::max(ours.width, ours.height)));
  const std::string base = dir + "/" + FileName(ours.name);
  const bool ok = WritePng(base + ".ours.png", ours.width, ours.height, a, scale) &&
                  WritePng(base + ".wine.png", wine.width, wine.height, b, scale) &&
                  WritePng(base + ".diff.png", ours.width, ours.height, diff, scale);
  if (!ok) std::printf("  (could not write %s.*.png)\n", base.c_str());
}

struct Options {
  std::string ours, wine, knownPath, pngDir;
  std::vector<std::string> filters;
  bool pngAll = false, verbose = false;
  int show = 8, scale = 0;
};

bool ParseOptions(int argc, char **argv, Options &o) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    auto value = [&](std::string &out) {
      if (i + 1 >= argc) return false;
      out = argv[++i];
      return true;
    };
    std::string v;
    if (arg == "--filter") {
      if (!value(v)) return false;
      if (!v.empty()) o.filters.push_back(v);
    } else if (arg == "--known") {
      if (!value(o.knownPath)) return false;
    } else if (arg == "--png") {
      if (!value(o.pngDir)) return false;
    } else if (arg == "--png-all") {
      o.pngAll = true;
    } else if (arg == "--verbose") {
      o.verbose = true;
    } else if (arg == "--show" || arg == "--scale") {
      if (!value(v)) return false;
      char *end = nullptr;
      const long n = std::strtol(v.c_str(), &end, 10);
      if (*end || n < 0 || n > 1000) return false;
      (arg == "--show" ? o.show : o.scale) = static_cast<int>(n);
    } else if (!arg.empty() && arg[0] == '-') {
      return false;
    } else {
      positional.push_back(arg);
    }
  }
  if (positional.size() != 2) return false;
  o.ours = positional[0];
  o.wine = positional[1];
  return true;
}

}  // namespace

int main(int argc, char **argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: %s <ours> <wine> [--filter PATTERN]... [--known FILE] [--png DIR] [--png-all] [--show N] "
                 "[--scale N] [--verbose]\n",
                 argv[0]);
    return 2;
  }
  if (!o.pngDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(o.pngDir, ec);
  }
  std::vector<Known> known;
  if (!o.knownPath.empty() && !ReadKnown(o.knownPath, known)) {
    std::fprintf(stderr, "cannot read %s\n", o.knownPath.c_str());
    return 2;
  }

  int failures = 0;
  std::vector<SceneResult> ours, wine;
  std::string error;
  // A renderer that stopped early still leaves its first scenes to compare.
  if (!ReadScenes(o.ours, ours, error)) {
    std::printf("FAILED  ours: %s\n", error.c_str());
    ++failures;
  }
  if (!ReadScenes(o.wine, wine, error)) {
    std::printf("FAILED  wine: %s\n", error.c_str());
    ++failures;
  }
  std::map<std::string, const SceneResult *> ourByName;
  for (const SceneResult &s : ours) ourByName[s.name] = &s;

  int compared = 0, matching = 0, differing = 0, knownDiffering = 0;
  for (const SceneResult &w : wine) {
    if (!Selected(w.name, o.filters)) continue;
    ++compared;
    std::vector<std::string> lines;
    const auto it = ourByName.find(w.name);
    const SceneResult *s = it == ourByName.end() ? nullptr : it->second;
    int differentPixels = 0;
    if (!s) {
      lines.push_back("  missing from our rendering");
    } else if (!s->error.empty() || !w.error.empty()) {
      lines.push_back("  set-up failed: ours \"" + s->error + "\", wine \"" + w.error + "\"");
    } else if (s->width != w.width || s->height != w.height || s->bits != w.bits) {
      lines.push_back("  page formats differ");
    } else {
      for (size_t i = 0; i < s->pixels.size(); ++i) {
        if (s->pixels[i] == w.pixels[i]) continue;
        if (differentPixels++ < o.show) {
          const int x = static_cast<int>(i % static_cast<size_t>(s->width));
          const int y = static_cast<int>(i / static_cast<size_t>(s->width));
          lines.push_back("  (" + std::to_string(x) + "," + std::to_string(y) + ") ours " + PixelText(*s, s->pixels[i]) +
                          ", wine " + PixelText(w, w.pixels[i]));
        }
      }
      if (differentPixels > o.show) lines.push_back("  ...");
      if (s->values.size() != w.values.size()) lines.push_back("  a different number of recorded values");
      for (size_t i = 0; i < s->values.size() && i < w.values.size(); ++i) {
        if (s->values[i] == w.values[i]) continue;
        char buf[64];
        std::snprintf(buf, sizeof buf, ": ours 0x%08X, wine 0x%08X", s->values[i].second, w.values[i].second);
        lines.push_back("  " + w.values[i].first + buf);
      }
    }
    if (lines.empty()) {
      ++matching;
      if (o.verbose) std::printf("match   %s\n", w.name.c_str());
      if (o.pngAll && !o.pngDir.empty()) WriteImages(o.pngDir, *s, w, o.scale);
      continue;
    }
    const Known *listed = nullptr;
    for (Known &k : known)
      if (GlobMatch(k.pattern.c_str(), w.name.c_str())) {
        k.used = true;
        listed = &k;
        break;
      }
    ++differing;
    if (listed) ++knownDiffering;
    std::string head = (listed ? "known   " : "DIFFERS ") + w.name;
    if (s && s->width == w.width && s->height == w.height && s->bits == w.bits)
      head += " (" + std::to_string(w.width) + "x" + std::to_string(w.height) + ", " + std::to_string(w.bits) +
              " bits): " + std::to_string(differentPixels) + " of " + std::to_string(w.pixels.size()) +
              " pixels differ";
    if (listed) head += ": " + listed->reason;
    std::printf("%s\n", head.c_str());
    for (const std::string &l : lines) std::printf("%s\n", l.c_str());
    if (!o.pngDir.empty() && s && s->width == w.width && s->height == w.height && s->bits == w.bits)
      WriteImages(o.pngDir, *s, w, o.scale);
  }
  for (const SceneResult &s : ours)
    if (Selected(s.name, o.filters) &&
        std::none_of(wine.begin(), wine.end(), [&](const SceneResult &w) { return w.name == s.name; })) {
      std::printf("FAILED  %s: missing from Wine's rendering\n", s.name.c_str());
      ++failures;
    }
  if (compared == 0) {
    std::printf("FAILED  no scene matches the filter\n");
    ++failures;
  }
  for (const Known &k : known)
    if (!k.used && (o.filters.empty() || Selected(k.pattern, o.filters)))
      std::printf("note    %s is listed as a known difference but matched no differing scene\n", k.pattern.c_str());

  std::printf("reference: %d scenes compared, %d match, %d differ (%d of them known)\n", compared, matching, differing,
              knownDiffering);
  return failures == 0 && differing == knownDiffering ? 0 : 1;
}
