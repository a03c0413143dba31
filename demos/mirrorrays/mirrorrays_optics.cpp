#include "mirrorrays_optics.h"

#include <cmath>

namespace mirrorrays {

namespace {
constexpr long double kPi = 3.141592653589793238462643383279502884L;
constexpr long double kParallelLimit = 1e-7L;
constexpr double kParallelParameter = 1e32;
}  // namespace

template <class Ext>
double DirectionAngle(double p, double q) {
  using std::atan;
  if (q == 0.0) return static_cast<double>(p > 0.0 ? kPi / 2 : 3 * kPi / 2);
  Ext angle = atan(Ext(p) / Ext(q));
  if (q < 0.0) angle = angle + demo::kPi<Ext>;
  return static_cast<double>(angle);
}

template <class Ext>
double LineParameter(const Vec2 &p1, const Vec2 &d1, const Vec2 &p2, const Vec2 &d2) {
  using std::fabs;
  constexpr Ext parallelLimit(kParallelLimit);
  const Ext denominator = Ext(d1.y) * d2.x - Ext(d1.x) * d2.y;
  if (!(parallelLimit < fabs(denominator))) return kParallelParameter;
  return static_cast<double>(((Ext(p2.y) - p1.y) * d2.x - (Ext(p2.x) - p1.x) * d2.y) / denominator);
}

double LargerReal(double a, double b) { return a > b ? a : b; }

template <class Ext>
Crossing CrossMirror(const Vec2 &origin, const Vec2 &rayVector, const Vec2 &mirrorStart, const Vec2 &m) {
  Crossing c;
  c.t = LineParameter<Ext>(origin, rayVector, mirrorStart, m);
  c.s = LineParameter<Ext>(mirrorStart, m, origin, rayVector);
  // Parallel lines give 1e32 and so miss.
  c.meets = c.t >= 0 && c.t <= 1 && c.s >= 0 && c.s <= 1;
  return c;
}

MirrorGeometry MirrorGeometryFor(int16_t screenMaxX, int16_t screenMaxY) {
  MirrorGeometry g;
  const double mirrorX = screenMaxX / 2.0 + 100;
  g.mirrorStart = {mirrorX, 100.0};
  g.mirrorEnd = {mirrorX, static_cast<double>(screenMaxY - 100)};
  g.rayOrigin = {200.0, screenMaxY / 2.0};
  // The products are integers: 2 * 32767 still fits in int.
  g.rayLength = LargerReal(2 * screenMaxX, 2 * screenMaxY);
  return g;
}

template <class Ext>
double FanCentre(int32_t pointerX, int32_t pointerY, const MirrorGeometry &geometry) {
  return DirectionAngle<Ext>(pointerY - geometry.rayOrigin.y, pointerX - geometry.rayOrigin.x);
}

template <class Ext>
TracedRay TraceRay(int i, int n, double fanCentre, bool backwards, const MirrorGeometry &geometry,
                   UnitVectors &units) {
  TracedRay ray;
  const Vec2 origin = geometry.rayOrigin;
  ray.start = origin;

  const double halfSpread = static_cast<double>(kPi / 12);
  const double theta = (i * halfSpread * 2) / n + (fanCentre - halfSpread);

  const double length = geometry.rayLength;
  const Vec2 rayVector{std::cos(theta) * length, std::sin(theta) * length};
  const Vec2 m{geometry.mirrorEnd.x - geometry.mirrorStart.x, geometry.mirrorEnd.y - geometry.mirrorStart.y};

  const Crossing crossing = CrossMirror<Ext>(origin, rayVector, geometry.mirrorStart, m);
  const double t = crossing.t;
  ray.meetsMirror = crossing.meets;
  if (!ray.meetsMirror) {
    ray.t = 1.0;
    ray.end = {origin.x + rayVector.x, origin.y + rayVector.y};
    return ray;
  }

  // Intermediate results are kept at extended precision and stored as doubles, so the hit
  // points land on the mirror's 499.5 exactly rather than a hair to either side of it.
  using std::sqrt;
  const Vec2 hit{static_cast<double>(Ext(rayVector.x) * t + origin.x),
                 static_cast<double>(Ext(rayVector.y) * t + origin.y)};
  const Ext mirrorLength = sqrt(Ext(m.x) * m.x + Ext(m.y) * m.y);
  if (mirrorLength != Ext(0.0)) {
    units.mirrorNormal = {static_cast<double>(-m.y / mirrorLength), static_cast<double>(m.x / mirrorLength)};
  }
  const Ext rayVectorLength = sqrt(Ext(rayVector.x) * rayVector.x + Ext(rayVector.y) * rayVector.y);
  if (rayVectorLength != Ext(0.0)) {
    units.rayDirection = {static_cast<double>(rayVector.x / rayVectorLength),
                          static_cast<double>(rayVector.y / rayVectorLength)};
  }

  const Vec2 d = units.rayDirection;
  const Vec2 normal = units.mirrorNormal;
  const Ext along = Ext(d.x) * normal.x + Ext(d.y) * normal.y;
  // Reflection keeps the tangential part and reverses the normal one; the backward
  // prolongation is the same direction reversed.
  Vec2 reflected{static_cast<double>(d.x - 2 * along * normal.x), static_cast<double>(d.y - 2 * along * normal.y)};
  if (backwards) {
    reflected = {static_cast<double>(-d.x + 2 * along * normal.x), static_cast<double>(-d.y + 2 * along * normal.y)};
  }

  // The continuation is as long as the part of the ray that the mirror cut off.
  const Ext remaining = rayVectorLength * (1 - Ext(t));
  ray.t = t;
  ray.end = hit;
  ray.continuationEnd = {static_cast<double>(hit.x + remaining * reflected.x),
                         static_cast<double>(hit.y + remaining * reflected.y)};
  return ray;
}

template double DirectionAngle<long double>(double, double);
template double DirectionAngle<demo::DoubleDouble>(double, double);
template double LineParameter<long double>(const Vec2 &, const Vec2 &, const Vec2 &, const Vec2 &);
template double LineParameter<demo::DoubleDouble>(const Vec2 &, const Vec2 &, const Vec2 &, const Vec2 &);
template Crossing CrossMirror<long double>(const Vec2 &, const Vec2 &, const Vec2 &, const Vec2 &);
template Crossing CrossMirror<demo::DoubleDouble>(const Vec2 &, const Vec2 &, const Vec2 &, const Vec2 &);
template double FanCentre<long double>(int32_t, int32_t, const MirrorGeometry &);
template double FanCentre<demo::DoubleDouble>(int32_t, int32_t, const MirrorGeometry &);
template TracedRay TraceRay<long double>(int, int, double, bool, const MirrorGeometry &, UnitVectors &);
template TracedRay TraceRay<demo::DoubleDouble>(int, int, double, bool, const MirrorGeometry &, UnitVectors &);

}  // namespace mirrorrays
