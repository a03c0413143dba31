// Placement of the shadow demo's obstacles: seeded, uniform below the bounds, repeatable.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <utility>

#include "shadow_scene.h"

using namespace shadow;

namespace {

TEST(ShadowScatter, SameSeedSameFieldOtherSeedOtherField) {
  const ObstacleField a = ScatterObstacles(4711, 799, 599);
  const ObstacleField b = ScatterObstacles(4711, 799, 599);
  const ObstacleField c = ScatterObstacles(4712, 799, 599);
  int same = 0, differ = 0;
  for (int i = 0; i < kObstacleCount; ++i) {
    same += a[i].x == b[i].x && a[i].y == b[i].y;
    differ += a[i].x != c[i].x || a[i].y != c[i].y;
  }
  EXPECT_EQ(same, kObstacleCount);
  EXPECT_GT(differ, kObstacleCount / 2);
}

TEST(ShadowScatter, WholeNumbersUniformBelowTheBounds) {
  // 200 fields, 10000 centres: every one a whole number in 0..798 x 0..598, the extremes
  // reached, the means near the middle, and the obstacles not all on a few spots.
  double sumX = 0, sumY = 0;
  int minX = 1000, maxX = -1, minY = 1000, maxY = -1;
  std::set<std::pair<int, int>> spots;
  for (uint32_t seed = 0; seed < 200; ++seed) {
    for (const Point &p : ScatterObstacles(seed, 799, 599)) {
      ASSERT_EQ(p.x, static_cast<int>(p.x));
      ASSERT_EQ(p.y, static_cast<int>(p.y));
      minX = std::min(minX, static_cast<int>(p.x));
      maxX = std::max(maxX, static_cast<int>(p.x));
      minY = std::min(minY, static_cast<int>(p.y));
      maxY = std::max(maxY, static_cast<int>(p.y));
      sumX += p.x;
      sumY += p.y;
      spots.insert({static_cast<int>(p.x), static_cast<int>(p.y)});
    }
  }
  EXPECT_EQ(minX, 0);
  EXPECT_EQ(maxX, 798);
  EXPECT_EQ(minY, 0);
  EXPECT_EQ(maxY, 598);
  EXPECT_NEAR(sumX / 10000, 399, 10);
  EXPECT_NEAR(sumY / 10000, 299, 8);
  EXPECT_GT(spots.size(), 9500u);
}

TEST(ShadowScatter, EmptyRangeGivesZeroInsteadOfUndefinedDraws) {
  // Without an open window the screen bounds are not positive; no draw is possible below them.
  for (const Point &p : ScatterObstacles(1, 0, -1)) {
    EXPECT_EQ(p.x, 0);
    EXPECT_EQ(p.y, 0);
  }
  for (const Point &p : ScatterObstacles(1, 1, 599)) EXPECT_EQ(p.x, 0);
}

}  // namespace
