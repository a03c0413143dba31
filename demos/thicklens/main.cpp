// thicklens: rays from the pointer refracted through a thick lens; Space changes its outline,
// Esc ends the program.
#include <plotvane/plotvane.h>

#include <cstdio>

#include "thicklens_scene.h"

int main() {
  using namespace plotvane;
  int16_t driver = 3;
  int16_t mode = 6;
  OpenGraphWindow(driver, mode, "KALDEROV");
  // Without a shown window Esc can never arrive and the loop below would never end; the opening
  // may also stop part-way (a standard face missing) and leave the window hidden.
  const int16_t openError = GraphError();
  if (!GraphActive() || (openError != grOk && openError != grNoOpenGL)) {
    std::fprintf(stderr, "thicklens: the window could not be opened (error %d)\n", openError);
    if (GraphActive()) CloseGraphWindow();
    return 1;
  }

  thicklens::ProgramState state;
  for (;;) {
    const uint8_t key = thicklens::TakeFrameKey();
    thicklens::ApplyKey(state, key);
    const int32_t pointerX = MouseX();
    const int32_t pointerY = MouseY();
    thicklens::DrawFrame(state, pointerX, pointerY);
    // The frame that reads Esc is still drawn in full.
    if (key == thicklens::kEscKey) break;
  }
  CloseGraphWindow();
  return 0;
}
