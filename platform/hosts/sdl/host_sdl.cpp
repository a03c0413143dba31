// The SDL2 host: a real window for each USER window, on the thread that created it. Video is
// initialised on that thread and its events are pumped there, inside message retrieval; the
// window's surface is presented whenever GDI changes it.
#include <dlfcn.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "host_sdl_input.h"
#include "host_sdl_keymap.h"
#include "user_internal.h"

namespace pv::user {
namespace {

enum UserEventCode : Sint32 { kWake = 1, kPresent = 2 };

// The window's side of presenting: GDI reports changes from any thread; the owner thread
// copies them to the SDL window.
struct Presenter {
  std::mutex mutex;
  bool alive = true;     // false once the SDL window is going away
  bool pending = false;  // a present event is on its way to the owner
  bool dirty = false;
  RECT area{};
  Uint32 windowId = 0;
  DWORD owner = 0;
  SDL_Window *window = nullptr;  // used on the owner thread only
  WindowSurface *surface = nullptr;

  void Changed(const RECT &r);
  void Present();
  void PresentAll() {
    {
      std::lock_guard lock(mutex);
      dirty = true;
      area = {0, 0, surface->width, surface->height};
    }
    Present();
  }
};

void PushUserEvent(Sint32 code, Uint32 windowId) {
  SDL_Event e{};
  e.type = SDL_USEREVENT;
  e.user.code = code;
  e.user.windowID = windowId;
  SDL_PushEvent(&e);
}

void Presenter::Changed(const RECT &r) {
  bool now = false;
  {
    std::lock_guard lock(mutex);
    if (!alive) return;
    if (dirty) {
      area.left = std::min(area.left, r.left);
      area.top = std::min(area.top, r.top);
      area.right = std::max(area.right, r.right);
      area.bottom = std::max(area.bottom, r.bottom);
    } else {
      area = r;
      dirty = true;
    }
    if (GetCurrentThreadId() == owner) {
      // A paint shows its copy once the window procedure has returned (HostWindow::Flush),
      // outside the locks the procedure holds.
      now = !InWindowProcedure();
    } else if (!pending) {
      // SDL is shut down only after `alive` is cleared under this lock, so the push is safe.
      pending = true;
      PushUserEvent(kPresent, windowId);
    }
  }
  if (now) Present();
}

void Presenter::Present() {
  RECT r;
  {
    std::lock_guard lock(mutex);
    pending = false;
    if (!dirty || !alive) return;
    dirty = false;
    r = area;
  }
  SDL_Surface *dst = SDL_GetWindowSurface(window);
  if (!dst) return;
  {
    // Held for the copy only: the upload to the screen below needs no lock of ours.
    std::lock_guard lock(surface->mutex);
    r.left = std::max<LONG>(r.left, 0);
    r.top = std::max<LONG>(r.top, 0);
    r.right = std::min<LONG>({r.right, surface->width, dst->w});
    r.bottom = std::min<LONG>({r.bottom, surface->height, dst->h});
    if (r.right <= r.left || r.bottom <= r.top) return;
    if (SDL_MUSTLOCK(dst)) SDL_LockSurface(dst);
    const uint32_t *src = surface->pixels.data() + static_cast<size_t>(r.top) * surface->width + r.left;
    auto *out = static_cast<uint8_t *>(dst->pixels) + static_cast<ptrdiff_t>(r.top) * dst->pitch +
                static_cast<ptrdiff_t>(r.left) * dst->format->BytesPerPixel;
    SDL_ConvertPixels(r.right - r.left, r.bottom - r.top, SDL_PIXELFORMAT_RGB888, src, surface->width * 4,
                      dst->format->format, out, dst->pitch);
    if (SDL_MUSTLOCK(dst)) SDL_UnlockSurface(dst);
  }
  SDL_Rect rect{static_cast<int>(r.left), static_cast<int>(r.top), static_cast<int>(r.right - r.left),
                static_cast<int>(r.bottom - r.top)};
  SDL_UpdateWindowSurfaceRects(window, &rect, 1);
}

// Xlib's own answer to a lost display is exit(), which runs the program's exit handlers on
// whichever thread noticed, and those may wait for that very thread. Say why and leave at once.
int DisplayLost(void *) {
  static const char msg[] = "plotvane: lost the connection to the display; the program ends\n";
  ssize_t ignored = write(2, msg, sizeof msg - 1);
  (void)ignored;
  _exit(1);
}

void CatchDisplayLoss() {
  const char *driver = SDL_GetCurrentVideoDriver();
  if (!driver || std::string(driver) != "x11") return;
  void *x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  if (!x11) return;
  using Handler = int (*)(void *);
  using SetHandler = Handler (*)(Handler);
  if (auto set = reinterpret_cast<SetHandler>(dlsym(x11, "XSetIOErrorHandler"))) set(DisplayLost);
  dlclose(x11);  // only drops our reference; SDL keeps the library loaded
}

Uint32 WindowIdOf(const SDL_Event &e) {
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: return e.key.windowID;
    case SDL_TEXTINPUT: return e.text.windowID;
    case SDL_MOUSEMOTION: return e.motion.windowID;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: return e.button.windowID;
    case SDL_MOUSEWHEEL: return e.wheel.windowID;
    case SDL_WINDOWEVENT: return e.window.windowID;
    default: return 0;
  }
}

class SdlHostImpl;

class SdlWindow : public HostWindow {
 public:
  SdlWindow(SdlHostImpl &host, SDL_Window *window, std::shared_ptr<Presenter> presenter)
      : host_(host), window_(window), presenter_(std::move(presenter)) {}
  ~SdlWindow() override;
  void Show(bool visible) override {
    if (visible) {
      SDL_ShowWindow(window_);
      presenter_->PresentAll();
    } else {
      SDL_HideWindow(window_);
    }
  }
  void Raise() override { SDL_RaiseWindow(window_); }
  void Flush() override;

