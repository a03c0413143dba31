// SDL keyboard, mouse and window-close events as Windows messages.
#include "host_sdl_input.h"

#include "user_internal.h"

namespace pv::host {
namespace {

// Set-1 scan codes of the letters A to Z, the same numbers the PC keyboard services report.
constexpr BYTE kLetterScan[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                  49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

// The set-1 scan code Windows puts in bits 16 to 23 of a key message, 0 where unknown.
BYTE ScanCodeFor(SDL_Scancode sc) {
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return kLetterScan[sc - SDL_SCANCODE_A];
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_0) return static_cast<BYTE>(2 + (sc - SDL_SCANCODE_1));
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F10) return static_cast<BYTE>(59 + (sc - SDL_SCANCODE_F1));
  switch (sc) {
    case SDL_SCANCODE_F11: return 87;
    case SDL_SCANCODE_F12: return 88;
    case SDL_SCANCODE_ESCAPE: return 1;
    case SDL_SCANCODE_BACKSPACE: return 14;
    case SDL_SCANCODE_TAB: return 15;
    case SDL_SCANCODE_RETURN:
    case SDL_SCANCODE_KP_ENTER: return 28;
    case SDL_SCANCODE_LCTRL:
    case SDL_SCANCODE_RCTRL: return 29;
    case SDL_SCANCODE_LSHIFT: return 42;
    case SDL_SCANCODE_RSHIFT: return 54;
    case SDL_SCANCODE_LALT:
    case SDL_SCANCODE_RALT: return 56;
    case SDL_SCANCODE_SPACE: return 57;
    case SDL_SCANCODE_HOME: return 71;
    case SDL_SCANCODE_UP: return 72;
    case SDL_SCANCODE_PAGEUP: return 73;
    case SDL_SCANCODE_LEFT: return 75;
    case SDL_SCANCODE_RIGHT: return 77;
    case SDL_SCANCODE_END: return 79;
    case SDL_SCANCODE_DOWN: return 80;
    case SDL_SCANCODE_PAGEDOWN: return 81;
    case SDL_SCANCODE_INSERT: return 82;
    case SDL_SCANCODE_DELETE: return 83;
    default: return 0;
  }
}

// Keys that Windows flags as extended (bit 24): the grey cursor block, right Ctrl and Alt,
// the keypad's Enter and divide.
bool Extended(SDL_Scancode sc) {
  switch (sc) {
    case SDL_SCANCODE_INSERT:
    case SDL_SCANCODE_DELETE:
    case SDL_SCANCODE_HOME:
    case SDL_SCANCODE_END:
    case SDL_SCANCODE_PAGEUP:
    case SDL_SCANCODE_PAGEDOWN:
    case SDL_SCANCODE_LEFT:
    case SDL_SCANCODE_RIGHT:
    case SDL_SCANCODE_UP:
    case SDL_SCANCODE_DOWN:
    case SDL_SCANCODE_RCTRL:
    case SDL_SCANCODE_RALT:
    case SDL_SCANCODE_KP_ENTER:
    case SDL_SCANCODE_KP_DIVIDE:
    case SDL_SCANCODE_APPLICATION: return true;
    default: return false;
  }
}

// Keypad digits: with Num Lock the number keys, without it the cursor block they carry.
UINT KeypadKey(SDL_Scancode sc, bool numLock) {
  static const UINT cursor[10] = {VK_INSERT, VK_END, VK_DOWN, VK_NEXT, VK_LEFT,
                                  VK_CLEAR,  VK_RIGHT, VK_HOME, VK_UP, VK_PRIOR};
  int digit = sc == SDL_SCANCODE_KP_0 ? 0 : 1 + (sc - SDL_SCANCODE_KP_1);
  return numLock ? VK_NUMPAD0 + digit : cursor[digit];
}

void SetModifier(SdlInputState &s, SDL_Keycode sym, bool down) {
  switch (sym) {
    case SDLK_LSHIFT: s.leftShift = down; break;
    case SDLK_RSHIFT: s.rightShift = down; break;
    case SDLK_LCTRL: s.leftCtrl = down; break;
    case SDLK_RCTRL: s.rightCtrl = down; break;
    case SDLK_LALT: s.leftAlt = down; break;
    case SDLK_RALT: s.rightAlt = down; break;
    default: break;
  }
}

WPARAM MouseFlags(const SdlInputState &s) {
  return s.buttons | (s.Shift() ? MK_SHIFT : 0) | (s.Ctrl() ? MK_CONTROL : 0);
}

WPARAM ButtonFlag(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return MK_LBUTTON;
    case SDL_BUTTON_RIGHT: return MK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return MK_MBUTTON;
    default: return 0;
  }
}

