// A fan of ten rays from a fixed source towards the pointer, reflected by a vertical mirror.
// While a mouse button is held the reflections are prolonged backwards behind the mirror.
// Any key ends the program.
#include "mirrorrays_scene.h"

#include <plotvane/plotvane.h>

int main() {
  int16_t driver = 3, mode = 6;
  plotvane::OpenGraphWindow(driver, mode, "BRESTOVIK");
  // Without a window no key could ever arrive to end the loop.
  if (!plotvane::GraphActive()) return 1;

  mirrorrays::MirrorScene scene;
  for (;;) {
    mirrorrays::FlipPages(scene);
    plotvane::ClearScreen();
    const mirrorrays::PointerState pointer = mirrorrays::ReadPointer();
    mirrorrays::DrawFrame(scene, pointer);
    if (plotvane::KeyWaiting()) break;
  }
  plotvane::CloseGraphWindow();
  return 0;
}
