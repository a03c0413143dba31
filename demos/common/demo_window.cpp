#include "demo_window.h"

#include <plotvane/plotvane.h>

#include <cstdio>

namespace demo {

using namespace plotvane;

bool OpenDemoWindow(const char *program, const char *caption) {
  int16_t driver = 3;
  int16_t mode = 6;
  OpenGraphWindow(driver, mode, caption);
  // Without a shown window no key can ever arrive, and a loop waiting for one would never end.
  const int16_t openError = GraphError();
  if (GraphActive() && (openError == grOk || openError == grNoOpenGL)) return true;
  std::fprintf(stderr, "%s: the window could not be opened (error %d)\n", program, openError);
  if (GraphActive()) CloseGraphWindow();
  return false;
}

int16_t FlipPages(int32_t activePage) {
  SetDrawPage(static_cast<uint16_t>(activePage));
  const auto next = static_cast<int16_t>(1 - activePage);
  SetShowPage(static_cast<uint16_t>(next));
  return next;
}

uint8_t TakeFrameKey() {
  if (!KeyWaiting()) return 0;
  const uint8_t key = NextKey();
  return key == 0 ? NextKey() : key;
}

}  // namespace demo
