#include "extended.h"

#include <array>
#include <limits>

namespace demo {

namespace {

using DD = DoubleDouble;

// pi/2 in three parts, about 160 bits in all.
constexpr double kHalfPi1 = 0x1.921fb54442d18p+0;
constexpr double kHalfPi2 = 0x1.1a62633145c07p-54;
constexpr double kHalfPi3 = -0x1.f1976b7ed8fbcp-110;

// Beyond this the quarter turns taken off lose bits of the three-part pi/2.
constexpr double kReducedReach = 0x1p20;

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

// (-1)^(n/2) / n! for n = 0..kTerms-1: the Taylor coefficients of cos (even n) and sin (odd n).
// Up to 28!: the first term left out is below 2^-106 of the result for |r| <= pi/4.
constexpr int kTerms = 29;

// sin(r) (odd) or cos(r) (even) by Horner's rule in r^2, all in pairs: slow, for the table.
DD Taylor(const DD &r, bool odd) {
  std::array<DD, kTerms> c{};
  DD inverse(1.0);
  for (int n = 0; n < kTerms; ++n) {
    if (n > 0) inverse = inverse / DD(static_cast<double>(n));
    c[static_cast<size_t>(n)] = (n / 2) % 2 ? -inverse : inverse;
  }
  const DD z = r * r;
  int n = kTerms - 1;
  if ((n % 2 == 1) != odd) --n;
  DD sum = c[static_cast<size_t>(n)];
  for (n -= 2; n >= 0; n -= 2) sum = sum * z + c[static_cast<size_t>(n)];
  return odd ? sum * r : sum;
}

// sin and cos of j/256 for j = 0..201, which reaches past pi/4.
constexpr double kStep = 1.0 / 256;
constexpr int kSteps = 202;
const std::array<SineCosine<DD>, kSteps> &Table() {
  static const std::array<SineCosine<DD>, kSteps> table = [] {
    std::array<SineCosine<DD>, kSteps> t;
    for (int j = 0; j < kSteps; ++j) t[static_cast<size_t>(j)] = {Taylor(DD(j * kStep), true), Taylor(DD(j * kStep), false)};
    return t;
  }();
  return table;
}

// 1/6 as a pair.
constexpr DD kSixth = DD::Normalized(0x1.5555555555555p-3, 0x1.5555555555555p-57);

// sin and cos of r, |r| <= pi/4 + a hair: from the table's nearest point r0, and sin and cos of
// the rest e = r - r0 (|e| <= 1/512) by their series. The series' terms from e^4 on are below
// 2^-36 of the result and taken in doubles.
SineCosine<DD> Reduced(const DD &r) {
  const bool negative = r.Hi() < 0;
  const DD a = negative ? -r : r;
  const int j = static_cast<int>(std::nearbyint(a.Hi() / kStep));
  const SineCosine<DD> &t = Table()[static_cast<size_t>(j)];
  const DD e = a - DD(j * kStep);
  const DD z = e * e;
  const double w = z.Hi();
  const DD sinE = e * (DD(1.0) - z * kSixth + DD(w * w * (1.0 / 120 - w * (1.0 / 5040 - w / 362880))));
  const DD cosE = DD(1.0) - z * DD(0.5) + DD(w * w * (1.0 / 24 - w * (1.0 / 720 - w / 40320)));
  const DD sin = t.sin * cosE + t.cos * sinE;
  return {negative ? -sin : sin, t.cos * cosE - t.sin * sinE};
}

}  // namespace

SineCosine<DoubleDouble> SinCos(const DoubleDouble &x) {
  if (!std::isfinite(x.Hi()) || !std::isfinite(x.Lo())) return {DD(kNaN), DD(kNaN)};
  if (std::fabs(x.Hi()) > kReducedReach) {
    const long double v = static_cast<long double>(x.Hi()) + x.Lo();
    return {DD(std::sin(v)), DD(std::cos(v))};
  }
  // x less a whole number k of quarter turns; k names the quarter of the turn.
  const double k = std::nearbyint(x.Hi() / kHalfPi1);
  const DD r = x - DD::Product(k, kHalfPi1) - DD::Product(k, kHalfPi2) - DD(k * kHalfPi3);
  const SineCosine<DD> v = Reduced(r);
  switch ((static_cast<int>(k) % 4 + 4) % 4) {
    case 0: return v;
    case 1: return {v.cos, -v.sin};
    case 2: return {-v.sin, -v.cos};
    default: return {-v.cos, v.sin};
  }
}

DoubleDouble operator/(const DoubleDouble &a, const DoubleDouble &b) {
  const double q1 = a.Hi() / b.Hi();
  if (!std::isfinite(q1) || b.Hi() == 0) return DD(q1);
  // Long division: each step takes the next 53 bits of the quotient from the remainder.
  DD r = a - DD::Product(q1, b.Hi()) - DD(q1 * b.Lo());
  const double q2 = r.Hi() / b.Hi();
  r = r - b * DD(q2);
  const double q3 = r.Hi() / b.Hi();
  return DD::Normalized(q1, q2) + DD(q3);
}

DoubleDouble sqrt(const DoubleDouble &v) {
  if (v.Hi() == 0) return v;
  if (v.Hi() < 0) return DD(kNaN);
  if (std::isinf(v.Hi())) return v;
  // One Newton step from the double root: the error of that root, worked out exactly.
  const double x = 1 / std::sqrt(v.Hi());
  const double root = v.Hi() * x;
  return DD::Sum(root, (v - DD::Product(root, root)).Hi() * (x * 0.5));
}

DoubleDouble atan(const DoubleDouble &x) {
  if (std::isnan(x.Hi())) return x;
  if (std::isinf(x.Hi())) {
    const DD halfPi = DD::Normalized(kHalfPi1, kHalfPi2);
    return x.Hi() > 0 ? halfPi : -halfPi;
  }
  // atan(x) = a0 + atan(d), with d = tan(atan(x) - a0) = (x c - s) / (c + x s) for s, c the sine
  // and cosine of a0. d is a double's rounding of the angle, so small that atan(d) = d far
  // beyond 106 bits, and a double quotient of it is exact enough; only its numerator, which
  // cancels, needs the pairs.
  const double a0 = std::atan(x.Hi());
  const SineCosine<DD> sc = SinCos(DD(a0));
  const double d = (x * sc.cos - sc.sin).Hi() / (sc.cos.Hi() + x.Hi() * sc.sin.Hi());
  return DD::Sum(a0, d);
}

DoubleDouble nearbyint(const DoubleDouble &v) {
  const double hi = v.Hi(), lo = v.Lo();
  if (!std::isfinite(hi)) return v;
  const double r = std::nearbyint(hi);
  if (r != hi) {
    // hi has a fraction, so its ulp is below 1 and lo below half of that: only a hi halfway
    // between two integers leaves the choice to lo.
    const double d = hi - r;
    if (std::fabs(d) == 0.5 && lo != 0 && (lo > 0) == (d > 0)) return DD(r + 2 * d);
    return DD(r);
  }
  // hi is an integer; a lo with a half makes the tie, broken to the even sum.
  double rl = std::nearbyint(lo);
  if (std::fabs(lo - rl) == 0.5 && std::fmod(hi, 2.0) != 0) rl = 2 * lo - rl;
  return DD::Normalized(hi, rl);
}

}  // namespace demo
