// Measures a text and draws the text scene, printing the measures (the page's console), so that
// a test can compare both with what the desktop build gives. Any key ends it.
#include <plotvane/plotvane.h>

#include <cstdio>

#include "text_scene.h"

int main() {
  using namespace plotvane;
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "Plotvane text scene");
  if (!GraphActive()) return 1;
  // The first text call of the program: the font file is not there yet.
  SetTextFont(3, 0, 20);
  std::printf("text %d %d\n", TextWidth(pvtest::kTextSceneSample), TextHeight(pvtest::kTextSceneSample));
  std::fflush(stdout);
  SetDrawPage(1);
  pvtest::DrawTextScene();
  SetShowPage(1);
  while (!KeyWaiting()) WaitMillis(10);
  NextKey();
  CloseGraphWindow();
  return 0;
}
