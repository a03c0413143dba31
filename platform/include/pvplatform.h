// What the platform layer offers beyond Win32: the choice of host, the headless screen, and
// counts of live objects. Only tests, tools and benchmarks use it; the library never does.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace pvplatform {

// Windows are shown by SDL2 (a real window; in the WebAssembly build, the page's canvas) or
// by the headless host (no display at all).
// The default comes from the environment: PLOTVANE_HOST=headless selects the headless host.
enum class HostKind { Sdl, Headless };
void SetHostKind(HostKind kind);
HostKind CurrentHostKind();

// Screen size reported by GetSystemMetrics under the headless host (default 1024 x 768).
void SetHeadlessScreenSize(int width, int height);

struct LiveCounts {
  int gdiObjects = 0;  // bitmaps, palettes, pens, brushes, fonts, regions
  int dcs = 0;         // memory and window device contexts
  int windows = 0;
  int threads = 0;     // threads made by CreateThread and not yet closed
};
LiveCounts CountLive();

// A copy of a window's own 32-bit surface (0x00RRGGBB, top row first): what it shows.
bool CopyWindowSurface(HWND hwnd, std::vector<uint32_t> &pixels, int &width, int &height);

// Text justification kept by a DC (Win32 has no Get call for it).
void GetTextJustification(HDC dc, int &breakExtra, int &breakCount);

}  // namespace pvplatform
