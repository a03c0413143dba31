#include "lightbeam_optics.h"

#include <cmath>
#include <limits>
#include <vector>

namespace lightbeam {

namespace {
constexpr long double kPi = 3.141592653589793238462643383279502884L;
// 2^63 is the first double beyond the range of a 64-bit integer.
constexpr double kBeyond64 = 9223372036854775808.0;

double ProfileHeight(int32_t x) {
  const long double column = x;
  return static_cast<double>(50 * std::sin(column / 40) + 40 * std::cos(column / 30) + 350);
}
}  // namespace

double DirectionAngle(double p, double q) {
  if (q == 0.0) return static_cast<double>(p > 0.0 ? kPi / 2 : 3 * kPi / 2);
  long double angle = std::atan(static_cast<long double>(p) / q);
  if (q < 0.0) angle += kPi;
  return static_cast<double>(angle);
}

double LargerReal(double a, double b) { return a > b ? a : b; }

int64_t RoundUpHalf(double x) {
  const double shifted = x + 0.5;
  if (std::isnan(shifted)) return 0;
  if (shifted >= kBeyond64) return std::numeric_limits<int64_t>::max();
  if (shifted <= -kBeyond64) return std::numeric_limits<int64_t>::min();
  return std::llrint(shifted);
}

double GroundHeight(int32_t x, int16_t screenMaxX) {
  if (x >= screenMaxX - 10) return 0.0;
  if (x < 0) return ProfileHeight(x);
  // The profile is the same every frame: its columns are computed once (per thread, as every
  // frame of a window is drawn on one) and kept, as far as the widest screen asked for.
  thread_local std::vector<double> profile;
  while (profile.size() <= static_cast<size_t>(x)) profile.push_back(ProfileHeight(static_cast<int32_t>(profile.size())));
  return profile[static_cast<size_t>(x)];
}

BeamAim AimBeam(int32_t pointerX, int32_t pointerY, double sourceY) {
  BeamAim aim;
  // Raising the vertical difference keeps the axis below the horizontal and s away from 0.
  aim.theta = DirectionAngle(LargerReal(pointerY - sourceY, 1e-8), pointerX);
  aim.c = std::cos(aim.theta);
  aim.s = std::sin(aim.theta);
  // The first ray whose direction points to the right, at most 45 degrees from the axis.
  aim.firstRay = LargerReal(-kLastRay, static_cast<double>(RoundUpHalf(-16 * aim.c / aim.s)));
  return aim;
}

}  // namespace lightbeam
