// The thick lens's geometry against the figures it is built to: pixel rounding, the three
// outlines, the face coefficients, the crossings, the refraction rule and the fan's ray counts.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>
#include <vector>

#include "thicklens_optics.h"

namespace {

using namespace thicklens;

constexpr double kMu = 0.33;

FaceCoefficients CoefficientsOf(LensShape shape, const Lens &lens = {}) {
  FaceCoefficients fc;
  TraceOutline(shape, lens, fc, [](const OutlineRow &) {});
  return fc;
}

std::vector<OutlineRow> OutlineOf(LensShape shape) {
  std::vector<OutlineRow> rows;
  FaceCoefficients fc;
  TraceOutline(shape, Lens{}, fc, [&](const OutlineRow &r) { rows.push_back(r); });
  return rows;
}

// ---- pixel conversion -----------------------------------------------------------------------

TEST(ThickLensPixelCoord, RoundsHalvesToEvenAndWrapsToSixteenBits) {
  struct Case {
    double in;
    int16_t out;
  };
  const Case cases[] = {
      {171.5, 172},   {172.5, 172},   {173.5, 174},       {399.5, 400},      {0.5, 0},
      {-0.5, 0},      {-1.5, -2},     {2.4999, 2},        {-2.6, -3},        {32767.0, 32767},
      {32767.5, -32768}, {32768.0, -32768}, {65536.0 + 7, 7}, {-32769.0, 32767}, {-65536.0 * 3 - 1, -1},
  };
  for (const Case &c : cases) EXPECT_EQ(PixelCoord(c.in), c.out) << c.in;
}

TEST(ThickLensPixelCoord, KeepsLowBitsBeyondTheSixtyFourBitRange) {
  // 2^64 + 3*4096 and its negative; 1e300 is a multiple of 2^16.
  EXPECT_EQ(PixelCoord(0x1p64 + 12288.0), 12288);
  EXPECT_EQ(PixelCoord(-(0x1p64 + 12288.0)), -12288);
  EXPECT_EQ(PixelCoord(0x1p63), 0);
  EXPECT_EQ(PixelCoord(1e300), 0);
  EXPECT_EQ(PixelCoord(-std::numeric_limits<double>::max()), 0);
  // Just inside the range the ordinary conversion is used.
  EXPECT_EQ(PixelCoord(0x1p62 + 0x1p15), -32768);
}

// ---- outlines and face coefficients ---------------------------------------------------------

TEST(ThickLensOutline, RowCountsAndEvenRows) {
  struct Case {
    LensShape shape;
    size_t rows;
  };
  for (const Case c : {Case{ParabolicLens, 256}, Case{EllipticLens, 256}, Case{CircularLens, 257}}) {
    const auto rows = OutlineOf(c.shape);
    ASSERT_EQ(rows.size(), c.rows) << c.shape;
    EXPECT_EQ(rows.front().y, 171.5);
    EXPECT_EQ(rows.back().y, 171.5 + double(c.rows - 1));
    for (const OutlineRow &r : rows) EXPECT_EQ(PixelCoord(r.y) % 2, 0) << r.y;
    EXPECT_EQ(PixelCoord(rows.front().y), 172);
    EXPECT_EQ(PixelCoord(rows.back().y), c.shape == CircularLens ? 428 : 426);
  }
}

TEST(ThickLensOutline, EveryShapeIsThirtyTwoPixelsThickOnTheAxisAndClosesAtItsEnds) {
  for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
    const auto rows = OutlineOf(shape);
    const OutlineRow &axis = rows[128];
    ASSERT_EQ(axis.y, 299.5);
    EXPECT_DOUBLE_EQ(axis.leftX, 383.5) << shape;
    EXPECT_DOUBLE_EQ(axis.rightX, 415.5) << shape;
    EXPECT_DOUBLE_EQ(rows.front().leftX, 399.5) << shape;
    EXPECT_DOUBLE_EQ(rows.front().rightX, 399.5) << shape;
    for (const OutlineRow &r : rows) {
      EXPECT_LE(r.leftX, r.rightX);
      EXPECT_NEAR(r.leftX + r.rightX, 799.0, 1e-9) << "symmetric about cx at y " << r.y;
    }
  }
  // The circular arcs end exactly on the centre line at the bottom row too.
  const auto circle = OutlineOf(CircularLens);
  EXPECT_EQ(circle.back().leftX, 399.5);
  EXPECT_EQ(circle.back().rightX, 399.5);
}

