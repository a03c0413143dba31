// A fan of ten rays from a fixed source towards the pointer, reflected by a vertical mirror.
// While a mouse button is held the reflections are prolonged backwards behind the mirror.
// Any key ends the program.
#include "mirrorrays_scene.h"

#include <plotvane/plotvane.h>

#include <cstdio>

int main() {
  int16_t driver = 3, mode = 6;
  plotvane::OpenGraphWindow(driver, mode, "BRESTOVIK");
  // Without a shown window no key could ever arrive to end the loop; the opening may also stop
  // part-way (a standard face missing) and leave the window hidden.
  const int16_t openError = plotvane::GraphError();
  if (!plotvane::GraphActive() || (openError != plotvane::grOk && openError != plotvane::grNoOpenGL)) {
    std::fprintf(stderr, "mirrorrays: the window could not be opened (error %d)\n", openError);
    if (plotvane::GraphActive()) plotvane::CloseGraphWindow();
    return 1;
  }

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
