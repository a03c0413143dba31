// A minimal PNG writer (uncompressed deflate), enough to look at a scene.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace reference {

// rgb: width * height pixels as 0xRRGGBB, top row first; each pixel becomes scale x scale.
bool WritePng(const std::string &path, int width, int height, const std::vector<uint32_t> &rgb, int scale);

}  // namespace reference
