#include "flashlight_optics.h"

#include <cmath>

#include "pixel_coord.h"

namespace flashlight {

namespace {

constexpr long double kPi = 3.141592653589793238462643383279502884L;

// The point `length` pixels from (x, y), away from the lamp.
template <class Ext>
Corner Beyond(double x, double y, int32_t lampX, int32_t lampY, int32_t length) {
  // Crosswise: the x difference is the angle's vertical component, so sin gives x.
  const demo::SineCosine<Ext> angle = demo::SinCos(Ext(DirectionAngle<Ext>(lampX - x, lampY - y)));
  const Ext l(static_cast<double>(length));
  return {demo::CornerCoord(x - l * angle.sin), demo::CornerCoord(y - l * angle.cos)};
}

}  // namespace

template <class Ext>
double DirectionAngle(double p, double q) {
  using std::atan;
  if (q == 0) return static_cast<double>(p > 0 ? kPi / 2 : 3 * kPi / 2);
  const Ext a = atan(Ext(p) / Ext(q));
  return static_cast<double>(q > 0 ? a : a + demo::kPi<Ext>);
}

template <class Ext>
ShadowQuad ShadowCorners(const Segment &s, int32_t lampX, int32_t lampY, int32_t length) {
  using demo::CornerCoord;
  return {Corner{CornerCoord(s.x1), CornerCoord(s.y1)}, Corner{CornerCoord(s.x2), CornerCoord(s.y2)},
          Beyond<Ext>(s.x2, s.y2, lampX, lampY, length), Beyond<Ext>(s.x1, s.y1, lampX, lampY, length)};
}

template double DirectionAngle<long double>(double, double);
template double DirectionAngle<demo::DoubleDouble>(double, double);
template ShadowQuad ShadowCorners<long double>(const Segment &, int32_t, int32_t, int32_t);
template ShadowQuad ShadowCorners<demo::DoubleDouble>(const Segment &, int32_t, int32_t, int32_t);

}  // namespace flashlight
