// SDL input events turned into the messages Windows posts for the same input. Pure: tests feed
// it SDL_Event values and look at the messages.
#pragma once

#include <SDL2/SDL.h>
#include <windows.h>

#include <cstddef>
#include <string>
#include <vector>

namespace pv::host {

// What the host keeps between events: SDL's events carry no modifier flags for the mouse.
struct SdlInputState {
  bool leftShift = false, rightShift = false;
  bool leftCtrl = false, rightCtrl = false;
  bool leftAlt = false, rightAlt = false;
  WPARAM buttons = 0;  // MK_LBUTTON, MK_RBUTTON, MK_MBUTTON held

  bool Shift() const { return leftShift || rightShift; }
  bool Ctrl() const { return leftCtrl || rightCtrl; }
  bool Alt() const { return leftAlt || rightAlt; }
};

struct InputMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  std::string text;       // Windows-1252 characters a key press typed, for TranslateMessage
  bool hostText = false;  // set on key messages: `text` is all the key typed
};

// The virtual-key code of a key, 0 for keys Windows has no code for here.
UINT VirtualKeyFor(const SDL_Keysym &key);

// Translates events[0], and the SDL_TEXTINPUT that belongs to it when events[0] is a key
// press, into `out`. `clientOrigin` is the window's client area on the screen (for the wheel).
// Returns how many events it used (1 or 2); `count` must be at least 1.
size_t TranslateSdlEvent(const SDL_Event *events, size_t count, POINT clientOrigin, SdlInputState &state,
                         std::vector<InputMessage> &out);

}  // namespace pv::host
