// Which obstacles the lamp's rays cross: plain geometry, free of any window.
#pragma once

#include <cstdint>
#include <optional>

namespace shadow {

struct Point {
  double x, y;
};

inline constexpr double kRayReach = 1000.0;
inline constexpr double kSweepDivisions = 18.0;

// The angle between neighbouring rays: a full turn at extended precision over the divisions.
double SweepStep();

// Whether the sweep goes on to a ray at `angle`; compared with the full turn at extended
// precision, so the accumulated angles give nineteen rays, the last one a hair short of 2pi.
bool SweepGoesOn(double angle);

// Calls visit(angle) for every ray of one sweep, accumulating the angle in 64 bits.
template <class Visit>
void SweepRays(Visit &&visit) {
  const double step = SweepStep();
  for (double angle = 0; SweepGoesOn(angle); angle += step) visit(angle);
}

// One ray of the sweep: its end and its line y = slope * x + intercept, worked out once for
// all the obstacles it is tested against.
struct Ray {
  Point lamp, end;
  double slope, intercept;
};

// The ray from `lamp` at `angle`, `reach` pixels long.
Ray CastRay(Point lamp, double angle, double reach);

// Where `ray` marks the circle about `centre`: the crossing of its line with the smaller x,
// when that lies strictly inside the box spanned by the lamp and the ray's end. A line that
// only touches the circle crosses nothing.
std::optional<Point> RayMark(const Ray &ray, Point centre, double radius);

}  // namespace shadow
