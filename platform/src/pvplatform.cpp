// Platform extras for tests and tools: the host choice, the headless screen, live counts and
// a window's surface.
#include "pvplatform.h"

#include <atomic>
#include <cstdlib>
#include <cstring>
#include <mutex>

#include "gdi_internal.h"
#include "kernel_internal.h"
#include "user_internal.h"

namespace pvplatform {
namespace {

std::atomic<HostKind> g_kind{HostKind::Sdl};
std::once_flag g_kindFromEnvironment;

void ReadEnvironment() {
  const char *v = std::getenv("PLOTVANE_HOST");
  if (v && std::strcmp(v, "headless") == 0) g_kind.store(HostKind::Headless);
}

}  // namespace

void SetHostKind(HostKind kind) {
  std::call_once(g_kindFromEnvironment, ReadEnvironment);
  g_kind.store(kind);
}

HostKind CurrentHostKind() {
  std::call_once(g_kindFromEnvironment, ReadEnvironment);
  return g_kind.load();
}

void SetHeadlessScreenSize(int width, int height) {
  if (width > 0 && height > 0) pv::user::SetHeadlessScreenSize(width, height);
}

LiveCounts CountLive() {
  LiveCounts c;
  pv::gdi::CountLiveObjects(c.gdiObjects, c.dcs);
  c.windows = pv::user::CountLiveWindows();
  c.threads = pv::kernel::CountLiveThreads();
  return c;
}

bool CopyWindowSurface(HWND hwnd, std::vector<uint32_t> &pixels, int &width, int &height) {
  auto w = pv::user::FindWindow(hwnd);
  if (!w) return false;
  std::lock_guard lock(w->surface.mutex);
  pixels = w->surface.pixels;
  width = w->surface.width;
  height = w->surface.height;
  return true;
}

}  // namespace pvplatform
