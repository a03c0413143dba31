// The magnifier's geometry against the figures it is built to: face rows, face coefficients,
// the crossings with their success rules, refraction without renormalisation, the pass-by rule,
// the fan's ray counts, and its lines as the library gets them.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "magnifier_optics.h"
#include "pixel_coord.h"

namespace {

using namespace magnifier;

constexpr double kMu = 0.33;
constexpr double kCx = 399.5;
constexpr double kCy = 299.5;
using Shapes = std::array<int32_t, 2>;
const Lens kLens;

FaceCoefficients AllCoefficients() {
  FaceCoefficients fc;
  for (FaceShape s : {ParabolicFace, EllipticFace, CircularFace, FlatFace}) ComputeFaceCoefficients(s, kLens, fc);
  return fc;
}
const FaceCoefficients kAll = AllCoefficients();

// How far p lies from the curve of face f with `shape`, in pixels (to first order for the
// ellipse).
double DistanceFromFace(FaceShape shape, int f, Vec p) {
  switch (shape) {
    case ParabolicFace:
      return std::fabs(kAll.a[f] * p.y * p.y + kAll.b[f] * p.y + kAll.c[f] - p.x) /
             std::hypot(1.0, 2 * kAll.a[f] * p.y + kAll.b[f]);
    case EllipticFace: {
      const double rx = p.x - kAll.ex, ry = p.y - kAll.ey;
      return std::fabs(rx * rx * kAll.kx + ry * ry * kAll.ky - 1) / std::hypot(2 * rx * kAll.kx, 2 * ry * kAll.ky);
    }
    case CircularFace:
      return std::fabs(std::hypot(p.x - kAll.cc[f], p.y - kAll.ey) - kAll.radius);
    case FlatFace:
      break;
  }
  return std::fabs(p.x - kCx);
}

TEST(MagnifierFaceRows, RowsOnTheAxisAndAcrossTheLens) {
  EXPECT_EQ(TopRow(kLens), 172);
  EXPECT_EQ(BottomRow(kLens), 428);
  for (FaceShape shape : {ParabolicFace, EllipticFace, CircularFace, FlatFace}) {
    const double half = shape == FlatFace ? 0 : 16;
    EXPECT_DOUBLE_EQ(FaceRowX(shape, kLeftFace, kCy, kLens), kCx - half) << shape;
    EXPECT_DOUBLE_EQ(FaceRowX(shape, kRightFace, kCy, kLens), kCx + half) << shape;
    for (int y = 172; y < 428; ++y) {
      const double left = FaceRowX(shape, kLeftFace, y, kLens);
      EXPECT_LE(left, kCx);
      EXPECT_NEAR(left + FaceRowX(shape, kRightFace, y, kLens), 2 * kCx, 1e-9) << "faces mirror each other";
    }
  }
  // Half a pixel beyond its tips the ellipse stays on the centre line rather than going NaN.
  EXPECT_EQ(FaceRowX(EllipticFace, kLeftFace, kCy - 128.5, kLens), kCx);
  EXPECT_EQ(FaceRowX(EllipticFace, kRightFace, kCy + 128.5, kLens), kCx);
}

TEST(MagnifierFaceCoefficients, Values) {
  EXPECT_EQ(kAll.a[0], 0x1p-10);
  EXPECT_EQ(kAll.a[1], -0x1p-10);
  EXPECT_EQ(kAll.b[1], 599 * 0x1p-10);
  EXPECT_EQ(kAll.b[0], -kAll.b[1]);
  for (int y = 172; y < 428; ++y)
    for (int f : {kLeftFace, kRightFace})
      EXPECT_NEAR(kAll.a[f] * y * y + kAll.b[f] * y + kAll.c[f], FaceRowX(ParabolicFace, f, y, kLens), 1e-9);
  EXPECT_EQ(kAll.radius, 520.0);
  EXPECT_EQ(kAll.cc[0], 903.5);
  EXPECT_EQ(kAll.cc[1], -104.5);
}

TEST(MagnifierIntersectFace, SuccessRulesAndMisses) {
  struct Case {
    FaceShape shape;
    int face;
    Vec p, d;
    Crossing expected;
  };
  const Case cases[] = {
      // Vertical lines touching each face at its outermost point: D = 0.
      {ParabolicFace, kLeftFace, {383.5, kCy}, {0, 1}, Crossing::Hit},
      {ParabolicFace, kRightFace, {415.5, kCy}, {0, 1}, Crossing::Hit},
      {CircularFace, kLeftFace, {383.5, kCy}, {0, 1}, Crossing::Hit},
      {CircularFace, kRightFace, {415.5, kCy}, {0, 1}, Crossing::Hit},
      {EllipticFace, kLeftFace, {383.5, kCy}, {0, 1}, Crossing::Passes},
      {EllipticFace, kRightFace, {415.5, kCy}, {0, 1}, Crossing::Passes},
      // Lines clear of the face.
      {ParabolicFace, kLeftFace, {300, 0}, {0, 1}, Crossing::Missed},
      {CircularFace, kLeftFace, {100, 20000}, {1, -0.05}, Crossing::Missed},
      {EllipticFace, kLeftFace, {100, 100}, {1, 0}, Crossing::Passes},
      {FlatFace, kRightFace, {200, 100}, {0, 1}, Crossing::Missed},  // parallel to x = cx
  };
  for (const Case &c : cases) {
    Vec p = c.p, n{};
    EXPECT_EQ(IntersectFace(c.shape, c.face, kAll, kLens, p, c.d, n), c.expected) << c.shape << " " << c.face;
    EXPECT_EQ(p.x, c.p.x);
    EXPECT_EQ(p.y, c.p.y);
  }
}

TEST(MagnifierIntersectFace, FlatFaceEitherWayAndHorizontalLinesAtAParabola) {
  for (Vec start : {Vec{100, 250}, Vec{700, 250}}) {
    for (Vec d : {Vec{0.8, 0.6}, Vec{-0.8, 0.6}}) {
      Vec p = start, n{};
      ASSERT_EQ(IntersectFace(FlatFace, kLeftFace, kAll, kLens, p, d, n), Crossing::Hit);
      EXPECT_EQ(p.x, kCx);
      EXPECT_NEAR(p.y, 250 + (kCx - start.x) * d.y / d.x, 1e-12);
      EXPECT_EQ(n.x, 1.0);
    }
  }
  // A horizontal line meets a parabola once on its own row; one off by a tiny slope meets it next
  // to that point, where the usual root would cancel to nothing.
  for (int f : {kLeftFace, kRightFace}) {
    for (Vec d : {Vec{1, 0}, Vec{-1, 0}, Vec{1, 1e-15}, Vec{1, -1e-12}, Vec{2.5, 1e-9}, Vec{1, -1e-6}}) {
      Vec p{50, 230}, n{};
      ASSERT_EQ(IntersectFace(ParabolicFace, f, kAll, kLens, p, d, n), Crossing::Hit);
      EXPECT_LT(DistanceFromFace(ParabolicFace, f, p), 1e-9) << f << " " << d.y;
      EXPECT_NEAR(p.y, 230, 1e-3);
      EXPECT_NEAR(p.x, FaceRowX(ParabolicFace, f, 230, kLens), 1e-3);
      EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y));
    }
  }
}

