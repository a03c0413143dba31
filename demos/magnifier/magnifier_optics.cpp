#include "magnifier_optics.h"

#include <algorithm>
#include <cmath>

#include "quadratic_root.h"

namespace magnifier {

int32_t TopRow(const Lens &lens) { return static_cast<int32_t>(std::nearbyint(lens.CentreY() - lens.halfHeight)); }

int32_t BottomRow(const Lens &lens) {
  return static_cast<int32_t>(std::nearbyint(lens.CentreY() + lens.halfHeight));
}

double FaceRowX(FaceShape shape, int face, double y, const Lens &lens) {
  const double T = lens.halfThickness;
  const double cx = lens.CentreX();
  const double t = (y - lens.CentreY()) / lens.halfHeight;
  const double side = face == kLeftFace ? -1.0 : 1.0;
  // A row rounded half a pixel past a tip would take the root of a negative number.
  switch (shape) {
    case ParabolicFace:
      return cx + side * ((1 - t * t) * T);
    case EllipticFace:
      return cx + side * (std::sqrt(std::max(0.0, 1 - t * t)) * T);
    case CircularFace: {
      const double d = lens.CircleOffset();
      const double R = lens.CircleRadius();
      const double dy = y - lens.CentreY();
      const double root = std::sqrt(std::max(0.0, R * R - dy * dy));
      return face == kLeftFace ? (cx + d) - root : root + (cx - d);
    }
    case FlatFace:
      break;
  }
  return cx;
}

void ComputeFaceCoefficients(FaceShape shape, const Lens &lens, FaceCoefficients &fc) {
  const double T = lens.halfThickness;
  const double H = lens.halfHeight;
  const double maxX = lens.maxX;
  const double maxY = lens.maxY;
  switch (shape) {
    case ParabolicFace:
      // Each number builds on the one before, in this order.
      fc.a[0] = T / (H * H);
      fc.b[1] = maxY * fc.a[0];
      fc.a[1] = -T / (H * H);
      fc.b[0] = maxY * fc.a[1];
      fc.c[0] = maxY * fc.b[1] / 4 - T + maxX / 2;
      fc.c[1] = maxY * fc.b[0] / 4 + T + maxX / 2;
      break;
    case EllipticFace:
      fc.ex = maxX / 2;
      fc.ey = maxY / 2;
      fc.kx = 1 / (T * T);
      fc.ky = 1 / (H * H);
      break;
    case CircularFace:
      fc.d = lens.CircleOffset();
      fc.radius = lens.CircleRadius();
      fc.cc[0] = maxX / 2 + fc.d;
      fc.cc[1] = maxX / 2 - fc.d;
      fc.ey = maxY / 2;
      fc.k = 1 / (fc.radius * fc.radius);
      break;
    case FlatFace:
      break;
  }
}

double FanStartAngle(double angleStep, double phase) {
  return static_cast<double>(static_cast<long double>(phase) * angleStep - kPi);
}

double NextFanPhase(double phase) {
  phase += 0.1;
  return phase > 1.0 ? 0.0 : phase;
}

namespace {

Vec Unit(Vec v) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y);
  return {v.x / len, v.y / len};
}

bool Finite(Vec v) { return std::isfinite(v.x) && std::isfinite(v.y); }

}  // namespace