TEST(ThickLensFaceCoefficients, ParabolaMatchesItsOutlineAndAIsTwoToMinusTen) {
  const FaceCoefficients fc = CoefficientsOf(ParabolicLens);
  EXPECT_EQ(fc.a1, 0x1p-10);
  EXPECT_EQ(fc.a2, -0x1p-10);
  EXPECT_EQ(fc.b1, -fc.b2);
  for (const OutlineRow &r : OutlineOf(ParabolicLens)) {
    EXPECT_NEAR(fc.a1 * r.y * r.y + fc.b1 * r.y + fc.c1, r.leftX, 1e-9);
    EXPECT_NEAR(fc.a2 * r.y * r.y + fc.b2 * r.y + fc.c2, r.rightX, 1e-9);
  }
}

TEST(ThickLensFaceCoefficients, EllipseAndCircles) {
  const FaceCoefficients e = CoefficientsOf(EllipticLens);
  EXPECT_EQ(e.ex, 399.5);
  EXPECT_EQ(e.ey, 299.5);
  EXPECT_EQ(e.kx, 1.0 / 256);
  EXPECT_EQ(e.ky, 1.0 / 16384);

  const FaceCoefficients c = CoefficientsOf(CircularLens);
  EXPECT_EQ(c.d, 504.0);
  EXPECT_EQ(c.radius, 520.0);
  EXPECT_EQ(c.entryCentreX, 903.5);
  EXPECT_EQ(c.exitCentreX, -104.5);
  EXPECT_EQ(c.ey, 299.5);
  EXPECT_EQ(c.k, 1.0 / (520.0 * 520.0));
}

TEST(ThickLensFaceCoefficients, OnlyTheCurrentShapesNumbersChange) {
  FaceCoefficients fc = CoefficientsOf(CircularLens);
  TraceOutline(ParabolicLens, Lens{}, fc, [](const OutlineRow &) {});
  TraceOutline(EllipticLens, Lens{}, fc, [](const OutlineRow &) {});
  EXPECT_EQ(fc.radius, 520.0);
  EXPECT_EQ(fc.k, 1.0 / (520.0 * 520.0));
  EXPECT_EQ(fc.a1, 0x1p-10);
  const FaceCoefficients parabolaOnly = CoefficientsOf(ParabolicLens);
  EXPECT_EQ(parabolaOnly.kx, 0.0);
  EXPECT_EQ(parabolaOnly.radius, 0.0);
}

// ---- refraction ----------------------------------------------------------------------------

TEST(ThickLensRefract, AtTheHorizontalNormalTheYPartIsScaledByMu) {
  for (double theta : {-1.2, -0.4, 0.3, 1.1}) {
    const Vec d{std::cos(theta), std::sin(theta)};
    const Vec out = Refract(d, {-1, 0}, kMu, Crossing::Entering);
    const double len = std::hypot(d.x, kMu * d.y);
    EXPECT_NEAR(out.x, d.x / len, 1e-15) << theta;
    EXPECT_NEAR(out.y, kMu * d.y / len, 1e-15) << theta;
  }
}

TEST(ThickLensRefract, TangentToNormalScalesByMuAndIgnoresTheNormalsSign) {
  const Vec n{-0.8, 0.6};
  const Vec d{std::cos(0.5), std::sin(0.5)};
  const auto tangentToNormal = [&](Vec v) {
    return (n.y * v.x - n.x * v.y) / (n.x * v.x + n.y * v.y);
  };
  const Vec in = Refract(d, n, kMu, Crossing::Entering);
  EXPECT_NEAR(std::hypot(in.x, in.y), 1.0, 1e-15);
  EXPECT_NEAR(tangentToNormal(in), kMu * tangentToNormal(d), 1e-12);
  const Vec flipped = Refract(d, {-n.x, -n.y}, kMu, Crossing::Entering);
  EXPECT_NEAR(flipped.x, in.x, 1e-15);
  EXPECT_NEAR(flipped.y, in.y, 1e-15);
  const Vec back = Refract(in, n, kMu, Crossing::Leaving);
  EXPECT_NEAR(back.x, d.x, 1e-14);
  EXPECT_NEAR(back.y, d.y, 1e-14);
}

// ---- crossings with the faces --------------------------------------------------------------