TEST(MagnifierRefract, NormalPartScaledTangentKeptNoRenormalisation) {
  const Vec d{0.8, 0.6};
  const Vec in = Refract(d, {1, 0}, kMu, true);
  EXPECT_DOUBLE_EQ(in.x, 0.8 / kMu);
  EXPECT_EQ(in.y, 0.6);
  EXPECT_DOUBLE_EQ(Refract(d, {-1, 0}, kMu, true).x, in.x) << "the normal's sign does not matter";
  EXPECT_NEAR(Refract(in, {1, 0}, kMu, false).x, 0.8, 1e-15);
  const Vec n{0.6, 0.8};
  const Vec bent = Refract(d, n, kMu, true);
  EXPECT_NEAR((bent.x * n.x + bent.y * n.y) / (d.x * n.x + d.y * n.y), 1 / kMu, 1e-12);
  EXPECT_NEAR(bent.x * n.y - bent.y * n.x, d.x * n.y - d.y * n.x, 1e-15);
}

TEST(MagnifierEdgePoint, MeetsTheEdgeOrRunsVerticallyToTopOrBottom) {
  const Vec e = EdgePoint({100, 200}, {0.8, 0.6}, 799, {0.8, 0.6}, 599);
  EXPECT_EQ(e.x, 799);
  EXPECT_DOUBLE_EQ(e.y, 200 + 699 * 0.75);
  struct Case {
    Vec d, travel;
    double y;
  };
  const Case cases[] = {{{0, 1}, {0, 1}, 599},   {{-0.0, 1}, {0, 1}, 599}, {{0, 1}, {-0.0, -1}, 0},
                        {{0, -2}, {0, -2}, 0},   {{1e-320, 1}, {1e-320, 1}, 599}};
  for (const Case &c : cases) {
    const Vec v = EdgePoint({100, 200}, c.d, 799, c.travel, 599);
    EXPECT_EQ(v.x, 100);
    EXPECT_EQ(v.y, c.y);
  }
}

