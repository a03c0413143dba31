// The scripted pointer: a closed figure over a rectangle of the window, the same on every
// platform so that both sides draw exactly the same frames.
#pragma once

#include <cmath>
#include <cstdint>

namespace pvbench {

struct Area {
  int32_t left, top, right, bottom;  // inclusive
};

struct PathPoint {
  int32_t x, y;
};

// Two sine sweeps with co-prime periods, so the path crosses the area in many directions
// before it repeats (after 97 * 61 frames).
inline PathPoint PointerAt(const Area &a, int frame) {
  constexpr double kTwoPi = 6.283185307179586;
  const double u = 0.5 + 0.5 * std::sin(kTwoPi * frame / 97.0);
  const double v = 0.5 + 0.5 * std::sin(kTwoPi * frame / 61.0 + 0.7);
  return {a.left + static_cast<int32_t>(std::lround(u * (a.right - a.left))),
          a.top + static_cast<int32_t>(std::lround(v * (a.bottom - a.top)))};
}

}  // namespace pvbench
