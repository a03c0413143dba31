// Reflection of a fan of rays at a plane mirror, as plain functions free of any window.
#pragma once

#include <cstdint>

#include "extended.h"

namespace mirrorrays {

// A point or a vector of the drawing surface: x to the right, y downwards.
struct Vec2 {
  double x = 0.0;
  double y = 0.0;
};

// The functions with an Ext parameter hold intermediates in that precision (instantiated for
// long double and demo::DoubleDouble).

// Angle of the vector (q, p) in [-pi/2, 3pi/2); (0, 0) gives 3pi/2.
template <class Ext = demo::Extended>
double DirectionAngle(double p, double q);

// Parameter t at which the line p1 + t*d1 crosses the line p2 + u*d2, or 1e32 when the lines
// are parallel or nearly so.
template <class Ext = demo::Extended>
double LineParameter(const Vec2 &p1, const Vec2 &d1, const Vec2 &p2, const Vec2 &d2);

double LargerReal(double a, double b);

// Where a ray (origin + t*rayVector, 0 <= t <= 1) crosses the mirror segment
// (mirrorStart + s*m, 0 <= s <= 1); an end of either counts as a meeting.
struct Crossing {
  double t = 0.0;
  double s = 0.0;
  bool meets = false;
};
template <class Ext = demo::Extended>
Crossing CrossMirror(const Vec2 &origin, const Vec2 &rayVector, const Vec2 &mirrorStart, const Vec2 &m);

// The fixed scene on a surface whose largest coordinates are (maxX, maxY).
struct MirrorGeometry {
  Vec2 mirrorStart;
  Vec2 mirrorEnd;
  Vec2 rayOrigin;
  double rayLength = 0.0;
};
MirrorGeometry MirrorGeometryFor(int16_t screenMaxX, int16_t screenMaxY);

// Unit vectors that keep their last value when a mirror or a ray has length 0.
struct UnitVectors {
  Vec2 mirrorNormal;
  Vec2 rayDirection;
};

// One ray of the fan. A ray that meets the mirror is drawn from `start` to `end` (the hit
// point) and continues from `end` to `continuationEnd`; a ray that misses is drawn from
// `start` to `end` at full length and has no continuation.
struct TracedRay {
  bool meetsMirror = false;
  double t = 1.0;
  Vec2 start;
  Vec2 end;
  Vec2 continuationEnd;
};

constexpr int kRayCount = 10;

// The direction from the rays' source to the pointer, the middle of the fan. Worked out once a
// frame, as it is the same for every ray.
template <class Ext = demo::Extended>
double FanCentre(int32_t pointerX, int32_t pointerY, const MirrorGeometry &geometry);

// Traces ray i of a fan of n around `fanCentre`. With `backwards` set the continuation is the
// backward prolongation of the reflected ray, behind the mirror.
template <class Ext = demo::Extended>
TracedRay TraceRay(int i, int n, double fanCentre, bool backwards, const MirrorGeometry &geometry,
                   UnitVectors &units);

}  // namespace mirrorrays
