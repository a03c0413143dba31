// flashlight: the pointer is a lamp; a box and a bar throw black shadows on a grey ground.
// Any key ends it, and stays in the queue.
#include <plotvane/plotvane.h>

#include <cstdio>

#include "flashlight_scene.h"

using namespace plotvane;

int main() {
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "MIVOSTA");
  // Without a window no key can ever arrive: the loop below would never end.
  if (!GraphActive()) {
    std::fprintf(stderr, "flashlight: the window could not be opened (error %d)\n", GraphError());
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
