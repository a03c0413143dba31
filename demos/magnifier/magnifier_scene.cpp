#include "magnifier_scene.h"

#include <plotvane/plotvane.h>

#include "demo_window.h"
#include "pixel_coord.h"

namespace magnifier {

using namespace plotvane;
using demo::PixelCoord;

namespace {

void ComputeFaces(ProgramState &state) {
  Lens &lens = state.lens;
  lens.maxX = ScreenMaxX();
  lens.maxY = ScreenMaxY();
  state.topRow = TopRow(lens);
  state.bottomRow = BottomRow(lens);
  const size_t rows = state.bottomRow > state.topRow ? static_cast<size_t>(state.bottomRow - state.topRow) : 0;
  state.leftFaceX.resize(rows);
  state.rightFaceX.resize(rows);
  for (int face : {kLeftFace, kRightFace}) {
    const auto shape = static_cast<FaceShape>(state.faceShapes[face]);
    std::vector<double> &xs = face == kLeftFace ? state.leftFaceX : state.rightFaceX;
    for (size_t i = 0; i < rows; ++i) xs[i] = FaceRowX(shape, face, state.topRow + static_cast<double>(i), lens);
    ComputeFaceCoefficients(shape, lens, state.coeffs);
  }
}

void DrawBody(const ProgramState &state) {
  SetDrawColor(NamedColor(ncGrey));
  for (size_t i = 0; i < state.leftFaceX.size(); ++i) {
    const auto y = static_cast<int16_t>(state.topRow + static_cast<int32_t>(i));
    DrawLine(PixelCoord(state.leftFaceX[i]), y, PixelCoord(state.rightFaceX[i]), y);
  }
}

void DrawFan(ProgramState &state, int32_t pointerX, int32_t pointerY) {
  SetDrawColor(NamedColor(ncRed));
  state.angleStep = kFanAngleStep;
  const double phase = state.fanPhase;
  state.fanPhase = NextFanPhase(phase);
  const Vec pointer{static_cast<double>(pointerX), static_cast<double>(pointerY)};
  ForEachFanAngle(state.angleStep, phase, [&](double theta) {
    const RayPath path = TraceRay(theta, pointer, state.faceShapes, state.lens, state.coeffs);
    demo::DrawRayPath(path);
  });
}

}  // namespace

void DrawPicture(ProgramState &state, int32_t pointerX, int32_t pointerY) {
  ComputeFaces(state);
  DrawBody(state);
  DrawFan(state, pointerX, pointerY);
}

void FlipPages(ProgramState &state) { state.activePage = demo::FlipPages(state.activePage); }

void ApplyKey(ProgramState &state, uint8_t key) {
  if (key >= '1' && key <= '4') state.faceShapes[kLeftFace] = key - '1';
  if (key >= '5' && key <= '8') state.faceShapes[kRightFace] = key - '5';
}

}  // namespace magnifier
