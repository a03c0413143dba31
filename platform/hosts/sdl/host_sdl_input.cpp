// SDL keyboard, mouse and window-close events as Windows messages.
#include "host_sdl_input.h"

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
    case SDL_SCANCODE_MINUS: return 12;
    case SDL_SCANCODE_EQUALS: return 13;
    case SDL_SCANCODE_LEFTBRACKET: return 26;
    case SDL_SCANCODE_RIGHTBRACKET: return 27;
    case SDL_SCANCODE_SEMICOLON: return 39;
    case SDL_SCANCODE_APOSTROPHE: return 40;
    case SDL_SCANCODE_GRAVE: return 41;
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return 43;
    case SDL_SCANCODE_COMMA: return 51;
    case SDL_SCANCODE_PERIOD: return 52;
    case SDL_SCANCODE_SLASH:
    case SDL_SCANCODE_KP_DIVIDE: return 53;
    case SDL_SCANCODE_KP_MULTIPLY: return 55;
    case SDL_SCANCODE_CAPSLOCK: return 58;
    case SDL_SCANCODE_NUMLOCKCLEAR: return 69;
    case SDL_SCANCODE_SCROLLLOCK: return 70;
    case SDL_SCANCODE_KP_7: return 71;
    case SDL_SCANCODE_KP_8: return 72;
    case SDL_SCANCODE_KP_9: return 73;
    case SDL_SCANCODE_KP_MINUS: return 74;
    case SDL_SCANCODE_KP_4: return 75;
    case SDL_SCANCODE_KP_5: return 76;
    case SDL_SCANCODE_KP_6: return 77;
    case SDL_SCANCODE_KP_PLUS: return 78;
    case SDL_SCANCODE_KP_1: return 79;
    case SDL_SCANCODE_KP_2: return 80;
    case SDL_SCANCODE_KP_3: return 81;
    case SDL_SCANCODE_KP_0: return 82;
    case SDL_SCANCODE_KP_PERIOD: return 83;
    case SDL_SCANCODE_NONUSBACKSLASH: return 86;
    case SDL_SCANCODE_LGUI: return 91;
    case SDL_SCANCODE_RGUI: return 92;
    case SDL_SCANCODE_APPLICATION: return 93;
    default: return 0;
  }
}

// Keys that Windows flags as extended (bit 24): the grey cursor block, right Ctrl and Alt,
// the Windows and menu keys, Num Lock, the keypad's Enter and divide.
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
    case SDL_SCANCODE_NUMLOCKCLEAR:
    case SDL_SCANCODE_LGUI:
    case SDL_SCANCODE_RGUI:
    case SDL_SCANCODE_APPLICATION: return true;
    default: return false;
  }
}

bool Keypad(SDL_Scancode sc) {
  return (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_0) || sc == SDL_SCANCODE_KP_PERIOD;
}

bool RightHand(SDL_Scancode sc) {
  return sc == SDL_SCANCODE_RSHIFT || sc == SDL_SCANCODE_RCTRL || sc == SDL_SCANCODE_RALT;
}

WPARAM ButtonFlag(Uint8 button) {
  switch (button) {
    case SDL_BUTTON_LEFT: return MK_LBUTTON;
    case SDL_BUTTON_RIGHT: return MK_RBUTTON;
    case SDL_BUTTON_MIDDLE: return MK_MBUTTON;
    default: return 0;
  }
}

// SDL's text of a key pressed with Ctrl and Alt is the layout's AltGr character only when it
// differs from what the key types alone: X falls back to the plain character when the key has
// nothing on that level, or when left Ctrl and Alt were held rather than AltGr.
std::u32string AltGrText(const SDL_Keysym &key, std::u32string text) {
  const SDL_Keycode plain = key.sym;  // what the key types alone
  const char32_t upper = plain >= 'a' && plain <= 'z' ? static_cast<char32_t>(plain - 32) : 0;
  if (text.size() == 1 && (text[0] == static_cast<char32_t>(plain) || text[0] == upper)) return {};
  return text;
}

size_t TranslateKey(const SDL_Event *events, size_t count, const SdlTarget &target, InputTranslator &input,
                    std::vector<InputMessage> &out) {
  const SDL_KeyboardEvent &key = events[0].key;
  const bool down = key.type == SDL_KEYDOWN;
  // SDL sends the text of a key press as the very next event.
  const bool textFollows = down && count > 1 && events[1].type == SDL_TEXTINPUT;
  std::u32string text = textFollows ? pv::input::DecodeUtf8(events[1].text.text) : std::u32string();
  const size_t used = textFollows ? 2 : 1;

  pv::input::KeyEvent k;
  k.vk = VirtualKeyFor(key.keysym);
  if (k.vk == 0) {
    if (!text.empty()) input.Text(text, out);  // a key Windows has no code for: its text alone
    return used;
  }
  const SDL_Scancode sc = key.keysym.scancode;
  k.right = RightHand(sc);
  k.altGr = sc == SDL_SCANCODE_RALT && target.altGr;
  k.numpad = Keypad(sc);
  k.numLock = (key.keysym.mod & KMOD_NUM) != 0;
  k.scanCode = ScanCodeFor(sc);
  k.extended = Extended(sc);
  k.down = down;
  k.repeat = key.repeat != 0;
  k.text = input.Ctrl() && input.Alt() ? AltGrText(key.keysym, std::move(text)) : std::move(text);
  input.Key(k, out);
  return used;
}

}  // namespace

