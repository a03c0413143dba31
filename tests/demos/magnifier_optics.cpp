// The magnifier's geometry against the figures it is built to: face rows, face coefficients,
// the crossings with their success rules, refraction without renormalisation, the pass-by rule
// and the fan's ray counts.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <vector>

#include "magnifier_optics.h"

namespace {

using namespace magnifier;

constexpr double kMu = 0.33;
constexpr double kCx = 399.5;
constexpr double kCy = 299.5;
using Shapes = std::array<int32_t, 2>;

FaceCoefficients AllCoefficients() {
  FaceCoefficients fc;
  for (FaceShape s : {ParabolicFace, EllipticFace, CircularFace, FlatFace}) ComputeFaceCoefficients(s, Lens{}, fc);
  return fc;
}

// ---- rows and coefficients -------------------------------------------------------------------

TEST(MagnifierFaceRows, LensCoversRows172To427) {
  EXPECT_EQ(TopRow(Lens{}), 172);
  EXPECT_EQ(BottomRow(Lens{}), 428);
}

TEST(MagnifierFaceRows, ShapesOnTheAxisAndAtTheTips) {
  const Lens lens;
  struct Case {
    FaceShape shape;
    double axisLeft, axisRight;
  };
  const Case cases[] = {{ParabolicFace, 383.5, 415.5}, {EllipticFace, 383.5, 415.5},
                        {CircularFace, 383.5, 415.5}, {FlatFace, kCx, kCx}};
  for (const Case &c : cases) {
    EXPECT_DOUBLE_EQ(FaceRowX(c.shape, kLeftFace, kCy, lens), c.axisLeft) << c.shape;
    EXPECT_DOUBLE_EQ(FaceRowX(c.shape, kRightFace, kCy, lens), c.axisRight) << c.shape;
    for (int y = TopRow(lens); y < BottomRow(lens); ++y) {
      const double left = FaceRowX(c.shape, kLeftFace, y, lens);
      const double right = FaceRowX(c.shape, kRightFace, y, lens);
      EXPECT_LE(left, kCx);
      EXPECT_GE(right, kCx);
      EXPECT_NEAR(left + right, 2 * kCx, 1e-9) << "faces mirror each other";
    }
  }
}

TEST(MagnifierFaceRows, EllipseClosesOnTheCentreLineHalfAPixelBeyondItsTips) {
  for (double y : {kCy - 128.5, kCy + 128.5}) {
    EXPECT_EQ(FaceRowX(EllipticFace, kLeftFace, y, Lens{}), kCx);
    EXPECT_EQ(FaceRowX(EllipticFace, kRightFace, y, Lens{}), kCx);
  }
}

TEST(MagnifierFaceCoefficients, ParabolasFollowTheirRowsAndAIsTwoToMinusTen) {
  const FaceCoefficients fc = AllCoefficients();
  EXPECT_EQ(fc.a[0], 0x1p-10);
  EXPECT_EQ(fc.a[1], -0x1p-10);
  EXPECT_EQ(fc.b[1], 599 * 0x1p-10);
  EXPECT_EQ(fc.b[0], -fc.b[1]);
  for (int y = 172; y < 428; ++y) {
    for (int f : {kLeftFace, kRightFace}) {
      EXPECT_NEAR(fc.a[f] * y * y + fc.b[f] * y + fc.c[f], FaceRowX(ParabolicFace, f, y, Lens{}), 1e-9);
    }
  }
}

TEST(MagnifierFaceCoefficients, EllipseCirclesAndWhatStaysUntouched) {
  const FaceCoefficients fc = AllCoefficients();
  EXPECT_EQ(fc.ex, kCx);
  EXPECT_EQ(fc.ey, kCy);
  EXPECT_EQ(fc.kx, 1.0 / 256);
  EXPECT_EQ(fc.ky, 1.0 / 16384);
  EXPECT_EQ(fc.d, 504.0);
  EXPECT_EQ(fc.radius, 520.0);
  EXPECT_EQ(fc.cc[0], 903.5);
  EXPECT_EQ(fc.cc[1], -104.5);
  EXPECT_EQ(fc.k, 1.0 / 270400);

  FaceCoefficients flatOnly;
  ComputeFaceCoefficients(FlatFace, Lens{}, flatOnly);
  ComputeFaceCoefficients(CircularFace, Lens{}, flatOnly);
  EXPECT_EQ(flatOnly.a[0], 0.0);
  EXPECT_EQ(flatOnly.kx, 0.0);
}

TEST(MagnifierPixelCoord, RoundsHalvesToEvenAndWrapsToSixteenBits) {
  struct Case {
    double in;
    int16_t out;
  };
  const Case cases[] = {{171.5, 172}, {427.5, 428}, {399.5, 400}, {-0.5, 0},          {-2.5, -2},
                        {32768.0, -32768}, {-32769.0, 32767}, {0x1p64 + 12288.0, 12288}, {-1e300, 0}};
  for (const Case &c : cases) EXPECT_EQ(PixelCoord(c.in), c.out) << c.in;
}

// ---- crossings -------------------------------------------------------------------------------

TEST(MagnifierIntersectFace, TouchingLineCountsForParabolaAndCircleNotForEllipse) {
  // The vertical lines through the faces' outermost points on the axis.
  const FaceCoefficients fc = AllCoefficients();
  struct Case {
    FaceShape shape;
    int face;
    double x;
    Crossing expected;
  };
  const Case cases[] = {
      {ParabolicFace, kLeftFace, 383.5, Crossing::Hit}, {ParabolicFace, kRightFace, 415.5, Crossing::Hit},
      {CircularFace, kLeftFace, 383.5, Crossing::Hit},  {CircularFace, kRightFace, 415.5, Crossing::Hit},
      {EllipticFace, kLeftFace, 383.5, Crossing::Passes}, {EllipticFace, kRightFace, 415.5, Crossing::Passes},
  };
  for (const Case &c : cases) {
    Vec p{c.x, kCy}, n{};
    EXPECT_EQ(IntersectFace(c.shape, c.face, fc, Lens{}, p, {0, 1}, n), c.expected) << c.shape << " " << c.face;
    EXPECT_EQ(p.x, c.x);
    EXPECT_EQ(p.y, kCy);
  }
}

TEST(MagnifierIntersectFace, MissesKeepThePoint) {
  const FaceCoefficients fc = AllCoefficients();
  struct Case {
    FaceShape shape;
    int face;
    Vec p, d;
    Crossing expected;
  };
  const Case cases[] = {
      {ParabolicFace, kLeftFace, {300, 0}, {0, 1}, Crossing::Missed},     // left of the vertex, upright
      {CircularFace, kLeftFace, {100, 20000}, {1, -0.05}, Crossing::Missed},
      {EllipticFace, kLeftFace, {100, 100}, {1, 0}, Crossing::Passes},    // above the lens
      {FlatFace, kRightFace, {200, 100}, {0, 1}, Crossing::Missed},       // parallel to x = cx
  };
  for (const Case &c : cases) {
    Vec p = c.p, n{};
    EXPECT_EQ(IntersectFace(c.shape, c.face, fc, Lens{}, p, c.d, n), c.expected) << c.shape;
    EXPECT_EQ(p.x, c.p.x);
    EXPECT_EQ(p.y, c.p.y);
  }
}

TEST(MagnifierIntersectFace, FlatFaceIsMetOnTheCentreLineEitherWay) {
  for (Vec start : {Vec{100, 250}, Vec{700, 250}}) {
    for (Vec d : {Vec{0.8, 0.6}, Vec{-0.8, 0.6}}) {
      Vec p = start, n{};
      ASSERT_EQ(IntersectFace(FlatFace, kLeftFace, {}, Lens{}, p, d, n), Crossing::Hit);
      EXPECT_EQ(p.x, kCx);
      EXPECT_NEAR(p.y, 250 + (kCx - start.x) * 0.75 * (d.x > 0 ? 1 : -1), 1e-12);
      EXPECT_EQ(n.x, 1.0);
      EXPECT_EQ(n.y, 0.0);
    }
  }
}

TEST(MagnifierIntersectFace, HorizontalLineAtAParabolaMeetsItOnce) {
  const FaceCoefficients fc = AllCoefficients();
  for (int f : {kLeftFace, kRightFace}) {
    for (double dx : {1.0, -1.0}) {
      Vec p{50, 230}, n{};
      ASSERT_EQ(IntersectFace(ParabolicFace, f, fc, Lens{}, p, {dx, 0}, n), Crossing::Hit);
      EXPECT_EQ(p.y, 230);
      EXPECT_NEAR(p.x, FaceRowX(ParabolicFace, f, 230, Lens{}), 1e-9);
      EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y));
    }
  }
}

