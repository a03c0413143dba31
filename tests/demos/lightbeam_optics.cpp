// The beam's aim and the walk along the ground against the numbers worked out for 800 x 600.
#include "lightbeam_optics.h"
#include "pixel_coord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

using namespace lightbeam;

namespace {

constexpr int16_t kMaxX = 799;

struct GroundDot {
  int32_t x;
  double h;
};

// Keeps everything the walk reports, in order.
struct Recorder {
  std::vector<GroundDot> ground;
  std::vector<RayHit> hits;
  void Ground(int32_t x, double h) { ground.push_back({x, h}); }
  void Hit(const RayHit &hit) { hits.push_back(hit); }
};

struct Walked {
  BeamAim aim;
  Recorder record;
  WalkEnd end;
};

Walked Walk(int32_t pointerX, int32_t pointerY, int16_t maxX = kMaxX) {
  Walked w;
  w.aim = AimBeam(pointerX, pointerY);
  w.end = WalkGround(w.aim, maxX, w.record);
  return w;
}

}  // namespace

TEST(BeamHelpers, DirectionAngleThirdQuadrantAndVerticals) {
  constexpr double pi = std::numbers::pi;
  EXPECT_NEAR(DirectionAngle(-1, -1), 5 * pi / 4, 1e-15);
  EXPECT_NEAR(DirectionAngle(1e-8, 0), pi / 2, 1e-15);
  EXPECT_NEAR(DirectionAngle(0, 0), 3 * pi / 2, 1e-15);
}

TEST(BeamHelpers, RoundUpHalfRoundsTiesToEven) {
  struct Case {
    double x;
    int64_t expected;
  };
  const Case cases[] = {
      {2.0, 2}, {3.0, 4}, {-23.88, -23}, {-3.4188, -3}, {-1.0, 0}, {-2.0, -2}, {0.1, 1},
      // Nothing that cannot be rounded may reach the integer conversion.
      {1e300, std::numeric_limits<int64_t>::max()},
      {-std::numeric_limits<double>::infinity(), std::numeric_limits<int64_t>::min()},
      {std::nan(""), 0},
  };
  for (const Case &c : cases) EXPECT_EQ(RoundUpHalf(c.x), c.expected) << c.x;
}

TEST(BeamGround, ProfileAndWall) {
  EXPECT_DOUBLE_EQ(GroundHeight(0, kMaxX), 390);
  double lowest = 1e9, highest = -1e9;
  int lowestAt = -1, highestAt = -1;
  for (int x = 0; x < kMaxX - 10; ++x) {
    const double h = GroundHeight(x, kMaxX);
    if (h < lowest) {
      lowest = h;
      lowestAt = x;
    }
    if (h > highest) {
      highest = h;
      highestAt = x;
    }
  }
  EXPECT_EQ(lowestAt, 458);
  EXPECT_NEAR(lowest, 268.9, 0.05);
  EXPECT_EQ(highestAt, 565);
  EXPECT_NEAR(highest, 440.0, 0.05);
  EXPECT_GT(GroundHeight(788, kMaxX), 0);
  EXPECT_EQ(GroundHeight(789, kMaxX), 0);
  EXPECT_EQ(GroundHeight(798, kMaxX), 0);
  // The wall stands 10 columns before the right edge of any surface.
  EXPECT_EQ(GroundHeight(629, 639), 0);
  EXPECT_GT(GroundHeight(628, 639), 0);
}

TEST(BeamAim, PointerSetsTheAxisAndTheFirstRay) {
  struct Case {
    int32_t x, y;
    double theta;  // negative: only checked to be tiny and positive
    double firstRay;
  };
  const double halfPi = std::numbers::pi / 2;
  const Case cases[] = {
      {400, 300, std::atan2(268.0, 400.0), -16},
      {100, 500, std::atan2(468.0, 100.0), -3},
      // Column 0: straight down, and the first ray is the axis.
      {0, 300, halfPi, 0},
      {0, 0, halfPi, 0},
      // At or above the lamp's row: the axis is horizontal to within 1e-8 / x.
      {400, 32, -1, -16},
      {400, 0, -1, -16},
      {65535, 0, -1, -16},
  };
  for (const Case &c : cases) {
    const BeamAim aim = AimBeam(c.x, c.y);
    if (c.theta >= 0) {
      EXPECT_NEAR(aim.theta, c.theta, 1e-15) << c.x << ", " << c.y;
    } else {
      EXPECT_GT(aim.theta, 0) << c.x << ", " << c.y;
      EXPECT_LE(aim.theta, 1e-8 / c.x * (1 + 1e-12)) << c.x << ", " << c.y;
    }
    EXPECT_EQ(aim.firstRay, c.firstRay) << c.x << ", " << c.y;
    EXPECT_GT(aim.s, 0);
  }
  EXPECT_NEAR(-16 * AimBeam(400, 300).c / AimBeam(400, 300).s, -23.88, 0.01);
}

