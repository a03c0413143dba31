#include "flashlight_scene.h"

#include <plotvane/plotvane.h>

#include "demo_window.h"
#include "pixel_coord.h"

namespace flashlight {

using namespace plotvane;
using demo::PixelCoord;

void TurnPage(FlashlightScene &scene) { scene.activePage = demo::FlipPages(scene.activePage); }

void ClearGround() {
  SetBackColor(NamedColor(ncGrey));
  ClearScreen();
}

void DrawLampAndShadows(const FlashlightScene &scene, int32_t lampX, int32_t lampY) {
  const uint32_t yellow = NamedColor(ncYellow);
  SetDrawColor(yellow);
  SetFillKind(1, yellow);
  // The pointer's coordinates (0 to 65535) pass as their low 16 bits, as every coordinate does.
  DrawEllipse(static_cast<int16_t>(lampX), static_cast<int16_t>(lampY), 10, 10);
  for (const Segment &s : kSegments) CastShadow(scene, s, lampX, lampY);
}

void CastShadow(const FlashlightScene &scene, const Segment &s, int32_t lampX, int32_t lampY) {
  const ShadowQuad quad = ShadowCorners(s, lampX, lampY, scene.shadowLength);
  PolygonPoint shadowQuad[4];
  for (int i = 0; i < 4; ++i) shadowQuad[i] = {quad[i].x, quad[i].y};

  const uint32_t black = NamedColor(ncBlack);
  SetDrawColor(black);
  SetFillKind(1, black);
  FillPolygonShape(4, shadowQuad);

  SetDrawColor(NamedColor(ncWhite));
  DrawLine(PixelCoord(s.x1), PixelCoord(s.y1), PixelCoord(s.x2), PixelCoord(s.y2));
}

}  // namespace flashlight