LPARAM Point(int x, int y) { return MAKELPARAM(static_cast<WORD>(x), static_cast<WORD>(y)); }

size_t TranslateKey(const SDL_Event *events, size_t count, SdlInputState &state, std::vector<InputMessage> &out) {
  const SDL_KeyboardEvent &key = events[0].key;
  const bool down = key.type == SDL_KEYDOWN;
  const UINT vk = VirtualKeyFor(key.keysym);
  // The text of a key press follows it with the same time stamp.
  const bool textFollows = down && count > 1 && events[1].type == SDL_TEXTINPUT &&
                           events[1].text.timestamp == key.timestamp;
  if (vk == 0) return 1;  // the text, if any, stands alone

  const bool altBefore = state.Alt();
  SetModifier(state, key.keysym.sym, down);
  const bool alt = down ? state.Alt() : altBefore;
  // Windows makes a "system" key of everything typed with Alt (but not with Ctrl too) and F10.
  const bool sys = vk == VK_F10 || (alt && !state.Ctrl());

  InputMessage m;
  m.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  m.wParam = vk;
  DWORD lp = 1u | static_cast<DWORD>(ScanCodeFor(key.keysym.scancode)) << 16;
  if (Extended(key.keysym.scancode)) lp |= 1u << 24;
  if (sys && alt) lp |= 1u << 29;
  if (!down || key.repeat) lp |= 1u << 30;
  if (!down) lp |= 1u << 31;
  m.lParam = static_cast<LPARAM>(lp);
  m.hostText = true;
  if (textFollows) m.text = pv::user::Utf8ToCp1252(events[1].text.text);
  out.push_back(std::move(m));
  return textFollows ? 2 : 1;
}

}  // namespace

UINT VirtualKeyFor(const SDL_Keysym &key) {
  const SDL_Scancode sc = key.scancode;
  const SDL_Keycode sym = key.sym;
  if (sym >= SDLK_a && sym <= SDLK_z) return static_cast<UINT>('A' + (sym - SDLK_a));
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return static_cast<UINT>('A' + (sc - SDL_SCANCODE_A));
  // The digit row gives its digits whatever the layout prints on it.
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return static_cast<UINT>('1' + (sc - SDL_SCANCODE_1));
  if (sc == SDL_SCANCODE_0) return '0';
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + static_cast<UINT>(sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return VK_F13 + static_cast<UINT>(sc - SDL_SCANCODE_F13);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_0) return KeypadKey(sc, (key.mod & KMOD_NUM) != 0);
  switch (sc) {
    case SDL_SCANCODE_KP_PERIOD: return (key.mod & KMOD_NUM) ? VK_DECIMAL : VK_DELETE;
    case SDL_SCANCODE_KP_MULTIPLY: return VK_MULTIPLY;
    case SDL_SCANCODE_KP_PLUS: return VK_ADD;
    case SDL_SCANCODE_KP_MINUS: return VK_SUBTRACT;
    case SDL_SCANCODE_KP_DIVIDE: return VK_DIVIDE;
    case SDL_SCANCODE_KP_ENTER: return VK_RETURN;
    case SDL_SCANCODE_KP_CLEAR: return VK_CLEAR;
    case SDL_SCANCODE_SEMICOLON: return VK_OEM_1;
    case SDL_SCANCODE_EQUALS: return VK_OEM_PLUS;
    case SDL_SCANCODE_COMMA: return VK_OEM_COMMA;
    case SDL_SCANCODE_MINUS: return VK_OEM_MINUS;
    case SDL_SCANCODE_PERIOD: return VK_OEM_PERIOD;
    case SDL_SCANCODE_SLASH: return VK_OEM_2;
    case SDL_SCANCODE_GRAVE: return VK_OEM_3;
    case SDL_SCANCODE_LEFTBRACKET: return VK_OEM_4;
    case SDL_SCANCODE_BACKSLASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    default: break;
  }
  switch (sym) {
    case SDLK_BACKSPACE: return VK_BACK;
    case SDLK_TAB: return VK_TAB;
    case SDLK_CLEAR: return VK_CLEAR;
    case SDLK_RETURN: return VK_RETURN;
    case SDLK_PAUSE: return VK_PAUSE;
    case SDLK_CAPSLOCK: return VK_CAPITAL;
    case SDLK_ESCAPE: return VK_ESCAPE;
    case SDLK_SPACE: return VK_SPACE;
    case SDLK_PAGEUP: return VK_PRIOR;
    case SDLK_PAGEDOWN: return VK_NEXT;
    case SDLK_END: return VK_END;
    case SDLK_HOME: return VK_HOME;
    case SDLK_LEFT: return VK_LEFT;
    case SDLK_UP: return VK_UP;
    case SDLK_RIGHT: return VK_RIGHT;
    case SDLK_DOWN: return VK_DOWN;
    case SDLK_INSERT: return VK_INSERT;
    case SDLK_DELETE: return VK_DELETE;
    case SDLK_LGUI: return VK_LWIN;
    case SDLK_RGUI: return VK_RWIN;
    case SDLK_APPLICATION:
    case SDLK_MENU: return VK_APPS;
    case SDLK_NUMLOCKCLEAR: return VK_NUMLOCK;
    case SDLK_SCROLLLOCK: return VK_SCROLL;
    case SDLK_LSHIFT:
    case SDLK_RSHIFT: return VK_SHIFT;
    case SDLK_LCTRL:
    case SDLK_RCTRL: return VK_CONTROL;
    case SDLK_LALT:
    case SDLK_RALT: return VK_MENU;
    default: return 0;
  }
}

