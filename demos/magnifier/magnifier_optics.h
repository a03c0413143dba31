// The magnifier's lens as plain geometry: the rows of each face, the face coefficients, the
// crossings, the refraction rule and the fan. Nothing here touches the window.
#pragma once

#include <array>
#include <cstdint>

namespace magnifier {

// Pi at the precision of the floating-point unit; the fan's start and limit are formed from it.
inline constexpr long double kPi = 3.141592653589793238462643383279502884L;

enum FaceShape : int32_t { ParabolicFace = 0, EllipticFace = 1, CircularFace = 2, FlatFace = 3 };
inline constexpr int kLeftFace = 0;
inline constexpr int kRightFace = 1;

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
  // Centre offset and radius of the circular faces.
  double CircleOffset() const { return 0.5 * halfHeight * halfHeight / halfThickness - halfThickness / 2; }
  double CircleRadius() const { return halfThickness + CircleOffset(); }
};

// What the tracer reads for each face, indexed by face (0 left, 1 right). Only the numbers of
// the shapes in use are refreshed; the others keep what they had.
struct FaceCoefficients {
  std::array<double, 2> a{}, b{}, c{};  // parabola x = a*y^2 + b*y + c
  double ex = 0, ey = 0;                // ellipse centre; ey is also the circles' centre y
  double kx = 0, ky = 0;                // 1/T^2 and 1/H^2
  double d = 0, radius = 0;             // circle centre offset and radius
  std::array<double, 2> cc{};           // the circles' centre x: cx + d for the left face
  double k = 0;                         // 1/R^2
};

// The rows the lens body covers: topRow to bottomRow - 1.
int32_t TopRow(const Lens &lens);
int32_t BottomRow(const Lens &lens);

// The x of `face` with `shape` on pixel row y.
double FaceRowX(FaceShape shape, int face, double y, const Lens &lens);

// Stores the numbers of `shape` (all six parabola numbers when it is parabolic).
void ComputeFaceCoefficients(FaceShape shape, const Lens &lens, FaceCoefficients &fc);

inline constexpr double kFanAngleStep = 0.05;

double FanStartAngle(double angleStep, double phase);
// +0.1 per frame, back to 0 once the phase passes 1.
double NextFanPhase(double phase);

// Calls visit(theta) for every ray of the fan, theta accumulated by repeated addition and
// compared against pi at extended precision.
template <class Visit>
void ForEachFanAngle(double angleStep, double phase, Visit visit) {
  for (double theta = FanStartAngle(angleStep, phase); theta < kPi; theta += angleStep) visit(theta);
}

enum class Crossing {
  Hit,     // p moved to the crossing, n set
  Missed,  // the line misses the face (or meets it at no finite point); p unchanged
  Passes,  // the line has no crossing with an elliptic face: it passes the lens
};

// Finds where the line p + s*d meets face `face` of `shape`, with the root that face takes.
Crossing IntersectFace(FaceShape shape, int face, const FaceCoefficients &fc, const Lens &lens, Vec &p, Vec d,
                       Vec &n);

// Refraction at n: the part of d along n is scaled by 1/mu on the first face met (by mu on the
// second); d is not made a unit vector again.
Vec Refract(Vec d, Vec n, double mu, bool firstFace);

// The point where the ray's line through p meets the vertical x = X. A vertical line never
// does; it is drawn to the top or bottom edge, the way `travel` (the light's direction) runs.
Vec EdgePoint(Vec p, Vec d, double X, Vec travel, double maxY);

// The polyline one ray draws: MoveCursor(start), then DrawLineTo each of ends[0..count).
struct RayPath {
  Vec start;
  std::array<Vec, 3> ends;
  int count;
};

RayPath TraceRay(double theta, Vec pointer, const std::array<int32_t, 2> &shapes, const Lens &lens,
                 const FaceCoefficients &fc);

}  // namespace magnifier
