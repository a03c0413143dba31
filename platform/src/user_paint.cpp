// USER: update regions, painting, window DCs and the default window procedure.
#include <algorithm>

#include "gdi_internal.h"
#include "user_internal.h"

namespace pv::user {
namespace {

bool Empty(const RECT &r) { return r.right <= r.left || r.bottom <= r.top; }

// The standard Windows 10 system colours, for class brushes given as COLOR_* + 1.
COLORREF SystemColor(int index) {
  static const COLORREF table[] = {
      RGB(200, 200, 200), RGB(0, 0, 0),       RGB(153, 180, 209), RGB(191, 205, 219), RGB(240, 240, 240),
      RGB(255, 255, 255), RGB(100, 100, 100), RGB(0, 0, 0),       RGB(0, 0, 0),       RGB(0, 0, 0),
      RGB(180, 180, 180), RGB(244, 247, 252), RGB(171, 171, 171), RGB(0, 120, 215),   RGB(255, 255, 255),
      RGB(240, 240, 240), RGB(160, 160, 160), RGB(109, 109, 109), RGB(0, 0, 0),       RGB(0, 0, 0),
      RGB(255, 255, 255), RGB(105, 105, 105), RGB(227, 227, 227), RGB(0, 0, 0),       RGB(255, 255, 225),
  };
  constexpr int n = static_cast<int>(sizeof table / sizeof table[0]);
  return index >= 0 && index < n ? table[index] : RGB(240, 240, 240);
}

// Paints the class background over the client area; false when the class has none.
bool EraseBackground(const std::shared_ptr<Window> &w, HDC dc) {
  if (!w->background || !dc) return false;
  RECT client{0, 0, w->surface.width, w->surface.height};
  const uintptr_t value = reinterpret_cast<uintptr_t>(w->background);
  if (value <= 31) {  // a system colour index + 1, as window classes may give
    HBRUSH brush = CreateSolidBrush(SystemColor(static_cast<int>(value) - 1));
    FillRect(dc, &client, brush);
    DeleteObject(brush);
  } else {
    FillRect(dc, &client, w->background);
  }
  return true;
}

void Invalidate(const std::shared_ptr<Window> &w, const RECT *rect, bool erase) {
  {
    std::lock_guard lock(UserMutex());
    if (!w->visible || w->destroying) return;  // hidden windows have no update region
    RECT r{0, 0, w->surface.width, w->surface.height};
    if (rect) {
      r.left = std::max(r.left, rect->left);
      r.top = std::max(r.top, rect->top);
      r.right = std::min(r.right, rect->right);
      r.bottom = std::min(r.bottom, rect->bottom);
    }
    if (Empty(r)) return;
    if (w->hasUpdate) {
      w->update.left = std::min(w->update.left, r.left);
      w->update.top = std::min(w->update.top, r.top);
      w->update.right = std::max(w->update.right, r.right);
      w->update.bottom = std::max(w->update.bottom, r.bottom);
    } else {
      w->update = r;
      w->hasUpdate = true;
    }
    w->eraseUpdate = w->eraseUpdate || erase;
  }
  WakeOwner(*w);
}

}  // namespace
}  // namespace pv::user

using namespace pv::user;

extern "C" {

BOOL WINAPI InvalidateRect(HWND hwnd, const RECT *rect, BOOL erase) {
  if (!hwnd || hwnd == DesktopHandle()) return TRUE;  // the desktop is nobody's to repaint here
  auto w = FindWindow(hwnd);
  if (!w) return FALSE;
  Invalidate(w, rect, erase != FALSE);
  return TRUE;
}

BOOL WINAPI GetUpdateRect(HWND hwnd, LPRECT rect, BOOL erase) {
  auto w = FindWindow(hwnd);
  if (!w) return FALSE;
  bool has, needErase;
  RECT r{};
  {
    std::lock_guard lock(UserMutex());
    has = w->hasUpdate;
    needErase = w->eraseUpdate;
    if (has) r = w->update;
  }
  if (rect) *rect = r;
  if (has && erase && needErase && w->threadId == GetCurrentThreadId()) {
    if (CallWindowProcedure(w, WM_ERASEBKGND, reinterpret_cast<WPARAM>(w->dc), 0)) {
      std::lock_guard lock(UserMutex());
      w->eraseUpdate = false;
    }
  }
  return has;
}

BOOL WINAPI UpdateWindow(HWND hwnd) {
  auto w = FindWindow(hwnd);
  if (!w) return FALSE;
  bool due;
  {
    std::lock_guard lock(UserMutex());
    due = w->visible && w->hasUpdate;
  }
  if (due) SendMessageA(hwnd, WM_PAINT, 0, 0);
  return TRUE;
}

HDC WINAPI BeginPaint(HWND hwnd, LPPAINTSTRUCT ps) {
  auto w = FindWindow(hwnd);
  if (!w || !ps) return nullptr;
  *ps = PAINTSTRUCT{};
  bool erase;
  {
    std::lock_guard lock(UserMutex());
    if (w->hasUpdate) ps->rcPaint = w->update;
    erase = w->hasUpdate && w->eraseUpdate;
    w->hasUpdate = false;
    w->eraseUpdate = false;
    w->update = {};
  }
  ps->hdc = w->dc;
  // fErase tells the painter the background is still to be painted.
  if (erase) ps->fErase = SendMessageA(hwnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(w->dc), 0) == 0;
  return w->dc;
}

BOOL WINAPI EndPaint(HWND hwnd, const PAINTSTRUCT *) { return FindWindow(hwnd) ? TRUE : FALSE; }

HDC WINAPI GetDC(HWND hwnd) {
  if (!hwnd || hwnd == DesktopHandle()) return pv::gdi::ScreenDC();
  auto w = FindWindow(hwnd);
  return w ? w->dc : nullptr;
}

// Window DCs belong to their windows and the screen DC to the process: nothing to free.
int WINAPI ReleaseDC(HWND hwnd, HDC dc) {
  if (!dc) return 0;
  if (!hwnd || hwnd == DesktopHandle()) return dc == pv::gdi::ScreenDC() ? 1 : 0;
  auto w = FindWindow(hwnd);
  return w && w->dc == dc ? 1 : 0;
}

LRESULT WINAPI DefWindowProcA(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  switch (msg) {
    case WM_NCCREATE: return TRUE;
    case WM_CLOSE: DestroyWindow(hwnd); return 0;
    case WM_ERASEBKGND: {
      auto w = FindWindow(hwnd);
      return w && EraseBackground(w, reinterpret_cast<HDC>(wParam)) ? 1 : 0;
    }
    case WM_PAINT: {
      // Validates, so that a window procedure that ignores painting is not asked forever.
      PAINTSTRUCT ps;
      if (BeginPaint(hwnd, &ps)) EndPaint(hwnd, &ps);
      return 0;
    }
    case WM_SYSKEYDOWN:
      // Alt+F4 (VK_F1 + 3) asks the window to close.
      if (wParam == VK_F1 + 3 && (lParam & (1 << 29))) SendMessageA(hwnd, WM_CLOSE, 0, 0);
      return 0;
    default: return 0;
  }
}

}  // extern "C"
