// Comparing two renderings of the reference scenes: which scenes differ, where, and whether
// each stays exactly within its pixel budget.
#pragma once

#include <string>
#include <vector>

#include "scene_file.h"

namespace reference {

// * matches any run of characters (slashes included), ? any one character.
bool GlobMatch(const char *pattern, const char *text);
// A filter with * or ? is a pattern; a plain one is a prefix ("lines" takes "lines/...").
// No filters select every scene.
bool Selected(const std::string &name, const std::vector<std::string> &filters);

// How many pixels of one scene may differ from Wine's, and why. A scene without a budget may
// differ by none.
struct PixelBudget {
  std::string scene;
  int pixels = 0;
  std::string reason;
};

// Lines of "<scene> <pixels> <reason>"; blank lines and lines starting with # are skipped. A
// line without a count or a reason, or a second budget for one scene, is refused.
bool ParseBudgets(const std::string &text, std::vector<PixelBudget> &budgets, std::string &error);

struct SceneDifference {
  std::string name;
  int differentPixels = 0;
  std::vector<std::string> details;   // the first pixels that differ, values, or what is wrong
  bool valuesDiffer = false;          // a recorded value differs (no budget covers that)
  const PixelBudget *budget = nullptr;
  // Exactly its budget's pixels differ and nothing else does. More fails, and so does fewer:
  // a budget larger than needed would hide the next regression.
  bool WithinBudget() const;
};

struct Comparison {
  int compared = 0;
  int matching = 0;
  std::vector<SceneDifference> differing;
  // Scenes missing from one side, a filter that selects nothing, a budget for no scene.
  std::vector<std::string> failures;
  bool Passed() const;
};

// `show` limits the pixels listed for each differing scene.
Comparison Compare(const std::vector<SceneResult> &ours, const std::vector<SceneResult> &wine,
                   const std::vector<std::string> &filters, const std::vector<PixelBudget> &budgets, int show);

}  // namespace reference
