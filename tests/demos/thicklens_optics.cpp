// The thick lens's geometry against the figures it is built to: the outlines on their rows,
// the face coefficients, the crossings, the refraction rule and the fan's ray counts.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>
#include <vector>

#include "pixel_coord.h"
#include "thicklens_optics.h"

namespace {

using namespace thicklens;

constexpr double kMu = 0.33;
const Lens kLens;

FaceCoefficients CoefficientsOf(LensShape shape) {
  FaceCoefficients fc;
  TraceOutline(shape, kLens, fc, [](const OutlineRow &) {});
  return fc;
}

std::vector<OutlineRow> OutlineOf(LensShape shape) {
  std::vector<OutlineRow> rows;
  FaceCoefficients fc;
  TraceOutline(shape, kLens, fc, [&](const OutlineRow &r) { rows.push_back(r); });
  return rows;
}

// How far p lies from the curve of a face, in pixels (to first order for the conics).
double DistanceFromFace(LensShape shape, Face face, const FaceCoefficients &fc, Vec p) {
  const bool entry = face == Face::Entry;
  switch (shape) {
    case ParabolicLens: {
      const double a = entry ? fc.a1 : fc.a2, b = entry ? fc.b1 : fc.b2, c = entry ? fc.c1 : fc.c2;
      return std::fabs(a * p.y * p.y + b * p.y + c - p.x) / std::hypot(1.0, 2 * a * p.y + b);
    }
    case EllipticLens: {
      const double rx = p.x - fc.ex, ry = p.y - fc.ey;
      return std::fabs(rx * rx * fc.kx + ry * ry * fc.ky - 1) / std::hypot(2 * rx * fc.kx, 2 * ry * fc.ky);
    }
    case CircularLens:
      return std::fabs(std::hypot(p.x - (entry ? fc.entryCentreX : fc.exitCentreX), p.y - fc.ey) - fc.radius);
  }
  return 0;
}

TEST(ThickLensOutline, RowsOnEvenPixelRowsThirtyTwoThickClosedAtTheTips) {
  for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
    const auto rows = OutlineOf(shape);
    ASSERT_EQ(rows.size(), shape == CircularLens ? 257u : 256u) << shape;
    EXPECT_EQ(rows.front().y, 171.5);
    EXPECT_EQ(demo::PixelCoord(rows.back().y), shape == CircularLens ? 428 : 426);
    for (const OutlineRow &r : rows) {
      EXPECT_EQ(demo::PixelCoord(r.y) % 2, 0) << r.y;
      EXPECT_NEAR(r.leftX + r.rightX, 799.0, 1e-9) << "symmetric about cx at y " << r.y;
    }
    EXPECT_EQ(rows[128].y, 299.5);
    EXPECT_DOUBLE_EQ(rows[128].leftX, 383.5) << shape;
    EXPECT_DOUBLE_EQ(rows[128].rightX, 415.5) << shape;
    EXPECT_DOUBLE_EQ(rows.front().leftX, 399.5) << shape;
  }
  EXPECT_EQ(OutlineOf(CircularLens).back().leftX, 399.5) << "the arcs end exactly on x = cx";
}

TEST(ThickLensFaceCoefficients, ValuesAndOnlyTheCurrentShapeChanges) {
  const FaceCoefficients p = CoefficientsOf(ParabolicLens);
  EXPECT_EQ(p.a1, 0x1p-10);
  EXPECT_EQ(p.a2, -0x1p-10);
  for (const OutlineRow &r : OutlineOf(ParabolicLens)) {
    EXPECT_NEAR(p.a1 * r.y * r.y + p.b1 * r.y + p.c1, r.leftX, 1e-9);
    EXPECT_NEAR(p.a2 * r.y * r.y + p.b2 * r.y + p.c2, r.rightX, 1e-9);
  }
  FaceCoefficients c = CoefficientsOf(CircularLens);
  EXPECT_EQ(c.d, 504.0);
  EXPECT_EQ(c.radius, 520.0);
  EXPECT_EQ(c.entryCentreX, 903.5);
  EXPECT_EQ(c.exitCentreX, -104.5);
  EXPECT_EQ(c.a1, 0.0);
  TraceOutline(ParabolicLens, kLens, c, [](const OutlineRow &) {});
  EXPECT_EQ(c.a1, 0x1p-10);
  EXPECT_EQ(c.radius, 520.0) << "the circle's numbers keep their values";
}

