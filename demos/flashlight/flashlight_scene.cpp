#include "flashlight_scene.h"

#include <plotvane/plotvane.h>

namespace flashlight {

using namespace plotvane;

void TurnPage(FlashlightScene &scene) {
  SetDrawPage(static_cast<uint16_t>(scene.activePage));
  scene.activePage = static_cast<int16_t>(1 - scene.activePage);
  SetShowPage(static_cast<uint16_t>(scene.activePage));
}

void ClearGround() {
  SetBackColor(NamedColor(ncGrey));
  ClearScreen();
}

void DrawLampAndShadows(const FlashlightScene &scene, int32_t lampX, int32_t lampY) {
  const uint32_t yellow = NamedColor(ncYellow);
  SetDrawColor(yellow);
  SetFillKind(1, yellow);
  DrawEllipse(LowWord(lampX), LowWord(lampY), 10, 10);
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
  DrawLine(LowWord(RoundToPixel(s.x1)), LowWord(RoundToPixel(s.y1)), LowWord(RoundToPixel(s.x2)),
           LowWord(RoundToPixel(s.y2)));
}

}  // namespace flashlight
