// OpenGL contexts on DCs: pixel formats, contexts that render into a 32-bit DIB section and a
// window surface, and refusals where nothing can be rendered into.
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <pvplatform.h>
#include <windows.h>

#include <vector>

namespace {

// GL entry points, taken from the renderer the platform loaded (the test links no GL).
struct Gl {
  void (*clearColor)(float, float, float, float) = nullptr;
  void (*clear)(unsigned) = nullptr;
  void (*finish)() = nullptr;
  void (*viewport)(int, int, int, int) = nullptr;
  void (*enable)(unsigned) = nullptr;
  void (*scissor)(int, int, int, int) = nullptr;
  bool ok = false;
};
constexpr unsigned kColorBufferBit = 0x4000, kScissorTest = 0x0C11;

Gl LoadGl() {
  Gl gl;
  void *lib = nullptr;
  for (const char *n : {"libOSMesa.so.8", "libOSMesa.so.6", "libOSMesa.so"})
    if ((lib = dlopen(n, RTLD_NOW | RTLD_NOLOAD))) break;
  if (!lib) return gl;
  auto get = reinterpret_cast<void *(*)(const char *)>(dlsym(lib, "OSMesaGetProcAddress"));
  gl.clearColor = reinterpret_cast<decltype(gl.clearColor)>(get("glClearColor"));
  gl.clear = reinterpret_cast<decltype(gl.clear)>(get("glClear"));
  gl.finish = reinterpret_cast<decltype(gl.finish)>(get("glFinish"));
  gl.viewport = reinterpret_cast<decltype(gl.viewport)>(get("glViewport"));
  gl.enable = reinterpret_cast<decltype(gl.enable)>(get("glEnable"));
  gl.scissor = reinterpret_cast<decltype(gl.scissor)>(get("glScissor"));
  gl.ok = gl.clearColor && gl.clear && gl.finish && gl.viewport && gl.enable && gl.scissor;
  dlclose(lib);
  return gl;
}

PIXELFORMATDESCRIPTOR Descriptor(BYTE colorBits, DWORD flags) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = colorBits;
  pfd.cDepthBits = 32;
  pfd.iLayerType = PFD_MAIN_PLANE;
  pfd.dwFlags = flags;
  return pfd;
}

// A bottom-up DIB section, as the library's pages; palette ones hold black, red, blue, green,
// then white.
struct Page {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  Page(int w, int h, int bpp) {
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD colors[256];
    } info{};
    info.h.biSize = sizeof info.h;
    info.h.biWidth = w;
    info.h.biHeight = h;
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(bpp);
    const RGBQUAD first[4] = {{0, 0, 0, 0}, {0, 0, 255, 0}, {255, 0, 0, 0}, {0, 255, 0, 0}};
    for (int i = 0; i < 256; ++i) info.colors[i] = i < 4 ? first[i] : RGBQUAD{255, 255, 255, 0};
    void *bits = nullptr;
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
  }
  ~Page() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
};

constexpr DWORD kBitmapFlags = PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI | PFD_SUPPORT_OPENGL;
constexpr DWORD kWindowFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;

TEST(WglFormats, ChooseSetAndDescribe) {
  Page page(8, 8, 32);
  auto pfd = Descriptor(32, kBitmapFlags);
  int format = ChoosePixelFormat(page.dc, &pfd);
  ASSERT_GT(format, 0);
  PIXELFORMATDESCRIPTOR got;
  const int count = DescribePixelFormat(page.dc, format, sizeof got, &got);
  EXPECT_GE(count, format);
  EXPECT_TRUE(got.dwFlags & PFD_DRAW_TO_BITMAP);
  EXPECT_TRUE(got.dwFlags & PFD_SUPPORT_OPENGL);
  EXPECT_EQ(got.cColorBits, 32);
  EXPECT_EQ(DescribePixelFormat(page.dc, count + 1, sizeof got, &got), 0);
  EXPECT_TRUE(SetPixelFormat(page.dc, format, &pfd));
  EXPECT_FALSE(SetPixelFormat(page.dc, format == 1 ? 2 : 1, &pfd));  // a DC's format is set once
  EXPECT_EQ(ChoosePixelFormat(nullptr, &pfd), 0);
  EXPECT_FALSE(SetPixelFormat(nullptr, format, &pfd));
}

TEST(WglContexts, NeedAPixelFormatAndPixels) {
  Page unformatted(8, 8, 32);
  EXPECT_EQ(wglCreateContext(unformatted.dc), nullptr);

  // The desktop's DC has nothing to draw on.
  HDC screen = GetDC(GetDesktopWindow());
  auto pfd = Descriptor(32, kBitmapFlags);
  ASSERT_TRUE(SetPixelFormat(screen, ChoosePixelFormat(screen, &pfd), &pfd));
  EXPECT_EQ(wglCreateContext(screen), nullptr);
  ReleaseDC(GetDesktopWindow(), screen);
  EXPECT_FALSE(wglDeleteContext(nullptr));
  EXPECT_FALSE(wglMakeCurrent(unformatted.dc, reinterpret_cast<HGLRC>(static_cast<uintptr_t>(0x99))));
}

