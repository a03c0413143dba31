#include "compare.h"

#include <cstdio>
#include <map>
#include <set>

namespace reference {
namespace {

uint32_t ColourOf(const SceneResult &s, uint32_t pixel) {
  if (s.bits == 32) return pixel;
  return pixel < s.table.size() ? s.table[pixel] : 0;
}

std::string PixelText(const SceneResult &s, uint32_t pixel) {
  char buf[40];
  if (s.bits == 32)
    std::snprintf(buf, sizeof buf, "#%06X", static_cast<unsigned>(pixel));
  else
    std::snprintf(buf, sizeof buf, "%u (#%06X)", static_cast<unsigned>(pixel), static_cast<unsigned>(ColourOf(s, pixel)));
  return buf;
}

// Why two renderings of a scene cannot be compared at all; empty when they can. No budget
// excuses these.
std::string Incomparable(const SceneResult &s, const SceneResult &w) {
  if (!s.error.empty() || !w.error.empty()) return "set-up failed: ours \"" + s.error + "\", wine \"" + w.error + "\"";
  if (s.width != w.width || s.height != w.height || s.bits != w.bits) return "page formats differ";
  return {};
}

// Fills `d` with what differs between two renderings of one scene; empty when they match.
void Diff(const SceneResult &s, const SceneResult &w, int show, SceneDifference &d) {
  for (size_t i = 0; i < s.pixels.size(); ++i) {
    if (s.pixels[i] == w.pixels[i]) continue;
    if (d.differentPixels++ < show) {
      const size_t x = i % static_cast<size_t>(s.width), y = i / static_cast<size_t>(s.width);
      d.details.push_back("(" + std::to_string(x) + "," + std::to_string(y) + ") ours " + PixelText(s, s.pixels[i]) +
                          ", wine " + PixelText(w, w.pixels[i]));
    }
  }
  if (d.differentPixels > show) d.details.push_back("...");
  if (s.values.size() != w.values.size()) {
    d.details.push_back("a different number of recorded values");
    d.valuesDiffer = true;
  }
  for (size_t i = 0; i < s.values.size() && i < w.values.size(); ++i) {
    if (s.values[i] == w.values[i]) continue;
    d.valuesDiffer = true;
    char buf[64];
    std::snprintf(buf, sizeof buf, ": ours 0x%08X, wine 0x%08X", static_cast<unsigned>(s.values[i].second),
                  static_cast<unsigned>(w.values[i].second));
    d.details.push_back(w.values[i].first + buf);
  }
}

}  // namespace

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
    const bool pattern = f.find_first_of("*?") != std::string::npos;
    if (pattern ? GlobMatch(f.c_str(), name.c_str()) : name.compare(0, f.size(), f) == 0) return true;
  }
  return false;
}

bool ParseBudgets(const std::string &text, std::vector<PixelBudget> &budgets, std::string &error) {
  std::set<std::string> scenes;
  size_t start = 0;
  for (int lineNumber = 1; start < text.size(); ++lineNumber) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos) end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.pop_back();
    if (line.empty() || line[0] == '#') continue;
    const std::string where = "line " + std::to_string(lineNumber) + ": ";
    const size_t nameEnd = line.find_first_of(" \t");
    const size_t countStart = nameEnd == std::string::npos ? nameEnd : line.find_first_not_of(" \t", nameEnd);
    const size_t countEnd = countStart == std::string::npos ? countStart : line.find_first_of(" \t", countStart);
    const size_t reasonStart = countEnd == std::string::npos ? countEnd : line.find_first_not_of(" \t", countEnd);
    if (reasonStart == std::string::npos) {
      error = where + "wants a scene, a pixel count and a reason: " + line;
      return false;
    }
    PixelBudget b{line.substr(0, nameEnd), 0, line.substr(reasonStart)};
    const std::string count = line.substr(countStart, countEnd - countStart);
    if (count.size() > 9 || count.find_first_not_of("0123456789") != std::string::npos) {
      error = where + "the pixel count is not a number: " + count;
      return false;
    }
    b.pixels = std::stoi(count);
    if (!scenes.insert(b.scene).second) {
      error = where + "a second budget for " + b.scene;
      return false;
    }
    budgets.push_back(std::move(b));
  }
  return true;
}

bool SceneDifference::WithinBudget() const {
  // Pixels are all a budget covers: a recorded value that differs always fails.
  return !valuesDiffer && differentPixels == (budget ? budget->pixels : 0);
}

bool Comparison::Passed() const {
  if (!failures.empty()) return false;
  for (const SceneDifference &d : differing)
    if (!d.WithinBudget()) return false;
  return true;
}

Comparison Compare(const std::vector<SceneResult> &ours, const std::vector<SceneResult> &wine,
                   const std::vector<std::string> &filters, const std::vector<PixelBudget> &budgets, int show) {
  Comparison c;
  std::map<std::string, const SceneResult *> ourByName;
  for (const SceneResult &s : ours) ourByName[s.name] = &s;
  std::map<std::string, const PixelBudget *> budgetByName;
  for (const PixelBudget &b : budgets) budgetByName[b.scene] = &b;
  std::set<std::string> wineNames;
  for (const SceneResult &w : wine) {
    wineNames.insert(w.name);
    if (!Selected(w.name, filters)) continue;
    ++c.compared;
    const auto it = ourByName.find(w.name);
    if (it == ourByName.end()) {
      c.failures.push_back(w.name + ": missing from our rendering (did our renderer stop before it?)");
      continue;
    }
    if (const std::string why = Incomparable(*it->second, w); !why.empty()) {
      c.failures.push_back(w.name + ": " + why);
      continue;
    }
    SceneDifference d;
    d.name = w.name;
    if (const auto b = budgetByName.find(w.name); b != budgetByName.end()) d.budget = b->second;
    Diff(*it->second, w, show, d);
    if (d.details.empty() && (!d.budget || d.budget->pixels == 0)) {
      ++c.matching;
      continue;
    }
    c.differing.push_back(std::move(d));
  }
  for (const SceneResult &s : ours)
    if (Selected(s.name, filters) && !wineNames.count(s.name)) c.failures.push_back(s.name + ": missing from Wine's rendering");
  for (const PixelBudget &b : budgets)
    if (Selected(b.scene, filters) && !wineNames.count(b.scene) && !ourByName.count(b.scene))
      c.failures.push_back(b.scene + ": has a budget but no such scene exists");
  if (c.compared == 0) c.failures.push_back("no scene matches the filter");
  return c;
}

}  // namespace reference
