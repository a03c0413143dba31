#include "shadow_scene.h"

#include <plotvane/plotvane.h>

#include <chrono>
#include <random>

#include "demo_window.h"
#include "pixel_coord.h"

namespace shadow {

using namespace plotvane;
using demo::PixelCoord;

namespace {

// Uniform whole numbers below n; the distribution's range needs n > 0.
int32_t Below(std::mt19937 &engine, int32_t n) {
  if (n <= 0) return 0;
  return std::uniform_int_distribution<int32_t>(0, n - 1)(engine);
}

}  // namespace

ObstacleField ScatterObstacles(uint32_t seed, int32_t maxX, int32_t maxY) {
  std::mt19937 engine(seed);
  ObstacleField field{};
  for (Point &p : field) {
    p.x = Below(engine, maxX);
    p.y = Below(engine, maxY);
  }
  return field;
}

uint32_t TickCount() {
  const auto since = std::chrono::steady_clock::now().time_since_epoch();
  return static_cast<uint32_t>(std::chrono::duration_cast<std::chrono::milliseconds>(since).count());
}

void TurnPage(ShadowScene &scene) { scene.activePage = demo::FlipPages(scene.activePage); }

void DrawShadowFrame(const ShadowScene &scene, int32_t pointerX, int32_t pointerY) {
  ClearScreen();
  const Point lamp{static_cast<double>(pointerX), static_cast<double>(pointerY)};
  const int16_t lampX = PixelCoord(lamp.x), lampY = PixelCoord(lamp.y);
  const double radius = scene.obstacleRadius;
  SweepRays([&](double angle) {
    const Ray ray = CastRay(lamp, angle, kRayReach);
    for (const Point &centre : scene.obstacles) {
      const auto mark = RayMark(ray, centre, radius);
      if (!mark) continue;
      const int16_t x = PixelCoord(mark->x), y = PixelCoord(mark->y);
      SetDrawColor(NamedColor(ncYellow));
      DrawCircle(x, y, 5);
      DrawLine(lampX, lampY, x, y);
    }
  });
  SetDrawColor(NamedColor(ncWhite));
  const auto r = static_cast<uint16_t>(scene.obstacleRadius);
  for (const Point &centre : scene.obstacles) DrawCircle(PixelCoord(centre.x), PixelCoord(centre.y), r);
}

}  // namespace shadow
