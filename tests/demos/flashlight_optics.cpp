// Shadow corners and angles of the flashlight scene, against figures worked out by hand.
#include "flashlight_optics.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <ostream>
#include <string>

using namespace flashlight;

namespace flashlight {
void PrintTo(const Corner &c, std::ostream *os) { *os << "(" << c.x << ", " << c.y << ")"; }
}  // namespace flashlight

namespace {

constexpr double kPi = std::numbers::pi;

TEST(FlashlightDirectionAngle, AxesAndQuadrants) {
  // 3pi/2 as stored: rounded from extended precision, a hair above 3 * kPi / 2.
  const double threeHalves = static_cast<double>(3 * std::numbers::pi_v<long double> / 2);
  const struct {
    double p, q, expected;
  } cases[] = {
      {0, 0, threeHalves}, {5, 0, kPi / 2},     {-5, 0, threeHalves}, {1, 1, kPi / 4},
      {-1, 1, -kPi / 4},   {1, -1, 3 * kPi / 4}, {-1, -1, 5 * kPi / 4}, {0, -7, kPi},
  };
  for (const auto &c : cases) EXPECT_NEAR(DirectionAngle(c.p, c.q), c.expected, 1e-15) << c.p << "," << c.q;
}

struct ShadowCase {
  const char *name;
  int segment;  // index into kSegments
  int32_t lampX, lampY;
  ShadowQuad expected;
};

class FlashlightCorners : public ::testing::TestWithParam<ShadowCase> {};

TEST_P(FlashlightCorners, MatchWorkedFigures) {
  const ShadowCase &c = GetParam();
  EXPECT_EQ(ShadowCorners(kSegments[c.segment], c.lampX, c.lampY, kShadowLength), c.expected);
}

const ShadowCase kShadowCases[] = {
    // Between the box and the bar: the bottom side throws upwards over the box, the bar down.
    {"BottomFromBetween", 0, 300, 300, {{{200, 200}, {400, 200}, {1107, -507}, {-507, -507}}}},
    {"BarFromBetween", 4, 300, 300, {{{200, 400}, {400, 400}, {1107, 1107}, {-507, 1107}}}},
    // On a segment's end: (0, 0) gives 3pi/2, a corner 1000 pixels to the right of the end.
    {"LampOnEnd", 0, 200, 200, {{{200, 200}, {400, 200}, {1400, 200}, {1200, 200}}}},
    // On a segment's line beyond its end: every corner stays on that line.
    {"LampOnLineRight", 0, 500, 200, {{{200, 200}, {400, 200}, {-600, 200}, {-800, 200}}}},
    {"LampOnLineAbove", 1, 200, 40, {{{200, 200}, {200, 100}, {200, 1100}, {200, 1200}}}},
    // At the box centre the far corners, shared by neighbouring sides, lie beyond the window.
    {"CentreBottom", 0, 300, 150, {{{200, 200}, {400, 200}, {1294, 647}, {-694, 647}}}},
    {"CentreLeft", 1, 300, 150, {{{200, 200}, {200, 100}, {-694, -347}, {-694, 647}}}},
    {"CentreTop", 2, 300, 150, {{{200, 100}, {400, 100}, {1294, -347}, {-694, -347}}}},
    {"CentreRight", 3, 300, 150, {{{400, 100}, {400, 200}, {1294, 647}, {1294, -347}}}},
    // Just inside the bottom side: a thin band whose far edge is at y = 210.
    {"InsideNearBottom", 0, 300, 199, {{{200, 200}, {400, 200}, {1400, 210}, {-800, 210}}}},
};

INSTANTIATE_TEST_SUITE_P(Figures, FlashlightCorners, ::testing::ValuesIn(kShadowCases),
                         [](const auto &info) { return std::string(info.param.name); });

// The WebAssembly build takes the arc tangent, sine and cosine of a pair of doubles (106 bits)
// instead of x86's 80-bit long double. They agree but where the 80-bit value, rounded to 64 bits
// and then to a double or a whole pixel, lands one unit off: rarely, and never further. A sweep
// of lamp positions over the window and beyond.
TEST(FlashlightCorners, DoubleDoubleGivesTheCornersOfLongDoubleToTheLastUnit) {
  int values = 0, differing = 0;
  double worst = 0;
  const auto compare = [&](double units) {
    ++values;
    if (units > 0) ++differing;
    worst = std::max(worst, units);
  };
  for (int32_t y = -40; y < 640; y += 5) {
    for (int32_t x = -40; x < 840; x += 5) {
      for (const Segment &s : kSegments) {
        const double p = x - s.x1, q = y - s.y1;
        const double a = DirectionAngle<long double>(p, q), b = DirectionAngle<demo::DoubleDouble>(p, q);
        compare(a == b ? 0 : std::fabs(a - b) / std::fabs(std::nextafter(a, b) - a));
        const ShadowQuad e = ShadowCorners<long double>(s, x, y, kShadowLength);
        const ShadowQuad f = ShadowCorners<demo::DoubleDouble>(s, x, y, kShadowLength);
        for (size_t k = 0; k < e.size(); ++k) {
          compare(std::abs(e[k].x - f[k].x));
          compare(std::abs(e[k].y - f[k].y));
        }
      }
    }
  }
  EXPECT_LE(worst, 1.0);
  EXPECT_LT(differing, values / 1000) << differing << " of " << values;
}

}  // namespace