Crossing IntersectFace(FaceShape shape, int face, const FaceCoefficients &fc, const Lens &lens, Vec &p, Vec d,
                       Vec &n) {
  Vec hit{};
  Vec normal{1, 0};
  if (shape == FlatFace) {
    const double cx = lens.CentreX();
    hit = {cx, p.y + (cx - p.x) * d.y / d.x};
  } else {
    double qa = 0, qb = 0, qc = 0;
    switch (shape) {
      case ParabolicFace: {
        const double a = fc.a[face], b = fc.b[face], c = fc.c[face];
        qa = a * d.y * d.y;
        qb = 2 * a * p.y * d.y + b * d.y - d.x;
        qc = a * p.y * p.y + b * p.y - p.x + c;
        break;
      }
      case EllipticFace: {
        const double rx = p.x - fc.ex, ry = p.y - fc.ey;
        qa = d.x * d.x * fc.kx + d.y * d.y * fc.ky;
        qb = 2 * rx * d.x * fc.kx + 2 * ry * d.y * fc.ky;
        qc = rx * rx * fc.kx + ry * ry * fc.ky - 1;
        break;
      }
      default: {
        const double rx = p.x - fc.cc[face], ry = p.y - fc.ey;
        qa = d.x * d.x * fc.k + d.y * d.y * fc.k;
        qb = 2 * rx * d.x * fc.k + 2 * ry * d.y * fc.k;
        qc = rx * rx * fc.k + ry * ry * fc.k - 1;
        break;
      }
    }
    const double D = qb * qb - qa * 4 * qc;
    // The ellipse's curve ends at the lens's top and bottom: a line that misses or only touches
    // it goes past the lens, as rays above or below the other curved faces do.
    if (shape == EllipticFace && !(D > 0)) return Crossing::Passes;
    if (D < 0) return Crossing::Missed;
    // A horizontal line meets a parabola x(y) once, on its own row (qa = 0).
    const double s = demo::QuadraticRoot(qa, qb, qc, D, shape != ParabolicFace && face == kRightFace);
    hit = {p.x + s * d.x, p.y + s * d.y};
    switch (shape) {
      case ParabolicFace:
        normal = {-1, 2 * fc.a[face] * hit.y + fc.b[face]};
        break;
      case EllipticFace:
        normal = {(hit.x - fc.ex) * fc.kx, (hit.y - fc.ey) * fc.ky};
        if (face == kRightFace) normal = {-normal.x, -normal.y};
        break;
      default:
        normal = {(hit.x - fc.cc[face]) * fc.k, (hit.y - fc.ey) * fc.k};
        break;
    }
  }
  // A line parallel to a flat face, or a crossing too far off to be a number, meets nothing.
  if (!Finite(hit)) return Crossing::Missed;
  p = hit;
  n = Unit(normal);
  return Crossing::Hit;
}

Vec Refract(Vec d, Vec n, double mu, bool firstFace) {
  double k = (n.x * d.x + n.y * d.y) / (n.x * n.x + n.y * n.y);
  k = firstFace ? k * (1 / mu - 1) : k * (mu - 1);
  return {d.x + k * n.x, d.y + k * n.y};
}

Vec EdgePoint(Vec p, Vec d, double X, Vec travel, double maxY) {
  const double y = p.y + (X - p.x) * d.y / d.x;
  if (std::isfinite(y)) return {X, y};
  return {p.x, travel.y > 0 ? maxY : 0.0};
}

RayPath TraceRay(double theta, Vec pointer, const std::array<int32_t, 2> &shapes, const Lens &lens,
                 const FaceCoefficients &fc) {
  RayPath path{pointer, {}, 0};
  // Only finite points join the path, so none can reach the pixel conversion.
  const auto reach = [&path](Vec q) {
    if (Finite(q)) path.ends[path.count++] = q;
  };
  const double cx = lens.CentreX();
  const double maxX = lens.maxX;
  const bool sourceLeft = pointer.x < cx;
  // A source on the right is drawn along -d: the light that leaves it to the left.
  const double along = sourceLeft ? 1.0 : -1.0;
  Vec p = pointer;
  Vec d{std::cos(theta), std::sin(theta)};

  if (std::fabs(theta) >= kPi / 2) {
    reach(EdgePoint(p, d, sourceLeft ? 0.0 : maxX, {along * d.x, along * d.y}, lens.maxY));
    return path;
  }
  for (int i = 0; i < 2; ++i) {
    const int face = sourceLeft ? i : 1 - i;
    Vec n{};
    const Crossing crossing = IntersectFace(static_cast<FaceShape>(shapes[face]), face, fc, lens, p, d, n);
    if (crossing == Crossing::Missed) continue;
    if (crossing == Crossing::Passes || std::fabs(p.y - lens.CentreY()) > lens.halfHeight) {
      reach(EdgePoint(p, d, pointer.x > cx ? 0.0 : maxX, {along * d.x, along * d.y}, lens.maxY));
      return path;
    }
    reach(p);
    d = Refract(d, n, lens.indexRatio, i == 0);
    if (i == 1) reach({p.x + along * maxX * d.x, p.y + along * maxX * d.y});
  }
  return path;
}

}  // namespace magnifier
