// The headless host: windows without any display. Their surfaces are all there is to see;
// input arrives only as posted messages.
#include <atomic>

#include "pvplatform.h"
#include "user_internal.h"

namespace pv::user {
namespace {

std::atomic<int> g_width{1024};
std::atomic<int> g_height{768};

class HeadlessWindow : public HostWindow {
 public:
  void Show(bool) override {}
  void Raise() override {}
};

class Headless : public Host {
 public:
  std::unique_ptr<HostWindow> Create(Window &, std::string &) override { return std::make_unique<HeadlessWindow>(); }
  bool ScreenSize(int &width, int &height) override {
    width = g_width.load();
    height = g_height.load();
    return true;
  }
};

}  // namespace

Host &HeadlessHost() {
  static Headless host;
  return host;
}

void SetHeadlessScreenSize(int width, int height) {
  g_width.store(width);
  g_height.store(height);
}

Host &CurrentHost() {
  return pvplatform::CurrentHostKind() == pvplatform::HostKind::Headless ? HeadlessHost() : SdlHost();
}

}  // namespace pv::user