TEST(ThickLensIntersectFace, AxialRayMeetsEachFaceOnTheAxisWithAHorizontalNormal) {
  for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
    const FaceCoefficients fc = CoefficientsOf(shape);
    Vec p{100, 299.5}, n{};
    ASSERT_TRUE(IntersectFace(shape, Face::Entry, fc, p, {1, 0}, n)) << shape;
    EXPECT_NEAR(p.x, 383.5, 1e-9);
    EXPECT_EQ(p.y, 299.5);
    EXPECT_NEAR(std::fabs(n.x), 1.0, 1e-15);
    EXPECT_NEAR(n.y, 0.0, 1e-15);
    ASSERT_TRUE(IntersectFace(shape, Face::Exit, fc, p, {1, 0}, n)) << shape;
    EXPECT_NEAR(p.x, 415.5, 1e-9) << shape;
  }
}

TEST(ThickLensIntersectFace, HorizontalRayAtAParabolaMeetsItOnceInsteadOfDividingByZero) {
  const FaceCoefficients fc = CoefficientsOf(ParabolicLens);
  for (double dx : {1.0, -1.0}) {
    for (double y : {200.0, 299.5, 420.25}) {
      Vec p{50, y}, n{};
      ASSERT_TRUE(IntersectFace(ParabolicLens, Face::Entry, fc, p, {dx, 0}, n)) << dx << " " << y;
      EXPECT_EQ(p.y, y);
      EXPECT_NEAR(p.x, fc.a1 * y * y + fc.b1 * y + fc.c1, 1e-9);
      Vec q{700, y};
      ASSERT_TRUE(IntersectFace(ParabolicLens, Face::Exit, fc, q, {dx, 0}, n));
      EXPECT_NEAR(q.x, fc.a2 * y * y + fc.b2 * y + fc.c2, 1e-9);
      EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y));
    }
  }
}

TEST(ThickLensIntersectFace, MissLeavesThePointWhereItWas) {
  struct Case {
    LensShape shape;
    Face face;
    Vec p;
    Vec d;
  };
  // Rays running away above the ellipse or the circles: negative discriminants.
  const Case cases[] = {
      {EllipticLens, Face::Entry, {100, 100}, {1, 0}},
      {EllipticLens, Face::Exit, {100, 100}, {0.6, -0.8}},
      {CircularLens, Face::Entry, {100, -300}, {0.6, -0.8}},
      {CircularLens, Face::Exit, {-700, 299.5}, {0, 1}},
  };
  for (const Case &c : cases) {
    Vec p = c.p, n{7, 7};
    EXPECT_FALSE(IntersectFace(c.shape, c.face, CoefficientsOf(c.shape), p, c.d, n)) << c.shape;
    EXPECT_EQ(p.x, c.p.x);
    EXPECT_EQ(p.y, c.p.y);
  }
}

TEST(ThickLensIntersectFace, ExitFacesTakeTheFarCrossingFromInside) {
  for (LensShape shape : {EllipticLens, CircularLens}) {
    const FaceCoefficients fc = CoefficientsOf(shape);
    Vec p{399.5, 299.5}, n{};
    ASSERT_TRUE(IntersectFace(shape, Face::Exit, fc, p, {std::cos(0.2), std::sin(0.2)}, n));
    EXPECT_GT(p.x, 415.0) << shape;
    EXPECT_NEAR(std::fabs(n.y / n.x), std::fabs((p.y - 299.5) / (p.x - (shape == EllipticLens ? 399.5 : -104.5))) *
                                          (shape == EllipticLens ? 256.0 / 16384 : 1.0), 1e-12);
  }
}

// ---- whole rays ----------------------------------------------------------------------------

void ExpectPoint(Vec v, double x, double y, double tol = 1e-9) {
  EXPECT_NEAR(v.x, x, tol);
  EXPECT_NEAR(v.y, y, tol);
}

TEST(ThickLensTraceRay, AxialRayPassesStraightThroughEveryShape) {
  for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
    const RayPath path = TraceRay(0.0, {100, 299.5}, shape, Lens{}, CoefficientsOf(shape));
    ASSERT_EQ(path.count, 3) << shape;
    ExpectPoint(path.start, 100, 299.5);
    ExpectPoint(path.ends[0], 383.5, 299.5);
    ExpectPoint(path.ends[1], 415.5, 299.5);
    ExpectPoint(path.ends[2], 415.5 + 799, 299.5);
  }
}

TEST(ThickLensTraceRay, MissDrawsNothingButStartsAtThePointer) {
  for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
    const RayPath path = TraceRay(-1.5, {20, 40}, shape, Lens{}, CoefficientsOf(shape));
    EXPECT_EQ(path.count, 0) << shape;
    ExpectPoint(path.start, 20, 40, 0);
  }
}

