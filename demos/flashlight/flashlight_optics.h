// Where the shadows of the flashlight scene fall: plain geometry, free of any window.
#pragma once

#include <array>
#include <cstdint>

#include "extended.h"

namespace flashlight {

// One opaque edge, from its first end to its second.
struct Segment {
  double x1, y1, x2, y2;
};

// The box's bottom, left, top and right sides, then the bar below it, in drawing order.
inline constexpr std::array<Segment, 5> kSegments{{
    {200.0, 200.0, 400.0, 200.0},
    {200.0, 200.0, 200.0, 100.0},
    {200.0, 100.0, 400.0, 100.0},
    {400.0, 100.0, 400.0, 200.0},
    {200.0, 400.0, 400.0, 400.0},
}};

inline constexpr int32_t kShadowLength = 1000;

struct Corner {
  int32_t x, y;
  friend bool operator==(const Corner &, const Corner &) = default;
};

// Corners in the order they are filled: first end, second end, beyond the second end, beyond
// the first end.
using ShadowQuad = std::array<Corner, 4>;

// Angle of the vector with vertical component p and horizontal component q, in [-pi/2, 3pi/2);
// q = 0 gives pi/2 for p > 0 and 3pi/2 otherwise, (0, 0) included. Ext is the precision of the
// arc tangent (instantiated for long double and demo::DoubleDouble).
template <class Ext = demo::Extended>
double DirectionAngle(double p, double q);

// The shadow of `s` thrown by a lamp at (lampX, lampY), reaching `length` pixels beyond it. The
// corners are rounded as polygon corners (demo::CornerCoord).
template <class Ext = demo::Extended>
ShadowQuad ShadowCorners(const Segment &s, int32_t lampX, int32_t lampY, int32_t length);

}  // namespace flashlight
