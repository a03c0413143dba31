// thicklens: rays from the pointer refracted through a thick lens; Space changes its outline,
// Esc ends the program.
#include <plotvane/plotvane.h>

#include "demo_window.h"
#include "thicklens_scene.h"

int main() {
  using namespace plotvane;
  if (!demo::OpenDemoWindow("thicklens", "KALDEROV")) return 1;

  thicklens::ProgramState state;
  for (;;) {
    const uint8_t key = demo::TakeFrameKey();
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