size_t TranslateSdlEvent(const SDL_Event *events, size_t count, POINT clientOrigin, SdlInputState &state,
                         std::vector<InputMessage> &out) {
  const SDL_Event &e = events[0];
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: return TranslateKey(events, count, state, out);
    case SDL_TEXTINPUT: {
      // Text with no key press before it (characters typed by other means): plain WM_CHARs.
      for (char c : pv::user::Utf8ToCp1252(e.text.text))
        out.push_back({WM_CHAR, static_cast<BYTE>(c), 1, {}, false});
      return 1;
    }
    case SDL_MOUSEMOTION: {
      const Uint32 s = e.motion.state;
      state.buttons = (s & SDL_BUTTON_LMASK ? MK_LBUTTON : 0) | (s & SDL_BUTTON_RMASK ? MK_RBUTTON : 0) |
                      (s & SDL_BUTTON_MMASK ? MK_MBUTTON : 0);
      out.push_back({WM_MOUSEMOVE, MouseFlags(state), Point(e.motion.x, e.motion.y), {}, false});
      return 1;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP: {
      const WPARAM flag = ButtonFlag(e.button.button);
      if (!flag) return 1;
      const bool down = e.type == SDL_MOUSEBUTTONDOWN;
      state.buttons = down ? (state.buttons | flag) : (state.buttons & ~flag);
      UINT msg = flag == MK_LBUTTON   ? (down ? WM_LBUTTONDOWN : WM_LBUTTONUP)
                 : flag == MK_RBUTTON ? (down ? WM_RBUTTONDOWN : WM_RBUTTONUP)
                                      : (down ? WM_MBUTTONDOWN : WM_MBUTTONUP);
      out.push_back({msg, MouseFlags(state), Point(e.button.x, e.button.y), {}, false});
      return 1;
    }
    case SDL_MOUSEWHEEL: {
      int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      if (notches == 0) return 1;  // sideways only
      const int delta = notches * WHEEL_DELTA;
      out.push_back({WM_MOUSEWHEEL, MAKEWPARAM(MouseFlags(state), static_cast<WORD>(delta)),
                     Point(clientOrigin.x + e.wheel.mouseX, clientOrigin.y + e.wheel.mouseY), {}, false});
      return 1;
    }
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) out.push_back({WM_CLOSE, 0, 0, {}, false});
      return 1;
    default: return 1;
  }
}

}  // namespace pv::host
