// A beam of rays from a lamp at the left edge, aimed with the pointer, ending where each ray
// first meets the wavy ground or the wall on the right. Any key ends the program.
#include "lightbeam_scene.h"

#include <plotvane/plotvane.h>

#include <cstdio>

int main() {
  int16_t driver = 3, mode = 6;
  plotvane::OpenGraphWindow(driver, mode, "QUENDRAL");
  // Without a shown window no key could ever arrive to end the loop; the opening may also stop
  // part-way (a standard face missing) and leave the window hidden.
  const int16_t openError = plotvane::GraphError();
  if (!plotvane::GraphActive() || (openError != plotvane::grOk && openError != plotvane::grNoOpenGL)) {
    std::fprintf(stderr, "lightbeam: the window could not be opened (error %d)\n", openError);
    if (plotvane::GraphActive()) plotvane::CloseGraphWindow();
    return 1;
  }

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