TEST(ThickLensRefract, TangentToTheNormalScaledByMuWhicheverWayTheNormalPoints) {
  // At the horizontal normal the x part stays and the y part is multiplied by mu.
  for (double theta : {-1.2, 0.3, 1.1}) {
    const Vec d{std::cos(theta), std::sin(theta)};
    const Vec out = Refract(d, {-1, 0}, kMu, Crossing::Entering);
    const double len = std::hypot(d.x, kMu * d.y);
    EXPECT_NEAR(out.x, d.x / len, 1e-15);
    EXPECT_NEAR(out.y, kMu * d.y / len, 1e-15);
  }
  const Vec n{-0.8, 0.6}, d{std::cos(0.5), std::sin(0.5)};
  const auto tangentToNormal = [&](Vec v) { return (n.y * v.x - n.x * v.y) / (n.x * v.x + n.y * v.y); };
  const Vec in = Refract(d, n, kMu, Crossing::Entering);
  EXPECT_NEAR(std::hypot(in.x, in.y), 1.0, 1e-15);
  EXPECT_NEAR(tangentToNormal(in), kMu * tangentToNormal(d), 1e-12);
  EXPECT_NEAR(Refract(d, {-n.x, -n.y}, kMu, Crossing::Entering).x, in.x, 1e-15);
  EXPECT_NEAR(tangentToNormal(Refract(in, n, kMu, Crossing::Leaving)), tangentToNormal(d), 1e-12);
}

TEST(ThickLensIntersectFace, HorizontalAndNearlyHorizontalRaysMeetAParabolaOnItsOwnRow) {
  // A horizontal ray meets the curve x(y) once, instead of dividing by zero; one off by a tiny
  // angle meets it next to that point, where the usual root would cancel to nothing.
  const FaceCoefficients fc = CoefficientsOf(ParabolicLens);
  const struct {
    double dx, dy;
  } directions[] = {{1, 0}, {-1, 0}, {1, 1e-15}, {1, -1e-15}, {1, 1e-12}, {1, -1e-9}, {1, 1e-6}, {1, -1e-3}};
  for (const auto &dir : directions) {
    const double len = std::hypot(dir.dx, dir.dy);
    const Vec d{dir.dx / len, dir.dy / len};
    for (double y : {200.0, 299.5, 420.25}) {
      // From in front of the lens to the entry face, and from inside it to the exit face.
      for (const auto &[face, from] : {std::pair{Face::Entry, 50.0}, std::pair{Face::Exit, 400.0}}) {
        Vec p{from, y}, n{};
        ASSERT_TRUE(IntersectFace(ParabolicLens, face, fc, p, d, n)) << dir.dy;
        EXPECT_LT(DistanceFromFace(ParabolicLens, face, fc, p), 1e-9) << dir.dy << " at row " << y;
        const double rowX = face == Face::Entry ? fc.a1 * y * y + fc.b1 * y + fc.c1 : fc.a2 * y * y + fc.b2 * y + fc.c2;
        EXPECT_NEAR(p.x, rowX, 0.5) << dir.dy << " at row " << y;
        EXPECT_NEAR(p.y, y, 0.5);
        EXPECT_TRUE(std::isfinite(n.x) && std::isfinite(n.y));
      }
    }
  }
}

TEST(ThickLensTraceRay, AxialRayPassesStraightAndOffAxisRaysBendTowardsTheAxis) {
  for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
    const RayPath axial = TraceRay(0.0, {100, 299.5}, shape, kLens, CoefficientsOf(shape));
    ASSERT_EQ(axial.count, 3) << shape;
    const double xs[] = {383.5, 415.5, 415.5 + 799};
    for (int i = 0; i < 3; ++i) {
      EXPECT_NEAR(axial.ends[i].x, xs[i], 1e-9);
      EXPECT_NEAR(axial.ends[i].y, 299.5, 1e-9);
    }
    const RayPath high = TraceRay(0.0, {100, 250}, shape, kLens, CoefficientsOf(shape));
    ASSERT_EQ(high.count, 3);
    EXPECT_GT(high.ends[2].y, high.ends[1].y) << shape;
  }
}

TEST(ThickLensTraceRay, MissesAndCrossingsOutsideTheRowsEndTheRay) {
  struct Case {
    LensShape shape;
    Vec pointer;
    double theta;
    int count;
  };
  const Case cases[] = {
      {ParabolicLens, {20, 40}, -1.5, 0},  // misses the entry face: only the move to the pointer
      {EllipticLens, {20, 40}, -1.5, 0},
      {CircularLens, {390, 0}, 1.5, 0},  // meets the entry circle beyond the lens's rows
      {ParabolicLens, {350, 540}, -1.4480778638, 1},  // enters near a tip, leaves beyond the rows
      {ParabolicLens, {357, 54}, 1.4726215556, 1},
      {CircularLens, {350, 540}, -1.4480778638, 1},
  };
  for (const Case &c : cases) {
    const RayPath path = TraceRay(c.theta, c.pointer, c.shape, kLens, CoefficientsOf(c.shape));
    EXPECT_EQ(path.count, c.count) << c.shape << " " << c.theta;
    EXPECT_EQ(path.start.x, c.pointer.x);
    for (int i = 0; i < path.count; ++i) EXPECT_LE(std::fabs(path.ends[i].y - 299.5), 128.0);
  }
}

