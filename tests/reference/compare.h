// Comparing two renderings of the reference scenes: which scenes differ, where, and whether
// the known-differences list excuses them.
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

struct KnownDifference {
  std::string pattern;
  std::string reason;
  bool used = false;  // set when it excused a differing scene
};

// Lines of "<scene or pattern> <reason>"; blank lines and lines starting with # are skipped.
// A line without a reason is refused: every listed difference says why.
bool ParseKnownDifferences(const std::string &text, std::vector<KnownDifference> &known, std::string &error);

struct SceneDifference {
  std::string name;
  int differentPixels = 0;
  std::vector<std::string> details;   // the first pixels that differ, values, or what is wrong
  const KnownDifference *known = nullptr;
};

struct Comparison {
  int compared = 0;
  int matching = 0;
  std::vector<SceneDifference> differing;
  std::vector<std::string> failures;  // scenes missing from one side, a filter that selects nothing
  bool Passed() const;
};

// `show` limits the pixels listed for each differing scene.
Comparison Compare(const std::vector<SceneResult> &ours, const std::vector<SceneResult> &wine,
                   const std::vector<std::string> &filters, std::vector<KnownDifference> &known, int show);

}  // namespace reference
