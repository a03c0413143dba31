// magnifier: rays from the pointer in every direction, bent by a lens whose left and right
// faces keys 1 to 4 and 5 to 8 choose; Esc ends the program.
#include <plotvane/plotvane.h>

#include <cstdio>

#include "magnifier_scene.h"

int main() {
  using namespace plotvane;
  int16_t driver = 3;
  int16_t mode = 6;
  OpenGraphWindow(driver, mode, "SOPRAVEN");
  // Without a shown window Esc can never arrive and the loop below would never end; the opening
  // may also stop part-way (a standard face missing) and leave the window hidden.
  const int16_t openError = GraphError();
  if (!GraphActive() || (openError != grOk && openError != grNoOpenGL)) {
    std::fprintf(stderr, "magnifier: the window could not be opened (error %d)\n", openError);
    if (GraphActive()) CloseGraphWindow();
    return 1;
  }

  magnifier::ProgramState state;
  for (;;) {
    const int32_t pointerX = MouseX();
    const int32_t pointerY = MouseY();
    // The first frame goes to page 0 while it is shown; after that every frame is drawn hidden.
    magnifier::DrawPicture(state, pointerX, pointerY);
    magnifier::FlipPages(state);
    WaitMillis(10);
    ClearScreen();
    const uint8_t key = magnifier::TakeFrameKey();
    magnifier::ApplyKey(state, key);
    if (key == magnifier::kEscKey) break;
  }
  CloseGraphWindow();
  return 0;
}