TEST(BeamWalk, PointerInTheMiddleMeetsRaysMinus16To11) {
  const Walked w = Walk(400, 300);
  ASSERT_EQ(w.record.hits.size(), 28u);
  const RayHit &first = w.record.hits.front();
  EXPECT_EQ(first.ray, -16);
  EXPECT_EQ(first.x, 68);
  EXPECT_EQ(first.y, 375);
  EXPECT_EQ(demo::PixelCoord(first.dotX), 35);
  EXPECT_EQ(demo::PixelCoord(first.dotY), 210);
  const RayHit &last = w.record.hits.back();
  EXPECT_EQ(last.ray, 11);
  EXPECT_EQ(last.x, 789);
  EXPECT_EQ(last.y, 23);
  // Ray 12 points upwards and is never met: the ground runs across every column.
  EXPECT_FALSE(w.end.allRaysFound);
  EXPECT_EQ(w.end.columns, 799);
  ASSERT_EQ(w.record.ground.size(), 799u);
  for (int x = 0; x < 799; ++x) {
    EXPECT_EQ(w.record.ground[x].x, x);
    EXPECT_EQ(w.record.ground[x].h, GroundHeight(x, kMaxX));
  }
}

TEST(BeamWalk, SteepBeamFindsEveryRayAndStopsTheGround) {
  const Walked w = Walk(100, 500);
  ASSERT_EQ(w.record.hits.size(), 20u);
  EXPECT_EQ(w.record.hits.front().ray, -3);
  EXPECT_EQ(w.record.hits.front().x, 10);
  EXPECT_EQ(w.record.hits.front().y, 401);
  EXPECT_EQ(w.record.hits.back().ray, 16);
  EXPECT_EQ(w.record.hits.back().x, 423);
  EXPECT_EQ(w.record.hits.back().y, 307);
  EXPECT_TRUE(w.end.allRaysFound);
  EXPECT_EQ(w.end.columns, 424);
  EXPECT_EQ(w.record.ground.back().x, 423);
}

TEST(BeamWalk, BeamStraightDownStartsAtTheAxis) {
  const Walked w = Walk(0, 300);
  ASSERT_FALSE(w.record.hits.empty());
  EXPECT_EQ(w.record.hits.front().ray, 0);
  EXPECT_TRUE(w.end.allRaysFound);
  // The dots run straight across the beam, 128 pixels below the lamp.
  for (const RayHit &hit : w.record.hits) {
    EXPECT_EQ(demo::PixelCoord(hit.dotY), 160);
    EXPECT_EQ(demo::PixelCoord(hit.dotX), 8 * hit.ray);
  }
}

TEST(BeamWalk, HorizontalBeamReachesTheWallWithRayZero) {
  for (int32_t y : {32, 10, 0}) {
    const Walked w = Walk(400, y);
    ASSERT_FALSE(w.record.hits.empty());
    EXPECT_EQ(w.record.hits.front().ray, -16);
    EXPECT_EQ(w.record.hits.back().ray, 0) << y;
    EXPECT_EQ(w.record.hits.back().x, 789) << y;
    EXPECT_EQ(w.end.columns, 799) << y;
  }
}

// Properties that hold wherever the pointer is: the walk ends inside the surface, meets the
// rays one after the other, each close to its own line, and marks them across the beam.
TEST(BeamWalk, AnyPointerGivesABoundedOrderedWalk) {
  // The length of the boundary: down column 0, along the ground, up the wall.
  double boundary = 2 * 442;
  for (int x = 1; x < kMaxX; ++x) boundary += 2 + std::fabs(GroundHeight(x, kMaxX) - GroundHeight(x - 1, kMaxX));
  const int32_t xs[] = {0, 1, 2, 50, 199, 400, 640, 798, 799, 800, 5000, 65535};
  const int32_t ys[] = {0, 31, 32, 33, 34, 100, 300, 390, 599, 600, 30000, 65535};
  for (int32_t px : xs) {
    for (int32_t py : ys) {
      const Walked w = Walk(px, py);
      SCOPED_TRACE(::testing::Message() << "pointer " << px << ", " << py);
      EXPECT_LE(w.end.columns, kMaxX);
      EXPECT_LE(w.end.steps, boundary);
      EXPECT_EQ(w.end.allRaysFound, !w.record.hits.empty() && w.record.hits.back().ray == 16);
      const double c = w.aim.c, s = w.aim.s;
      double expected = w.aim.firstRay;
      for (const RayHit &hit : w.record.hits) {
        EXPECT_EQ(hit.ray, expected++);
        EXPECT_GE(hit.x, 0);
        EXPECT_LT(hit.x, kMaxX);
        EXPECT_GE(hit.y, 0);
        EXPECT_LE(hit.y, 442);
        // Within a pixel of ray k's line and ahead of the lamp.
        const double u = 16 * c + hit.ray * s, v = 16 * s - hit.ray * c;
        const double length = std::hypot(u, v);
        EXPECT_LE(std::fabs(hit.x * v - (hit.y - kSourceY) * u) / length, 1.0 + 1e-9) << "ray " << hit.ray;
        EXPECT_GT(hit.x * u + (hit.y - kSourceY) * v, 0) << "ray " << hit.ray;
        // The dot is 128 pixels along the axis and 8 per ray across it.
        const double dx = hit.dotX, dy = hit.dotY - kSourceY;
        EXPECT_NEAR(dx * c + dy * s, 128, 1e-9);
        EXPECT_NEAR(dy * c - dx * s, -8 * hit.ray, 1e-9);
      }
    }
  }
}

TEST(BeamWalk, NarrowSurfacesEndTheWalkAtTheirEdge) {
  for (int16_t maxX : {int16_t{0}, int16_t{5}, int16_t{11}, int16_t{100}}) {
    const Walked w = Walk(50, 400, maxX);
    EXPECT_LE(w.end.columns, maxX);
    for (const RayHit &hit : w.record.hits) EXPECT_LT(hit.x, maxX);
  }
  EXPECT_TRUE(Walk(50, 400, 0).record.ground.empty());
}
