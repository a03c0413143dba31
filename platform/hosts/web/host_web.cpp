// The web host: a window's surface shown on the page's <canvas>. The program and the window
// thread run on workers; the page, on the browser's own thread, calls in here: once per display
// refresh it takes the latest finished picture, and it hands in the DOM's input. Nothing waits
// for the page, so a page that does not refresh (a tab in the background) just skips frames.
#include <emscripten/emscripten.h>

#include <atomic>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "host_web_input.h"
#include "user_internal.h"

namespace pv::user {
namespace {

// The page scales a window down to fit; its screen is one that every fixed mode fits on.
constexpr int kScreenWidth = 1920, kScreenHeight = 1200;

// What the page and the window's threads share about one window.
struct PageWindow {
  HWND hwnd = nullptr;
  POINT clientOrigin{};
  std::string caption;                 // Windows-1252, as the window has it
  WindowSurface *surface = nullptr;    // guarded by g_mutex; null once the window goes
  bool visible = false;                // guarded by g_mutex
  std::atomic<uint32_t> changes{0};    // bumped after every drawing call on the surface
};

std::mutex g_mutex;
std::vector<std::shared_ptr<PageWindow>> g_windows;  // the page shows the last visible one
uint32_t g_serial = 1;                               // bumped when the window shown may change

std::shared_ptr<PageWindow> ShownWindow() {
  for (auto it = g_windows.rbegin(); it != g_windows.rend(); ++it)
    if ((*it)->visible) return *it;
  return nullptr;
}

class WebWindow : public HostWindow {
 public:
  explicit WebWindow(std::shared_ptr<PageWindow> w) : w_(std::move(w)) {}
  ~WebWindow() override {
    std::lock_guard lock(g_mutex);
    w_->surface = nullptr;
    std::erase(g_windows, w_);
    ++g_serial;
  }
  void Show(bool visible) override {
    std::lock_guard lock(g_mutex);
    w_->visible = visible;
    if (visible) {  // to the front
      std::erase(g_windows, w_);
      g_windows.push_back(w_);
    }
    ++g_serial;
  }
  void Raise() override {
    std::lock_guard lock(g_mutex);
    std::erase(g_windows, w_);
    g_windows.push_back(w_);
    ++g_serial;
  }

 private:
  std::shared_ptr<PageWindow> w_;
};

class WebHostImpl : public Host {
 public:
  std::unique_ptr<HostWindow> Create(Window &w, std::string &) override {
    auto pw = std::make_shared<PageWindow>();
    pw->hwnd = w.hwnd;
    pw->clientOrigin = w.clientOrigin;
    pw->caption = w.title;
    pw->surface = &w.surface;
    w.surface.onChanged = [pw](const RECT &) { pw->changes.fetch_add(1, std::memory_order_relaxed); };
    std::lock_guard lock(g_mutex);
    g_windows.push_back(pw);
    return std::make_unique<WebWindow>(std::move(pw));
  }
  bool ScreenSize(int &width, int &height) override {
    width = kScreenWidth;
    height = kScreenHeight;
    return true;
  }
};

// The page's side: touched only on the browser's thread.
struct Page {
  std::weak_ptr<PageWindow> window;
  uint32_t serial = 0;
  uint32_t presented = 0;
  std::vector<uint32_t> pixels;  // RGBA bytes, as a canvas takes them
  std::string caption;
  pv::input::ClientSize client;
  pv::host::InputTranslator input;
  pv::host::DomPointerState pointer;
};
Page g_page;

void Post(std::vector<pv::host::InputMessage> &messages) {
  auto w = g_page.window.lock();
  if (!w) return;
  for (auto &m : messages) PostHostMessage(w->hwnd, m.message, m.wParam, m.lParam, std::move(m.text), m.hostText);
}

}  // namespace

Host &WebHost() {
  static WebHostImpl host;
  return host;
}

}  // namespace pv::user

using namespace pv::user;

extern "C" {

// The latest picture of the window the page shows, as RGBA bytes, or null when the page has it
// already. info receives the client width and height (0 when no window is shown) and a number
// that changes when the window shown, its visibility or its caption may have changed.
EMSCRIPTEN_KEEPALIVE uint8_t *pv_web_frame(int32_t *info) {
  std::lock_guard lock(g_mutex);
  auto w = ShownWindow();
  info[0] = info[1] = 0;
  info[2] = static_cast<int32_t>(g_serial);
  if (!w || !w->surface) {
    g_page.window.reset();
    return nullptr;
  }
  const bool known = g_page.window.lock() == w && g_page.serial == g_serial;
  g_page.window = w;
  g_page.serial = g_serial;
  g_page.caption = w->caption;
  {
    std::lock_guard surfaceLock(w->surface->mutex);
    info[0] = g_page.client.width = w->surface->width;
    info[1] = g_page.client.height = w->surface->height;
    const uint32_t changes = w->changes.load(std::memory_order_relaxed);
    if (known && changes == g_page.presented) return nullptr;
    g_page.presented = changes;
    // Converted in the one pass that copies it: this runs on the browser's thread once per
    // refresh, so a second pass over the picture would cost the page's own time.
    const std::vector<uint32_t> &from = w->surface->pixels;
    g_page.pixels.resize(from.size());
    const uint32_t *src = from.data();
    uint32_t *dst = g_page.pixels.data();
    // 0x00RRGGBB words to the bytes R, G, B, 255.
    for (size_t i = 0, n = from.size(); i < n; ++i) {
      const uint32_t p = src[i];
      dst[i] = 0xFF000000u | ((p & 0xFF) << 16) | (p & 0xFF00) | ((p >> 16) & 0xFF);
    }
  }
  return reinterpret_cast<uint8_t *>(g_page.pixels.data());
}

// The caption of the window that pv_web_frame reported last (Windows-1252), and its length.
EMSCRIPTEN_KEEPALIVE const char *pv_web_caption(int32_t *length) {
  *length = static_cast<int32_t>(g_page.caption.size());
  return g_page.caption.data();
}

// A DOM pointer event (kind 0) or wheel (kind 1) at a client position, with the DOM's mask of
// the buttons held.
EMSCRIPTEN_KEEPALIVE void pv_web_pointer(int kind, int x, int y, int buttons, double deltaY, int deltaMode) {
  auto w = g_page.window.lock();
  if (!w) return;
  std::vector<pv::host::InputMessage> out;
  if (kind == 1) {
    const POINT screen{w->clientOrigin.x + x, w->clientOrigin.y + y};
    pv::host::TranslateDomWheel(deltaY, deltaMode, screen, g_page.pointer, g_page.input, out);
  } else {
    pv::host::TranslateDomPointer({{x, y}, buttons}, g_page.client, g_page.pointer, g_page.input, out);
  }
  Post(out);
}

// A DOM key event; flags: 1 down, 2 repeat, 4 Num Lock on.
EMSCRIPTEN_KEEPALIVE void pv_web_key(int flags, const char *code, const char *key) {
  std::vector<pv::host::InputMessage> out;
  pv::host::TranslateDomKey({(flags & 1) != 0, (flags & 2) != 0, (flags & 4) != 0, code, key}, g_page.input, out);
  Post(out);
}

// The page's close button: the close request the window's close box makes.
EMSCRIPTEN_KEEPALIVE void pv_web_close() {
  std::vector<pv::host::InputMessage> out{{WM_CLOSE, 0, 0, {}, false}};
  Post(out);
}

}  // extern "C"
