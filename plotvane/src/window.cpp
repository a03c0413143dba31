// Opening and closing the graphics window, the window thread with its message loop and window
// procedure, and the four drawing pages.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#ifdef __GLIBC__
#include <unistd.h>
#endif

#include "plotvane/session.h"

namespace plotvane {

namespace {

constexpr uint32_t FramedStyle = WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;  // 0x00CA0000
constexpr uint32_t PopupStyle = static_cast<uint32_t>(WS_POPUP);

// What ResolveWindowGeometry works out; committed to the session only when the open goes on,
// so that a refused open leaves the session as it was.
struct Geometry {
  int32_t OuterWidth = 0, OuterHeight = 0;
  uint32_t WindowStyle = 0;
  uint8_t ColorDepth = 0;
  bool PaletteMode = false;
  uint16_t MaxColors = 0;
};

bool ClientSizeForMode(const GraphSession &s, int16_t mode, int32_t fw, int32_t fh, int32_t &w, int32_t &h) {
  switch (mode) {
    case 1: w = 320, h = 200; return true;
    case 2: w = 640, h = 200; return true;
    case 3: w = 640, h = 350; return true;
    case 4: w = 640, h = 480; return true;
    case 5: w = 720, h = 350; return true;
    case 6: w = 800, h = 600; return true;
    case 7: w = 1024, h = 768; return true;
    case 8: w = 1280, h = 1024; return true;
    case 10: w = -fw, h = -fh; return true;
    case 11: w = s.ScreenWidth - fw, h = s.ScreenHeight - fh; return true;
    case 12: w = s.ScreenWidth, h = s.ScreenHeight; return true;
    case 13:
      // Nothing sets a custom size by default; a window without pixels would have empty pages.
      w = s.CustomWidth, h = s.CustomHeight;
      return w > 0 && h > 0;
    default: return false;
  }
}

bool ResolveGeometry(GraphSession &s, int16_t driver, int16_t mode, Geometry &g) {
  const int32_t fw = 2 * GetSystemMetrics(SM_CXDLGFRAME);
  const int32_t fh = 2 * GetSystemMetrics(SM_CYDLGFRAME) + GetSystemMetrics(SM_CYCAPTION);
  int32_t w = 65535, h = 65535;
  if (!ClientSizeForMode(s, mode, fw, fh, w, h)) w = h = 65535;

  g.OuterWidth = w + fw;
  g.OuterHeight = h + fh;
  if (g.OuterWidth <= s.ScreenWidth && g.OuterHeight <= s.ScreenHeight) {
    g.WindowStyle = FramedStyle;
  } else if (w <= s.ScreenWidth && h <= s.ScreenHeight) {
    g.OuterWidth = w;
    g.OuterHeight = h;
    g.WindowStyle = PopupStyle;
  } else {
    s.GraphError = grInvalidMode;
    return false;
  }

  switch (driver) {
    case 1: g.ColorDepth = 1; break;
    case 2: g.ColorDepth = 4; break;
    case 3: g.ColorDepth = 8; break;
    case 9: {
      HWND desktop = GetDesktopWindow();
      HDC dc = GetDC(desktop);
      g.ColorDepth = static_cast<uint8_t>(GetDeviceCaps(dc, BITSPIXEL));
      ReleaseDC(desktop, dc);
      g.PaletteMode = false;
      g.MaxColors = s.MaxColors;  // not set by driver 9
      return true;
    }
    default: s.GraphError = grInvalidDriver; return false;
  }
  g.PaletteMode = true;
  g.MaxColors = static_cast<uint16_t>(1u << g.ColorDepth);
  return true;
}

void WaitForThreadEnd(GraphSession &s) {
  DWORD code = STILL_ACTIVE;
  do {
    Sleep(10);
    GetExitCodeThread(s.ThreadHandle, &code);
  } while (code == STILL_ACTIVE);
  CloseHandle(s.ThreadHandle);
  s.ThreadHandle = nullptr;
  s.ProgramThreadId = 0;
}

LRESULT CallHook(MessageHook hook, HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  return hook ? hook(hwnd, msg, wParam, lParam) : 0;
}

void CreationSequence(GraphSession &s, HWND hwnd) {
  s.WindowHandle = hwnd;
  RECT client{};
  GetClientRect(hwnd, &client);
  s.MaxX = client.right - 1;
  s.MaxY = client.bottom - 1;

  s.WindowDC = GetDC(hwnd);
  s.PageDC = CreateCompatibleDC(nullptr);
  s.SpareDC = CreateCompatibleDC(nullptr);
  s.InitialPalette = static_cast<HPALETTE>(GetCurrentObject(s.WindowDC, OBJ_PAL));
  s.InitialPen = GetCurrentObject(s.WindowDC, OBJ_PEN);
  s.InitialBrush = GetCurrentObject(s.WindowDC, OBJ_BRUSH);
  s.InitialFont = GetCurrentObject(s.WindowDC, OBJ_FONT);
  s.InitialBitmap = GetCurrentObject(s.PageDC, OBJ_BITMAP);

  if (s.PaletteMode) {
    CreateSessionPalette();
    SelectPalette(s.WindowDC, s.SessionPalette, TRUE);
    SelectPalette(s.PageDC, s.SessionPalette, TRUE);
    SelectPalette(s.SpareDC, s.SessionPalette, TRUE);
  }
  // A fresh palette has no installed size yet; MapColor then reduces by MaxColors.
  s.PaletteSize = 0;
  // New device contexts copy; an open that stops before the defaults must not inherit a mix.
  s.RasterMix = R2_COPYPEN;
  CreateDrawPages();
  InitializeCriticalSection(&s.SessionLock);
  CallHook(s.MouseHookSlot, hwnd, WM_CREATE, 0, 0);
  CallHook(s.KeyboardHookSlot, hwnd, WM_CREATE, 0, 0);
  s.WindowOpen = true;
}

void PaintSequence(GraphSession &s, HWND hwnd) {
  if (!GetUpdateRect(hwnd, nullptr, FALSE)) return;
  EnterCriticalSection(&s.SessionLock);
  if (s.ClipRegion) SelectClipRgn(s.WindowDC, nullptr);
  PAINTSTRUCT ps{};
  BeginPaint(hwnd, &ps);
  // What BeginPaint validated, which takes in what was invalidated while the lock was awaited.
  const RECT &r = ps.rcPaint;
  const int w = r.right - r.left;
  const int h = r.bottom - r.top;
  const uint16_t shown = s.ShownPage;
  if (shown == s.ActivePage) {
    BitBlt(s.WindowDC, r.left, r.top, w, h, s.PageDC, r.left, r.top, SRCCOPY);
  } else {
    HGDIOBJ replaced = SelectObject(s.PageDC, s.Pages[shown]);
    BitBlt(s.WindowDC, r.left, r.top, w, h, s.PageDC, r.left, r.top, SRCCOPY);
    SelectObject(s.PageDC, replaced);
  }
  EndPaint(hwnd, &ps);
  if (s.ClipRegion) SelectClipRgn(s.WindowDC, s.ClipRegion);
  LeaveCriticalSection(&s.SessionLock);
}

// Puts the initial object back into both DCs and deletes the one the session made.
template <typename Handle>
void RestoreAndDelete(GraphSession &s, HGDIOBJ initial, Handle &current) {
  SelectObject(s.WindowDC, initial);
  SelectObject(s.PageDC, initial);
  if (current) DeleteObject(current);
  current = nullptr;
}

void DestructionSequence(GraphSession &s, HWND hwnd) {
  CallHook(s.MouseHookSlot, hwnd, WM_DESTROY, 0, 0);
  CallHook(s.KeyboardHookSlot, hwnd, WM_DESTROY, 0, 0);
  DeleteCriticalSection(&s.SessionLock);
  if (s.PatternBitmap) DeleteObject(s.PatternBitmap);
  s.PatternBitmap = nullptr;

  SelectObject(s.PageDC, s.InitialBitmap);
  for (HBITMAP &page : s.Pages) {
    if (page) DeleteObject(page);
    page = nullptr;
  }
  s.PageColorTable.clear();

  if (s.PaletteMode) {
    SelectPalette(s.WindowDC, s.InitialPalette, TRUE);
    SelectPalette(s.PageDC, s.InitialPalette, TRUE);
    SelectPalette(s.SpareDC, s.InitialPalette, TRUE);
    DeleteObject(s.SessionPalette);
    s.SessionPalette = nullptr;
    s.PaletteMode = false;
  }
  RestoreAndDelete(s, s.InitialFont, s.CurrentFont);
  RestoreAndDelete(s, s.InitialBrush, s.CurrentBrush);
  RestoreAndDelete(s, s.InitialPen, s.CurrentPen);
  if (s.ClipRegion) {
    SelectClipRgn(s.WindowDC, nullptr);
    SelectClipRgn(s.PageDC, nullptr);
    DeleteObject(s.ClipRegion);
    s.ClipRegion = nullptr;
  }
  DeleteDC(s.PageDC);
  DeleteDC(s.SpareDC);
  s.PageDC = s.SpareDC = nullptr;
  PostQuitMessage(0);
}

#ifdef __GLIBC__
// Our platform lives in this process: once the handlers are done, the exit would destroy it
// under the threads still using it. When another thread ends the process, it ends here, with
// its status and its output flushed.
void ExitHandler(int status, void *) {
  if (ExitLibrary()) return;
  std::fflush(nullptr);
  _exit(status);
}
#else
// The system stops the other threads as the process ends; the library's record outlives them.
void ExitHandler() { ExitLibrary(); }
#endif

// The close at process exit is registered once the first window is up: by then the platform
// has made everything a window uses, and handlers run before what was made before them is
// torn down.
void CloseAtExit() {
  static bool registered = false;
  if (registered) return;
  registered = true;
#ifdef __GLIBC__
  on_exit(ExitHandler, nullptr);
#else
  std::atexit(ExitHandler);
#endif
}

}  // namespace

void CreateDrawPages() {
  GraphSession &s = Session();
  struct {
    BITMAPINFOHEADER header;
    RGBQUAD colors[256];
  } info{};
  info.header.biSize = sizeof(BITMAPINFOHEADER);
  info.header.biWidth = s.MaxX + 1;
  info.header.biHeight = s.MaxY + 1;
  info.header.biPlanes = 1;
  info.header.biBitCount = s.ColorDepth;
  info.header.biCompression = BI_RGB;
  info.header.biClrUsed = s.PaletteMode ? s.MaxColors : 0;
  for (HBITMAP &page : s.Pages) {
    void *bits = nullptr;
    page = CreateDIBSection(s.WindowDC, reinterpret_cast<const BITMAPINFO *>(&info), DIB_RGB_COLORS, &bits,
                            nullptr, 0);
  }
  s.PageColorTable.assign(s.PaletteMode ? s.MaxColors : 0, RGBQUAD{});
}

DWORD WINAPI WindowThread(LPVOID caption) {
  GraphSession &s = Session();
  HMODULE module = GetModuleHandleA(nullptr);
  WNDCLASSA wc{};
  wc.style = CS_OWNDC | CS_BYTEALIGNCLIENT;
  wc.lpfnWndProc = GraphWindowProc;
  wc.hInstance = module;
  wc.hIcon = LoadIconA(module, "GrIcon");
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_MENU + 1));
  wc.lpszClassName = WindowClassName;
  if (!RegisterClassA(&wc)) {
    s.GraphError = grNoWindow;
    return 0;
  }

  int x = CW_USEDEFAULT, y = CW_USEDEFAULT, w = CW_USEDEFAULT, h = CW_USEDEFAULT;
  if (s.OuterWidth != 0) {
    x = (s.ScreenWidth - s.OuterWidth) / 2;
    y = (s.ScreenHeight - s.OuterHeight) / 2;
    w = s.OuterWidth;
    h = s.OuterHeight;
  }
  HWND hwnd = CreateWindowExA(0, WindowClassName, static_cast<const char *>(caption), s.WindowStyle, x, y, w, h,
                              nullptr, nullptr, module, nullptr);
  if (!hwnd) {
    // Left registered, the class would make every later open fail as well.
    UnregisterClassA(WindowClassName, module);
    s.GraphError = grNoWindow;
    return 0;
  }

  MSG msg{};
  while (GetMessageA(&msg, nullptr, 0, 0) == 1) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  s.GraphError = static_cast<int16_t>(LOWORD(msg.wParam));
  UnregisterClassA(WindowClassName, module);
  return 0;
}

