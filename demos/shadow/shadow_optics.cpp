#include "shadow_optics.h"

#include <algorithm>
#include <cmath>

namespace shadow {

namespace {

constexpr long double kTwoPi = 2 * 3.141592653589793238462643383279502884L;

}  // namespace

double SweepStep() { return static_cast<double>(kTwoPi / kSweepDivisions); }

bool SweepGoesOn(double angle) { return angle < kTwoPi; }

Ray CastRay(Point lamp, double angle, double reach) {
  const Point end{std::cos(angle) * reach + lamp.x, std::sin(angle) * reach + lamp.y};
  // A vertical ray makes the slope infinite and the roots NaN; its box has no width either,
  // so the strict box test in RayMark turns it down without special handling.
  const double m = (end.y - lamp.y) / (end.x - lamp.x);
  return Ray{lamp, end, m, end.y - end.x * m};
}

std::optional<Point> RayMark(const Ray &ray, Point centre, double radius) {
  const Point lamp = ray.lamp, end = ray.end;
  const double m = ray.slope, b0 = ray.intercept;
  const double d = b0 - centre.y;
  const double a = m * m + 1;
  const double b = 2 * m * d - 2 * centre.x;
  const double c = d * d + centre.x * centre.x - radius * radius;
  const double discriminant = b * b - 4 * a * c;
  if (!(discriminant > 0)) return std::nullopt;

  const double x2 = (-b - std::sqrt(discriminant)) / (2 * a);
  const double y2 = m * x2 + b0;
  const double xmin = std::min(lamp.x, end.x), xmax = std::max(lamp.x, end.x);
  const double ymin = std::min(lamp.y, end.y), ymax = std::max(lamp.y, end.y);
  if (x2 < xmax && x2 > xmin && y2 < ymax && y2 > ymin) return Point{x2, y2};
  return std::nullopt;
}

}  // namespace shadow
