// The program's state and the drawing of one frame through the library.
#pragma once

#include "lightbeam_optics.h"

#include <cstdint>

namespace lightbeam {

struct PointerState {
  int32_t x = 0;
  int32_t y = 0;
};

struct BeamScene {
  int16_t activePage = 0;
};

PointerState ReadPointer();

// Draws the coming frame on the hidden page while the page finished last is shown.
void FlipPages(BeamScene &scene);

// Aims the beam at the pointer and walks the ground: red ground dots column by column, and for
// each ray met its grey line back to the lamp, its white meeting point and its white dot across
// the beam.
WalkEnd DrawFrame(const PointerState &pointer);

}  // namespace lightbeam
