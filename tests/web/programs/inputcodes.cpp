// Prints every key code and mouse event its window receives, one line each on standard output
// (the page's console), so that a test can compare them with what the X tests read.
#include <plotvane/plotvane.h>

#include <cstdio>

int main() {
  using namespace plotvane;
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "Plotvane input");
  if (!GraphActive()) return 1;
  std::printf("open\n");
  std::fflush(stdout);
  uint16_t page = 0;
  for (;;) {
    while (KeyWaiting()) std::printf("key %d\n", NextKey());
    MouseEvent e{};
    while (NextMouseEvent(e))
      std::printf("mouse %d %d %d %d %d\n", e.Event, e.Buttons, e.X, e.Y, e.Wheel);
    std::fflush(stdout);
    // A picture of its own, so that the page has frames to show.
    SetDrawPage(page);
    page = 1 - page;
    SetShowPage(page);
    ClearScreen();
    SetDrawColor(NamedColor(ncYellow));
    DrawLine(0, 0, MouseX(), MouseY());
    WaitMillis(5);
  }
}
