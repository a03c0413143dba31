// magnifier: rays from the pointer in every direction, bent by a lens whose left and right
// faces keys 1 to 4 and 5 to 8 choose; Esc ends the program.
#include <plotvane/plotvane.h>

#include "demo_window.h"
#include "magnifier_scene.h"

int main() {
  using namespace plotvane;
  if (!demo::OpenDemoWindow("magnifier", "SOPRAVEN")) return 1;

  magnifier::ProgramState state;
  for (;;) {
    const int32_t pointerX = MouseX();
    const int32_t pointerY = MouseY();
    // The first frame goes to page 0 while it is shown; after that every frame is drawn hidden.
    magnifier::DrawPicture(state, pointerX, pointerY);
    magnifier::FlipPages(state);
    WaitMillis(10);
    ClearScreen();
    const uint8_t key = demo::TakeFrameKey();
    magnifier::ApplyKey(state, key);
    if (key == magnifier::kEscKey) break;
  }
  CloseGraphWindow();
  return 0;
}
