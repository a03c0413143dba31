// The demonstrations' extended precision: `Extended` is what their intermediates are held in.
// On x86 (native and Windows builds) it is long double, the 80-bit hardware format. In
// WebAssembly long double is a 128-bit format done in software, dozens of times slower, so
// there `Extended` is a DoubleDouble: two doubles, 106 significant bits, from plain double
// operations. Over the programs' inputs it gives the very doubles and pixels WebAssembly's long
// double gave; x86's 80 bits, rounding twice, differ from both by a unit now and then.
#pragma once

#include <cmath>

namespace demo {

// The unevaluated sum hi + lo with hi the double nearest to it, so the value as a double is hi.
class DoubleDouble {
 public:
  constexpr DoubleDouble() = default;
  constexpr DoubleDouble(double v) : hi_(v) {}  // NOLINT: as implicit as double to long double
  // A long double constant, split: exact wherever long double has at most 106 bits.
  explicit constexpr DoubleDouble(long double v)
      : hi_(static_cast<double>(v)), lo_(static_cast<double>(v - static_cast<double>(v))) {}

  constexpr double Hi() const { return hi_; }
  constexpr double Lo() const { return lo_; }
  explicit constexpr operator double() const { return hi_; }

  // hi + lo, given |hi| >= |lo| or hi = 0.
  static constexpr DoubleDouble Normalized(double hi, double lo) {
    const double s = hi + lo;
    return Raw(s, lo - (s - hi));
  }
  // a + b exactly.
  static constexpr DoubleDouble Sum(double a, double b) {
    const double s = a + b, bb = s - a;
    return Raw(s, (a - (s - bb)) + (b - bb));
  }
  // a * b exactly (Dekker's product: no fused multiply-add needed, which WebAssembly lacks).
  static constexpr DoubleDouble Product(double a, double b) {
    const double p = a * b;
    double ah, al, bh, bl;
    Split(a, ah, al);
    Split(b, bh, bl);
    return Raw(p, ((ah * bh - p) + ah * bl + al * bh) + al * bl);
  }

  constexpr DoubleDouble operator-() const { return Raw(-hi_, -lo_); }

  friend constexpr DoubleDouble operator+(const DoubleDouble &a, const DoubleDouble &b) {
    const DoubleDouble s = Sum(a.hi_, b.hi_), t = Sum(a.lo_, b.lo_);
    const DoubleDouble u = Normalized(s.hi_, s.lo_ + t.hi_);
    return Normalized(u.hi_, u.lo_ + t.lo_);
  }
  friend constexpr DoubleDouble operator-(const DoubleDouble &a, const DoubleDouble &b) { return a + -b; }
  friend constexpr DoubleDouble operator*(const DoubleDouble &a, const DoubleDouble &b) {
    const DoubleDouble p = Product(a.hi_, b.hi_);
    return Normalized(p.hi_, p.lo_ + (a.hi_ * b.lo_ + a.lo_ * b.hi_));
  }
  friend DoubleDouble operator/(const DoubleDouble &a, const DoubleDouble &b);

  friend constexpr bool operator==(const DoubleDouble &a, const DoubleDouble &b) {
    return a.hi_ == b.hi_ && a.lo_ == b.lo_;
  }
  friend constexpr bool operator<(const DoubleDouble &a, const DoubleDouble &b) {
    return a.hi_ < b.hi_ || (a.hi_ == b.hi_ && a.lo_ < b.lo_);
  }

 private:
  static constexpr DoubleDouble Raw(double hi, double lo) {
    DoubleDouble v;
    v.hi_ = hi;
    v.lo_ = lo;
    return v;
  }
  // v = h + l with h and l of at most 26 significant bits each.
  static constexpr void Split(double v, double &h, double &l) {
    const double t = 134217729.0 * v;  // 2^27 + 1
    h = t - (t - v);
    l = v - h;
  }

  double hi_ = 0;
  double lo_ = 0;
};

// The functions generic code reaches through `using std::sqrt;` and the like (and SinCos).
inline DoubleDouble fabs(const DoubleDouble &v) { return v < DoubleDouble(0.0) ? -v : v; }
DoubleDouble sqrt(const DoubleDouble &v);

template <class T>
struct SineCosine {
  T sin, cos;
};
// Both at once, as the programs want both of an angle. To about 2^-92 of the larger of the two;
// beyond |x| of 2^20 through the platform's long double.
inline SineCosine<long double> SinCos(long double x) { return {std::sin(x), std::cos(x)}; }
SineCosine<DoubleDouble> SinCos(const DoubleDouble &x);
// To about 2^-100 relative.
DoubleDouble atan(const DoubleDouble &x);
// The nearest integer, ties to even, as hi + lo (both integers).
DoubleDouble nearbyint(const DoubleDouble &v);

// pi in precision T: long double's own, and for a pair of doubles the pair nearest pi whatever
// long double's width, so x86's tests of the pair see the WebAssembly build's constant.
template <class T>
inline constexpr T kPi = T(3.141592653589793238462643383279502884L);
template <>
inline constexpr DoubleDouble kPi<DoubleDouble> = DoubleDouble::Normalized(0x1.921fb54442d18p+1, 0x1.1a62633145c07p-53);

#if defined(__wasm__)
using Extended = DoubleDouble;
#else
using Extended = long double;
#endif

}  // namespace demo
