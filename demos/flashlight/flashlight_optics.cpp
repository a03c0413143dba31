#include "flashlight_optics.h"

#include <cmath>

#include "pixel_coord.h"

namespace flashlight {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// The point `length` pixels from (x, y), away from the lamp.
Corner Beyond(double x, double y, int32_t lampX, int32_t lampY, int32_t length) {
  // Crosswise: the x difference is the angle's vertical component, so sin gives x.
  const double alpha = DirectionAngle(lampX - x, lampY - y);
  const long double l = length;
  return {demo::CornerCoord(x - l * std::sin(static_cast<long double>(alpha))),
          demo::CornerCoord(y - l * std::cos(static_cast<long double>(alpha)))};
}

}  // namespace

double DirectionAngle(double p, double q) {
  if (q == 0) return static_cast<double>(p > 0 ? kPi / 2 : 3 * kPi / 2);
  const long double a = std::atan(static_cast<long double>(p) / q);
  return static_cast<double>(q > 0 ? a : a + kPi);
}

ShadowQuad ShadowCorners(const Segment &s, int32_t lampX, int32_t lampY, int32_t length) {
  using demo::CornerCoord;
  return {Corner{CornerCoord(s.x1), CornerCoord(s.y1)}, Corner{CornerCoord(s.x2), CornerCoord(s.y2)},
          Beyond(s.x2, s.y2, lampX, lampY, length), Beyond(s.x1, s.y1, lampX, lampY, length)};
}

}  // namespace flashlight
