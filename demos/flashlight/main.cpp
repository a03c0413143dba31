// flashlight: the pointer is a lamp; a box and a bar throw black shadows on a grey ground.
// Any key ends it, and stays in the queue.
#include <plotvane/plotvane.h>

#include "demo_window.h"
#include "flashlight_scene.h"

using namespace plotvane;

int main() {
  if (!demo::OpenDemoWindow("flashlight", "MIVOSTA")) return 1;
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
