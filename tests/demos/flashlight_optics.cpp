// Shadow corners and angles of the flashlight scene, against the figures worked out by hand.
#include "flashlight_optics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <ostream>
#include <string>

using namespace flashlight;

namespace flashlight {
void PrintTo(const Corner &c, std::ostream *os) { *os << "(" << c.x << ", " << c.y << ")"; }
}  // namespace flashlight

namespace {

constexpr double kPi = std::numbers::pi;
// 3pi/2 as the function stores it: rounded from extended precision, a hair above 3 * kPi / 2.
const double kThreeHalvesPi = static_cast<double>(3 * std::numbers::pi_v<long double> / 2);

struct AngleCase {
  double p, q, expected;
};

TEST(FlashlightDirectionAngle, AxesAndQuadrants) {
  const AngleCase cases[] = {
      {0, 0, kThreeHalvesPi}, {5, 0, kPi / 2},      {-5, 0, kThreeHalvesPi},
      {1, 1, kPi / 4},      {-1, 1, -kPi / 4},      {1, -1, 3 * kPi / 4},
      {-1, -1, 5 * kPi / 4}, {0, 7, 0},             {0, -7, kPi},
      {-100, -1, std::atan(100.0) + kPi},
  };
  for (const AngleCase &c : cases)
    EXPECT_NEAR(DirectionAngle(c.p, c.q), c.expected, 1e-15) << "p=" << c.p << " q=" << c.q;
}

TEST(FlashlightDirectionAngle, PointsAlongItsVectorWithinItsRange) {
  // sin gives the vertical component and cos the horizontal one; only the third quadrant
  // differs from atan2, by a full turn.
  for (int p = -3; p <= 3; ++p) {
    for (int q = -3; q <= 3; ++q) {
      if (p == 0 && q == 0) continue;
      const double a = DirectionAngle(p, q);
      EXPECT_GE(a, -kPi / 2);
      EXPECT_LE(a, kThreeHalvesPi);
      const double len = std::hypot(p, q);
      EXPECT_NEAR(std::sin(a) * len, p, 1e-12) << p << "," << q;
      EXPECT_NEAR(std::cos(a) * len, q, 1e-12) << p << "," << q;
    }
  }
}

TEST(FlashlightRounding, TiesToEvenAndNothingUndefined) {
  const struct {
    long double v;
    int32_t expected;
  } cases[] = {
      {0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-0.5L, 0}, {-1.5L, -2}, {1106.9L, 1107}, {-507.1L, -507},
      {1e12L, std::numeric_limits<int32_t>::max()}, {-1e12L, std::numeric_limits<int32_t>::min()},
      {std::numeric_limits<long double>::infinity(), std::numeric_limits<int32_t>::max()},
      {std::numeric_limits<long double>::quiet_NaN(), 0},
  };
  for (const auto &c : cases) EXPECT_EQ(RoundToPixel(c.v), c.expected) << static_cast<double>(c.v);
}

TEST(FlashlightRounding, LowWordWraps) {
  EXPECT_EQ(LowWord(400), 400);
  EXPECT_EQ(LowWord(65535), -1);
  EXPECT_EQ(LowWord(70000), 4464);
  EXPECT_EQ(LowWord(-507), -507);
}

struct ShadowCase {
  const char *name;
  int segment;  // index into kSegments
  int32_t lampX, lampY;
  ShadowQuad expected;
};

class FlashlightCorners : public ::testing::TestWithParam<ShadowCase> {};

TEST_P(FlashlightCorners, MatchesWorkedFigures) {
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
    // At the box centre the far corners reach well beyond the window.
    {"CentreBottom", 0, 300, 150, {{{200, 200}, {400, 200}, {1294, 647}, {-694, 647}}}},
    {"CentreLeft", 1, 300, 150, {{{200, 200}, {200, 100}, {-694, -347}, {-694, 647}}}},
    {"CentreTop", 2, 300, 150, {{{200, 100}, {400, 100}, {1294, -347}, {-694, -347}}}},
    {"CentreRight", 3, 300, 150, {{{400, 100}, {400, 200}, {1294, 647}, {1294, -347}}}},
    // Just inside the bottom side: a thin band whose far edge is at y = 210.
    {"InsideNearBottom", 0, 300, 199, {{{200, 200}, {400, 200}, {1400, 210}, {-800, 210}}}},
};

INSTANTIATE_TEST_SUITE_P(Figures, FlashlightCorners, ::testing::ValuesIn(kShadowCases),
                         [](const auto &info) { return std::string(info.param.name); });

TEST(FlashlightShadowCorners, NeighbouringSidesShareFarCorners) {
  // The box's sides are joined end to end, so their shadows close up without a gap.
  const int32_t lamps[][2] = {{300, 150}, {210, 110}, {600, 50}, {50, 580}, {399, 101}};
  for (const auto &lamp : lamps) {
    ShadowQuad q[4];
    for (int i = 0; i < 4; ++i) q[i] = ShadowCorners(kSegments[i], lamp[0], lamp[1], kShadowLength);
    EXPECT_EQ(q[0][3], q[1][3]);  // (200, 200)
    EXPECT_EQ(q[1][2], q[2][3]);  // (200, 100)
    EXPECT_EQ(q[2][2], q[3][3]);  // (400, 100)
    EXPECT_EQ(q[3][2], q[0][2]);  // (400, 200)
  }
}

TEST(FlashlightShadowCorners, FarCornersLieAwayFromTheLampAtTheShadowLength) {
  for (int32_t x = 0; x < 800; x += 97) {
    for (int32_t y = 0; y < 600; y += 89) {
      const Segment &bar = kSegments[4];
      const ShadowQuad q = ShadowCorners(bar, x, y, kShadowLength);
      const double ends[2][2] = {{bar.x2, bar.y2}, {bar.x1, bar.y1}};
      for (int k = 0; k < 2; ++k) {
        const double dx = q[2 + k].x - ends[k][0], dy = q[2 + k].y - ends[k][1];
        EXPECT_NEAR(std::hypot(dx, dy), kShadowLength, 1.0);
        // The lamp, the end and the far corner are in that order on one line.
        const double lx = ends[k][0] - x, ly = ends[k][1] - y;
        if (lx != 0 || ly != 0) {
          EXPECT_GT(dx * lx + dy * ly, 0) << x << "," << y;
          EXPECT_NEAR((dx * ly - dy * lx) / std::hypot(lx, ly), 0, 1.0) << x << "," << y;
        }
      }
    }
  }
}

}  // namespace
