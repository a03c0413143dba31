#include "pixel_coord.h"

#include <algorithm>
#include <cmath>
#include <type_traits>

namespace demo {

namespace {

// Rounds in the value's own type: a double needs no extended-precision call.
template <class Int, class Real>
Int LowBits(Real v) {
  if (!std::isfinite(v)) return 0;
  Real r = std::nearbyint(v);
  // Converting beyond the 64-bit range is undefined; every value that large is an integer, so
  // its low bits come exactly from the remainder.
  if (std::fabs(r) >= Real{0x1p63L}) r = std::fmod(r, Real{0x1p32L});
  using Unsigned = std::make_unsigned_t<Int>;
  return static_cast<Int>(static_cast<Unsigned>(static_cast<int64_t>(r)));
}

}  // namespace

int16_t PixelCoord(double v) { return LowBits<int16_t, double>(v); }

PixelPoint PixelPolyline::Start(double x, double y) {
  atX_ = x;
  atY_ = y;
  return {PixelCoord(x), PixelCoord(y)};
}

PixelPoint PixelPolyline::LineTo(double x, double y) {
  const auto within = [](double v) { return std::fabs(v) <= kLineReach; };
  const bool cut = within(atX_) && within(atY_) && !(within(x) && within(y)) && std::isfinite(x) && std::isfinite(y);
  if (cut) {
    // The share of the line up to the first bound it crosses.
    double t = 1;
    if (!within(x)) t = std::min(t, (std::copysign(kLineReach, x) - atX_) / (x - atX_));
    if (!within(y)) t = std::min(t, (std::copysign(kLineReach, y) - atY_) / (y - atY_));
    x = atX_ + t * (x - atX_);
    y = atY_ + t * (y - atY_);
  }
  return Start(x, y);
}

int32_t CornerCoord(long double v) { return LowBits<int32_t, long double>(v); }

int32_t CornerCoord(const DoubleDouble &v) {
  if (!std::isfinite(v.Hi()) || !std::isfinite(v.Lo())) return 0;
  // Both parts of the nearest integer are integers: their low bits add up modulo 2^32.
  const DoubleDouble r = nearbyint(v);
  const auto hi = static_cast<uint32_t>(LowBits<int32_t, double>(r.Hi()));
  const auto lo = static_cast<uint32_t>(LowBits<int32_t, double>(r.Lo()));
  return static_cast<int32_t>(hi + lo);
}

}  // namespace demo