 private:
  SdlHostImpl &host_;
  SDL_Window *window_;
  std::shared_ptr<Presenter> presenter_;
};

struct Registered {
  HWND hwnd;
  SDL_Window *window;
  std::shared_ptr<Presenter> presenter;
};

class SdlHostImpl : public Host, public Pump {
 public:
  std::unique_ptr<HostWindow> Create(Window &w, std::string &why) override;
  bool ScreenSize(int &width, int &height) override;

  void Poll() override {
    std::vector<SDL_Event> events;
    SDL_Event e;
    while (SDL_PollEvent(&e)) events.push_back(e);
    Handle(events);
  }
  void Wait() override {
    std::vector<SDL_Event> events(1);
    if (!SDL_WaitEvent(&events[0])) return;
    SDL_Event e;
    while (SDL_PollEvent(&e)) events.push_back(e);
    Handle(events);
  }
  void Wake() override {
    if (!wakePending_.exchange(true)) PushUserEvent(kWake, 0);
  }

  void Forget(SDL_Window *window);
  // Presents what changed on every window of the owner thread.
  void PresentPending() {
    for (const auto &r : windows_) r.presenter->Present();
  }

 private:
  static void SetHints() {
    SDL_SetHint(SDL_HINT_VIDEODRIVER, "x11");  // a missing display must fail, not fall back
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    SDL_SetHint(SDL_HINT_QUIT_ON_LAST_WINDOW_CLOSE, "0");
  }
  void RememberScreen() {
    SDL_DisplayMode mode;
    if (SDL_GetDesktopDisplayMode(0, &mode) == 0) {
      screenWidth_ = mode.w;
      screenHeight_ = mode.h;
    }
  }
  const Registered *Find(Uint32 windowId) const {
    for (const auto &r : windows_)
      if (SDL_GetWindowID(r.window) == windowId) return &r;
    return windows_.size() == 1 ? &windows_[0] : nullptr;
  }
  void Handle(const std::vector<SDL_Event> &events);

