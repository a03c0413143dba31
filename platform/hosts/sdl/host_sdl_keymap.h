// What the X keyboard layout says and SDL's key events do not.
#pragma once

#include <SDL2/SDL.h>

namespace pv::host {

// True when the layout makes the right Alt key shift to its third level (AltGr), false for a
// plain right Alt and where the layout cannot be read. On the thread that pumps SDL's events.
bool RightAltIsAltGr(SDL_Window *window);

}  // namespace pv::host
