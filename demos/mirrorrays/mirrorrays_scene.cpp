#include "mirrorrays_scene.h"

#include <plotvane/plotvane.h>

namespace mirrorrays {

namespace {

void DrawSegment(const Vec2 &from, const Vec2 &to) {
  plotvane::DrawLine(PixelCoordinate(from.x), PixelCoordinate(from.y), PixelCoordinate(to.x), PixelCoordinate(to.y));
}

}  // namespace

void FlipPages(MirrorScene &scene) {
  plotvane::SetDrawPage(static_cast<uint16_t>(scene.activePage));
  scene.activePage = static_cast<int16_t>(1 - scene.activePage);
  plotvane::SetShowPage(static_cast<uint16_t>(scene.activePage));
}

PointerState ReadPointer() {
  return {plotvane::MouseX(), plotvane::MouseY(), plotvane::MouseButtons()};
}

void DrawFrame(MirrorScene &scene, const PointerState &pointer) {
  const int rayCount = kRayCount;
  const MirrorGeometry geometry = MirrorGeometryFor(plotvane::ScreenMaxX(), plotvane::ScreenMaxY());
  DrawSegment(geometry.mirrorStart, geometry.mirrorEnd);
  const bool backwards = pointer.buttons != 0;
  for (int i = 0; i < rayCount; ++i) {
    const TracedRay ray = TraceRay(i, rayCount, pointer.x, pointer.y, backwards, geometry, scene.units);
    if (ray.meetsMirror) DrawSegment(ray.end, ray.continuationEnd);
    DrawSegment(ray.start, ray.end);
  }
}

}  // namespace mirrorrays
