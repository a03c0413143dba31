// A beam of rays from a lamp at the left edge, aimed with the pointer, ending where each ray
// first meets the wavy ground or the wall on the right. Any key ends the program.
#include "lightbeam_scene.h"

#include <plotvane/plotvane.h>

#include "demo_window.h"

int main() {
  if (!demo::OpenDemoWindow("lightbeam", "QUENDRAL")) return 1;

  lightbeam::BeamScene scene;
  for (;;) {
    const lightbeam::PointerState pointer = lightbeam::ReadPointer();
    lightbeam::FlipPages(scene);
    plotvane::ClearScreen();
    lightbeam::DrawFrame(pointer);
    if (plotvane::KeyWaiting()) break;
  }
  plotvane::CloseGraphWindow();
  return 0;
}