TEST(ThickLensTraceRay, CrossingOutsideTheLensRowsEndsTheRay) {
  // Steep rays: the circle and the parabola are met beyond the lens's rows, or entered near
  // a tip and left beyond them (only the incident segment stays).
  struct Case {
    LensShape shape;
    Vec pointer;
    double theta;
    int count;
  };
  const Case cases[] = {
      {CircularLens, {390, 0}, 1.5, 0},
      {ParabolicLens, {350, 540}, -1.4480778638, 1},
      {ParabolicLens, {357, 54}, 1.4726215556, 1},
      {CircularLens, {350, 540}, -1.4480778638, 1},
  };
  for (const Case &c : cases) {
    const RayPath path = TraceRay(c.theta, c.pointer, c.shape, Lens{}, CoefficientsOf(c.shape));
    EXPECT_EQ(path.count, c.count) << c.shape << " " << c.theta;
    for (int i = 0; i < path.count; ++i) EXPECT_LE(std::fabs(path.ends[i].y - 299.5), 128.0);
  }
}

TEST(ThickLensTraceRay, ConvergingLensBendsAnOffAxisRayTowardsTheAxis) {
  for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
    const RayPath path = TraceRay(0.0, {100, 250}, shape, Lens{}, CoefficientsOf(shape));
    ASSERT_EQ(path.count, 3);
    EXPECT_GT(path.ends[2].y, path.ends[1].y) << shape;
  }
}

TEST(ThickLensTraceRay, EveryPointOfEveryFanIsFinite) {
  const Lens lens;
  const double step = FanAngleStep();
  for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
    const FaceCoefficients fc = CoefficientsOf(shape);
    for (int x = 0; x <= 399; x += 19) {
      for (int y = 0; y < 600; y += 23) {
        ForEachFanAngle(step, 0.37, [&](double theta) {
          const RayPath path = TraceRay(theta, {double(x), double(y)}, shape, lens, fc);
          for (int i = 0; i < path.count; ++i)
            ASSERT_TRUE(std::isfinite(path.ends[i].x) && std::isfinite(path.ends[i].y));
        });
      }
    }
  }
}

// ---- the fan -------------------------------------------------------------------------------

int RayCount(double phase) {
  int count = 0;
  ForEachFanAngle(FanAngleStep(), phase, [&](double) { ++count; });
  return count;
}

TEST(ThickLensFan, StepIsPiOver128) { EXPECT_EQ(FanAngleStep(), std::numbers::pi / 128); }

TEST(ThickLensFan, RayCountsFollowThePhaseOverAWholeCycle) {
  double phase = 0;
  for (int frame = 0; frame < 1000; ++frame) {
    const int expected = frame == 0 ? 129 : frame <= 250 ? 128 : frame <= 500 ? 127 : frame <= 750 ? 126 : 125;
    ASSERT_EQ(RayCount(phase), expected) << "frame " << frame << " phase " << phase;
    phase = NextFanPhase(phase);
    if (frame < 999) {
      ASSERT_GT(phase, 0.0) << "reset too early at frame " << frame;
    }
  }
  EXPECT_EQ(phase, 0.0) << "the 1000th increment passes 1";
}

TEST(ThickLensFan, PhaseZeroRunsFromStraightUpToStraightDown) {
  std::vector<double> angles;
  ForEachFanAngle(FanAngleStep(), 0.0, [&](double theta) { angles.push_back(theta); });
  ASSERT_EQ(angles.size(), 129u);
  EXPECT_EQ(angles.front(), -std::numbers::pi / 2);
  EXPECT_NEAR(angles.back(), std::numbers::pi / 2, 1e-13);
  for (size_t i = 1; i < angles.size(); ++i) EXPECT_EQ(angles[i], angles[i - 1] + FanAngleStep());
}

TEST(ThickLensFan, StartAngleTurnsByUpToFourSteps) {
  EXPECT_EQ(FanStartAngle(FanAngleStep(), 0.0), -std::numbers::pi / 2);
  EXPECT_NEAR(FanStartAngle(FanAngleStep(), 1.0), -std::numbers::pi / 2 + 4 * std::numbers::pi / 128, 1e-15);
  EXPECT_NEAR(FanStartAngle(FanAngleStep(), 0.5), -std::numbers::pi / 2 + 2 * std::numbers::pi / 128, 1e-15);
}

}  // namespace