LRESULT CALLBACK GraphWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  GraphSession &s = Session();
  switch (msg) {
    case WM_CREATE:
      CreationSequence(s, hwnd);
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_DESTROY:
      DestructionSequence(s, hwnd);
      return 0;
    case WM_PAINT:
      PaintSequence(s, hwnd);
      return 0;
    case WM_ERASEBKGND:
      if (s.WindowOpen) return 1;
      return DefWindowProcA(hwnd, msg, wParam, lParam);
    case WM_CLOSE:
    case WM_KEYDOWN:
    case WM_CHAR:
    case WM_SYSKEYDOWN:
      return CallHook(s.KeyboardHookSlot, hwnd, msg, wParam, lParam);
    case WM_SYSCHAR:
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP:
    case WM_MOUSEWHEEL:
      return CallHook(s.MouseHookSlot, hwnd, msg, wParam, lParam);
    case WM_USER:
      DestroyWindow(hwnd);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wParam, lParam);
  }
}

void QueryGraphMode(int16_t &driver, int16_t &mode) {
  driver = 9;
  mode = 10;
}

void OpenGraphWindow(int16_t &driver, int16_t &mode, std::string_view caption) {
  GraphSession &s = Session();
  s.GraphError = grOk;
  if (s.WindowOpen) {
    s.GraphError = grAlreadyOpen;
    return;
  }
  if (driver == 0) QueryGraphMode(driver, mode);

  Geometry g;
  if (!ResolveGeometry(s, driver, mode, g)) return;
  s.Driver = driver;
  s.Mode = mode;
  s.OuterWidth = g.OuterWidth;
  s.OuterHeight = g.OuterHeight;
  s.WindowStyle = g.WindowStyle;
  s.ColorDepth = g.ColorDepth;
  s.PaletteMode = g.PaletteMode;
  s.MaxColors = g.MaxColors;

  if (caption.empty()) caption = DefaultCaption;
  const size_t n = caption.size() < sizeof s.Caption - 1 ? caption.size() : sizeof s.Caption - 1;
  std::memcpy(s.Caption, caption.data(), n);
  s.Caption[n] = '\0';

  s.ProgramThreadId = GetCurrentThreadId();
  s.ThreadHandle = CreateThread(nullptr, 0, WindowThread, s.Caption, 0, nullptr);
  if (!s.ThreadHandle) {
    s.ProgramThreadId = 0;
    s.GraphError = grNoWindow;
    return;
  }
  SetThreadPriority(s.ThreadHandle, THREAD_PRIORITY_ABOVE_NORMAL);

  do {
    Sleep(10);
  } while (!s.WindowOpen && s.GraphError == grOk);
  if (s.GraphError != grOk) {
    WaitForThreadEnd(s);  // it has failed; don't leak its handle
    return;
  }

  s.ShownPage = 0;
  SetDrawPage(0);
  ProbeStandardFaces();
  if (s.GraphError != grOk) {  // open, but not shown
    CloseAtExit();
    return;
  }
  s.ClipRegion = nullptr;
  s.PatternBitmap = nullptr;
  ApplySessionDefaults();
  CreateGLContexts();

  STARTUPINFOA si{};
  si.cb = sizeof si;
  GetStartupInfoA(&si);
  ShowWindow(s.WindowHandle, si.wShowWindow);
  ShowWindow(s.WindowHandle, SW_SHOWNORMAL);
  SetForegroundWindow(s.WindowHandle);
  CloseAtExit();
}

