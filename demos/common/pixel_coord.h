// The one pixel conversion of the demonstrations: a real coordinate is rounded to the nearest
// integer, ties to even (the default rounding mode), and its low bits are what the library gets,
// so far-off points wrap around. Sound for every value: no conversion here is ever undefined.
#pragma once

#include <cstdint>

namespace demo {

// The low 16 bits as a signed value, for the library's 16-bit coordinates. Exact for every
// finite value, also beyond the 64-bit integer range. NaN gives 0, and so do both infinities:
// every double of magnitude 2^68 or more is a multiple of 65536, so 0 is what the low bits of
// ever larger values settle on.
int16_t PixelCoord(double v);

// The low 32 bits as a signed value, for polygon corners. Takes extended precision, as corners
// may be rounded straight from an unstored intermediate. NaN and infinities give 0, as above.
int32_t CornerCoord(long double v);

}  // namespace demo
