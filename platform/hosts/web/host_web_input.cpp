// DOM pointer and wheel events as Windows messages.
#include "host_web_input.h"

#include <cmath>

namespace pv::host {
namespace {

constexpr int kDomLeft = 1, kDomRight = 2, kDomMiddle = 4;

// A notch is 100 pixels in Chromium's pixel mode and 3 lines in line mode.
constexpr double kPixelsPerNotch = 100.0, kLinesPerNotch = 3.0;

WPARAM Flags(int domButtons, const DomPointer &p) {
  return (domButtons & kDomLeft ? MK_LBUTTON : 0) | (domButtons & kDomRight ? MK_RBUTTON : 0) |
         (domButtons & kDomMiddle ? MK_MBUTTON : 0) | (p.shift ? MK_SHIFT : 0) | (p.ctrl ? MK_CONTROL : 0);
}

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

}  // namespace

void TranslateDomPointer(const DomPointer &p, bool moved, WebPointerState &state, std::vector<WebMessage> &out) {
  struct Button {
    int dom;
    UINT down, up;
  };
  static constexpr Button kButtons[] = {{kDomLeft, WM_LBUTTONDOWN, WM_LBUTTONUP},
                                        {kDomRight, WM_RBUTTONDOWN, WM_RBUTTONUP},
                                        {kDomMiddle, WM_MBUTTONDOWN, WM_MBUTTONUP}};
  // Windows' flags tell the state after each message, so the held set grows one button at a time.
  int held = state.buttons;
  for (const Button &b : kButtons) {
    const bool was = held & b.dom, now = p.buttons & b.dom;
    if (was == now) continue;
    held = now ? (held | b.dom) : (held & ~b.dom);
    out.push_back({now ? b.down : b.up, Flags(held, p), Point(p.x, p.y)});
  }
  state.buttons = p.buttons & (kDomLeft | kDomRight | kDomMiddle);
  if (moved) out.push_back({WM_MOUSEMOVE, Flags(state.buttons, p), Point(p.x, p.y)});
}

void TranslateDomWheel(const DomPointer &p, double deltaY, int deltaMode, POINT clientOrigin,
                       WebPointerState &state, std::vector<WebMessage> &out) {
  double notches = deltaMode == 0 ? deltaY / kPixelsPerNotch : deltaMode == 1 ? deltaY / kLinesPerNotch : deltaY;
  if (!std::isfinite(notches)) return;
  // Fine wheels and touch pads send a fraction of a notch; Windows passes those on as smaller
  // deltas, and the part below one unit waits for the next event.
  state.wheelRest -= notches * WHEEL_DELTA;
  const double whole = std::trunc(state.wheelRest);
  if (whole == 0) return;
  state.wheelRest -= whole;
  const int delta = static_cast<int>(std::fmax(-32768.0, std::fmin(32767.0, whole)));
  out.push_back({WM_MOUSEWHEEL, MAKEWPARAM(Flags(p.buttons, p), static_cast<WORD>(delta)),
                 Point(clientOrigin.x + p.x, clientOrigin.y + p.y)});
}

}  // namespace pv::host
