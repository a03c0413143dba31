// The mirror's optics against the numbers worked out for the 800 x 600 surface.
#include "mirrorrays_optics.h"
#include "pixel_coord.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace mirrorrays;

namespace {

constexpr double kPi = std::numbers::pi;

struct IntPoint {
  int x, y;
  bool operator==(const IntPoint &) const = default;
};

IntPoint Rounded(const Vec2 &v) { return {demo::PixelCoord(v.x), demo::PixelCoord(v.y)}; }

std::ostream &operator<<(std::ostream &os, const IntPoint &p) { return os << '(' << p.x << ", " << p.y << ')'; }

const MirrorGeometry kSurface = MirrorGeometryFor(799, 599);

}  // namespace

TEST(MirrorHelpers, DirectionAngleCoversEveryQuadrantAndTheAxes) {
  struct Case {
    double p, q, expected;
  };
  const Case cases[] = {
      {1, 1, kPi / 4},          {-1, 1, -kPi / 4},     {1, -1, 3 * kPi / 4},
      {-1, -1, 5 * kPi / 4},    {0, 5, 0},             {0, -5, kPi},
      {3, 0, kPi / 2},          {-3, 0, 3 * kPi / 2},  {0, 0, 3 * kPi / 2},
      {-1e-300, -1, kPi},       {0.5, 200, std::atan(0.5 / 200)},
  };
  for (const Case &c : cases) {
    EXPECT_NEAR(DirectionAngle(c.p, c.q), c.expected, 1e-15) << c.p << ", " << c.q;
  }
}

TEST(MirrorHelpers, LineParameterFindsCrossingsAndRefusesParallels) {
  // y = 0 crossed by x = 3: t along the first line.
  EXPECT_DOUBLE_EQ(LineParameter({0, 0}, {6, 0}, {3, -1}, {0, 2}), 0.5);
  EXPECT_DOUBLE_EQ(LineParameter({3, -1}, {0, 2}, {0, 0}, {6, 0}), 0.5);
  // Behind the start: a negative parameter.
  EXPECT_DOUBLE_EQ(LineParameter({10, 0}, {1, 0}, {3, -1}, {0, 2}), -7.0);
  // Parallel and nearly parallel lines; exactly 1e-7 still counts as parallel.
  EXPECT_EQ(LineParameter({0, 0}, {1, 1}, {0, 5}, {2, 2}), 1e32);
  EXPECT_EQ(LineParameter({0, 0}, {0, 1e-7}, {0, 5}, {1, 0}), 1e32);
  EXPECT_EQ(LineParameter({0, 0}, {0, -1e-7}, {0, 5}, {1, 0}), 1e32);
  EXPECT_DOUBLE_EQ(LineParameter({0, 0}, {0, 2e-7}, {0, 5}, {1, 0}), 5 / 2e-7);
  EXPECT_EQ(LineParameter({0, 0}, {0, 0}, {0, 5}, {0, 0}), 1e32);
}

TEST(MirrorGeometry, FollowsTheSurfaceSize) {
  EXPECT_EQ(kSurface.mirrorStart.x, 499.5);
  EXPECT_EQ(kSurface.mirrorStart.y, 100);
  EXPECT_EQ(kSurface.mirrorEnd.x, 499.5);
  EXPECT_EQ(kSurface.mirrorEnd.y, 499);
  EXPECT_EQ(kSurface.rayOrigin.x, 200);
  EXPECT_EQ(kSurface.rayOrigin.y, 299.5);
  // The larger of the doubled sizes.
  EXPECT_EQ(kSurface.rayLength, 1598);
  EXPECT_EQ(MirrorGeometryFor(399, 999).rayLength, 1998);
}

TEST(MirrorFan, PointerInTheMiddleGivesTheKnownEndPoints) {
  struct Case {
    int ray;
    bool backwards;
    IntPoint hit, end;
  };
  const Case cases[] = {
      {0, false, {500, 220}, {-746, -110}},
      {0, true, {500, 220}, {1745, 550}},
      {5, false, {500, 300}, {-799, 303}},
      {5, true, {500, 300}, {1798, 297}},
  };
  for (const Case &c : cases) {
    UnitVectors units;
    const double centre = FanCentre(400, 300, kSurface);
    const TracedRay ray = TraceRay(c.ray, kRayCount, centre, c.backwards, kSurface, units);
    ASSERT_TRUE(ray.meetsMirror) << c.ray;
    EXPECT_EQ(Rounded(ray.start), (IntPoint{200, 300}));
    EXPECT_EQ(Rounded(ray.end), c.hit) << "ray " << c.ray;
    EXPECT_EQ(Rounded(ray.continuationEnd), c.end) << "ray " << c.ray << " backwards " << c.backwards;
  }
}

