#include "lightbeam_scene.h"

#include <plotvane/plotvane.h>

#include "demo_window.h"
#include "pixel_coord.h"

namespace lightbeam {

using demo::PixelCoord;

namespace {

// Draws what the walk reports, as it reports it, so later rays cover earlier dots.
struct FrameSink {
  uint32_t grey, white, red;
  int16_t lampY;

  void Ground(int32_t x, double h) const {
    plotvane::PlotPixel(static_cast<int16_t>(x), PixelCoord(h), red);
  }

  void Hit(const RayHit &hit) const {
    const auto x = static_cast<int16_t>(hit.x), y = static_cast<int16_t>(hit.y);
    plotvane::SetDrawColor(grey);
    plotvane::DrawLine(x, y, 0, lampY);
    plotvane::PlotPixel(x, y, white);
    plotvane::PlotPixel(PixelCoord(hit.dotX), PixelCoord(hit.dotY), white);
  }
};

}  // namespace

PointerState ReadPointer() { return {plotvane::MouseX(), plotvane::MouseY()}; }

void FlipPages(BeamScene &scene) { scene.activePage = demo::FlipPages(scene.activePage); }

WalkEnd DrawFrame(const PointerState &pointer) {
  const BeamAim aim = AimBeam(pointer.x, pointer.y, kSourceY);
  // Named colours are taken by their current values.
  const FrameSink sink{plotvane::NamedColor(plotvane::ncGrey), plotvane::NamedColor(plotvane::ncWhite),
                       plotvane::NamedColor(plotvane::ncRed), PixelCoord(kSourceY)};
  return WalkGround(aim, plotvane::ScreenMaxX(), sink, kSourceY);
}

}  // namespace lightbeam
