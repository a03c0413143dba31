// USER: window classes, windows and their geometry, system metrics, icons and cursors.
#include <strings.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <unordered_map>
#include <vector>

#include "user_internal.h"

namespace pv::user {
namespace {

// Frame metrics of a Windows 10 desktop at 96 dpi: dialog frame 3 pixels, caption 23.
constexpr int kDlgFrame = 3;
constexpr int kCaption = 23;

struct ClassInfo {
  std::string name;
  UINT style = 0;
  WNDPROC proc = nullptr;
  HBRUSH background = nullptr;
  ATOM atom = 0;
};

struct CaseLess {
  bool operator()(const std::string &a, const std::string &b) const { return strcasecmp(a.c_str(), b.c_str()) < 0; }
};

std::map<std::string, ClassInfo, CaseLess> g_classes;
std::unordered_map<uintptr_t, std::shared_ptr<Window>> g_windows;
uintptr_t g_nextWindow = 0x10020;
ATOM g_nextAtom = 0xC000;
const HWND kDesktop = reinterpret_cast<HWND>(static_cast<uintptr_t>(0x10010));

// Says once why windows cannot be made, and again only if the reason changes.
void ReportFailure(const std::string &why) {
  static std::mutex m;
  static std::string last;
  std::lock_guard lock(m);
  if (why == last) return;
  last = why;
  std::fprintf(stderr, "plotvane: cannot open a window: %s\n", why.c_str());
}

bool HasFrame(DWORD style) { return (style & WS_POPUP) == 0 || (style & WS_CAPTION) == WS_CAPTION; }

// Tears a window down after its messages were sent (or when creation failed early).
void Release(const std::shared_ptr<Window> &w) {
  {
    std::lock_guard lock(UserMutex());
    g_windows.erase(reinterpret_cast<uintptr_t>(w->hwnd));
  }
  PurgeMessages(*w->queue, w->hwnd);
  if (w->dc) pv::gdi::DestroySurfaceDC(w->dc);
  w->dc = nullptr;
  w->host.reset();
}

}  // namespace

std::mutex &UserMutex() {
  static std::mutex m;
  return m;
}

std::shared_ptr<Window> FindWindow(HWND hwnd) {
  std::lock_guard lock(UserMutex());
  auto it = g_windows.find(reinterpret_cast<uintptr_t>(hwnd));
  return it == g_windows.end() ? nullptr : it->second;
}

HWND DesktopHandle() { return kDesktop; }

HWND WindowNeedingPaint(DWORD thread, HWND filter) {
  std::lock_guard lock(UserMutex());
  // The lowest handle keeps the order stable when several windows wait.
  uintptr_t best = UINTPTR_MAX;
  for (const auto &[h, w] : g_windows) {
    if (w->threadId != thread || !w->visible || !w->hasUpdate || w->destroying) continue;
    if (filter && w->hwnd != filter) continue;
    best = std::min(best, h);
  }
  return best == UINTPTR_MAX ? nullptr : reinterpret_cast<HWND>(best);
}

void ScreenSize(int &width, int &height) {
  if (!CurrentHost().ScreenSize(width, height) || width <= 0 || height <= 0) {
    // No screen to ask: report a usual one, so that window creation is what fails.
    width = 1024;
    height = 768;
  }
}

namespace {
thread_local int t_procedureDepth = 0;
}  // namespace

bool InWindowProcedure() { return t_procedureDepth > 0; }

LRESULT CallWindowProcedure(const std::shared_ptr<Window> &w, UINT msg, WPARAM wParam, LPARAM lParam) {
  ++t_procedureDepth;
  const LRESULT result =
      w->proc ? w->proc(w->hwnd, msg, wParam, lParam) : DefWindowProcA(w->hwnd, msg, wParam, lParam);
  // The procedure may have destroyed the window, and its host with it.
  if (--t_procedureDepth == 0 && w->host) w->host->Flush();
  return result;
}

void ThreadEnding() {
  const DWORD me = GetCurrentThreadId();
  std::vector<HWND> mine;
  {
    std::lock_guard lock(UserMutex());
    for (auto &[h, w] : g_windows)
      if (w->threadId == me) mine.push_back(w->hwnd);
  }
  for (HWND h : mine) DestroyWindow(h);
  RetireCurrentQueue();
}

int CountLiveWindows() {
  std::lock_guard lock(UserMutex());
  return static_cast<int>(g_windows.size());
}

}  // namespace pv::user

using namespace pv::user;

