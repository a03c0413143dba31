// The benchmark's own arithmetic: run summaries, the scripted pointer path, row selection.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "pointer_path.h"
#include "stats.h"
#include "suites.h"

namespace {

using pvbench::Summarize;

TEST(BenchSummary, MedianMinMaxOfUnsortedRuns) {
  struct Case {
    std::vector<double> samples;
    double median, min, max;
  };
  const Case cases[] = {
      {{5.0}, 5.0, 5.0, 5.0},
      {{9.0, 1.0, 4.0}, 4.0, 1.0, 9.0},
      {{8.0, 2.0, 6.0, 4.0}, 5.0, 2.0, 8.0},  // even count: mean of the middle two
      {{3.0, 3.0, 100.0, 3.0, 1.0}, 3.0, 1.0, 100.0},
      {{1e-3, 2e-3}, 1.5e-3, 1e-3, 2e-3},
  };
  for (const Case &c : cases) {
    const pvbench::Summary s = Summarize(c.samples);
    EXPECT_DOUBLE_EQ(s.median, c.median) << c.samples.size() << " samples";
    EXPECT_DOUBLE_EQ(s.min, c.min);
    EXPECT_DOUBLE_EQ(s.max, c.max);
    EXPECT_EQ(s.runs, static_cast<int>(c.samples.size()));
  }
}

TEST(BenchSummary, NoRunsGiveZeros) {
  const pvbench::Summary s = Summarize({});
  EXPECT_EQ(s.runs, 0);
  EXPECT_EQ(s.median, 0.0);
  EXPECT_EQ(s.min, 0.0);
  EXPECT_EQ(s.max, 0.0);
}

TEST(BenchPointerPath, StaysInsideItsAreaAndReachesEveryEdge) {
  const pvbench::Area areas[] = {{10, 10, 789, 589}, {10, 10, 390, 589}, {0, 0, 1, 1}};
  for (const pvbench::Area &a : areas) {
    int32_t minX = a.right, maxX = a.left, minY = a.bottom, maxY = a.top;
    for (int f = 0; f < 97 * 61; ++f) {
      const pvbench::PathPoint p = pvbench::PointerAt(a, f);
      ASSERT_GE(p.x, a.left) << f;
      ASSERT_LE(p.x, a.right) << f;
      ASSERT_GE(p.y, a.top) << f;
      ASSERT_LE(p.y, a.bottom) << f;
      minX = std::min(minX, p.x), maxX = std::max(maxX, p.x);
      minY = std::min(minY, p.y), maxY = std::max(maxY, p.y);
    }
    // Within two pixels of each edge: the path sweeps the whole area, not a corner of it.
    EXPECT_LE(minX - a.left, 2);
    EXPECT_LE(a.right - maxX, 2);
    EXPECT_LE(minY - a.top, 2);
    EXPECT_LE(a.bottom - maxY, 2);
  }
}

TEST(BenchPointerPath, MovesBetweenFramesAndRepeatsExactly) {
  const pvbench::Area a{10, 10, 789, 589};
  int still = 0;
  for (int f = 0; f < 200; ++f) {
    const pvbench::PathPoint p = pvbench::PointerAt(a, f), q = pvbench::PointerAt(a, f + 1);
    still += p.x == q.x && p.y == q.y;
    const pvbench::PathPoint again = pvbench::PointerAt(a, f);
    EXPECT_EQ(p.x, again.x);
    EXPECT_EQ(p.y, again.y);
  }
  EXPECT_EQ(still, 0) << "frames drawn at the same pointer measure the same frame twice";
}

TEST(BenchOptions, OnlyKeepsRowsContainingTheText) {
  pvbench::Options o;
  EXPECT_TRUE(o.Wanted("line/oct3/len64"));
  o.only = "oct3";
  EXPECT_TRUE(o.Wanted("line/oct3/len64"));
  EXPECT_FALSE(o.Wanted("line/oct4/len64"));
  EXPECT_FALSE(o.Wanted("oct"));
}

}  // namespace
