#include "pixel_coord.h"

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

int32_t CornerCoord(long double v) { return LowBits<int32_t, long double>(v); }

}  // namespace demo
