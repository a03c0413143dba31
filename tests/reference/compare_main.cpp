// Compares the scenes our GDI rendered with those Wine's GDI rendered, pixel for pixel.
//
//   reference_compare <ours> <wine> [--filter PATTERN]... [--budgets FILE] [--png DIR] [--png-all]
//                     [--show N] [--scale N] [--verbose]
//
// A scene fails when the number of its pixels that differ is not exactly its budget in the
// budgets file (0 for a scene not listed), or when a recorded value differs.
// Exit status: 0 when every scene keeps its budget, 1 otherwise, 2 for bad usage.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "compare.h"
#include "png_file.h"
#include "scene_file.h"

using namespace reference;

namespace {

struct Options {
  std::string ours, wine, budgetsPath, pngDir;
  std::vector<std::string> filters;
  bool pngAll = false, verbose = false;
  int show = 8, scale = 0;
};

bool ParseOptions(int argc, char **argv, Options &o) {
  std::vector<std::string> positional;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool hasValue = i + 1 < argc;
    if (arg == "--filter" && hasValue) {
      if (*argv[++i]) o.filters.push_back(argv[i]);
    } else if (arg == "--budgets" && hasValue) {
      o.budgetsPath = argv[++i];
    } else if (arg == "--png" && hasValue) {
      o.pngDir = argv[++i];
    } else if (arg == "--png-all") {
      o.pngAll = true;
    } else if (arg == "--verbose") {
      o.verbose = true;
    } else if ((arg == "--show" || arg == "--scale") && hasValue) {
      char *end = nullptr;
      const long n = std::strtol(argv[++i], &end, 10);
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

uint32_t ColourOf(const SceneResult &s, uint32_t pixel) {
  if (s.bits == 32) return pixel;
  return pixel < s.table.size() ? s.table[pixel] : 0;
}

// Ours, Wine's, and the differences in magenta over a dimmed copy of ours.
void WriteImages(const std::string &dir, const SceneResult &ours, const SceneResult &wine, int scale) {
  std::vector<uint32_t> a, b, diff;
  for (size_t i = 0; i < ours.pixels.size(); ++i) {
    const uint32_t ca = ColourOf(ours, ours.pixels[i]), cb = ColourOf(wine, wine.pixels[i]);
    a.push_back(ca);
    b.push_back(cb);
    diff.push_back(ours.pixels[i] != wine.pixels[i] ? 0xFF00FF : (ca >> 2) & 0x3F3F3F);
  }
  if (scale <= 0) scale = std::max(1, std::min(8, 256 / std::max(1, std::max(ours.width, ours.height))));
  std::string base = ours.name;
  std::replace(base.begin(), base.end(), '/', '_');
  base = dir + "/" + base;
  const bool ok = WritePng(base + ".ours.png", ours.width, ours.height, a, scale) &&
                  WritePng(base + ".wine.png", wine.width, wine.height, b, scale) &&
                  WritePng(base + ".diff.png", ours.width, ours.height, diff, scale);
  if (!ok) std::printf("  (could not write %s.*.png)\n", base.c_str());
}

const SceneResult *Find(const std::vector<SceneResult> &scenes, const std::string &name) {
  for (const SceneResult &s : scenes)
    if (s.name == name) return &s;
  return nullptr;
}

}  // namespace

int main(int argc, char **argv) {
  Options o;
  if (!ParseOptions(argc, argv, o)) {
    std::fprintf(stderr,
                 "usage: %s <ours> <wine> [--filter PATTERN]... [--budgets FILE] [--png DIR] [--png-all] [--show N] "
                 "[--scale N] [--verbose]\n",
                 argv[0]);
    return 2;
  }
  std::vector<PixelBudget> budgets;
  if (!o.budgetsPath.empty()) {
    std::ifstream in(o.budgetsPath);
    std::stringstream text;
    text << in.rdbuf();
    std::string error;
    if (!in || !ParseBudgets(text.str(), budgets, error)) {
      std::fprintf(stderr, "%s: %s\n", o.budgetsPath.c_str(), in ? error.c_str() : "cannot be read");
      return 2;
    }
  }
  if (!o.pngDir.empty()) {
    std::error_code ec;
    std::filesystem::create_directories(o.pngDir, ec);
  }

  bool readFailed = false;
  std::vector<SceneResult> ours, wine;
  std::string error;
  // A renderer that stopped early still leaves its first scenes to compare.
  if (!ReadScenes(o.ours, ours, error)) {
    std::printf("FAILED  ours: %s\n", error.c_str());
    readFailed = true;
  }
  if (!ReadScenes(o.wine, wine, error)) {
    std::printf("FAILED  wine: %s\n", error.c_str());
    readFailed = true;
  }

  const Comparison c = Compare(ours, wine, o.filters, budgets, o.show);
  for (const SceneDifference &d : c.differing) {
    const SceneResult *s = Find(ours, d.name), *w = Find(wine, d.name);
    const int budget = d.budget ? d.budget->pixels : 0;
    const char *verdict = d.WithinBudget() ? "budget " : d.differentPixels < budget ? "SLACK  " : "DIFFERS";
    std::printf("%s %s (%dx%d, %d bits): %d of %zu pixels differ, budget %d%s%s\n", verdict, d.name.c_str(), w->width,
                w->height, w->bits, d.differentPixels, w->pixels.size(), budget, d.budget ? ": " : "",
                d.budget ? d.budget->reason.c_str() : "");
    if (d.differentPixels < budget) std::printf("  the budget is larger than needed: lower it to %d\n", d.differentPixels);
    for (const std::string &line : d.details) std::printf("  %s\n", line.c_str());
    if (!o.pngDir.empty() && d.differentPixels > 0) WriteImages(o.pngDir, *s, *w, o.scale);
  }
  for (const std::string &f : c.failures) std::printf("FAILED  %s\n", f.c_str());
  if (o.verbose || (o.pngAll && !o.pngDir.empty()))
    for (const SceneResult &w : wine) {
      if (!Selected(w.name, o.filters)) continue;
      const SceneResult *s = Find(ours, w.name);
      const bool differs = std::any_of(c.differing.begin(), c.differing.end(),
                                       [&](const SceneDifference &d) { return d.name == w.name; });
      if (!s || differs || !s->error.empty() || s->width != w.width || s->height != w.height || s->bits != w.bits) continue;
      if (o.verbose) std::printf("match   %s\n", w.name.c_str());
      if (o.pngAll && !o.pngDir.empty()) WriteImages(o.pngDir, *s, w, o.scale);
    }
  const long within = std::count_if(c.differing.begin(), c.differing.end(), [](const auto &d) { return d.WithinBudget(); });
  std::printf("reference: %d scenes compared, %d match, %zu differ (%ld of them within their budgets)\n", c.compared,
              c.matching, c.differing.size(), within);
  return c.Passed() && !readFailed ? 0 : 1;
}
