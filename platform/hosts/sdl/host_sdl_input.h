// SDL input events described in Windows terms for the input translator. Pure: tests feed it
// SDL_Event values and look at the messages.
#pragma once

#include <SDL2/SDL.h>
#include <windows.h>

#include <cstddef>
#include <vector>

#include "input_translation.h"

namespace pv::host {

using pv::input::InputMessage;
using pv::input::InputTranslator;

// What SDL's events leave out about the window the input went to.
struct SdlTarget {
  POINT clientOrigin{};  // the client area's top-left corner on the screen (for the wheel)
  pv::input::ClientSize client;  // the client area's size
  bool altGr = false;    // the keyboard layout makes right Alt into AltGr
};

// The virtual-key code of a key, 0 for keys Windows has no code for here. Keypad digits and
// point give their code with Num Lock off (VK_INSERT to VK_PRIOR, VK_DELETE).
UINT VirtualKeyFor(const SDL_Keysym &key);

// Translates events[0] into `out`, with the SDL_TEXTINPUT right after it when events[0] is a
// key press: SDL sends a key's text as the next event. Returns how many events it used (1 or
// 2); `count` must be at least 1.
size_t TranslateSdlEvent(const SDL_Event *events, size_t count, const SdlTarget &target, InputTranslator &input,
                         std::vector<InputMessage> &out);

}  // namespace pv::host
