// DOM keyboard, pointer and wheel events described in Windows terms for the input translator.
// Pure: the page's events come in as plain values, and tests feed them the same way.
#pragma once

#include <windows.h>

#include <string_view>
#include <vector>

#include "input_translation.h"

namespace pv::host {

using pv::input::InputMessage;
using pv::input::InputTranslator;

// A DOM KeyboardEvent: `code` names the physical key ("KeyA", "ArrowUp", "AltRight"...), `key`
// what the layout makes of it (a character, or a name such as "Enter" or "AltGraph").
struct DomKey {
  bool down = true;
  bool repeat = false;
  bool numLock = false;  // getModifierState("NumLock")
  std::string_view code;
  std::string_view key;
};

// The virtual-key code of a DOM key, 0 for keys Windows has no code for here. Keypad digits
// and point give their code with Num Lock off (VK_INSERT to VK_PRIOR, VK_DELETE).
UINT VirtualKeyForDom(std::string_view code, std::string_view key);

void TranslateDomKey(const DomKey &key, InputTranslator &input, std::vector<InputMessage> &out);

// A DOM pointer or wheel event: the position in client pixels (the page has undone the canvas's
// scaling) and the DOM's `buttons` mask (1 primary, 2 secondary, 4 middle).
struct DomPointer {
  POINT at{};
  int buttons = 0;
};

// What the page keeps between pointer events beside the translator's own state.
struct DomPointerState {
  int buttons = 0;         // the DOM mask last seen
  POINT last{};            // the position last seen
  bool placed = false;     // `last` holds one
  double wheelRest = 0.0;  // wheel travel not yet sent, in notches
};

// A pointer event: a button message for each button that went down or up since the last event
// (the DOM reports a second button held with the first only in the mask), then the move.
void TranslateDomPointer(const DomPointer &p, pv::input::ClientSize client, DomPointerState &state,
                         InputTranslator &input, std::vector<InputMessage> &out);

// A wheel event: the DOM's deltaY (positive towards the user) in its deltaMode (0 pixels,
// 1 lines, 2 pages), at the pointer's position on the screen.
void TranslateDomWheel(double deltaY, int deltaMode, POINT screen, DomPointerState &state, InputTranslator &input,
                       std::vector<InputMessage> &out);

}  // namespace pv::host