// GL draws into true-colour and palette bitmaps alike; on a palette bitmap its pixels arrive in
// the nearest table colours at GdiFlush and when the context lets go, and what GDI drew
// between the two stays where GL did not draw.
TEST(WglContexts, RenderIntoTheDibSectionAndLetGo) {
  const int w = 16, h = 12;
  for (const int bpp : {32, 8, 4}) {
    SCOPED_TRACE(bpp);
    Page page(w, h, bpp);
    auto pfd = Descriptor(static_cast<BYTE>(bpp), kBitmapFlags);
    ASSERT_TRUE(SetPixelFormat(page.dc, ChoosePixelFormat(page.dc, &pfd), &pfd));
    HGLRC rc = wglCreateContext(page.dc);
    if (!rc) GTEST_SKIP() << "no OpenGL renderer on this machine";
    Gl gl = LoadGl();
    ASSERT_TRUE(gl.ok);
    ASSERT_TRUE(wglMakeCurrent(page.dc, rc));
    EXPECT_EQ(wglGetCurrentContext(), rc);
    EXPECT_EQ(wglGetCurrentDC(), page.dc);

    gl.clearColor(0.9f, 0.05f, 0.0f, 1.0f);  // nearest in the table: red
    gl.clear(kColorBufferBit);
    // Bottom-left 4x3 (GL's origin) in blue: on a bottom-up DIB that is the last rows shown.
    gl.enable(kScissorTest);
    gl.scissor(0, 0, 4, 3);
    gl.clearColor(0.0f, 0.0f, 1.0f, 1.0f);
    gl.clear(kColorBufferBit);
    gl.finish();
    GdiFlush();
    const COLORREF red = bpp == 32 ? RGB(230, 13, 0) : RGB(255, 0, 0);
    EXPECT_EQ(GetPixel(page.dc, 10, 2), red);
    EXPECT_EQ(GetPixel(page.dc, 0, h - 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(page.dc, 3, h - 3), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(page.dc, 4, h - 1), red);
    EXPECT_EQ(GetPixel(page.dc, 0, h - 4), red);

    SetPixelV(page.dc, 10, 2, RGB(0, 255, 0));
    gl.scissor(12, 0, 4, 3);
    gl.clear(kColorBufferBit);
    ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
    EXPECT_EQ(wglGetCurrentContext(), nullptr);
    EXPECT_EQ(GetPixel(page.dc, 10, 2), RGB(0, 255, 0));
    EXPECT_EQ(GetPixel(page.dc, 15, h - 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(page.dc, 0, h - 1), RGB(0, 0, 255));
    EXPECT_EQ(GetPixel(page.dc, 11, 2), red);
    EXPECT_TRUE(wglDeleteContext(rc));
    EXPECT_FALSE(wglDeleteContext(rc));
  }
}

LRESULT CALLBACK Plain(HWND h, UINT m, WPARAM w, LPARAM l) { return DefWindowProcA(h, m, w, l); }

TEST(WglContexts, WindowContextRendersIntoTheWindowSurface) {
  pvplatform::SetHostKind(pvplatform::HostKind::Headless);
  WNDCLASSA wc{};
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = Plain;
  wc.lpszClassName = "WglTest";
  ASSERT_NE(RegisterClassA(&wc), 0);
  HWND hwnd = CreateWindowExA(0, "WglTest", "gl", WS_POPUP, 0, 0, 20, 10, nullptr, nullptr, nullptr, nullptr);
  ASSERT_NE(hwnd, nullptr);
  HDC dc = GetDC(hwnd);
  auto pfd = Descriptor(24, kWindowFlags);
  ASSERT_TRUE(SetPixelFormat(dc, ChoosePixelFormat(dc, &pfd), &pfd));
  HGLRC rc = wglCreateContext(dc);
  if (rc) {
    Gl gl = LoadGl();
    ASSERT_TRUE(gl.ok);
    ASSERT_TRUE(wglMakeCurrent(dc, rc));
    gl.clearColor(0.0f, 1.0f, 0.0f, 1.0f);
    gl.clear(kColorBufferBit);
    wglMakeCurrent(nullptr, nullptr);  // letting go finishes the drawing
    std::vector<uint32_t> px;
    int w, h;
    ASSERT_TRUE(pvplatform::CopyWindowSurface(hwnd, px, w, h));
    EXPECT_EQ(px[0] & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(px[px.size() - 1] & 0xFFFFFF, 0x00FF00u);
    EXPECT_TRUE(wglDeleteContext(rc));
  }
  DestroyWindow(hwnd);
  UnregisterClassA("WglTest", nullptr);
  if (!rc) GTEST_SKIP() << "no OpenGL renderer on this machine";
}

}  // namespace
