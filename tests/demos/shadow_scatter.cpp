// Placement of the shadow demo's obstacles: seeded, uniform below the bounds, repeatable.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "shadow_scene.h"

using namespace shadow;

namespace {

TEST(ShadowScatter, SeedDecidesTheField) {
  const ObstacleField a = ScatterObstacles(4711, 799, 599), b = ScatterObstacles(4711, 799, 599);
  const ObstacleField c = ScatterObstacles(4712, 799, 599);
  int differ = 0;
  for (int i = 0; i < kObstacleCount; ++i) {
    EXPECT_TRUE(a[i].x == b[i].x && a[i].y == b[i].y) << i;
    differ += a[i].x != c[i].x || a[i].y != c[i].y;
  }
  EXPECT_GT(differ, kObstacleCount / 2);
}

TEST(ShadowScatter, WholeNumbersUniformBelowTheBounds) {
  // 10000 centres from 200 seeds: whole numbers in 0..798 x 0..598, both ends reached, the
  // means near the middle.
  double sumX = 0, sumY = 0, lo = 1e9, hiX = -1, hiY = -1;
  for (uint32_t seed = 0; seed < 200; ++seed) {
    for (const Point &p : ScatterObstacles(seed, 799, 599)) {
      ASSERT_TRUE(p.x == std::floor(p.x) && p.y == std::floor(p.y));
      lo = std::min({lo, p.x, p.y});
      hiX = std::max(hiX, p.x);
      hiY = std::max(hiY, p.y);
      sumX += p.x;
      sumY += p.y;
    }
  }
  EXPECT_EQ(lo, 0);
  EXPECT_EQ(hiX, 798);
  EXPECT_EQ(hiY, 598);
  EXPECT_NEAR(sumX / 10000, 399, 10);
  EXPECT_NEAR(sumY / 10000, 299, 8);
  // Without an open window the bounds are not positive: nothing to draw from, so 0.
  for (const Point &p : ScatterObstacles(1, 0, -1)) EXPECT_TRUE(p.x == 0 && p.y == 0);
}

}  // namespace
