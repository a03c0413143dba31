#include "pixel_coord.h"

#include <cmath>
#include <type_traits>

namespace demo {

namespace {

template <class Int>
Int LowBits(long double v) {
  if (!std::isfinite(v)) return 0;
  long double r = std::nearbyint(v);
  // Converting beyond the 64-bit range is undefined; every value that large is an integer, so
  // its low bits come exactly from the remainder.
  if (std::fabs(r) >= 0x1p63L) r = std::fmod(r, 0x1p32L);
  using Unsigned = std::make_unsigned_t<Int>;
  return static_cast<Int>(static_cast<Unsigned>(static_cast<int64_t>(r)));
}

}  // namespace

int16_t PixelCoord(double v) { return LowBits<int16_t>(v); }

int32_t CornerCoord(long double v) { return LowBits<int32_t>(v); }

}  // namespace demo
