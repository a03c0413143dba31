// The mouse event queue, the mouse hook and the last mouse state.
#include "plotvane/session.h"

namespace plotvane {

namespace {

inline int32_t NextEntry(int32_t i) { return i == MouseEventQueueRecord::Capacity ? 1 : i + 1; }

uint16_t ButtonsFromKeyFlags(WPARAM flags) {
  uint16_t b = 0;
  if (flags & MK_LBUTTON) b |= mbLeft;
  if (flags & MK_RBUTTON) b |= mbRight;
  if (flags & MK_MBUTTON) b |= mbMiddle;
  if (flags & MK_SHIFT) b |= mbShift;
  if (flags & MK_CONTROL) b |= mbCtrl;
  return b;
}

}  // namespace

void PushMouseEvent(uint16_t event, WPARAM wParam, LPARAM lParam) {
  GraphSession &s = Session();
  MouseEventQueueRecord &q = s.MouseEventQueue;
  EnterCriticalSection(&q.MouseQueueLock);
  const int32_t w = q.WriteIndex;
  MouseEvent &e = q.Entries[w];
  e.Event = event;
  e.Buttons = ButtonsFromKeyFlags(wParam);
  e.X = LOWORD(lParam);
  e.Y = HIWORD(lParam);
  e.Wheel = event == meWheel ? static_cast<int16_t>(HIWORD(wParam)) : 0;
  s.LastButtons = e.Buttons;
  s.LastX = e.X;
  s.LastY = e.Y;
  q.WriteIndex = NextEntry(w);
  if (q.WriteIndex == q.ReadIndex) q.ReadIndex = NextEntry(q.ReadIndex);
  LeaveCriticalSection(&q.MouseQueueLock);
}

LRESULT CALLBACK MouseHook(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
  MouseEventQueueRecord &q = Session().MouseEventQueue;
  switch (msg) {
    case WM_CREATE:
      InitializeCriticalSection(&q.MouseQueueLock);
      q.ReadIndex = 1;
      q.WriteIndex = 1;
      break;
    case WM_DESTROY: DeleteCriticalSection(&q.MouseQueueLock); break;
    case WM_MOUSEMOVE: PushMouseEvent(meMove, wParam, lParam); break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN: PushMouseEvent(meButtonDown, wParam, lParam); break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
    case WM_MBUTTONUP: PushMouseEvent(meButtonUp, wParam, lParam); break;
    case WM_MOUSEWHEEL: PushMouseEvent(meWheel, wParam, lParam); break;
    default: break;
  }
  return 0;
}

void StartMouse(GraphSession &s) { s.MouseHookSlot = MouseHook; }

uint16_t MouseX() { return Session().LastX; }
uint16_t MouseY() { return Session().LastY; }
uint16_t MouseButtons() { return Session().LastButtons; }

bool NextMouseEvent(MouseEvent &event) {
  GraphSession &s = Session();
  // The queue's lock lives with the window.
  if (!s.WindowOpen) return false;
  MouseEventQueueRecord &q = s.MouseEventQueue;
  EnterCriticalSection(&q.MouseQueueLock);
  const int32_t r = q.ReadIndex;
  const bool any = r != q.WriteIndex;
  if (any) {
    event = q.Entries[r];
    q.ReadIndex = NextEntry(r);
  }
  LeaveCriticalSection(&q.MouseQueueLock);
  return any;
}

}  // namespace plotvane
