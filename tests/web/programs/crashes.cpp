// Opens its window, then on the first key writes far outside its memory, as a faulty program
// would: the page must show that it stopped, and why.
#include <plotvane/plotvane.h>

#include <cstdint>
#include <cstdio>

int main() {
  using namespace plotvane;
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "Plotvane crash");
  while (!KeyWaiting()) WaitMillis(10);
  std::fprintf(stderr, "crashes: writing outside the memory\n");
  *reinterpret_cast<volatile uint32_t *>(uintptr_t{0xFFFFFFF0}) = 1;
  CloseGraphWindow();
  return 0;
}