TEST(ThickLensTraceRay, EveryFanRayMeetsTheFacesOnTheirCurves) {
  const Vec pointers[] = {{0, 172}, {100, 299}, {250, 300}, {399, 427}, {200, 60}, {30, 590}};
  for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
    const FaceCoefficients fc = CoefficientsOf(shape);
    double phase = 0;
    for (int frame = 0; frame < 1000; ++frame, phase = NextFanPhase(phase)) {
      for (const Vec &pointer : pointers) {
        ForEachFanAngle(FanAngleStep(), phase, [&](double theta) {
          const RayPath path = TraceRay(theta, pointer, shape, kLens, fc);
          const auto where = [&] { return testing::Message() << shape << " frame " << frame << " theta " << theta; };
          if (path.count > 0) {
            ASSERT_LT(DistanceFromFace(shape, Face::Entry, fc, path.ends[0]), 1e-6) << where();
          }
          if (path.count > 1) {
            ASSERT_LT(DistanceFromFace(shape, Face::Exit, fc, path.ends[1]), 1e-6) << where();
          }
          if (path.count > 2) {
            const double length = std::hypot(path.ends[2].x - path.ends[1].x, path.ends[2].y - path.ends[1].y);
            ASSERT_NEAR(length, 799, 1e-9) << where();
          }
        });
      }
    }
  }
}

TEST(ThickLensTraceRay, NearAxialFanRaysTakeTheAxialRaysPath) {
  // The fan never holds theta = 0 exactly: at four phases one ray lies about 1e-15 from it.
  std::vector<int> frames;
  double phase = 0;
  for (int frame = 0; frame < 1000; ++frame, phase = NextFanPhase(phase)) {
    ForEachFanAngle(FanAngleStep(), phase, [&](double theta) {
      if (std::fabs(theta) > 1e-9) return;
      frames.push_back(frame);
      EXPECT_NE(theta, 0.0);
      for (LensShape shape : {ParabolicLens, EllipticLens, CircularLens}) {
        const FaceCoefficients fc = CoefficientsOf(shape);
        for (int y = 0; y < 600; ++y) {
          for (double x : {0.0, 150.0, 300.0, 399.0}) {
            const RayPath near = TraceRay(theta, {x, double(y)}, shape, kLens, fc);
            const RayPath axial = TraceRay(0.0, {x, double(y)}, shape, kLens, fc);
            ASSERT_EQ(near.count, axial.count) << shape << " frame " << frame << " at " << x << "," << y;
            for (int i = 0; i < near.count; ++i) {
              ASSERT_NEAR(near.ends[i].x, axial.ends[i].x, 1e-6) << shape << " frame " << frame << " at " << x << "," << y;
              ASSERT_NEAR(near.ends[i].y, axial.ends[i].y, 1e-6) << shape << " frame " << frame << " at " << x << "," << y;
            }
          }
        }
      }
    });
  }
  EXPECT_EQ(frames, (std::vector<int>{0, 250, 500, 750}));
}

TEST(ThickLensFan, RayCountsFollowThePhaseOverAWholeCycle) {
  double phase = 0;
  for (int frame = 0; frame < 1000; ++frame) {
    int count = 0;
    ForEachFanAngle(FanAngleStep(), phase, [&](double) { ++count; });
    const int expected = frame == 0 ? 129 : frame <= 250 ? 128 : frame <= 500 ? 127 : frame <= 750 ? 126 : 125;
    ASSERT_EQ(count, expected) << "frame " << frame << " phase " << phase;
    phase = NextFanPhase(phase);
    ASSERT_EQ(phase == 0.0, frame == 999) << "the 1000th increment passes 1, frame " << frame;
  }
}

TEST(ThickLensFan, PhaseZeroRunsFromStraightUpToStraightDown) {
  std::vector<double> angles;
  ForEachFanAngle(FanAngleStep(), 0.0, [&](double theta) { angles.push_back(theta); });
  ASSERT_EQ(angles.size(), 129u);
  EXPECT_EQ(angles.front(), -std::numbers::pi / 2);
  EXPECT_NEAR(angles.back(), std::numbers::pi / 2, 1e-13);
  EXPECT_EQ(angles[1], angles[0] + std::numbers::pi / 128);
}

}  // namespace
