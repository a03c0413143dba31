// DOM pointer and wheel events turned into the messages Windows posts for the same input. Pure:
// the page's events come in as plain values, tests feed them the same way.
#pragma once

#include <windows.h>

#include <vector>

namespace pv::host {

struct WebMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
};

// A DOM pointer or wheel event: the position in client pixels (the page has undone the canvas's
// scaling), the DOM's `buttons` mask (1 primary, 2 secondary, 4 middle) and the modifiers.
struct DomPointer {
  int x = 0, y = 0;
  int buttons = 0;
  bool shift = false, ctrl = false;
};

// What the page keeps between events.
struct WebPointerState {
  int buttons = 0;          // the DOM mask last seen
  double wheelRest = 0.0;   // wheel travel not yet sent, in WHEEL_DELTA units
};

// A pointer event: a button message for each button that went down or up since the last event
// (the DOM reports chorded buttons only in the mask), then WM_MOUSEMOVE when `moved`.
void TranslateDomPointer(const DomPointer &p, bool moved, WebPointerState &state, std::vector<WebMessage> &out);

// A wheel event: the DOM's deltaY (positive towards the user) in its deltaMode (0 pixels,
// 1 lines, 2 pages) as WM_MOUSEWHEEL, 120 a notch away from the user, at the screen position.
void TranslateDomWheel(const DomPointer &p, double deltaY, int deltaMode, POINT clientOrigin,
                       WebPointerState &state, std::vector<WebMessage> &out);

}  // namespace pv::host
