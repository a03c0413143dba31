// The contract between USER and GDI: a window's own 32-bit surface, which GDI draws on
// through the window's DC and the host presents. Two threads touch it (the program thread
// drawing through, the window thread painting and presenting), so it carries its own lock.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <mutex>
#include <vector>

namespace pv {

struct WindowSurface {
  std::mutex mutex;             // held by GDI while it draws here and by the host while it reads
  int width = 0;
  int height = 0;
  std::vector<uint32_t> pixels;  // 0x00RRGGBB, top row first, width * height
  // Called by GDI after a drawing call changed `changed` (clipped to the surface), with
  // `mutex` released. The host uses it to present.
  std::function<void(const RECT &changed)> onChanged;
};

namespace gdi {
// A DC drawing on `surface`; the window keeps it for its whole life (CS_OWNDC).
HDC CreateSurfaceDC(WindowSurface *surface);
// Called by USER when the window is destroyed.
void DestroySurfaceDC(HDC dc);
// Resize after the window's client size changes; the pixel vector is already resized.
void SurfaceResized(HDC dc);
}  // namespace gdi

}  // namespace pv
