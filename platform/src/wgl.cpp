// OpenGL contexts on DCs, rendered by Mesa's off-screen renderer: straight into a window's
// surface, and into a bitmap (1, 4, 8 or 32 bits) through a 32-bit copy that meets the bitmap
// at set points (see Shadow). The renderer is loaded at run time, so a machine without
// it only lacks OpenGL: wglCreateContext returns NULL.
#include <dlfcn.h>

#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

#include "gdi_internal.h"
#include "user_internal.h"
#include "wgl_internal.h"

namespace pv::wgl {
namespace {

// The few declarations of the off-screen interface we use (its header would tie us to it).
using OsContext = void *;
constexpr unsigned kBgra = 0x1;          // OSMESA_BGRA: bytes B, G, R, A as 32-bit DIBs keep them
constexpr int kRowLength = 0x10;         // OSMESA_ROW_LENGTH
constexpr int kYUp = 0x11;               // OSMESA_Y_UP
constexpr unsigned kUnsignedByte = 0x1401;  // GL_UNSIGNED_BYTE

struct Mesa {
  OsContext (*create)(unsigned format, int depth, int stencil, int accum, OsContext share) = nullptr;
  void (*destroy)(OsContext) = nullptr;
  unsigned char (*makeCurrent)(OsContext, void *buffer, unsigned type, int width, int height) = nullptr;
  void (*pixelStore)(int name, int value) = nullptr;
  void (*finish)() = nullptr;
  bool ok = false;
};

const Mesa &LoadMesa() {
  static const Mesa mesa = [] {
    Mesa m;
    void *lib = nullptr;
#ifndef __EMSCRIPTEN__  // a browser has no off-screen Mesa (nor a dlopen to load one with)
    for (const char *name : {"libOSMesa.so.8", "libOSMesa.so.6", "libOSMesa.so"})
      if ((lib = dlopen(name, RTLD_NOW | RTLD_LOCAL))) break;
#endif
    if (!lib) {
      std::fprintf(stderr, "plotvane: OpenGL is not available (no off-screen Mesa library)\n");
      return m;
    }
    m.create = reinterpret_cast<decltype(m.create)>(dlsym(lib, "OSMesaCreateContextExt"));
    m.destroy = reinterpret_cast<decltype(m.destroy)>(dlsym(lib, "OSMesaDestroyContext"));
    m.makeCurrent = reinterpret_cast<decltype(m.makeCurrent)>(dlsym(lib, "OSMesaMakeCurrent"));
    m.pixelStore = reinterpret_cast<decltype(m.pixelStore)>(dlsym(lib, "OSMesaPixelStore"));
    using GetProc = void *(*)(const char *);
    if (auto get = reinterpret_cast<GetProc>(dlsym(lib, "OSMesaGetProcAddress")))
      m.finish = reinterpret_cast<void (*)()>(get("glFinish"));
    m.ok = m.create && m.destroy && m.makeCurrent && m.pixelStore && m.finish;
    return m;  // the library stays loaded for the life of the process
  }();
  return mesa;
}

// Pixel format 1 draws to windows, format 2 to bitmaps; both 32-bit RGBA with depth and stencil.
constexpr int kWindowFormat = 1, kBitmapFormat = 2, kFormats = 2;
constexpr BYTE kDepthBits = 24, kStencilBits = 8;

// GL renders a bitmap into a 32-bit copy, its shadow. The renderer keeps a picture of its own,
// which starts empty, and copies all of it into the shadow when it finishes. The shadow and
// the bitmap meet when the context lets go of the bitmap (wglMakeCurrent, wglDeleteContext) and
// at GdiFlush on the thread it is current on: the pixels of GL's picture that changed since
// the last meeting go into the bitmap (on a palette bitmap in the nearest colours of its
// table); the rest of the bitmap keeps what GDI drew. GL draws over its own picture, never
// over GDI's pixels.
struct Shadow {
  HBITMAP bitmap = nullptr;
  int width = 0, height = 0;
  std::vector<uint32_t> pixels;   // what GL draws on, top row first, bytes B, G, R, A
  std::vector<uint32_t> picture;  // GL's picture at the last meeting
};

struct Context {
  OsContext os = nullptr;
  int format = 0;
  DWORD currentOn = 0;  // thread it is current on, 0 if none
  // While current on a bitmap. Kept here, not with the thread: a thread's own objects are gone
  // before the handlers of a process exit let go of the context.
  std::unique_ptr<Shadow> shadow;
  // GL's picture when the context last let go of a bitmap: the renderer keeps it.
  std::vector<uint32_t> picture;
  int pictureWidth = 0, pictureHeight = 0;
};

std::mutex g_mutex;
std::map<HDC, int> g_formats;                 // pixel format set on each DC
std::map<uintptr_t, Context> g_contexts;
uintptr_t g_nextContext = 0x40004;

struct Current {
  HGLRC context = nullptr;
  HDC dc = nullptr;
  pv::WindowSurface *surface = nullptr;  // told about the change when the context lets go
  Shadow *shadow = nullptr;              // the context's, for a bitmap
};
thread_local Current t_current;

// What a DC draws on, for the renderer: a window's 32-bit pixels, or a bitmap drawn through a shadow.
struct Target {
  void *bits = nullptr;
  int width = 0, height = 0, rowPixels = 0;
  bool topDown = true;
  bool window = false;
  pv::WindowSurface *surface = nullptr;
  HBITMAP bitmap = nullptr;  // the bitmap, when it is one
};

bool TargetOf(HDC hdc, Target &t) {
  pv::gdi::GdiGuard guard(pv::gdi::GdiLock());
  pv::gdi::Dc *dc = pv::gdi::FindDc(hdc);
  if (!dc || dc->screen) return false;
  if (dc->surface) {
    t.surface = dc->surface;
    t.window = true;
    std::lock_guard lock(dc->surface->mutex);
    t.bits = dc->surface->pixels.data();
    t.width = t.rowPixels = dc->surface->width;
    t.height = dc->surface->height;
    t.topDown = true;
    return t.width > 0 && t.height > 0;
  }
  pv::gdi::Bitmap *b = dc->bitmap;
  if (!b || !b->bits) return false;
  t.width = b->width;
  t.height = b->height;
  t.bitmap = static_cast<HBITMAP>(b->handle);
  return true;
}

// The shadow's bitmap, or an empty raster when it is gone or no longer of the shadow's size.
// Caller holds GdiLock.
pv::gdi::Raster ShadowedRaster(const Shadow &sh) {
  const pv::gdi::Bitmap *b = pv::gdi::FindBitmap(sh.bitmap);
  pv::gdi::Raster r = b ? pv::gdi::RasterOf(*b) : pv::gdi::Raster{};
  return r.width == sh.width && r.height == sh.height ? r : pv::gdi::Raster{};
}

// Puts the pixels GL changed since the last meeting into the bitmap, on palette bitmaps in the
// nearest table colours.
void TakeFromGl(Shadow &sh) {
  pv::gdi::GdiGuard guard(pv::gdi::GdiLock());
  const pv::gdi::Raster r = ShadowedRaster(sh);
  if (!r.bpp) {
    sh.picture = sh.pixels;
    return;
  }
  // GL's pictures hold few colours, and long runs of one.
  struct Memo {
    uint32_t rgb = ~0u, index = 0;
  } memo[1024];
  for (int y = 0; y < sh.height; ++y) {
    for (int x = 0; x < sh.width; ++x) {
      const size_t i = static_cast<size_t>(y) * sh.width + x;
      if (sh.pixels[i] == sh.picture[i]) continue;
      const uint32_t rgb = sh.pixels[i] & 0xFFFFFFu;
      if (r.bpp == 32) {
        r.Set(x, y, rgb);
        continue;
      }
      Memo &m = memo[(rgb * 2654435761u) >> 22];
      if (m.rgb != rgb) {
        m.rgb = rgb;
        m.index = static_cast<uint32_t>(
            pv::gdi::NearestIndex(r.table, r.tableSize, RGB((rgb >> 16) & 0xFF, (rgb >> 8) & 0xFF, rgb & 0xFF)));
      }
      r.Set(x, y, m.index);
    }
  }
  sh.picture = sh.pixels;
}

bool IsWindowDc(HDC hdc) {
  pv::gdi::GdiGuard guard(pv::gdi::GdiLock());
  pv::gdi::Dc *dc = pv::gdi::FindDc(hdc);
  return dc && dc->surface;
}

void Describe(int format, PIXELFORMATDESCRIPTOR &pfd) {
  pfd = PIXELFORMATDESCRIPTOR{};
  pfd.nSize = sizeof pfd;
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_SUPPORT_OPENGL |
                (format == kWindowFormat ? PFD_DRAW_TO_WINDOW | PFD_DOUBLEBUFFER : PFD_DRAW_TO_BITMAP | PFD_SUPPORT_GDI);
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = 32;
  pfd.cRedBits = pfd.cGreenBits = pfd.cBlueBits = pfd.cAlphaBits = 8;
  pfd.cRedShift = 16;
  pfd.cGreenShift = 8;
  pfd.cBlueShift = 0;
  pfd.cAlphaShift = 24;
  pfd.cDepthBits = kDepthBits;
  pfd.cStencilBits = kStencilBits;
  pfd.iLayerType = PFD_MAIN_PLANE;
}

// Lets go of the calling thread's context: what it drew is finished and, on a window, shown.
void Release(const Mesa &mesa) {
  if (!t_current.context) return;
  mesa.finish();
  if (t_current.shadow) TakeFromGl(*t_current.shadow);
  mesa.makeCurrent(nullptr, nullptr, 0, 0, 0);
  {
    std::lock_guard lock(g_mutex);
    auto it = g_contexts.find(reinterpret_cast<uintptr_t>(t_current.context));
    if (it != g_contexts.end()) {
      Context &c = it->second;
      c.currentOn = 0;
      if (c.shadow) {
        c.picture = std::move(c.shadow->picture);
        c.pictureWidth = c.shadow->width;
        c.pictureHeight = c.shadow->height;
        c.shadow.reset();
      }
    }
  }
  if (t_current.surface && t_current.surface->onChanged) {
    int w, h;
    {
      std::lock_guard lock(t_current.surface->mutex);
      w = t_current.surface->width;
      h = t_current.surface->height;
    }
    t_current.surface->onChanged(RECT{0, 0, w, h});
  }
  t_current = {};
}

}  // namespace

void MeetShadowedBitmap() {
  if (!t_current.shadow) return;
  const Mesa &mesa = LoadMesa();
  mesa.finish();
  TakeFromGl(*t_current.shadow);
}

}  // namespace pv::wgl

