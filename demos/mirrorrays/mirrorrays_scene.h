// The program's state and the drawing of one frame through the library.
#pragma once

#include "mirrorrays_optics.h"

#include <cstdint>

namespace mirrorrays {

struct PointerState {
  int32_t x = 0;
  int32_t y = 0;
  int32_t buttons = 0;  // any non-zero value (a button, Shift or Ctrl) draws the prolongations
};

struct MirrorScene {
  int16_t activePage = 0;
  UnitVectors units;
};

// Draws the coming frame on the hidden page while the page finished last is shown.
void FlipPages(MirrorScene &scene);

PointerState ReadPointer();

// The mirror, then each ray of the fan: its continuation first, then its incident part.
void DrawFrame(MirrorScene &scene, const PointerState &pointer);

}  // namespace mirrorrays
