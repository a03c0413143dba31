#include "thicklens_optics.h"

#include "quadratic_root.h"

namespace thicklens {

double FanAngleStep() { return static_cast<double>(kPi / 128.0L); }

double FanStartAngle(double angleStep, double phase) {
  return static_cast<double>(-kPi * 0.5L + 4.0L * angleStep * phase);
}

double NextFanPhase(double phase) {
  phase += 0.001;
  return phase > 1.0 ? 0.0 : phase;
}

namespace {

struct Quadratic {
  double qa, qb, qc;
};

Quadratic ParabolaQuadratic(double a, double b, double c, Vec p, Vec d) {
  return {a * d.y * d.y, 2 * a * p.y * d.y + b * d.y - d.x, a * p.y * p.y + b * p.y - p.x + c};
}

Quadratic ConicQuadratic(Vec centre, double kx, double ky, Vec p, Vec d) {
  const double rx = p.x - centre.x;
  const double ry = p.y - centre.y;
  return {d.x * d.x * kx + d.y * d.y * ky, 2 * rx * d.x * kx + 2 * ry * d.y * ky,
          rx * rx * kx + ry * ry * ky - 1};
}

// The root on the chosen side, or NaN on a miss. A parabola met by a horizontal line has
// qa = 0: the quadratic is then linear, with one crossing on the ray's own row.
double ChooseRoot(const Quadratic &q, bool plusRoot) {
  const double D = q.qb * q.qb - 4 * q.qa * q.qc;
  if (D < 0) return std::nan("");
  return demo::QuadraticRoot(q.qa, q.qb, q.qc, D, plusRoot);
}

Vec Unit(Vec v) {
  const double len = std::sqrt(v.x * v.x + v.y * v.y);
  return {v.x / len, v.y / len};
}

}  // namespace

bool IntersectFace(LensShape shape, Face face, const FaceCoefficients &fc, Vec &p, Vec d, Vec &n) {
  const bool entry = face == Face::Entry;
  double s = 0;
  switch (shape) {
    case ParabolicLens:
      s = entry ? ChooseRoot(ParabolaQuadratic(fc.a1, fc.b1, fc.c1, p, d), false)
                : ChooseRoot(ParabolaQuadratic(fc.a2, fc.b2, fc.c2, p, d), false);
      break;
    case EllipticLens:
      s = ChooseRoot(ConicQuadratic({fc.ex, fc.ey}, fc.kx, fc.ky, p, d), !entry);
      break;
    case CircularLens: {
      const Vec centre{entry ? fc.entryCentreX : fc.exitCentreX, fc.ey};
      s = ChooseRoot(ConicQuadratic(centre, fc.k, fc.k, p, d), !entry);
      break;
    }
  }
  const Vec hit{p.x + s * d.x, p.y + s * d.y};
  // A miss, or a crossing so far off that it is no number, leaves the ray where it was.
  if (!std::isfinite(hit.x) || !std::isfinite(hit.y)) return false;
  p = hit;
  switch (shape) {
    case ParabolicLens:
      n = entry ? Unit({-1, 2 * fc.a1 * p.y + fc.b1}) : Unit({-1, 2 * fc.a2 * p.y + fc.b2});
      break;
    case EllipticLens: {
      const Vec v = Unit({(p.x - fc.ex) * fc.kx, (p.y - fc.ey) * fc.ky});
      n = entry ? v : Vec{-v.x, -v.y};
      break;
    }
    case CircularLens: {
      const double centreX = entry ? fc.entryCentreX : fc.exitCentreX;
      n = Unit({(p.x - centreX) * fc.k, (p.y - fc.ey) * fc.k});
      break;
    }
  }
  return true;
}

Vec Refract(Vec d, Vec n, double mu, Crossing crossing) {
  const double u = n.x * d.x + n.y * d.y;
  const double tangential = n.y * d.x - n.x * d.y;
  const double w = crossing == Crossing::Entering ? tangential * mu : tangential / mu;
  return Unit({n.x * u + n.y * w, n.y * u - n.x * w});
}

RayPath TraceRay(double theta, Vec pointer, LensShape shape, const Lens &lens, const FaceCoefficients &fc) {
  RayPath path{pointer, {}, 0};
  const double cy = lens.CentreY();
  const double H = lens.halfHeight;
  Vec p = pointer;
  Vec d{std::cos(theta), std::sin(theta)};
  Vec n{};

  // Only finite points join the path, so none can reach the pixel conversion.
  const auto reach = [&path](Vec q) {
    if (!std::isfinite(q.x) || !std::isfinite(q.y)) return false;
    path.ends[path.count++] = q;
    return true;
  };

  if (!IntersectFace(shape, Face::Entry, fc, p, d, n) || !(std::fabs(p.y - cy) <= H) || !reach(p)) return path;
  d = Refract(d, n, lens.indexRatio, Crossing::Entering);

  if (!IntersectFace(shape, Face::Exit, fc, p, d, n) || !(std::fabs(p.y - cy) <= H) || !reach(p)) return path;
  d = Refract(d, n, lens.indexRatio, Crossing::Leaving);

  const double length = lens.maxX;
  reach({p.x + length * d.x, p.y + length * d.y});
  return path;
}

}  // namespace thicklens
