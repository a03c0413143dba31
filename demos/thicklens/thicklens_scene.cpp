#include "thicklens_scene.h"

#include <plotvane/plotvane.h>

#include "demo_window.h"
#include "pixel_coord.h"

namespace thicklens {

using namespace plotvane;
using demo::PixelCoord;

void ApplyKey(ProgramState &state, uint8_t key) {
  if (key == kSpaceKey) state.lensShape = (state.lensShape + 1) % kLensShapeCount;
}

namespace {

void DrawOutline(ProgramState &state) {
  const uint32_t white = NamedColor(ncWhite);
  TraceOutline(static_cast<LensShape>(state.lensShape), state.lens, state.coeffs, [white](const OutlineRow &r) {
    const int16_t y = PixelCoord(r.y);
    PlotPixel(PixelCoord(r.leftX), y, white);
    PlotPixel(PixelCoord(r.rightX), y, white);
  });
}

void DrawFan(ProgramState &state, int32_t pointerX, int32_t pointerY) {
  SetDrawColor(NamedColor(ncRed));
  const double phase = state.fanPhase;
  state.fanPhase = NextFanPhase(phase);
  const Vec pointer{static_cast<double>(pointerX), static_cast<double>(pointerY)};
  const auto shape = static_cast<LensShape>(state.lensShape);
  ForEachFanAngle(state.angleStep, phase, [&](double theta) {
    const RayPath path = TraceRay(theta, pointer, shape, state.lens, state.coeffs);
    demo::DrawRayPath(path);
  });
}

}  // namespace

void DrawFrame(ProgramState &state, int32_t pointerX, int32_t pointerY) {
  state.activePage = demo::FlipPages(state.activePage);
  ClearScreen();

  // The surface's size is asked afresh each frame, as every other library number is.
  state.lens.maxX = ScreenMaxX();
  state.lens.maxY = ScreenMaxY();
  DrawOutline(state);
  if (pointerX <= state.lens.maxX / 2.0) DrawFan(state, pointerX, pointerY);
}

}  // namespace thicklens