TEST(MagnifierTraceRay, RaysAwayFromTheLensOrPassingItRunStraightToAnEdge) {
  for (double theta : {-3.1, -1.6, 1.58, 3.0}) {
    const RayPath left = TraceRay(theta, {200, 300}, {2, 2}, kLens, kAll);
    ASSERT_EQ(left.count, 1);
    EXPECT_EQ(left.ends[0].x, 0);
    EXPECT_NEAR(left.ends[0].y, 300 - 200 * std::tan(theta), 1e-9);
    const RayPath right = TraceRay(theta, {600, 300}, {2, 2}, kLens, kAll);
    ASSERT_EQ(right.count, 1);
    EXPECT_EQ(right.ends[0].x, 799);
  }
  // Above the lens: the circle and parabola are met beyond the rows, the ellipse not at all.
  for (const Shapes shapes : {Shapes{2, 2}, Shapes{0, 0}, Shapes{1, 1}, Shapes{1, 3}}) {
    const RayPath left = TraceRay(-0.2, {100, 150}, shapes, kLens, kAll);
    ASSERT_EQ(left.count, 1) << shapes[0] << shapes[1];
    EXPECT_EQ(left.ends[0].x, 799);
    EXPECT_NEAR(left.ends[0].y, 150 + 699 * std::tan(-0.2), 1e-9);
    const RayPath right = TraceRay(0.2, {700, 150}, shapes, kLens, kAll);
    ASSERT_EQ(right.count, 1);
    EXPECT_EQ(right.ends[0].x, 0) << "drawn along -d, the light leaving to the left";
    EXPECT_NEAR(right.ends[0].y, 150 - 700 * std::tan(0.2), 1e-9);
  }
  // Far below the lens both circles are missed and nothing is drawn; the ellipse is passed.
  EXPECT_EQ(TraceRay(-0.05, {100, 20000}, {2, 2}, kLens, kAll).count, 0);
  EXPECT_EQ(TraceRay(-0.05, {100, 20000}, {1, 1}, kLens, kAll).count, 1);
}

TEST(MagnifierTraceRay, MissedFirstFaceTriesTheSecondFromThePointer) {
  // A steep ray passes left of the parabola's vertex and meets the ellipse's far crossing.
  const Vec pointer{252, 595};
  const Vec d{std::cos(-1.24159), std::sin(-1.24159)};
  const RayPath path = TraceRay(-1.24159, pointer, {0, 1}, kLens, kAll);
  ASSERT_EQ(path.count, 2);
  Vec p = pointer, n{};
  ASSERT_EQ(IntersectFace(EllipticFace, kRightFace, kAll, kLens, p, d, n), Crossing::Hit);
  EXPECT_LE(std::fabs(p.y - kCy), 128);
  EXPECT_EQ(path.ends[0].x, p.x);
  const Vec bent = Refract(d, n, kMu, false);
  EXPECT_NEAR(path.ends[1].x, p.x + 799 * bent.x, 1e-9) << "bent with the leaving factor";
  EXPECT_NEAR(path.ends[1].y, p.y + 799 * bent.y, 1e-9);
}

TEST(MagnifierTraceRay, TwoFlatFacesLeaveEveryDirectionUnchanged) {
  for (double theta : {-1.0, -0.3, 0.0001, 0.4, 1.2}) {
    const RayPath path = TraceRay(theta, {250, 300}, {3, 3}, kLens, kAll);
    const double crossingY = 300 + (kCx - 250) * std::tan(theta);
    if (std::fabs(crossingY - kCy) > 128) {
      EXPECT_EQ(path.count, 1) << "x = cx crossed beyond the rows at " << crossingY;
      continue;
    }
    ASSERT_EQ(path.count, 3) << theta;
    EXPECT_NEAR(path.ends[0].y, crossingY, 1e-9);
    EXPECT_NEAR(path.ends[2].x - path.ends[1].x, 799 * std::cos(theta), 1e-9);
    EXPECT_NEAR(path.ends[2].y - path.ends[1].y, 799 * std::sin(theta), 1e-9);
  }
}

