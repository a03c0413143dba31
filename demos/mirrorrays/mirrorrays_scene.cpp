#include "mirrorrays_scene.h"

#include <plotvane/plotvane.h>

#include "demo_window.h"
#include "pixel_coord.h"

namespace mirrorrays {

namespace {

void DrawSegment(const Vec2 &from, const Vec2 &to) {
  using demo::PixelCoord;
  plotvane::DrawLine(PixelCoord(from.x), PixelCoord(from.y), PixelCoord(to.x), PixelCoord(to.y));
}

}  // namespace

void FlipPages(MirrorScene &scene) { scene.activePage = demo::FlipPages(scene.activePage); }

PointerState ReadPointer() {
  return {plotvane::MouseX(), plotvane::MouseY(), plotvane::MouseButtons()};
}

void DrawFrame(MirrorScene &scene, const PointerState &pointer) {
  const int rayCount = kRayCount;
  const MirrorGeometry geometry = MirrorGeometryFor(plotvane::ScreenMaxX(), plotvane::ScreenMaxY());
  DrawSegment(geometry.mirrorStart, geometry.mirrorEnd);
  const bool backwards = pointer.buttons != 0;
  const double centre = FanCentre(pointer.x, pointer.y, geometry);
  for (int i = 0; i < rayCount; ++i) {
    const TracedRay ray = TraceRay(i, rayCount, centre, backwards, geometry, scene.units);
    if (ray.meetsMirror) DrawSegment(ray.end, ray.continuationEnd);
    DrawSegment(ray.start, ray.end);
  }
}

}  // namespace mirrorrays
