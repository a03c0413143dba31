// The flashlight's state and the drawing of one frame through the library.
#pragma once

#include <cstdint>

#include "flashlight_optics.h"

namespace flashlight {

struct FlashlightScene {
  int16_t activePage = 0;
  int32_t shadowLength = kShadowLength;
};

// Draws on the hidden page and shows the one finished last: the first call draws page 0 and
// shows page 1.
void TurnPage(FlashlightScene &scene);

// Clears the drawing page to the grey ground.
void ClearGround();

// The lamp's disc, then each segment's shadow followed by the segment itself.
void DrawLampAndShadows(const FlashlightScene &scene, int32_t lampX, int32_t lampY);

// Fills and outlines the shadow of `s` in black, then draws `s` in white over it.
void CastShadow(const FlashlightScene &scene, const Segment &s, int32_t lampX, int32_t lampY);

}  // namespace flashlight
