// shadow: fifty round obstacles scattered at start-up; nineteen rays from the pointer mark
// every obstacle they cross. Any key ends it, and stays in the queue.
#include <plotvane/plotvane.h>

#include "demo_window.h"
#include "shadow_scene.h"

using namespace plotvane;

int main() {
  if (!demo::OpenDemoWindow("shadow", "TORVINDA")) return 1;
  shadow::ShadowScene scene;
  scene.obstacles = shadow::ScatterObstacles(shadow::TickCount(), ScreenMaxX(), ScreenMaxY());
  for (;;) {
    const int32_t pointerX = MouseX(), pointerY = MouseY();
    shadow::TurnPage(scene);
    shadow::DrawShadowFrame(scene, pointerX, pointerY);
    if (KeyWaiting()) break;
  }
  CloseGraphWindow();
  return 0;
}
