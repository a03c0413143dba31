// A fan of ten rays from a fixed source towards the pointer, reflected by a vertical mirror.
// While a mouse button is held the reflections are prolonged backwards behind the mirror.
// Any key ends the program.
#include "mirrorrays_scene.h"

#include <plotvane/plotvane.h>

#include "demo_window.h"

int main() {
  if (!demo::OpenDemoWindow("mirrorrays", "BRESTOVIK")) return 1;

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
