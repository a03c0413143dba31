// Painting with a brush: the spans of rectangles, ellipses and polygons.
#pragma once

#include <vector>

#include "gdi_internal.h"

namespace pv::gdi {

// Resolves a brush for one drawing call on one target, then paints spans with it under the
// scope's mix and clip. Hatches and patterns are aligned to the DC's brush origin.
class BrushPainter {
 public:
  BrushPainter(DrawScope &scope, const Brush *brush);
  bool Null() const { return kind_ == Kind::None; }
  // Row y, x0 <= x < x1.
  void Span(int y, int x0, int x1);
  // Rows y0 <= y < y1 of the same span.
  void Box(int x0, int y0, int x1, int y1);

 private:
  enum class Kind { None, Solid, Hatch, Pattern };
  DrawScope &scope_;
  Kind kind_ = Kind::None;
  uint32_t fore_ = 0;          // solid colour, hatch lines
  uint32_t back_ = 0;          // hatch gaps in OPAQUE mode
  bool opaque_ = false;
  uint8_t hatchRows_[8] = {};  // bit x set where the hatch has a line in cell column x
  int orgX_ = 0;               // brush origin reduced into the cell
  int orgY_ = 0;
  int tileW_ = 0;
  int tileH_ = 0;
  std::vector<uint32_t> tile_;  // pattern pixels as values of the target
};

}  // namespace pv::gdi