using namespace pv::wgl;

extern "C" {

int WINAPI ChoosePixelFormat(HDC dc, const PIXELFORMATDESCRIPTOR *pfd) {
  if (!pfd || !(pfd->dwFlags & PFD_SUPPORT_OPENGL)) return 0;
  {
    pv::gdi::GdiGuard guard(pv::gdi::GdiLock());
    if (!pv::gdi::FindDc(dc)) return 0;
  }
  if (pfd->dwFlags & PFD_DRAW_TO_BITMAP) return kBitmapFormat;
  return IsWindowDc(dc) || (pfd->dwFlags & PFD_DRAW_TO_WINDOW) ? kWindowFormat : kBitmapFormat;
}

BOOL WINAPI SetPixelFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR *) {
  if (format < 1 || format > kFormats) return FALSE;
  {
    pv::gdi::GdiGuard guard(pv::gdi::GdiLock());
    if (!pv::gdi::FindDc(dc)) return FALSE;
  }
  std::lock_guard lock(g_mutex);
  // Forget the formats of DCs that are gone, so a later DC with the same handle starts afresh.
  std::erase_if(g_formats, [](const auto &entry) {
    pv::gdi::GdiGuard guard(pv::gdi::GdiLock());
    return pv::gdi::FindDc(entry.first) == nullptr;
  });
  auto it = g_formats.find(dc);
  if (it != g_formats.end()) return it->second == format;  // set once, as on Windows
  g_formats[dc] = format;
  return TRUE;
}

