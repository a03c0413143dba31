// The one pixel conversion of the demonstrations: a real coordinate is rounded to the nearest
// integer, ties to even (the default rounding mode), and its low bits are what the library gets,
// so far-off points wrap around; only the end of a line is first drawn back into a range where
// it cannot. Sound for every value: no conversion here is ever undefined.
#pragma once

#include <cstdint>

#include "extended.h"

namespace demo {

// The low 16 bits as a signed value, for the library's 16-bit coordinates. Exact for every
// finite value, also beyond the 64-bit integer range. NaN gives 0, and so do both infinities:
// every double of magnitude 2^68 or more is a multiple of 65536, so 0 is what the low bits of
// ever larger values settle on.
int16_t PixelCoord(double v);

// How far from the origin a line's end may lie on either axis: far beyond the window on every
// side, and well inside the 16-bit range.
inline constexpr double kLineReach = 16384;

struct PixelPoint {
  int16_t x;
  int16_t y;
};

// Converts the points of a polyline for MoveCursor (Start) and DrawLineTo (LineTo). A line's end
// with a coordinate beyond kLineReach, which would wrap round and send the line to a wrong place,
// is first moved back along the line to where it reaches that bound, so the line keeps its
// direction; the next line starts from there. Ends of a line that itself starts beyond the
// bound, and ends that are no finite number, are converted as they are.
class PixelPolyline {
 public:
  PixelPoint Start(double x, double y);
  PixelPoint LineTo(double x, double y);

 private:
  double atX_ = 0;
  double atY_ = 0;
};

// The low 32 bits as a signed value, for polygon corners. Takes extended precision, as corners
// may be rounded straight from an unstored intermediate. NaN and infinities give 0, as above.
int32_t CornerCoord(long double v);
int32_t CornerCoord(const DoubleDouble &v);

}  // namespace demo
