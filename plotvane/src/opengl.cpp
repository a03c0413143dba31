// The OpenGL context pair: one for the window, one for the active page.
#include <cfenv>

#include "plotvane/session.h"

namespace plotvane {

namespace {

PIXELFORMATDESCRIPTOR Descriptor(DWORD flags, BYTE colorBits) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = 40;
  pfd.nVersion = 1;
  pfd.dwFlags = flags;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = colorBits;
  pfd.cDepthBits = 32;
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

}  // namespace

void CreateGLContexts() {
  GraphSession &s = Session();
  // OpenGL drivers may change the floating-point control state; the program's must stay.
  std::fenv_t saved;
  std::fegetenv(&saved);

  const PIXELFORMATDESCRIPTOR windowPfd = Descriptor(PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER, 24);
  SetPixelFormat(s.WindowDC, ChoosePixelFormat(s.WindowDC, &windowPfd), &windowPfd);
  s.WindowGLContext = wglCreateContext(s.WindowDC);

  const PIXELFORMATDESCRIPTOR pagePfd =
      Descriptor(PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL, s.ColorDepth);
  SetPixelFormat(s.PageDC, ChoosePixelFormat(s.PageDC, &pagePfd), &pagePfd);
  s.PageGLContext = wglCreateContext(s.PageDC);

  std::feclearexcept(FE_ALL_EXCEPT);
  std::fesetenv(&saved);

  if (s.WindowGLContext && s.PageGLContext) {
    s.GLAvailable = true;
    UseGLContext(false);
    return;
  }
  // Half a pair is of no use; don't keep it alive until close.
  if (s.WindowGLContext) wglDeleteContext(s.WindowGLContext);
  if (s.PageGLContext) wglDeleteContext(s.PageGLContext);
  s.WindowGLContext = s.PageGLContext = nullptr;
  s.GLAvailable = false;
  s.GraphError = grNoOpenGL;
}

void UseGLContext(bool toWindow) {
  GraphSession &s = Session();
  // Closed, the session lock no longer exists.
  if (!s.WindowOpen) {
    s.GraphError = grNotOpen;
    return;
  }
  if (!s.GLAvailable) {
    s.GraphError = grNoOpenGL;
    return;
  }
  EnterCriticalSection(&s.SessionLock);
  const ViewAreaRecord kept = s.ViewArea;
  SetViewArea(0, 0, static_cast<int16_t>(s.MaxX), static_cast<int16_t>(s.MaxY), false);
  if (toWindow)
    wglMakeCurrent(s.WindowDC, s.WindowGLContext);
  else
    wglMakeCurrent(s.PageDC, s.PageGLContext);
  SetViewArea(kept.X1, kept.Y1, kept.X2, kept.Y2, kept.Clip);
  LeaveCriticalSection(&s.SessionLock);
}

void FlushGLDrawing() {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (!s.GLAvailable) {
    s.GraphError = grNoOpenGL;
    return;
  }
  // The meeting writes into the page, which a paint may be copying from.
  EnterCriticalSection(&s.SessionLock);
  GdiFlush();
  LeaveCriticalSection(&s.SessionLock);
  if (s.DrawThrough) InvalidateRect(s.WindowHandle, nullptr, FALSE);
}

void ReleaseGLContexts() {
  GraphSession &s = Session();
  if (!s.WindowGLContext && !s.PageGLContext) return;
  wglMakeCurrent(nullptr, nullptr);
  if (s.WindowGLContext) wglDeleteContext(s.WindowGLContext);
  if (s.PageGLContext) wglDeleteContext(s.PageGLContext);
  s.WindowGLContext = s.PageGLContext = nullptr;
  s.GLAvailable = false;
}

}  // namespace plotvane
