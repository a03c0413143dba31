// The sweep of rays and the ray-obstacle test of the shadow demo, against figures worked out
// by hand.
#include "shadow_optics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace shadow;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kRadius = 10.0;
constexpr Point kLamp{400, 300};

std::vector<double> SweepAngles() {
  std::vector<double> angles;
  SweepRays([&](double a) { angles.push_back(a); });
  return angles;
}

// The sweep's own angle for the ray nominally `degrees` from +x.
double RayAt(int degrees) { return SweepAngles().at(static_cast<size_t>(degrees / 20)); }

// Centre `distance` pixels from the lamp in the direction `angle`, plus an offset.
Point Along(double angle, double distance, double dx = 0, double dy = 0) {
  return {kLamp.x + std::cos(angle) * distance + dx, kLamp.y + std::sin(angle) * distance + dy};
}

TEST(ShadowSweep, NineteenRaysTwentyDegreesApartTheLastJustShortOfAFullTurn) {
  const std::vector<double> angles = SweepAngles();
  ASSERT_EQ(angles.size(), 19u);
  for (size_t k = 0; k < angles.size(); ++k) EXPECT_NEAR(angles[k], k * kPi / 9, 1e-13) << k;
  const double residue = 2 * kPi - angles.back();
  EXPECT_GT(residue, 1e-15);
  EXPECT_LT(residue, 5e-15);
}

TEST(ShadowRayMark, WorkedFiguresFromTheLampAt400By300) {
  // Near side of an obstacle ahead and to the right.
  const auto near = RayMark(kLamp, RayAt(40), kRayReach, {553, 429}, kRadius);
  ASSERT_TRUE(near.has_value());
  EXPECT_EQ(ToPixel(near->x), 546);
  EXPECT_EQ(ToPixel(near->y), 422);
  EXPECT_NEAR(std::hypot(near->x - kLamp.x, near->y - kLamp.y), 190, 1);

  // A leftward ray takes the smaller-x crossing: the far side of the obstacle.
  const auto far = RayMark(kLamp, RayAt(140), kRayReach, {247, 429}, kRadius);
  ASSERT_TRUE(far.has_value());
  EXPECT_EQ(ToPixel(far->x), 239);
  EXPECT_EQ(ToPixel(far->y), 435);
  EXPECT_NEAR(std::hypot(far->x - kLamp.x, far->y - kLamp.y), 210, 1);
}

TEST(ShadowRayMark, CrossingIsOnTheOutlineAndOnTheRay) {
  for (int deg = 20; deg < 360; deg += 20) {
    if (deg == 180) continue;  // horizontal up to rounding: either outcome is fine
    const double a = RayAt(deg);
    const Point c = Along(a, 300, 3, -4);
    const auto mark = RayMark(kLamp, a, kRayReach, c, kRadius);
    ASSERT_TRUE(mark.has_value()) << deg;
    EXPECT_NEAR(std::hypot(mark->x - c.x, mark->y - c.y), kRadius, 1e-6) << deg;
    const double across = (mark->x - kLamp.x) * std::sin(a) - (mark->y - kLamp.y) * std::cos(a);
    EXPECT_NEAR(across, 0, 1e-6) << deg;
    // Rightward rays mark where they enter (nearer than the centre), leftward where they leave.
    const double dist = std::hypot(mark->x - kLamp.x, mark->y - kLamp.y);
    if (std::cos(a) > 0) {
      EXPECT_LT(dist, 300) << deg;
    } else {
      EXPECT_GT(dist, 300) << deg;
    }
  }
}

struct MissCase {
  const char *what;
  int degrees;
  Point centre;
};

TEST(ShadowRayMark, MarksNothingWhereTheRayDoesNotCrossAhead) {
  const double a40 = RayAt(40);
  const MissCase cases[] = {
      {"first ray has a box without height", 0, {600, 303}},
      {"crossing beyond the ray's reach", 40, Along(a40, 1015)},
      {"obstacle behind the lamp", 40, Along(a40, -100)},
      {"line passes 11 pixels off the centre", 40, Along(a40, 400, -11 * std::sin(a40), 11 * std::cos(a40))},
      {"lamp inside, rightward ray", 20, {403, 302}},
  };
  for (const MissCase &c : cases)
    EXPECT_FALSE(RayMark(kLamp, RayAt(c.degrees), kRayReach, c.centre, kRadius).has_value()) << c.what;

  // Just within reach, the same direction marks.
  EXPECT_TRUE(RayMark(kLamp, a40, kRayReach, Along(a40, 995), kRadius).has_value());
}

TEST(ShadowRayMark, LampInsideAnObstacleMarksItOnlyLeftward) {
  const Point c{403, 302};
  for (int deg = 20; deg < 360; deg += 20) {
    if (deg == 180) continue;
    const double a = RayAt(deg);
    const auto mark = RayMark(kLamp, a, kRayReach, c, kRadius);
    EXPECT_EQ(mark.has_value(), std::cos(a) < 0) << deg;
    if (mark) {
      EXPECT_LT(std::hypot(mark->x - kLamp.x, mark->y - kLamp.y), 2 * kRadius) << deg;
    }
  }
}

TEST(ShadowRayMark, ObstacleBetweenNeighbouringRaysGetsNoMark) {
  const Point between = Along(RayAt(20) / 2, 600);
  int marks = 0;
  SweepRays([&](double a) { marks += RayMark(kLamp, a, kRayReach, between, kRadius).has_value(); });
  EXPECT_EQ(marks, 0);
}

TEST(ShadowRayMark, DegenerateInputsMarkNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // No length: the ray's end is the lamp and the slope is 0/0.
  EXPECT_FALSE(RayMark(kLamp, RayAt(40), 0, {420, 317}, kRadius).has_value());
  // A lamp so far out that the ray's x change is lost: an infinite slope.
  EXPECT_FALSE(RayMark({1e20, 300}, RayAt(40), kRayReach, {1e20, 500}, kRadius).has_value());
  EXPECT_FALSE(RayMark({nan, 300}, RayAt(40), kRayReach, {553, 429}, kRadius).has_value());
  EXPECT_FALSE(RayMark(kLamp, nan, kRayReach, {553, 429}, kRadius).has_value());
}

TEST(ShadowToPixel, RoundsTiesToEvenAndKeepsTheLowWord) {
  const struct {
    double v;
    int16_t expected;
  } cases[] = {
      {0.5, 0},     {1.5, 2},      {2.5, 2},        {-0.5, 0},     {-2.5, -2},
      {545.6, 546}, {65535.0, -1}, {70000.2, 4464}, {-1000.4, -1000},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {1e30, -1},   // saturates at 0x7fffffff, whose low word is -1
      {-1e30, 0},   // 0x80000000
  };
  for (const auto &c : cases) EXPECT_EQ(ToPixel(c.v), c.expected) << c.v;
}

}  // namespace
