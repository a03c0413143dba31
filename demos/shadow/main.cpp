// shadow: fifty round obstacles scattered at start-up; nineteen rays from the pointer mark
// every obstacle they cross. Any key ends it, and stays in the queue.
#include <plotvane/plotvane.h>

#include <cstdio>

#include "shadow_scene.h"

using namespace plotvane;

int main() {
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "TORVINDA");
  // Without a shown window no key can ever arrive and the loop below would never end: the
  // opening may also stop part-way (a standard face missing), leaving the window hidden.
  const int16_t openError = GraphError();
  if (!GraphActive() || (openError != grOk && openError != grNoOpenGL)) {
    std::fprintf(stderr, "shadow: the window could not be opened (error %d)\n", openError);
    if (GraphActive()) CloseGraphWindow();
    return 1;
  }
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