void ApplySessionDefaults() {
  GraphSession &s = Session();
  if (s.PaletteMode) {
    PaletteRecord stock;
    ReadStockPalette(stock);
    InstallPalette(stock);
  } else {
    ResetNamedColors();
  }
  s.LineStyle = 0;
  s.LinePattern = 0;
  s.LineThickness = 1;
  SetDrawColor(s.NamedColors[ncWhite]);
  SetBackColor(s.NamedColors[ncBlack]);
  const uint8_t solid[8] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
  SetFillPattern(solid, s.NamedColors[ncWhite]);
  SetFillKind(1, s.NamedColors[ncWhite]);
  SetTextFont(0, 0, 16);
  SetTextAlignment(0, 0);
  SetTextSpacing(0, 0, 0, 0);
  SetViewArea(0, 0, static_cast<int16_t>(s.MaxX), static_cast<int16_t>(s.MaxY), false);
  SetRasterMode(0);
  SetAspect(10000, 10000);
}

void CloseGraphWindow() {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  s.WindowOpen = false;
  ReleaseGLContexts();
  PostMessageA(s.WindowHandle, WM_USER, 0, 0);
  WaitForThreadEnd(s);
}

bool GraphActive() { return Session().WindowOpen; }

int16_t ScreenMaxX() { return static_cast<int16_t>(Session().MaxX); }
int16_t ScreenMaxY() { return static_cast<int16_t>(Session().MaxY); }

void SetDrawPage(uint16_t page) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (page >= 4) page = 0;
  EnterCriticalSection(&s.SessionLock);
  s.ActivePage = page;
  SelectObject(s.PageDC, s.Pages[page]);
  // Inside the lock: a paint may have another page selected into PageDC for a moment.
  if (s.PaletteMode) SetDIBColorTable(s.PageDC, 0, s.MaxColors, s.PageColorTable.data());
  LeaveCriticalSection(&s.SessionLock);
  s.DrawThrough = s.ActivePage == s.ShownPage;
}

void SetShowPage(uint16_t page) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (page >= 4) page = 0;
  s.ShownPage = page;
  s.DrawThrough = s.ActivePage == s.ShownPage;
  InvalidateRect(s.WindowHandle, nullptr, FALSE);
}

}  // namespace plotvane
