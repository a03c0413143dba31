// Reads the X layout through SDL's own connection; kept apart because the X headers' macros
// clash with the Win32 ones.
#include "host_sdl_keymap.h"

#include <SDL2/SDL_syswm.h>
#include <X11/XKBlib.h>
#include <dlfcn.h>

namespace pv::host {
namespace {

constexpr KeyCode kRightAltKeycode = 108;  // X servers number keys as the Linux input layer does
constexpr KeySym kLevel3Shift = 0xFE03, kModeSwitch = 0xFF7E;

}  // namespace

bool RightAltIsAltGr(SDL_Window *window) {
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window, &info) || info.subsystem != SDL_SYSWM_X11) return false;
  // libX11 is loaded by SDL; the library itself does not link it.
  void *x11 = dlopen("libX11.so.6", RTLD_NOW | RTLD_NOLOAD);
  if (!x11) return false;
  auto getState = reinterpret_cast<decltype(&XkbGetState)>(dlsym(x11, "XkbGetState"));
  auto keysymOf = reinterpret_cast<decltype(&XkbKeycodeToKeysym)>(dlsym(x11, "XkbKeycodeToKeysym"));
  bool altGr = false;
  XkbStateRec state{};
  if (getState && keysymOf && getState(info.info.x11.display, XkbUseCoreKbd, &state) == Success) {
    const KeySym sym = keysymOf(info.info.x11.display, kRightAltKeycode, state.group, 0);
    altGr = sym == kLevel3Shift || sym == kModeSwitch;
  }
  dlclose(x11);  // only drops our reference
  return altGr;
}

}  // namespace pv::host
