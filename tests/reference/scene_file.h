// The file a renderer writes: every scene's pixels and the values its calls returned. Both the
// native renderer and the Windows one (run under Wine) write it; the comparer reads two of them.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace reference {

struct SceneResult {
  std::string name;
  int width = 0;
  int height = 0;
  int bits = 0;                   // 1, 4, 8 (pixels are table indices) or 32 (pixels are 0xRRGGBB)
  std::vector<uint32_t> table;    // colour table as 0xRRGGBB, for indexed pages
  std::vector<uint32_t> pixels;   // top row first
  std::vector<std::pair<std::string, uint32_t>> values;  // labelled results of calls
  std::string error;              // set when the scene could not be set up
};

// A file is the header, the scenes, then the end mark; a renderer that died leaves no end mark.
bool WriteHeader(std::FILE *out);
bool WriteScene(std::FILE *out, const SceneResult &scene);
bool WriteEnd(std::FILE *out);
// Reads the scenes of a file up to its end mark. On failure `error` says why, and `scenes`
// holds those read before the fault.
bool ReadScenes(const std::string &path, std::vector<SceneResult> &scenes, std::string &error);

}  // namespace reference
