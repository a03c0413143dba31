#include "flashlight_optics.h"

#include <cmath>
#include <limits>

namespace flashlight {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// The point `length` pixels from (x, y), away from the lamp.
Corner Beyond(double x, double y, int32_t lampX, int32_t lampY, int32_t length) {
  // Crosswise: the x difference is the angle's vertical component, so sin gives x.
  const double alpha = DirectionAngle(lampX - x, lampY - y);
  const long double l = length;
  return {RoundToPixel(x - l * std::sin(static_cast<long double>(alpha))),
          RoundToPixel(y - l * std::cos(static_cast<long double>(alpha)))};
}

}  // namespace

double DirectionAngle(double p, double q) {
  if (q == 0) return static_cast<double>(p > 0 ? kPi / 2 : 3 * kPi / 2);
  const long double a = std::atan(static_cast<long double>(p) / q);
  return static_cast<double>(q > 0 ? a : a + kPi);
}

int32_t RoundToPixel(long double v) {
  if (std::isnan(v)) return 0;
  const long double r = std::nearbyint(v);
  if (r <= std::numeric_limits<int32_t>::min()) return std::numeric_limits<int32_t>::min();
  if (r >= std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(r);
}

int16_t LowWord(int32_t v) { return static_cast<int16_t>(static_cast<uint16_t>(v)); }

ShadowQuad ShadowCorners(const Segment &s, int32_t lampX, int32_t lampY, int32_t length) {
  return {Corner{RoundToPixel(s.x1), RoundToPixel(s.y1)}, Corner{RoundToPixel(s.x2), RoundToPixel(s.y2)},
          Beyond(s.x2, s.y2, lampX, lampY, length), Beyond(s.x1, s.y1, lampX, lampY, length)};
}

}  // namespace flashlight