TEST(MagnifierIntersectFace, RootsGiveTheLeftAndRightHalves) {
  const FaceCoefficients fc = AllCoefficients();
  for (FaceShape s : {ParabolicFace, EllipticFace, CircularFace}) {
    for (int f : {kLeftFace, kRightFace}) {
      for (Vec start : {Vec{100, 280}, Vec{700, 280}}) {
        Vec p = start, n{};
        ASSERT_EQ(IntersectFace(s, f, fc, Lens{}, p, {1, 0.02}, n), Crossing::Hit);
        EXPECT_NEAR(p.x, FaceRowX(s, f, p.y, Lens{}), 1e-6) << s << f;
        EXPECT_NEAR(std::hypot(n.x, n.y), 1.0, 1e-15);
      }
    }
  }
}

// ---- refraction and edges --------------------------------------------------------------------

TEST(MagnifierRefract, NormalPartScaledAndNoRenormalisation) {
  const Vec d{0.8, 0.6};
  const Vec in = Refract(d, {1, 0}, kMu, true);
  EXPECT_DOUBLE_EQ(in.x, 0.8 / kMu);
  EXPECT_EQ(in.y, 0.6);
  const Vec flipped = Refract(d, {-1, 0}, kMu, true);
  EXPECT_DOUBLE_EQ(flipped.x, in.x);
  EXPECT_DOUBLE_EQ(flipped.y, in.y);
  const Vec out = Refract(in, {1, 0}, kMu, false);
  EXPECT_NEAR(out.x, 0.8, 1e-15);
  EXPECT_EQ(out.y, 0.6);

  const Vec n{0.6, 0.8};
  const Vec bent = Refract(d, n, kMu, true);
  const double along = (bent.x * n.x + bent.y * n.y) / (d.x * n.x + d.y * n.y);
  EXPECT_NEAR(along, 1 / kMu, 1e-12);
  EXPECT_NEAR(bent.x * n.y - bent.y * n.x, d.x * n.y - d.y * n.x, 1e-15) << "tangential part kept";
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

// ---- whole rays ------------------------------------------------------------------------------

const Lens kLens;
const FaceCoefficients kAll = AllCoefficients();

TEST(MagnifierTraceRay, RaysAwayFromTheLensEndAtTheSourcesEdge) {
  for (double theta : {-3.1, -1.6, 1.58, 3.0}) {
    const RayPath left = TraceRay(theta, {200, 300}, {2, 2}, kLens, kAll);
    ASSERT_EQ(left.count, 1);
    EXPECT_EQ(left.ends[0].x, 0);
    EXPECT_NEAR(left.ends[0].y, 300 - 200 * std::tan(theta), 1e-9);
    const RayPath right = TraceRay(theta, {600, 300}, {2, 2}, kLens, kAll);
    ASSERT_EQ(right.count, 1);
    EXPECT_EQ(right.ends[0].x, 799);
    EXPECT_NEAR(right.ends[0].y, 300 + 199 * std::tan(theta), 1e-9);
  }
}

TEST(MagnifierTraceRay, RaysPassingAboveTheLensGoStraightToTheFarEdge) {
  // The circle and parabola are met beyond the lens's rows; the ellipse not at all.
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
}

TEST(MagnifierTraceRay, MissingBothCirclesDrawsNothingWhileTheEllipsePassesIt) {
  EXPECT_EQ(TraceRay(-0.05, {100, 20000}, {2, 2}, kLens, kAll).count, 0);
  const RayPath passes = TraceRay(-0.05, {100, 20000}, {1, 1}, kLens, kAll);
  ASSERT_EQ(passes.count, 1);
  EXPECT_EQ(passes.ends[0].x, 799);
}

TEST(MagnifierTraceRay, MissedFirstFaceTriesTheSecondFromThePointer) {
  // A steep ray passes left of the parabola's vertex and meets the ellipse's far crossing.
  const RayPath path = TraceRay(-1.24159, {252, 595}, {0, 1}, kLens, kAll);
  ASSERT_EQ(path.count, 2);
  EXPECT_LE(std::fabs(path.ends[0].y - kCy), 128);
  Vec p{252, 595}, n{};
  const Vec d{std::cos(-1.24159), std::sin(-1.24159)};
  ASSERT_EQ(IntersectFace(EllipticFace, kRightFace, kAll, kLens, p, d, n), Crossing::Hit);
  EXPECT_EQ(path.ends[0].x, p.x);
  EXPECT_EQ(path.ends[0].y, p.y);
  const Vec bent = Refract(d, n, kMu, false);
  EXPECT_NEAR(path.ends[1].x, p.x + 799 * bent.x, 1e-9) << "bent with the leaving factor";
  EXPECT_NEAR(path.ends[1].y, p.y + 799 * bent.y, 1e-9);
}

TEST(MagnifierTraceRay, TwoFlatFacesLeaveEveryDirectionUnchanged) {
  for (double theta : {-1.0, -0.3, 0.0001, 0.4, 1.2}) {
    const RayPath path = TraceRay(theta, {250, 300}, {3, 3}, kLens, kAll);
    const double crossingY = 300 + (kCx - 250) * std::tan(theta);
    if (std::fabs(crossingY - kCy) > 128) {
      ASSERT_EQ(path.count, 1) << "x = cx crossed beyond the rows at " << crossingY;
      EXPECT_EQ(path.ends[0].x, 799);
      continue;
    }
    ASSERT_EQ(path.count, 3) << theta;
    EXPECT_EQ(path.ends[0].x, kCx);
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

TEST(MagnifierTraceRay, EveryPointOfEveryFanIsFinite) {
  for (int32_t left = 0; left < 4; ++left) {
    for (int32_t right = 0; right < 4; ++right) {
      for (int x = 0; x < 800; x += 37) {
        for (int y = 0; y < 600; y += 41) {
          ForEachFanAngle(kFanAngleStep, 0.3, [&](double theta) {
            const RayPath path = TraceRay(theta, {double(x), double(y)}, {left, right}, kLens, kAll);
            for (int i = 0; i < path.count; ++i)
              ASSERT_TRUE(std::isfinite(path.ends[i].x) && std::isfinite(path.ends[i].y));
          });
        }
      }
    }
  }
}

// ---- the fan ---------------------------------------------------------------------------------

TEST(MagnifierFan, ElevenPhasesWith126RaysThen125) {
  double phase = 0;
  std::vector<double> phases;
  for (int frame = 0; frame < 22; ++frame) {
    int count = 0;
    ForEachFanAngle(kFanAngleStep, phase, [&](double) { ++count; });
    EXPECT_EQ(count, frame % 11 <= 6 ? 126 : 125) << "frame " << frame << " phase " << phase;
    if (frame < 11) phases.push_back(phase);
    phase = NextFanPhase(phase);
  }
  ASSERT_EQ(phases.size(), 11u);
  EXPECT_EQ(phases.front(), 0.0);
  EXPECT_LT(phases.back(), 1.0) << "the eleventh value falls just below 1";
  EXPECT_GT(phases.back(), 0.99);
}

TEST(MagnifierFan, FirstRayAtPhaseZeroPointsStraightLeft) {
  std::vector<double> angles;
  ForEachFanAngle(kFanAngleStep, 0.0, [&](double theta) { angles.push_back(theta); });
  EXPECT_EQ(angles.front(), -std::numbers::pi);
  EXPECT_LT(angles.back(), std::numbers::pi);
  for (size_t i = 1; i < angles.size(); ++i) EXPECT_EQ(angles[i], angles[i - 1] + kFanAngleStep);
  const RayPath path = TraceRay(angles.front(), {200, 300}, {2, 2}, kLens, kAll);
  ASSERT_EQ(path.count, 1);
  EXPECT_EQ(path.ends[0].x, 0);
  EXPECT_NEAR(path.ends[0].y, 300, 1e-12);
}

}  // namespace
