// The pair of doubles that stands in for long double in the WebAssembly build: its operations
// against x86's 80-bit ones, and the rounding of its values to polygon corners.
#include "extended.h"
#include "pixel_coord.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace {

using demo::DoubleDouble;

long double Value(const DoubleDouble &v) { return static_cast<long double>(v.Hi()) + v.Lo(); }

// Each operation over a spread of arguments, within two units of the 64-bit long double result,
// which rounds once or twice along the way (the pair holds 106 bits, the more exact of the two;
// a pair that dropped its low part would be some 2000 units off). Sine and cosine within two
// units of 1, over the programs' angles: Windows' long double sine and cosine are off by more
// than that near multiples of pi/2 and beyond a few turns (their reduction is short of bits).
TEST(DoubleDouble, OperationsAgreeWithLongDoubleToItsLastBits) {
  const double args[] = {1e-30, 1e-9, 0.1, 0.5, 0.7853981633974483, 1, 1.5707963267948966, 2, 3, 3.14159,
                         4.71238898038469, 10, 499.5, 1234.5678, 1e6, 123456789.125, 1e15};
  const auto check = [](long double expected, const DoubleDouble &got, const char *what, double x,
                        long double scale) {
    const long double unit = std::fabs(std::nextafter(scale, 2 * scale) - scale);
    EXPECT_LE(std::fabs(Value(got) - expected), 2 * unit) << what << " " << x;
  };
  for (const double a : args) {
    for (const double x : {a, -a}) {
      const long double lx = x;
      const DoubleDouble dx(x);
      const auto same = [&](long double expected, const DoubleDouble &got, const char *what) {
        check(expected, got, what, x, expected);
      };
      same(lx * lx / 3, dx * dx / DoubleDouble(3.0), "x*x/3");
      same(lx + 1.0L / 3 - 1e-3L, dx + DoubleDouble(1.0) / DoubleDouble(3.0) - DoubleDouble(1e-3L), "x+1/3-1e-3");
      same(std::atan(lx), atan(dx), "atan");
      same(std::atan(lx / 7), atan(dx / DoubleDouble(7.0)), "atan(x/7)");
      if (x > 0) same(std::sqrt(lx), sqrt(dx), "sqrt");
      if (a <= 10) {
        const demo::SineCosine<DoubleDouble> sc = demo::SinCos(dx);
        check(std::sin(lx), sc.sin, "sin", x, 1);
        check(std::cos(lx), sc.cos, "cos", x, 1);
      }
    }
  }
  EXPECT_TRUE(std::isnan(sqrt(DoubleDouble(-1.0)).Hi()));
  EXPECT_EQ(atan(DoubleDouble(std::numeric_limits<double>::infinity())).Hi(), 1.5707963267948966);
  EXPECT_TRUE(std::isnan(demo::SinCos(DoubleDouble(std::numeric_limits<double>::infinity())).cos.Hi()));
}

// A pair's low part can carry what decides the rounding: ties broken by it, and low bits of
// values beyond a double's integers.
TEST(DoubleDouble, PolygonCornersRoundTheWholeValue) {
  const double inf = std::numeric_limits<double>::infinity();
  const struct {
    double hi, lo;
    int32_t expected;
  } cases[] = {
      {0.5, 0, 0},           {1.5, 0, 2},         {2.5, 0, 2},          {-2.5, 0, -2},
      {0.5, 1e-30, 1},       {2.5, -1e-30, 2},    {2.5, 1e-30, 3},      {-2.5, -1e-30, -3},
      {-507.1, 0, -507},     {3, -1e-20, 3},      {0x1p53, 1, 1},       {0x1p53, -0.5, 0},
      {0x1p52 + 1, 0.5, 2},  {0x1p52 + 1, -0.5, 0}, {0x1p53 + 2, 1, 3},  {0x1p60, 37.75, 38},
      {0x1p64, -24690, -24690}, {inf, 0, 0},      {std::numeric_limits<double>::quiet_NaN(), 0, 0},
  };
  for (const auto &c : cases) {
    const DoubleDouble v = DoubleDouble::Sum(c.hi, c.lo);
    EXPECT_EQ(demo::CornerCoord(v), c.expected) << c.hi << " + " << c.lo;
  }
}

}  // namespace
