// Physical keys and pointer actions turned into the messages Windows sends for them, on any
// keyboard layout. Host-independent: a host (the SDL2 window, the browser page) describes its
// input in Windows terms and posts what comes out, in order, to the window that has the input.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace pv::input {

// One physical key going down or up, described as Windows knows keys.
struct KeyEvent {
  UINT vk = 0;            // virtual-key code; VK_SHIFT, VK_CONTROL and VK_MENU for those keys
  bool right = false;     // the right one of Shift, Ctrl or Alt
  bool altGr = false;     // right Alt on a layout that makes it AltGr
  bool numpad = false;    // a keypad digit or point: `vk` is its code with Num Lock off
  bool numLock = false;   // Num Lock is on (read for keypad keys)
  BYTE scanCode = 0;      // set-1 scan code
  bool extended = false;  // Windows' extended-key flag (grey cursor block, right Ctrl and Alt...)
  bool down = true;
  bool repeat = false;    // automatic repeat of a held key
  // The characters the layout types for this press at the present Shift, AltGr and Caps Lock
  // level. Ctrl and Alt held with it play no part: the translator applies Windows' rules for
  // them. With Ctrl and Alt both held (AltGr is both), give only a character of the layout's
  // AltGr level, none when the key has none there.
  std::u32string text;
};

// A message for the window that has the input.
struct InputMessage {
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  // Key messages: the Windows-1252 bytes that TranslateMessage posts for this key as WM_CHAR
  // (WM_SYSCHAR after WM_SYSKEYDOWN); `hostText` says that they are all the key typed.
  std::string text;
  bool hostText = false;
};

struct ClientSize {
  int width = 0, height = 0;
};

// Keeps what Windows keeps between input events: the state of each Shift, Ctrl and Alt key,
// left and right apart, and the mouse buttons held.
class InputTranslator {
 public:
  void Key(const KeyEvent &key, std::vector<InputMessage> &out);
  // Characters that came with no key (typed by an input method or injected): WM_CHAR, or
  // WM_SYSCHAR while Alt is held.
  void Text(std::u32string_view text, std::vector<InputMessage> &out);

  // Mouse buttons are MK_LBUTTON, MK_RBUTTON and MK_MBUTTON; positions are in client pixels.
  // Windows sends no mouse message for the pointer outside the client area of a window that
  // did not capture the mouse, even while a button is held: those events change the state only.
  void PointerMoved(POINT at, WPARAM buttonsHeld, ClientSize client, std::vector<InputMessage> &out);
  void ButtonChanged(WPARAM button, bool down, POINT at, ClientSize client, std::vector<InputMessage> &out);
  // `screen`: the pointer's position on the screen; `notches` away from the user are positive.
  void WheelTurned(int notches, POINT screen, std::vector<InputMessage> &out);

  // Every key and button up, with no message: the host lost the input.
  void Reset() { *this = InputTranslator(); }

  bool Shift() const { return down_[kLeftShift] || down_[kRightShift]; }
  bool Ctrl() const { return down_[kLeftCtrl] || down_[kRightCtrl]; }
  bool Alt() const { return down_[kLeftAlt] || down_[kRightAlt]; }

 private:
  enum Side { kLeftShift, kRightShift, kLeftCtrl, kRightCtrl, kLeftAlt, kRightAlt, kSides };

  void AltGr(const KeyEvent &key, std::vector<InputMessage> &out);
  void Keypad(const KeyEvent &key, std::vector<InputMessage> &out);
  // One key message, with the characters of a press; modifier state as Windows has it then.
  void Emit(UINT vk, BYTE scanCode, bool extended, bool down, bool repeat, std::u32string_view text,
            std::vector<InputMessage> &out);
  void LiftShift(std::vector<InputMessage> &out);
  void RestoreShift(std::vector<InputMessage> &out);
  WPARAM MouseFlags() const;

  bool down_[kSides] = {};           // as the window sees them
  bool shiftHeld_[2] = {};           // the Shift keys physically held
  bool ctrlFromAltGr_ = false;       // left Ctrl is down because AltGr put it down
  int shiftLiftedBy_ = -1;           // keypad key (0-10) that lifted Shift, -1 none
  UINT keypadVk_[11] = {};           // code each keypad key went down as
  WPARAM buttons_ = 0;
};

// The characters a key press gives, by Windows' rules: Ctrl gives control characters (Ctrl+A
// to Ctrl+Z, Ctrl+[, Ctrl+\, Ctrl+], Ctrl+'-', Ctrl+Shift+2 and 6, Ctrl+Enter, Ctrl+Backspace)
// and nothing else; Ctrl with Alt gives the layout's AltGr character; Esc, Enter, Backspace,
// Tab and Space give theirs; otherwise the layout's text (`layoutText`), with Alt or without.
std::u32string KeyCharacters(UINT vk, bool shift, bool ctrl, bool alt, std::u32string_view layoutText);

// UTF-8 to code points; invalid sequences are skipped.
std::u32string DecodeUtf8(std::string_view utf8);
// Code points to Windows-1252 bytes, as Windows hands typed characters to an ANSI window:
// '?' for each UTF-16 unit of a character the code page lacks.
std::string ToAnsi(std::u32string_view text);

}  // namespace pv::input
