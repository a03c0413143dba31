// flashlight: the pointer is a lamp; a box and a bar throw black shadows on a grey ground.
// Any key ends it, and stays in the queue.
#include <plotvane/plotvane.h>

#include <cstdio>

#include "flashlight_scene.h"

using namespace plotvane;

int main() {
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "MIVOSTA");
  // Without a shown window no key can ever arrive and the loop below would never end: the
  // opening may also stop part-way (a standard face missing), leaving the window hidden.
  const int16_t openError = GraphError();
  if (!GraphActive() || (openError != grOk && openError != grNoOpenGL)) {
    std::fprintf(stderr, "flashlight: the window could not be opened (error %d)\n", openError);
    if (GraphActive()) CloseGraphWindow();
    return 1;
  }
  flashlight::FlashlightScene scene;
  for (;;) {
    flashlight::TurnPage(scene);
    flashlight::ClearGround();
    const int32_t lampX = MouseX(), lampY = MouseY();
    flashlight::DrawLampAndShadows(scene, lampX, lampY);
    if (KeyWaiting()) break;
  }
  CloseGraphWindow();
  return 0;
}