TEST(MagnifierTraceRay, SymmetricLensesMirrorASourceOnTheRight) {
  for (const Shapes shapes : {Shapes{0, 0}, Shapes{1, 1}, Shapes{2, 2}, Shapes{3, 3}}) {
    for (double theta : {-0.6, -0.25, 0.05, 0.33}) {
      const RayPath left = TraceRay(theta, {150, 310}, shapes, kLens, kAll);
      const RayPath right = TraceRay(-theta, {2 * kCx - 150, 310}, shapes, kLens, kAll);
      ASSERT_EQ(left.count, right.count) << shapes[0] << " " << theta;
      for (int i = 0; i < left.count; ++i) {
        EXPECT_NEAR(left.ends[i].x, 2 * kCx - right.ends[i].x, 1e-6);
        EXPECT_NEAR(left.ends[i].y, right.ends[i].y, 1e-6);
      }
    }
  }
}

TEST(MagnifierTraceRay, EveryFanMeetsTheFacesOnTheirCurvesAndNoLineWrapsRound) {
  for (int32_t left = 0; left < 4; ++left) {
    for (int32_t right = 0; right < 4; ++right) {
      const Shapes shapes{left, right};
      double phase = 0;
      for (int frame = 0; frame < 11; ++frame, phase = NextFanPhase(phase)) {
        for (int x = 0; x < 800; x += 53) {
          for (int y = 0; y < 600; y += 47) {
            ForEachFanAngle(kFanAngleStep, phase, [&](double theta) {
              const RayPath path = TraceRay(theta, {double(x), double(y)}, shapes, kLens, kAll);
              const auto where = [&] {
                return testing::Message() << left << right << " frame " << frame << " at " << x << "," << y
                                          << " theta " << theta;
              };
              // Every point but the last is where the ray met a face.
              for (int i = 0; i + 1 < path.count; ++i) {
                const double off = std::min(DistanceFromFace(FaceShape(left), kLeftFace, path.ends[i]),
                                            DistanceFromFace(FaceShape(right), kRightFace, path.ends[i]));
                ASSERT_LT(off, 1e-6) << where();
              }
              // Each line as the library gets it runs the way the ray does.
              demo::PixelPolyline line;
              demo::PixelPoint from = line.Start(path.start.x, path.start.y);
              Vec real = path.start;
              for (int i = 0; i < path.count; ++i) {
                const demo::PixelPoint to = line.LineTo(path.ends[i].x, path.ends[i].y);
                const double rx = path.ends[i].x - real.x, ry = path.ends[i].y - real.y;
                const double px = to.x - from.x, py = to.y - from.y;
                if (std::hypot(rx, ry) >= 200) {  // long enough for rounding to turn it by less than 0.01
                  const double sine = (rx * py - ry * px) / (std::hypot(rx, ry) * std::hypot(px, py));
                  ASSERT_LT(std::fabs(sine), 0.01) << where() << " line " << i << " to " << to.x << "," << to.y;
                  ASSERT_GT(rx * px + ry * py, 0) << where() << " line " << i << " to " << to.x << "," << to.y;
                }
                from = to;
                real = path.ends[i];
              }
            });
          }
        }
      }
    }
  }
}

TEST(MagnifierFan, ElevenPhasesWith126RaysThen125) {
  double phase = 0;
  for (int frame = 0; frame < 22; ++frame) {
    std::vector<double> angles;
    ForEachFanAngle(kFanAngleStep, phase, [&](double theta) { angles.push_back(theta); });
    EXPECT_EQ(angles.size(), frame % 11 <= 6 ? 126u : 125u) << "frame " << frame << " phase " << phase;
    if (frame == 0) {
      EXPECT_EQ(angles.front(), -std::numbers::pi) << "the first ray points straight left";
    }
    if (frame == 10) {
      EXPECT_TRUE(phase > 0.99 && phase < 1.0) << "the eleventh value falls just below 1";
    }
    phase = NextFanPhase(phase);
    EXPECT_EQ(phase == 0.0, frame % 11 == 10) << frame;
  }
}

}  // namespace