  std::mutex mutex_;  // guards everything below that other threads read
  DWORD owner_ = 0;
  bool ready_ = false;
  int screenWidth_ = 0, screenHeight_ = 0;
  std::shared_ptr<Queue> queue_;
  std::vector<Registered> windows_;  // owner thread only
  pv::host::InputTranslator input_;  // owner thread only
  bool altGr_ = false;               // owner thread only: right Alt is AltGr
  std::atomic<bool> wakePending_{false};
};

std::unique_ptr<HostWindow> SdlHostImpl::Create(Window &w, std::string &why) {
  std::lock_guard lock(mutex_);
  const DWORD me = GetCurrentThreadId();
  if (ready_ && owner_ != me) {
    why = "another thread already shows windows";
    return nullptr;
  }
  if (!ready_) {
    SetHints();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) {
      why = std::string(SDL_GetError()) + " (SDL2 reaches no display: set DISPLAY, or PLOTVANE_HOST=headless to run without one)";
      return nullptr;
    }
    ready_ = true;
    owner_ = me;
    CatchDisplayLoss();
    RememberScreen();
  }
  const bool framed = (w.style & WS_POPUP) == 0 || (w.style & WS_CAPTION) == WS_CAPTION;
  std::string title;
  for (char c : w.title) {
    // The caption is Windows-1252, SDL wants UTF-8; the few typographic signs become '?'.
    const auto b = static_cast<unsigned char>(c);
    if (b < 0x80) {
      title += c;
    } else if (b >= 0xA0) {
      title += static_cast<char>(0xC0 | (b >> 6));
      title += static_cast<char>(0x80 | (b & 0x3F));
    } else {
      title += '?';
    }
  }
  SDL_Window *window = SDL_CreateWindow(title.c_str(), w.clientOrigin.x, w.clientOrigin.y,
                                        std::max(w.surface.width, 1), std::max(w.surface.height, 1),
                                        SDL_WINDOW_HIDDEN | (framed ? 0 : SDL_WINDOW_BORDERLESS));
  if (!window) {
    why = SDL_GetError();
    if (windows_.empty()) {
      SDL_Quit();
      ready_ = false;
      owner_ = 0;
    }
    return nullptr;
  }
  auto presenter = std::make_shared<Presenter>();
  presenter->windowId = SDL_GetWindowID(window);
  presenter->owner = me;
  presenter->window = window;
  presenter->surface = &w.surface;
  w.surface.onChanged = [presenter](const RECT &r) { presenter->Changed(r); };
  windows_.push_back({w.hwnd, window, presenter});
  if (!queue_) {
    queue_ = w.queue;
    std::lock_guard qlock(queue_->mutex);
    queue_->pump = this;
  }
  return std::make_unique<SdlWindow>(*this, window, std::move(presenter));
}

void SdlHostImpl::Forget(SDL_Window *window) {
  std::lock_guard lock(mutex_);
  std::erase_if(windows_, [&](const Registered &r) { return r.window == window; });
  SDL_DestroyWindow(window);
  if (!windows_.empty()) return;
  // The last window: SDL goes, so that a later window on another thread can start it afresh.
  {
    std::lock_guard qlock(queue_->mutex);
    queue_->pump = nullptr;
  }
  queue_.reset();
  SDL_Quit();
  ready_ = false;
  owner_ = 0;
  wakePending_ = false;
  input_.Reset();
}

void SdlWindow::Flush() { host_.PresentPending(); }

SdlWindow::~SdlWindow() {
  {
    std::lock_guard lock(presenter_->mutex);
    presenter_->alive = false;
  }
  host_.Forget(window_);
}

bool SdlHostImpl::ScreenSize(int &width, int &height) {
  std::lock_guard lock(mutex_);
  if (ready_) {
    if (owner_ == GetCurrentThreadId()) RememberScreen();
  } else {
    SetHints();
    if (SDL_Init(SDL_INIT_VIDEO) != 0) return false;
    RememberScreen();
    SDL_Quit();
  }
  width = screenWidth_;
  height = screenHeight_;
  return width > 0 && height > 0;
}

void SdlHostImpl::Handle(const std::vector<SDL_Event> &events) {
  std::vector<pv::host::InputMessage> out;
  for (size_t i = 0; i < events.size();) {
    const SDL_Event &e = events[i];
    if (e.type == SDL_USEREVENT) {
      if (e.user.code == kWake) wakePending_ = false;
      if (e.user.code == kPresent)
        if (const Registered *r = Find(e.user.windowID)) r->presenter->Present();
      ++i;
      continue;
    }
    if (e.type == SDL_WINDOWEVENT &&
        (e.window.event == SDL_WINDOWEVENT_EXPOSED || e.window.event == SDL_WINDOWEVENT_SHOWN ||
         e.window.event == SDL_WINDOWEVENT_SIZE_CHANGED)) {
      if (const Registered *r = Find(e.window.windowID)) r->presenter->PresentAll();
      ++i;
      continue;
    }
    const Registered *r = Find(WindowIdOf(e));
    pv::host::SdlTarget target;
    if (r) {
      SDL_GetWindowPosition(r->window, &target.clientOrigin.x, &target.clientOrigin.y);
      SDL_GetWindowSize(r->window, &target.client.width, &target.client.height);
      // Read when the key goes down, since the layout may have changed since the last time.
      if (e.type == SDL_KEYDOWN && e.key.keysym.scancode == SDL_SCANCODE_RALT && !e.key.repeat)
        altGr_ = pv::host::RightAltIsAltGr(r->window);
    }
    target.altGr = altGr_;
    out.clear();
    i += pv::host::TranslateSdlEvent(&events[i], events.size() - i, target, input_, out);
    if (!r) continue;
    for (auto &m : out) PostHostMessage(r->hwnd, m.message, m.wParam, m.lParam, std::move(m.text), m.hostText);
  }
}

}  // namespace

Host &SdlHost() {
  static SdlHostImpl host;
  return host;
}

}  // namespace pv::user