TEST(MirrorFan, EveryRayOfTheMiddleFanEndsOnTheMirrorColumn) {
  UnitVectors units;
  for (int i = 0; i < kRayCount; ++i) {
    const double centre = FanCentre(400, 300, kSurface);
    const TracedRay ray = TraceRay(i, kRayCount, centre, false, kSurface, units);
    ASSERT_TRUE(ray.meetsMirror) << i;
    EXPECT_EQ(ray.end.x, 499.5) << i;
    EXPECT_EQ(demo::PixelCoord(ray.end.x), 500) << i;
    // Rays 3 degrees apart, from -15 degrees: their slopes grow with i.
    const double slope = (ray.end.y - 299.5) / 299.5;
    EXPECT_NEAR(std::atan(slope), std::atan(0.5 / 200) + (3 * i - 15) * kPi / 180, 1e-12) << i;
  }
}

TEST(MirrorFan, ContinuationsLieOnLinesThroughTheMirrorImageOfTheSource) {
  const Vec2 image{799, 299.5};
  const int pointers[][2] = {{400, 300}, {450, 200}, {450, 460}, {799, 0}, {480, 480}};
  for (bool backwards : {false, true}) {
    for (const auto &p : pointers) {
      UnitVectors units;
      int hits = 0;
      for (int i = 0; i < kRayCount; ++i) {
        const double centre = FanCentre(p[0], p[1], kSurface);
        const TracedRay ray = TraceRay(i, kRayCount, centre, backwards, kSurface, units);
        if (!ray.meetsMirror) continue;
        ++hits;
        const Vec2 along{ray.continuationEnd.x - ray.end.x, ray.continuationEnd.y - ray.end.y};
        const Vec2 toImage{image.x - ray.end.x, image.y - ray.end.y};
        EXPECT_NEAR(along.x * toImage.y - along.y * toImage.x, 0.0, 1e-6 * std::hypot(along.x, along.y));
        // Reflections run back towards the source's side, prolongations behind the mirror.
        EXPECT_EQ(along.x > 0, backwards);
        // Incident part and continuation together are one full ray length.
        EXPECT_NEAR(std::hypot(ray.end.x - 200, ray.end.y - 299.5) + std::hypot(along.x, along.y), 1598, 1e-9);
      }
      EXPECT_GT(hits, 0) << p[0] << ", " << p[1];
    }
  }
}

TEST(MirrorFan, RaysThroughTheMirrorEndsMeetItAndRaysJustPastMiss) {
  const Vec2 origin = kSurface.rayOrigin;
  const Vec2 m{0, 399};
  struct Case {
    Vec2 rayVector;
    bool meets;
    double s;
  };
  const Case cases[] = {
      {{599, -399}, true, 0.0},      // through the top end (499.5, 100)
      {{599, 399}, true, 1.0},       // through the bottom end (499.5, 499)
      {{599, -399.01}, false, 0.0},  // just above the top
      {{599, 399.01}, false, 1.0},   // just below the bottom
      {{299.5, 0}, true, 0.5},       // ends exactly on the mirror: t = 1
      {{299.4, 0}, false, 0.5},      // stops short of it
      {{0, 400}, false, 0.0},        // parallel to the mirror
  };
  for (const Case &c : cases) {
    const Crossing crossing = CrossMirror(origin, c.rayVector, kSurface.mirrorStart, m);
    EXPECT_EQ(crossing.meets, c.meets) << c.rayVector.x << ", " << c.rayVector.y;
    if (c.meets) {
      EXPECT_EQ(crossing.s, c.s);
    }
  }
}