UINT VirtualKeyFor(const SDL_Keysym &key) {
  static const UINT keypadCursor[10] = {VK_END,   VK_DOWN, VK_NEXT, VK_LEFT, VK_CLEAR,
                                        VK_RIGHT, VK_HOME, VK_UP,   VK_PRIOR, VK_INSERT};
  const SDL_Scancode sc = key.scancode;
  const SDL_Keycode sym = key.sym;
  if (sym >= SDLK_a && sym <= SDLK_z) return static_cast<UINT>('A' + (sym - SDLK_a));
  if (sc >= SDL_SCANCODE_A && sc <= SDL_SCANCODE_Z) return static_cast<UINT>('A' + (sc - SDL_SCANCODE_A));
  // The digit row gives its digits whatever the layout prints on it.
  if (sc >= SDL_SCANCODE_1 && sc <= SDL_SCANCODE_9) return static_cast<UINT>('1' + (sc - SDL_SCANCODE_1));
  if (sc == SDL_SCANCODE_0) return '0';
  if (sc >= SDL_SCANCODE_F1 && sc <= SDL_SCANCODE_F12) return VK_F1 + static_cast<UINT>(sc - SDL_SCANCODE_F1);
  if (sc >= SDL_SCANCODE_F13 && sc <= SDL_SCANCODE_F24) return VK_F13 + static_cast<UINT>(sc - SDL_SCANCODE_F13);
  if (sc >= SDL_SCANCODE_KP_1 && sc <= SDL_SCANCODE_KP_0) return keypadCursor[sc - SDL_SCANCODE_KP_1];
  // Windows names these four by the character they type, on every layout.
  switch (sym) {
    case SDLK_PLUS: return VK_OEM_PLUS;
    case SDLK_COMMA: return VK_OEM_COMMA;
    case SDLK_MINUS: return VK_OEM_MINUS;
    case SDLK_PERIOD: return VK_OEM_PERIOD;
    default: break;
  }
  switch (sc) {
    case SDL_SCANCODE_KP_PERIOD: return VK_DELETE;
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
    case SDL_SCANCODE_BACKSLASH:
    case SDL_SCANCODE_NONUSHASH: return VK_OEM_5;
    case SDL_SCANCODE_RIGHTBRACKET: return VK_OEM_6;
    case SDL_SCANCODE_APOSTROPHE: return VK_OEM_7;
    case SDL_SCANCODE_NONUSBACKSLASH: return VK_OEM_102;
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

size_t TranslateSdlEvent(const SDL_Event *events, size_t count, const SdlTarget &target, InputTranslator &input,
                         std::vector<InputMessage> &out) {
  const SDL_Event &e = events[0];
  switch (e.type) {
    case SDL_KEYDOWN:
    case SDL_KEYUP: return TranslateKey(events, count, target, input, out);
    case SDL_TEXTINPUT:  // text with no key press before it (characters typed by other means)
      input.Text(pv::input::DecodeUtf8(e.text.text), out);
      return 1;
    case SDL_MOUSEMOTION: {
      // SDL's automatic capture stays on: without it SDL pins positions outside the window to
      // its edge, and those could not be told from real ones. The translator drops them.
      const Uint32 s = e.motion.state;
      const WPARAM held = (s & SDL_BUTTON_LMASK ? MK_LBUTTON : 0) | (s & SDL_BUTTON_RMASK ? MK_RBUTTON : 0) |
                          (s & SDL_BUTTON_MMASK ? MK_MBUTTON : 0);
      input.PointerMoved({e.motion.x, e.motion.y}, held, target.client, out);
      return 1;
    }
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      input.ButtonChanged(ButtonFlag(e.button.button), e.type == SDL_MOUSEBUTTONDOWN, {e.button.x, e.button.y},
                          target.client, out);
      return 1;
    case SDL_MOUSEWHEEL: {
      const int notches = e.wheel.direction == SDL_MOUSEWHEEL_FLIPPED ? -e.wheel.y : e.wheel.y;
      input.WheelTurned(notches, {target.clientOrigin.x + e.wheel.mouseX, target.clientOrigin.y + e.wheel.mouseY},
                        out);
      return 1;
    }
    case SDL_WINDOWEVENT:
      if (e.window.event == SDL_WINDOWEVENT_CLOSE) out.push_back({WM_CLOSE, 0, 0, {}, false});
      return 1;
    default: return 1;
  }
}

}  // namespace pv::host
