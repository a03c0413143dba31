// The program's state and one frame's drawing through the library, apart from the loop so
// that tests can draw single frames.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "magnifier_optics.h"

namespace magnifier {

inline constexpr uint8_t kEscKey = 27;

struct ProgramState {
  std::array<int32_t, 2> faceShapes{CircularFace, CircularFace};
  Lens lens;
  double angleStep = kFanAngleStep;
  double fanPhase = 0.0;
  int32_t activePage = 0;
  FaceCoefficients coeffs;
  int32_t topRow = 0;
  int32_t bottomRow = 0;
  // Face x per lens row, indexed from topRow.
  std::vector<double> leftFaceX;
  std::vector<double> rightFaceX;
};

// Draws the lens body and the fan of this frame on the current drawing page.
void DrawPicture(ProgramState &state, int32_t pointerX, int32_t pointerY);

// Makes the page just drawn the shown one and the next drawing page the other.
void FlipPages(ProgramState &state);

// Keys 1 to 4 choose the left face, 5 to 8 the right face; every other code changes nothing.
void ApplyKey(ProgramState &state, uint8_t key);

}  // namespace magnifier