TEST(MirrorFan, FansThatPointAwayFromTheMirrorAreDrawnAtFullLength) {
  struct Case {
    int pointerX, pointerY, ray;
    IntPoint end;
  };
  const Case cases[] = {
      // Straight down from the source: the fan from 75 to 102 degrees.
      {200, 400, 0, {614, 1843}},
      {200, 400, 9, {-132, 1863}},
      // Straight up: from 255 to 282 degrees.
      {200, 100, 0, {-214, -1244}},
      {200, 100, 9, {532, -1264}},
      // At the left edge at the source's height: the whole fan runs to the left.
      {0, 300, 0, {-1343, 717}},
      {0, 300, 5, {-1398, 303}},
      {0, 300, 9, {-1364, -29}},
  };
  for (const Case &c : cases) {
    UnitVectors units;
    for (int i = 0; i < kRayCount; ++i) {
      const double centre = FanCentre(c.pointerX, c.pointerY, kSurface);
      const TracedRay ray = TraceRay(i, kRayCount, centre, false, kSurface, units);
      EXPECT_FALSE(ray.meetsMirror) << c.pointerX << ", " << c.pointerY << " ray " << i;
      EXPECT_EQ(ray.t, 1.0);
      EXPECT_NEAR(std::hypot(ray.end.x - 200, ray.end.y - 299.5), 1598, 1e-9);
      if (i == c.ray) {
        EXPECT_EQ(Rounded(ray.end), c.end) << c.pointerX << ", " << c.pointerY << " ray " << i;
      }
    }
  }
}

TEST(MirrorFan, MirrorOfLengthZeroIsMissedWithoutDividingByZero) {
  // A 200-pixel-high surface puts both ends of the mirror on row 100.
  const MirrorGeometry flat = MirrorGeometryFor(799, 200);
  UnitVectors units;
  units.mirrorNormal = {0.25, 0.5};
  for (int i = 0; i < kRayCount; ++i) {
    const double centre = FanCentre(600, 100, flat);
    const TracedRay ray = TraceRay(i, kRayCount, centre, false, flat, units);
    EXPECT_FALSE(ray.meetsMirror) << i;
    EXPECT_TRUE(std::isfinite(ray.end.x) && std::isfinite(ray.end.y));
  }
  EXPECT_EQ(units.mirrorNormal.x, 0.25);
  EXPECT_EQ(units.mirrorNormal.y, 0.5);
}

// The WebAssembly build holds the intermediates as a pair of doubles (106 bits) instead of x86's
// 80-bit long double. Both put the hit points on the mirror exactly. Elsewhere they agree but
// where the 80-bit value, rounded to 64 bits and then to a double, lands a unit off: rarely, and
// then by less than a unit of the scene's largest coordinates (2^-42 pixels). A sweep of pointer
// positions over the window and beyond, both fan modes.
TEST(MirrorFan, DoubleDoubleTracesTheRaysOfLongDouble) {
  const double mirrorX = kSurface.mirrorStart.x;
  int values = 0, differing = 0, offMirror = 0;
  double worst = 0;
  const auto compare = [&](double a, double b) {
    ++values;
    if (a != b) ++differing;
    worst = std::max(worst, std::fabs(a - b));
  };
  for (int y = -40; y < 640; y += 3) {
    for (int x = -40; x < 840; x += 3) {
      const double centre = FanCentre<long double>(x, y, kSurface);
      compare(centre, FanCentre<demo::DoubleDouble>(x, y, kSurface));
      for (const bool backwards : {false, true}) {
        UnitVectors extended, pair;
        for (int i = 0; i < kRayCount; ++i) {
          const TracedRay a = TraceRay<long double>(i, kRayCount, centre, backwards, kSurface, extended);
          const TracedRay b = TraceRay<demo::DoubleDouble>(i, kRayCount, centre, backwards, kSurface, pair);
          ASSERT_EQ(a.meetsMirror, b.meetsMirror) << x << ", " << y << " ray " << i;
          if (a.meetsMirror) offMirror += (a.end.x != mirrorX) + (b.end.x != mirrorX);
          compare(a.t, b.t);
          compare(a.end.x, b.end.x);
          compare(a.end.y, b.end.y);
          compare(a.continuationEnd.x, b.continuationEnd.x);
          compare(a.continuationEnd.y, b.continuationEnd.y);
        }
      }
    }
  }
  EXPECT_EQ(offMirror, 0);
  EXPECT_LE(worst, 0x1p-42);
  EXPECT_LT(differing, values / 1000) << differing << " of " << values;
}
