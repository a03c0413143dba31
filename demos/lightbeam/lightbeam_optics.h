// A beam of rays from a lamp at the left edge, met in order by one incremental walk along the
// ground. Plain functions, free of any window: the walk reports to a sink.
#pragma once

#include <cstdint>

namespace lightbeam {

constexpr double kSourceY = 32.0;  // the lamp is the point (0, kSourceY)
constexpr double kLastRay = 16;

// Angle of the vector (q, p) in [-pi/2, 3pi/2); (0, 0) gives 3pi/2.
double DirectionAngle(double p, double q);

double LargerReal(double a, double b);

// x + 0.5 rounded to nearest, ties to even. Values beyond 64 bits saturate, NaN gives 0.
int64_t RoundUpHalf(double x);

// y of the ground in column x: a wavy profile, and from 10 columns before the right edge the
// top row, which makes the wall.
double GroundHeight(int32_t x, int16_t screenMaxX);

// The beam's axis (cos c, sin s of its angle theta) and the first ray whose direction points
// to the right.
struct BeamAim {
  double theta = 0.0;
  double c = 0.0;
  double s = 0.0;
  double firstRay = 0.0;
};
BeamAim AimBeam(int32_t pointerX, int32_t pointerY, double sourceY = kSourceY);

// A ray met by the walk: it is drawn from (x, y) back to the lamp, and its cross-section dot,
// 128 pixels from the lamp along the axis, is at (dotX, dotY).
struct RayHit {
  double ray;
  int32_t x;
  int32_t y;
  double dotX;
  double dotY;
};

struct WalkEnd {
  int32_t columns = 0;  // columns walked, and so of ground drawn
  int64_t steps = 0;    // rows and columns visited
  bool allRaysFound = false;
};

// Walks the boundary of the space above the ground from (0, 0): down column 0, along the ground
// and up the wall, telling on which side of the current ray each pixel lies by additions alone.
// sink.Ground(x, h) is called for each column before the column is walked, sink.Hit(hit) for
// each ray in the order met.
template <class Sink>
WalkEnd WalkGround(const BeamAim &aim, int16_t screenMaxX, Sink &sink, double sourceY = kSourceY) {
  const double c = aim.c, s = aim.s, a = sourceY;
  double k = aim.firstRay;
  // Direction of ray k: 16 along the axis and k across it.
  double u = s * k + 16 * c;
  double v = 16 * s - c * k;
  // w is 0 on ray k, negative on the side of ray k + 1; z runs along the axis.
  double w = -u * a;
  double z = -s * a;
  int32_t j = 0;
  int32_t x = 0;
  bool searching = true;
  WalkEnd end;

  const auto recordHit = [&] {
    sink.Hit(RayHit{k, x, j, 8 * u, 8 * v + a});
    u += s;
    v -= c;
    w += z;
    k += 1;
    if (k > kLastRay) searching = false;
  };

  while (x < screenMaxX && searching) {
    const double h = GroundHeight(x, screenMaxX);
    sink.Ground(x, h);
    if (h >= j) {
      // Down to the first row below the ground; at most one ray is met on the way.
      do {
        w += u;
        z += s;
        ++j;
        ++end.steps;
      } while (h >= j);
      if (w < 0) recordHit();
    } else {
      // Up to the ground: the test uses w of the row above and marks the row before the step.
      do {
        w -= u;
        z -= s;
        if (w < 0) recordHit();
        --j;
        ++end.steps;
      } while (!(h >= j || !searching));
    }
    w -= v;
    z += c;
    ++x;
    ++end.steps;
  }
  end.columns = x;
  end.allRaysFound = !searching;
  return end;
}

}  // namespace lightbeam
