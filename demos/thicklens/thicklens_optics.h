// The thick lens as plain geometry: outlines, face coefficients, intersections, refraction and
// the animated fan. Nothing here touches the window, so every number can be checked directly.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>

namespace thicklens {

// Pi at the precision of the floating-point unit; the fan's step and limits are formed from it.
inline constexpr long double kPi = 3.141592653589793238462643383279502884L;

enum LensShape : int32_t { ParabolicLens = 0, EllipticLens = 1, CircularLens = 2 };
inline constexpr int32_t kLensShapeCount = 3;

struct Vec {
  double x;
  double y;
};

// The lens's fixed numbers and the surface it stands on (ScreenMaxX, ScreenMaxY).
struct Lens {
  double halfThickness = 16.0;  // T
  double halfHeight = 128.0;    // H
  double indexRatio = 0.33;     // mu
  int16_t maxX = 799;
  int16_t maxY = 599;

  double CentreX() const { return maxX / 2.0; }
  double CentreY() const { return maxY / 2.0; }
};

// The numbers the tracer reads for each face. Only the current shape's numbers are
// refreshed each frame; the others keep what they had.
struct FaceCoefficients {
  double a1 = 0, b1 = 0, c1 = 0;  // parabolic entry face x = a1*y^2 + b1*y + c1
  double a2 = 0, b2 = 0, c2 = 0;  // parabolic exit face
  double ex = 0, ey = 0;          // centre of the ellipse; ey is also the circles' centre y
  double kx = 0, ky = 0;          // 1/T^2 and 1/H^2
  double d = 0, radius = 0;       // circular: centre offset and radius
  double entryCentreX = 0;        // cx + d: the entry circle lies to the right of the lens
  double exitCentreX = 0;         // cx - d
  double k = 0;                   // 1/R^2
};

// One row of an outline: the real y and the x of the left and right face on it.
struct OutlineRow {
  double y;
  double leftX;
  double rightX;
};

// Walks the outline of `shape` row by row (visit(OutlineRow) for each), then stores the
// shape's face coefficients in `fc`, leaving the other shapes' numbers untouched.
template <class Visit>
void TraceOutline(LensShape shape, const Lens &lens, FaceCoefficients &fc, Visit visit);

// The fan's angle step: pi/128 formed at extended precision, stored as a double.
double FanAngleStep();
// The first ray's angle for a phase in [0, 1].
double FanStartAngle(double angleStep, double phase);
// The phase of the next frame with rays: +0.001, back to 0 once it passes 1.
double NextFanPhase(double phase);

// Calls visit(theta) for every ray of the fan, theta accumulated by repeated addition and
// compared against pi/2 at extended precision.
template <class Visit>
void ForEachFanAngle(double angleStep, double phase, Visit visit) {
  const long double limit = kPi * 0.5L;
  for (double theta = FanStartAngle(angleStep, phase); theta < limit; theta += angleStep) visit(theta);
}

enum class Face { Entry, Exit };

// Moves `p` along `d` to the crossing with the given face of `shape` and sets the face's unit
// normal there. Returns false (p unchanged) when the line misses the face or the crossing is
// not a finite point.
bool IntersectFace(LensShape shape, Face face, const FaceCoefficients &fc, Vec &p, Vec d, Vec &n);

enum class Crossing { Entering, Leaving };

// Scales the tangential part of `d` by mu on entering (by 1/mu on leaving) and returns the
// result as a unit vector; the part along `n` is kept.
Vec Refract(Vec d, Vec n, double mu, Crossing crossing);

// The polyline one ray draws: MoveCursor(start), then DrawLineTo each of ends[0..count).
struct RayPath {
  Vec start;
  std::array<Vec, 3> ends;
  int count;
};

RayPath TraceRay(double theta, Vec pointer, LensShape shape, const Lens &lens, const FaceCoefficients &fc);

// ---- template definitions ------------------------------------------------------------------

template <class Visit>
void TraceOutline(LensShape shape, const Lens &lens, FaceCoefficients &fc, Visit visit) {
  const double T = lens.halfThickness;
  const double H = lens.halfHeight;
  const double cx = lens.CentreX();
  const double cy = lens.CentreY();
  const double maxX = lens.maxX;
  const double maxY = lens.maxY;
  switch (shape) {
    case ParabolicLens: {
      for (double y = cy - H; y < cy + H; y += 1.0) {
        const double t = (y - cy) / H;
        visit(OutlineRow{y, cx - (1 - t * t) * T, cx + (1 - t * t) * T});
      }
      // ScreenMaxY^2 as an integer product, as the expanded parabola needs it exactly.
      const double maxY2 = static_cast<double>(int32_t{lens.maxY} * int32_t{lens.maxY});
      fc.a1 = T / (H * H);
      fc.b1 = -maxY * T / (H * H);
      fc.c1 = maxY2 * T / (H * H) / 4 - T + maxX / 2;
      fc.a2 = -T / (H * H);
      fc.b2 = maxY * T / (H * H);
      fc.c2 = -maxY2 * T / (H * H) / 4 + T + maxX / 2;
      break;
    }
    case EllipticLens: {
      for (double y = cy - H; y < cy + H; y += 1.0) {
        const double t = (y - cy) / H;
        const double half = std::sqrt(1 - t * t) * T;
        visit(OutlineRow{y, cx - half, cx + half});
      }
      fc.ex = maxX / 2;
      fc.ey = maxY / 2;
      fc.kx = 1 / (T * T);
      fc.ky = 1 / (H * H);
      break;
    }
    case CircularLens: {
      fc.d = 0.5 * H * H / T - T / 2;
      fc.radius = T + fc.d;
      fc.entryCentreX = cx + fc.d;
      fc.exitCentreX = cx - fc.d;
      const double R = fc.radius;
      for (double y = cy - H; y <= cy + H; y += 1.0) {
        const double root = std::sqrt(R * R - (y - cy) * (y - cy));
        visit(OutlineRow{y, fc.entryCentreX - root, root + fc.exitCentreX});
      }
      fc.ey = maxY / 2;
      fc.k = 1 / (R * R);
      break;
    }
  }
}

}  // namespace thicklens
