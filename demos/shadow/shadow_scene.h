// The shadow demo's state and the drawing of one frame through the library.
#pragma once

#include <array>
#include <cstdint>

#include "shadow_optics.h"

namespace shadow {

inline constexpr int kObstacleCount = 50;
using ObstacleField = std::array<Point, kObstacleCount>;

struct ShadowScene {
  int16_t activePage = 0;
  ObstacleField obstacles{};
  int32_t obstacleRadius = 10;
};

// Centres drawn from a generator seeded once with `seed`: x uniform below maxX, then y uniform
// below maxY, obstacle 0 first. A bound of 0 or less leaves that coordinate at 0.
ObstacleField ScatterObstacles(uint32_t seed, int32_t maxX, int32_t maxY);

// The low 32 bits of a millisecond clock that counts from system start.
uint32_t TickCount();

// Draws on the hidden page and shows the one finished last: the first call draws page 0 and
// shows page 1.
void TurnPage(ShadowScene &scene);

// Clears the drawing page, marks every crossing of the sweep from the pointer, then draws the
// obstacles on top.
void DrawShadowFrame(const ShadowScene &scene, int32_t pointerX, int32_t pointerY);

}  // namespace shadow