extern "C" {

ATOM WINAPI RegisterClassA(const WNDCLASSA *wc) {
  if (!wc || !wc->lpszClassName || reinterpret_cast<uintptr_t>(wc->lpszClassName) <= 0xFFFF || !wc->lpfnWndProc)
    return 0;
  std::lock_guard lock(UserMutex());
  if (g_classes.count(wc->lpszClassName)) return 0;  // already exists
  ClassInfo c;
  c.name = wc->lpszClassName;
  c.style = wc->style;
  c.proc = wc->lpfnWndProc;
  c.background = wc->hbrBackground;
  c.atom = g_nextAtom++;
  if (g_nextAtom == 0) g_nextAtom = 0xC000;
  g_classes.emplace(c.name, c);
  return c.atom;
}

BOOL WINAPI UnregisterClassA(LPCSTR className, HINSTANCE) {
  if (!className || reinterpret_cast<uintptr_t>(className) <= 0xFFFF) return FALSE;
  std::lock_guard lock(UserMutex());
  auto it = g_classes.find(className);
  if (it == g_classes.end()) return FALSE;
  for (auto &[h, w] : g_windows)
    if (strcasecmp(w->className.c_str(), className) == 0) return FALSE;  // the class still has windows
  g_classes.erase(it);
  return TRUE;
}

HWND WINAPI CreateWindowExA(DWORD exStyle, LPCSTR className, LPCSTR windowName, DWORD style, int x, int y,
                            int width, int height, HWND parent, HMENU menu, HINSTANCE instance, LPVOID param) {
  if (!className || reinterpret_cast<uintptr_t>(className) <= 0xFFFF) return nullptr;
  auto w = std::make_shared<Window>();
  {
    std::lock_guard lock(UserMutex());
    auto it = g_classes.find(className);
    if (it == g_classes.end()) return nullptr;
    w->className = it->second.name;
    w->classStyle = it->second.style;
    w->proc = it->second.proc;
    w->background = it->second.background;
  }
  w->title = windowName ? windowName : "";
  w->style = style & ~static_cast<DWORD>(WS_VISIBLE);
  w->exStyle = exStyle;

  int sw, sh;
  ScreenSize(sw, sh);
  if (x == CW_USEDEFAULT) {
    x = sw / 8;
    y = sh / 8;
  }
  if (width == CW_USEDEFAULT) {
    width = sw * 3 / 4;
    height = sh * 3 / 4;
  }
  width = std::max(width, 0);
  height = std::max(height, 0);
  w->rect = {x, y, x + width, y + height};
  int cw = width, ch = height;
  w->clientOrigin = {x, y};
  if (HasFrame(style)) {
    cw = std::max(width - 2 * kDlgFrame, 0);
    ch = std::max(height - 2 * kDlgFrame - kCaption, 0);
    w->clientOrigin = {x + kDlgFrame, y + kDlgFrame + kCaption};
  }
  w->surface.width = cw;
  w->surface.height = ch;
  w->surface.pixels.assign(static_cast<size_t>(cw) * ch, 0);
  w->threadId = GetCurrentThreadId();
  w->queue = CurrentQueue();

  {
    std::lock_guard lock(UserMutex());
    w->hwnd = reinterpret_cast<HWND>(g_nextWindow);
    g_nextWindow += 0x10;
    g_windows.emplace(reinterpret_cast<uintptr_t>(w->hwnd), w);
  }
  std::string why;
  w->host = CurrentHost().Create(*w, why);
  if (!w->host) {
    Release(w);
    ReportFailure(why);
    return nullptr;
  }
  w->dc = pv::gdi::CreateSurfaceDC(&w->surface);

  CREATESTRUCTA cs{};
  cs.lpCreateParams = param;
  cs.hInstance = instance;
  cs.hMenu = menu;
  cs.hwndParent = parent;
  cs.cx = width;
  cs.cy = height;
  cs.x = x;
  cs.y = y;
  cs.style = static_cast<LONG>(style);
  cs.lpszName = windowName;
  cs.lpszClass = className;
  cs.dwExStyle = exStyle;
  LPARAM lp = reinterpret_cast<LPARAM>(&cs);
  if (!CallWindowProcedure(w, WM_NCCREATE, 0, lp)) {
    CallWindowProcedure(w, WM_NCDESTROY, 0, 0);
    Release(w);
    return nullptr;
  }
  if (CallWindowProcedure(w, WM_CREATE, 0, lp) == -1) {
    DestroyWindow(w->hwnd);
    return nullptr;
  }
  if (style & WS_VISIBLE) ShowWindow(w->hwnd, SW_SHOWNORMAL);
  return w->hwnd;
}

BOOL WINAPI DestroyWindow(HWND hwnd) {
  auto w = FindWindow(hwnd);
  if (!w || w->threadId != GetCurrentThreadId()) return FALSE;  // only the owner may destroy
  bool wasVisible;
  {
    std::lock_guard lock(UserMutex());
    if (w->destroying) return FALSE;
    w->destroying = true;
    wasVisible = w->visible;
    w->visible = false;
    w->hasUpdate = false;
  }
  if (wasVisible) w->host->Show(false);
  CallWindowProcedure(w, WM_DESTROY, 0, 0);
  CallWindowProcedure(w, WM_NCDESTROY, 0, 0);
  Release(w);
  return TRUE;
}

BOOL WINAPI IsWindow(HWND hwnd) { return hwnd == kDesktop || FindWindow(hwnd) != nullptr; }

BOOL WINAPI IsWindowVisible(HWND hwnd) {
  if (hwnd == kDesktop) return TRUE;
  auto w = FindWindow(hwnd);
  if (!w) return FALSE;
  std::lock_guard lock(UserMutex());
  return w->visible;
}

BOOL WINAPI ShowWindow(HWND hwnd, int cmdShow) {
  auto w = FindWindow(hwnd);
  if (!w) return FALSE;
  const bool show = cmdShow != SW_HIDE;
  bool was;
  {
    std::lock_guard lock(UserMutex());
    if (w->destroying) return FALSE;
    was = w->visible;
    w->visible = show;
    if (!show) w->hasUpdate = false;  // hidden windows have nothing to paint
  }
  if (was == show) return was;
  // The host's window belongs to the owner thread, as on Windows.
  RunOnOwner(
      w,
      [w, show] {
        w->host->Show(show);
        return LRESULT{0};
      },
      true);
  if (show) InvalidateRect(hwnd, nullptr, TRUE);
  return was;
}

BOOL WINAPI SetForegroundWindow(HWND hwnd) {
  auto w = FindWindow(hwnd);
  if (!w) return FALSE;
  RunOnOwner(
      w,
      [w] {
        w->host->Raise();
        return LRESULT{0};
      },
      false);
  return TRUE;
}

HWND WINAPI GetDesktopWindow(void) { return kDesktop; }

BOOL WINAPI GetClientRect(HWND hwnd, LPRECT rect) {
  if (!rect) return FALSE;
  if (hwnd == kDesktop) {
    int sw, sh;
    ScreenSize(sw, sh);
    *rect = {0, 0, sw, sh};
    return TRUE;
  }
  auto w = FindWindow(hwnd);
  if (!w) return FALSE;
  *rect = {0, 0, w->surface.width, w->surface.height};
  return TRUE;
}

BOOL WINAPI GetWindowRect(HWND hwnd, LPRECT rect) {
  if (!rect) return FALSE;
  if (hwnd == kDesktop) return GetClientRect(hwnd, rect);
  auto w = FindWindow(hwnd);
  if (!w) return FALSE;
  *rect = w->rect;
  return TRUE;
}

int WINAPI GetWindowTextA(HWND hwnd, LPSTR text, int maxCount) {
  if (!text || maxCount <= 0) return 0;
  auto w = FindWindow(hwnd);
  if (!w) {
    text[0] = '\0';
    return 0;
  }
  size_t n = std::min(w->title.size(), static_cast<size_t>(maxCount - 1));
  std::memcpy(text, w->title.data(), n);
  text[n] = '\0';
  return static_cast<int>(n);
}

DWORD WINAPI GetWindowLongA(HWND hwnd, int index) {
  auto w = FindWindow(hwnd);
  if (!w) return 0;
  std::lock_guard lock(UserMutex());
  switch (index) {
    case GWL_STYLE: return w->style | (w->visible ? static_cast<DWORD>(WS_VISIBLE) : 0);
    default: return 0;
  }
}

int WINAPI GetSystemMetrics(int index) {
  int sw, sh;
  switch (index) {
    case SM_CXSCREEN: ScreenSize(sw, sh); return sw;
    case SM_CYSCREEN: ScreenSize(sw, sh); return sh;
    case SM_CXDLGFRAME:
    case SM_CYDLGFRAME: return kDlgFrame;
    case SM_CYCAPTION: return kCaption;
    default: return 0;
  }
}

// Only the system's own icons and cursors exist; programs here carry no resources.
HICON WINAPI LoadIconA(HINSTANCE instance, LPCSTR name) {
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if (instance || id == 0 || id > 0xFFFF) return nullptr;
  return reinterpret_cast<HICON>(0x20000 + id);
}

HCURSOR WINAPI LoadCursorA(HINSTANCE instance, LPCSTR name) {
  uintptr_t id = reinterpret_cast<uintptr_t>(name);
  if (instance || id == 0 || id > 0xFFFF) return nullptr;
  return reinterpret_cast<HCURSOR>(0x30000 + id);
}

}  // extern "C"
