// The demonstrations' one pixel conversion: nearest integer with ties to even, low bits kept,
// a defined result for every value, also those no conversion to an integer could take, and
// line ends that keep their line's direction.
#include "pixel_coord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

TEST(PixelConversion, CoordinatesRoundToNearestEvenAndKeepTheLowSixteenBits) {
  const struct {
    double v;
    int16_t expected;
  } cases[] = {
      // Ties to even, on both sides of 0: cy = 299.5 puts the lens rows on even pixels.
      {0.5, 0}, {1.5, 2}, {2.5, 2}, {-0.5, 0}, {-1.5, -2}, {-2.5, -2}, {-0.0, 0},
      {171.5, 172}, {172.5, 172}, {399.5, 400}, {427.5, 428}, {498.5, 498}, {499.5, 500},
      {209.5, 210}, {210.5, 210}, {2.4999, 2}, {545.6, 546}, {-746.4, -746}, {1744.58, 1745},
      // Outside the 16-bit range the value wraps around.
      {32767, 32767}, {32767.5, -32768}, {32768, -32768}, {-32769, 32767}, {65535, -1},
      {65536 + 7, 7}, {65536 + 35.2, 35}, {65541, 5}, {70000.2, 4464}, {-65537.2, -1},
      // Where doubles are only whole numbers, or even ones, the tie still goes to the even side.
      {0x1p52 - 1.5, -2}, {0x1p52 - 0.5, 0}, {0x1p62 + 0x1p15, -32768},
      // At and beyond the 64-bit integer range: the low bits of the exact integer.
      {0x1p63 - 1024, -1024}, {-0x1p63, 0}, {0x1p63 + 2048, 2048}, {-(0x1p63 + 2048), -2048},
      {0x1p64 + 12288, 12288}, {-(0x1p64 + 12288), -12288}, {0x1p67 + 0x1p15, -32768},
      // Large powers of ten are multiples of 65536, as is every double from 2^68 on.
      {1e19, 0}, {-1e19, 0}, {1e30, 0}, {-1e30, 0}, {1e300, 0}, {std::numeric_limits<double>::max(), 0},
      {-std::numeric_limits<double>::max(), 0},
      // Not a number, and the infinities that continue the values above.
      {kNaN, 0}, {-kNaN, 0}, {kInf, 0}, {-kInf, 0},
  };
  for (const auto &c : cases) EXPECT_EQ(demo::PixelCoord(c.v), c.expected) << c.v;
}

TEST(PixelConversion, WholeNumbersWrapAcrossEveryBoundaryAlike) {
  // Across the 16-bit boundaries and the 64-bit one, a quarter off each whole number.
  for (int64_t k = -140000; k <= 140000; k += 7) {
    const auto expected = static_cast<int16_t>(k);
    EXPECT_EQ(demo::PixelCoord(static_cast<double>(k) + 0.25), expected) << k;
    EXPECT_EQ(demo::PixelCoord(static_cast<double>(k) - 0.25), expected) << k;
  }
  // Doubles near 2^63 step by 1024 or 2048; their low bits follow the step on both sides.
  for (int step = -64; step <= 64; ++step) {
    const double v = 0x1p63 + step * 2048.0;
    EXPECT_EQ(demo::PixelCoord(v), static_cast<int16_t>(step * 2048)) << step;
    EXPECT_EQ(demo::PixelCoord(-v), static_cast<int16_t>(-step * 2048)) << step;
  }
}

TEST(PixelConversion, LineEndsBeyondTheReachAreDrawnBackAlongTheLineInsteadOfWrapping) {
  const struct {
    double fromX, fromY, toX, toY;
    int16_t x, y;
  } cases[] = {
      // A nearly vertical edge line of magnifier: plain conversion would wrap 328173 to row 516.
      {500, 300, 799, 328173, 515, 16384},
      {100, 200, -70000, 200.4, -16384, 200},
      {0, 0, 40000, 80000, 8192, 16384},  // the bound met first cuts the line
      {10, 10, 16384, -16384, 16384, -16384},  // at the reach: kept
      // A line that starts beyond the reach, and an end that is no number, convert as they are.
      {20000, 0, 70000, 5, 4464, 5},
      {0, 0, std::numeric_limits<double>::infinity(), 3, 0, 3},
  };
  for (const auto &c : cases) {
    demo::PixelPolyline line;
    line.Start(c.fromX, c.fromY);
    const demo::PixelPoint end = line.LineTo(c.toX, c.toY);
    EXPECT_EQ(end.x, c.x) << c.toX << " " << c.toY;
    EXPECT_EQ(end.y, c.y) << c.toX << " " << c.toY;
  }
  // The next line starts where the cut one ended, not beyond the reach.
  demo::PixelPolyline line;
  line.Start(0, 0);
  line.LineTo(0, 50000);
  const demo::PixelPoint next = line.LineTo(40000, 16000);
  EXPECT_EQ(next.x, 16384);
  EXPECT_EQ(next.y, 16227);
}

TEST(PixelConversion, PolygonCornersKeepTheLowThirtyTwoBitsOfExtendedValues) {
  const struct {
    long double v;
    int32_t expected;
  } cases[] = {
      {0.5L, 0}, {1.5L, 2}, {2.5L, 2}, {-1.5L, -2}, {-507.1L, -507}, {1294.4L, 1294}, {-694.5L, -694},
      // Just above a tie at extended precision: stored as a double first it would round down.
      {0.5L + 0x1p-60L, 1}, {-(2.5L + 0x1p-60L), -3},
      {65535.0L, 65535}, {70000.2L, 70000},
      // Wrapping beyond 32 bits, and exact low bits beyond 64.
      {0x1p31L, std::numeric_limits<int32_t>::min()}, {0x1p32L + 5, 5}, {-(0x1p32L + 5), -5},
      {1e12L, -727379968}, {0x1p64L + 24690, 24690}, {-(0x1p64L + 24690), -24690},
      {0x1p70L + 0x1p31L, std::numeric_limits<int32_t>::min()},
      {1e30L, 0}, {std::numeric_limits<long double>::max(), 0},
      {std::numeric_limits<long double>::quiet_NaN(), 0},
      {std::numeric_limits<long double>::infinity(), 0}, {-std::numeric_limits<long double>::infinity(), 0},
  };
  for (const auto &c : cases) EXPECT_EQ(demo::CornerCoord(c.v), c.expected) << static_cast<double>(c.v);
}

}  // namespace
