// The program's state and the drawing of one frame through the library, apart from the loop so
// that tests can draw single frames.
#pragma once

#include <cstdint>

#include "thicklens_optics.h"

namespace thicklens {

inline constexpr uint8_t kSpaceKey = 32;
inline constexpr uint8_t kEscKey = 27;

struct ProgramState {
  int32_t lensShape = ParabolicLens;
  double fanPhase = 0.0;
  int16_t activePage = 0;
  double angleStep = FanAngleStep();
  Lens lens;
  FaceCoefficients coeffs;
};

// Space selects the next outline; every other code changes nothing.
void ApplyKey(ProgramState &state, uint8_t key);

// Flips the pages, clears the new drawing page, draws the outline and, while the pointer is
// in the left half, the fan (advancing its phase).
void DrawFrame(ProgramState &state, int32_t pointerX, int32_t pointerY);

}  // namespace thicklens
