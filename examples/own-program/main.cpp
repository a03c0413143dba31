// A program of your own: copy this folder, then build it against the installed library.
//   cmake -S . -B build && cmake --build build && ./build/my_optics
//   or: g++ -std=c++20 main.cpp $(pkg-config --cflags --libs plotvane) -o my_optics
// A ray follows the pointer and bounces off a mirror; any key ends it. Given a number, the
// program ends by itself after that many frames (`./my_optics 100`).
#include <plotvane/plotvane.h>

#include <cstdio>
#include <cstdlib>

using namespace plotvane;

int main(int argc, char **argv) {
  const long frames = argc > 1 ? std::atol(argv[1]) : 0;  // 0: until a key

  int16_t driver = 3, mode = 6;  // 256 colours, 800 x 600
  OpenGraphWindow(driver, mode, "My optics");
  if (!GraphActive()) {
    std::fprintf(stderr, "my_optics: no window (error %d)\n", GraphError());
    return 1;
  }
  const int16_t mirrorX = 600, lampX = 40, lampY = 300;

  uint16_t page = 0;
  for (long frame = 0; frames == 0 ? !KeyWaiting() : frame < frames; ++frame) {
    SetDrawPage(page);  // draw on the hidden page...
    page = 1 - page;
    SetShowPage(page);  // ...while the finished one is shown
    ClearScreen();

    // The mirror, and the lamp as a small yellow disc.
    SetDrawColor(NamedColor(ncGrey));
    SetPenStyle(0, 0, 3);
    DrawLine(mirrorX, 100, mirrorX, 500);
    SetPenStyle(0, 0, 1);
    SetDrawColor(NamedColor(ncYellow));
    SetFillKind(1, NamedColor(ncYellow));
    DrawEllipse(lampX, lampY, 8, 8);

    // The ray from the lamp through the pointer meets the mirror's line at hitY; the
    // reflected ray leaves it as steeply, mirrored left to right.
    const int x = MouseX(), y = MouseY();
    if (x <= lampX || x >= mirrorX) continue;
    const double slope = double(y - lampY) / (x - lampX);
    const double hitY = lampY + slope * (mirrorX - lampX);
    if (hitY < 100 || hitY > 500) continue;  // passes the mirror by
    SetDrawColor(NamedColor(ncRed));
    DrawLine(lampX, lampY, mirrorX, int16_t(hitY));
    DrawLineTo(0, int16_t(hitY + slope * mirrorX));
  }
  CloseGraphWindow();
  return 0;
}