int WINAPI DescribePixelFormat(HDC dc, int format, UINT size, PIXELFORMATDESCRIPTOR *pfd) {
  {
    pv::gdi::GdiGuard guard(pv::gdi::GdiLock());
    if (!pv::gdi::FindDc(dc)) return 0;
  }
  if (pfd) {
    if (format < 1 || format > kFormats || size < sizeof *pfd) return 0;
    Describe(format, *pfd);
  }
  return kFormats;
}

HGLRC WINAPI wglCreateContext(HDC dc) {
  int format;
  {
    std::lock_guard lock(g_mutex);
    auto it = g_formats.find(dc);
    if (it == g_formats.end()) return nullptr;  // no pixel format set
    format = it->second;
  }
  Target target;
  if (!TargetOf(dc, target)) return nullptr;  // nothing to render into
  if (!LoadMesa().ok) return nullptr;
  std::lock_guard lock(g_mutex);
  uintptr_t handle = g_nextContext;
  g_nextContext += 4;
  // The renderer's context is made when this one is first made current: a context never used
  // costs nothing (each of Mesa's keeps some memory after it is gone).
  g_contexts[handle] = Context{nullptr, format, 0, nullptr, {}, 0, 0};
  return reinterpret_cast<HGLRC>(handle);
}

BOOL WINAPI wglMakeCurrent(HDC dc, HGLRC context) {
  const Mesa &mesa = LoadMesa();
  if (!context) {
    if (mesa.ok) Release(mesa);
    return TRUE;
  }
  if (!mesa.ok) return FALSE;
  OsContext os;
  {
    std::lock_guard lock(g_mutex);
    auto it = g_contexts.find(reinterpret_cast<uintptr_t>(context));
    if (it == g_contexts.end()) return FALSE;
    if (it->second.currentOn && it->second.currentOn != GetCurrentThreadId()) return FALSE;  // busy elsewhere
    os = it->second.os;
  }
  Target target;
  if (!TargetOf(dc, target)) return FALSE;
  if (!os) {
    os = mesa.create(kBgra, kDepthBits, kStencilBits, 0, nullptr);
    if (!os) return FALSE;
    std::lock_guard lock(g_mutex);
    g_contexts[reinterpret_cast<uintptr_t>(context)].os = os;
  }
  Release(mesa);
  std::unique_ptr<Shadow> shadow;
  if (target.bitmap) {
    shadow = std::make_unique<Shadow>();
    shadow->bitmap = target.bitmap;
    shadow->width = target.width;
    shadow->height = target.height;
    {
      std::lock_guard lock(g_mutex);
      Context &c = g_contexts[reinterpret_cast<uintptr_t>(context)];
      if (c.pictureWidth == target.width && c.pictureHeight == target.height) shadow->pixels = c.picture;
    }
    shadow->pixels.resize(static_cast<size_t>(target.width) * target.height);
    shadow->picture = shadow->pixels;
    target.bits = shadow->pixels.data();
    target.rowPixels = target.width;
    target.topDown = true;
  }
  if (!mesa.makeCurrent(os, target.bits, kUnsignedByte, target.width, target.height)) return FALSE;
  mesa.pixelStore(kRowLength, target.rowPixels);
  mesa.pixelStore(kYUp, target.topDown ? 0 : 1);
  Shadow *kept = shadow.get();
  {
    std::lock_guard lock(g_mutex);
    Context &c = g_contexts[reinterpret_cast<uintptr_t>(context)];
    c.currentOn = GetCurrentThreadId();
    c.shadow = std::move(shadow);
  }
  t_current = {context, dc, target.window ? target.surface : nullptr, kept};
  return TRUE;
}

BOOL WINAPI wglDeleteContext(HGLRC context) {
  const Mesa &mesa = LoadMesa();
  OsContext os;
  {
    std::lock_guard lock(g_mutex);
    auto it = g_contexts.find(reinterpret_cast<uintptr_t>(context));
    if (it == g_contexts.end()) return FALSE;
    if (it->second.currentOn && it->second.currentOn != GetCurrentThreadId()) return FALSE;
    os = it->second.os;
  }
  if (t_current.context == context) Release(mesa);
  {
    std::lock_guard lock(g_mutex);
    g_contexts.erase(reinterpret_cast<uintptr_t>(context));
  }
  if (os) mesa.destroy(os);
  return TRUE;
}

HGLRC WINAPI wglGetCurrentContext(void) { return t_current.context; }

HDC WINAPI wglGetCurrentDC(void) { return t_current.dc; }

}  // extern "C"
