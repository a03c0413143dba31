#include "present.h"

#include <plotvane/session.h>

namespace pvbench {

void WaitForPaint() {
  plotvane::GraphSession &s = plotvane::Session();
  UpdateWindow(s.WindowHandle);
  EnterCriticalSection(&s.SessionLock);
  LeaveCriticalSection(&s.SessionLock);
}

void PresentShownPage() {
  InvalidateRect(plotvane::Session().WindowHandle, nullptr, FALSE);
  WaitForPaint();
}

void ShowGraphWindow(bool shown) {
  ShowWindow(plotvane::Session().WindowHandle, shown ? SW_SHOWNORMAL : SW_HIDE);
  if (shown) WaitForPaint();
}

void BlitPageToWindow() {
  plotvane::GraphSession &s = plotvane::Session();
  EnterCriticalSection(&s.SessionLock);
  BitBlt(s.WindowDC, 0, 0, s.MaxX + 1, s.MaxY + 1, s.PageDC, 0, 0, SRCCOPY);
  LeaveCriticalSection(&s.SessionLock);
}

}  // namespace pvbench
