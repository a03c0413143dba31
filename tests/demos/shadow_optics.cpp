// The sweep of rays and the ray-obstacle test of the shadow demo, against figures worked out
// by hand.
#include "pixel_coord.h"
#include "shadow_optics.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace shadow;

namespace {

constexpr double kRadius = 10.0;
constexpr Point kLamp{400, 300};

std::vector<double> SweepAngles() {
  std::vector<double> angles;
  SweepRays([&](double a) { angles.push_back(a); });
  return angles;
}

// The sweep's own angle for the ray nominally `degrees` from +x.
double RayAt(int degrees) { return SweepAngles().at(static_cast<size_t>(degrees / 20)); }

// `distance` pixels from the lamp in the direction `angle`, plus an offset.
Point Along(double angle, double distance, double dx = 0, double dy = 0) {
  return {kLamp.x + std::cos(angle) * distance + dx, kLamp.y + std::sin(angle) * distance + dy};
}

TEST(ShadowSweep, NineteenRaysTheLastJustShortOfAFullTurn) {
  const std::vector<double> angles = SweepAngles();
  ASSERT_EQ(angles.size(), 19u);
  EXPECT_NEAR(angles[2], 2 * std::numbers::pi / 9, 1e-15);
  const double residue = 2 * std::numbers::pi - angles.back();
  EXPECT_GT(residue, 1e-15);
  EXPECT_LT(residue, 5e-15);
}

TEST(ShadowRayMark, WorkedFiguresFromTheLampAt400By300) {
  // Near side of an obstacle ahead and to the right, about 190 pixels out.
  const auto near = RayMark(CastRay(kLamp, RayAt(40), kRayReach), {553, 429}, kRadius);
  ASSERT_TRUE(near.has_value());
  EXPECT_EQ(demo::PixelCoord(near->x), 546);
  EXPECT_EQ(demo::PixelCoord(near->y), 422);
  // A leftward ray takes the smaller-x crossing: the far side, about 210 pixels out.
  const auto far = RayMark(CastRay(kLamp, RayAt(140), kRayReach), {247, 429}, kRadius);
  ASSERT_TRUE(far.has_value());
  EXPECT_EQ(demo::PixelCoord(far->x), 239);
  EXPECT_EQ(demo::PixelCoord(far->y), 435);
}

TEST(ShadowRayMark, MarksOnlyCrossingsAheadWithinReach) {
  const double a40 = RayAt(40);
  const struct {
    const char *what;
    double angle;
    Point centre;
    bool marked;
  } cases[] = {
      {"first ray: its box has no height", 0, {600, 303}, false},
      {"crossing beyond the reach", a40, Along(a40, 1015), false},
      {"crossing just within the reach", a40, Along(a40, 995), true},
      {"obstacle behind the lamp", a40, Along(a40, -100), false},
      {"line 11 pixels off the centre", a40, Along(a40, 400, -11 * std::sin(a40), 11 * std::cos(a40)), false},
      {"lamp inside, rightward ray", RayAt(20), {403, 302}, false},
      {"lamp inside, leftward ray", RayAt(160), {403, 302}, true},
  };
  for (const auto &c : cases)
    EXPECT_EQ(RayMark(CastRay(kLamp, c.angle, kRayReach), c.centre, kRadius).has_value(), c.marked) << c.what;
}

TEST(ShadowRayMark, ObstacleBetweenNeighbouringRaysGetsNoMark) {
  const Point between = Along(RayAt(20) / 2, 600);
  int marks = 0;
  SweepRays([&](double a) { marks += RayMark(CastRay(kLamp, a, kRayReach), between, kRadius).has_value(); });
  EXPECT_EQ(marks, 0);
}

TEST(ShadowRayMark, DegenerateInputsMarkNothing) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  // No length: the slope is 0/0. A lamp so far out that the ray's x change is lost: 1/0.
  EXPECT_FALSE(RayMark(CastRay(kLamp, RayAt(40), 0), {420, 317}, kRadius).has_value());
  EXPECT_FALSE(RayMark(CastRay({1e20, 300}, RayAt(40), kRayReach), {1e20, 500}, kRadius).has_value());
  EXPECT_FALSE(RayMark(CastRay(kLamp, nan, kRayReach), {553, 429}, kRadius).has_value());
}

}  // namespace
