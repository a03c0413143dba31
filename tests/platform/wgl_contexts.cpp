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

struct Page {
  HDC dc = nullptr;
  HBITMAP bitmap = nullptr;
  HGDIOBJ old = nullptr;
  void *bits = nullptr;
  Page(int w, int h, int bpp) {
    struct {
      BITMAPINFOHEADER h;
      RGBQUAD colors[256];
    } info{};
    info.h.biSize = sizeof info.h;
    info.h.biWidth = w;
    info.h.biHeight = h;  // bottom-up, as the library's pages
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(bpp);
    dc = CreateCompatibleDC(nullptr);
    bitmap = CreateDIBSection(dc, reinterpret_cast<BITMAPINFO *>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    old = SelectObject(dc, bitmap);
  }
  ~Page() {
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteDC(dc);
  }
  uint32_t At(int x, int yFromTop, int w, int h) const {
    return static_cast<const uint32_t *>(bits)[static_cast<size_t>(h - 1 - yFromTop) * w + x] & 0xFFFFFF;
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

TEST(WglContexts, NeedAPixelFormatAndThirtyTwoBitPixels) {
  Page unformatted(8, 8, 32);
  EXPECT_EQ(wglCreateContext(unformatted.dc), nullptr);

  // 8-bit pages cannot be rendered into: the caller learns OpenGL is not there for them.
  Page indexed(8, 8, 8);
  auto pfd = Descriptor(8, kBitmapFlags);
  ASSERT_TRUE(SetPixelFormat(indexed.dc, ChoosePixelFormat(indexed.dc, &pfd), &pfd));
  EXPECT_EQ(wglCreateContext(indexed.dc), nullptr);
  EXPECT_FALSE(wglDeleteContext(nullptr));
  EXPECT_FALSE(wglMakeCurrent(unformatted.dc, reinterpret_cast<HGLRC>(static_cast<uintptr_t>(0x99))));
}

TEST(WglContexts, RenderIntoTheDibSectionAndLetGo) {
  const int w = 16, h = 12;
  Page page(w, h, 32);
  auto pfd = Descriptor(32, kBitmapFlags);
  ASSERT_TRUE(SetPixelFormat(page.dc, ChoosePixelFormat(page.dc, &pfd), &pfd));
  HGLRC rc = wglCreateContext(page.dc);
  if (!rc) GTEST_SKIP() << "no OpenGL renderer on this machine";
  Gl gl = LoadGl();
  ASSERT_TRUE(gl.ok);
  ASSERT_TRUE(wglMakeCurrent(page.dc, rc));
  EXPECT_EQ(wglGetCurrentContext(), rc);
  EXPECT_EQ(wglGetCurrentDC(), page.dc);

  gl.clearColor(1.0f, 0.0f, 0.0f, 1.0f);
  gl.clear(kColorBufferBit);
  // Bottom-left 4x3 (GL's origin) in blue: on a bottom-up DIB that is the last rows shown.
  gl.enable(kScissorTest);
  gl.scissor(0, 0, 4, 3);
  gl.clearColor(0.0f, 0.0f, 1.0f, 1.0f);
  gl.clear(kColorBufferBit);
  gl.finish();

  EXPECT_EQ(page.At(10, 2, w, h), 0xFF0000u);
  EXPECT_EQ(page.At(0, h - 1, w, h), 0x0000FFu);
  EXPECT_EQ(page.At(3, h - 3, w, h), 0x0000FFu);
  EXPECT_EQ(page.At(4, h - 1, w, h), 0xFF0000u);
  EXPECT_EQ(page.At(0, h - 4, w, h), 0xFF0000u);
  EXPECT_EQ(GetPixel(page.dc, 0, h - 1), RGB(0, 0, 255));  // GDI sees it too

  ASSERT_TRUE(wglMakeCurrent(nullptr, nullptr));
  EXPECT_EQ(wglGetCurrentContext(), nullptr);
  EXPECT_TRUE(wglDeleteContext(rc));
  EXPECT_FALSE(wglDeleteContext(rc));
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
