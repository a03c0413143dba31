// DOM keyboard, pointer and wheel events as Windows messages, through the input translator.
#include "host_web_input.h"

#include <cmath>
#include <string>

namespace pv::host {
namespace {

// Set-1 scan codes of the letters A to Z.
constexpr BYTE kLetterScan[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                  49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

// The DOM's name of a physical key, its virtual key, its set-1 scan code and whether Windows
// flags it as extended. Letters, digits and function keys are worked out apart.
struct NamedKey {
  std::string_view code;
  UINT vk;
  BYTE scan;
  bool extended;
};
constexpr NamedKey kNamedKeys[] = {
    {"Escape", VK_ESCAPE, 1, false},          {"Minus", VK_OEM_MINUS, 12, false},
    {"Equal", VK_OEM_PLUS, 13, false},        {"Backspace", VK_BACK, 14, false},
    {"Tab", VK_TAB, 15, false},               {"BracketLeft", VK_OEM_4, 26, false},
    {"BracketRight", VK_OEM_6, 27, false},    {"Enter", VK_RETURN, 28, false},
    {"ControlLeft", VK_CONTROL, 29, false},   {"Semicolon", VK_OEM_1, 39, false},
    {"Quote", VK_OEM_7, 40, false},           {"Backquote", VK_OEM_3, 41, false},
    {"ShiftLeft", VK_SHIFT, 42, false},       {"Backslash", VK_OEM_5, 43, false},
    {"Comma", VK_OEM_COMMA, 51, false},       {"Period", VK_OEM_PERIOD, 52, false},
    {"Slash", VK_OEM_2, 53, false},           {"ShiftRight", VK_SHIFT, 54, false},
    {"NumpadMultiply", VK_MULTIPLY, 55, false}, {"AltLeft", VK_MENU, 56, false},
    {"Space", VK_SPACE, 57, false},           {"CapsLock", VK_CAPITAL, 58, false},
    {"NumLock", VK_NUMLOCK, 69, true},        {"ScrollLock", VK_SCROLL, 70, false},
    {"Numpad7", VK_HOME, 71, false},          {"Numpad8", VK_UP, 72, false},
    {"Numpad9", VK_PRIOR, 73, false},         {"NumpadSubtract", VK_SUBTRACT, 74, false},
    {"Numpad4", VK_LEFT, 75, false},          {"Numpad5", VK_CLEAR, 76, false},
    {"Numpad6", VK_RIGHT, 77, false},         {"NumpadAdd", VK_ADD, 78, false},
    {"Numpad1", VK_END, 79, false},           {"Numpad2", VK_DOWN, 80, false},
    {"Numpad3", VK_NEXT, 81, false},          {"Numpad0", VK_INSERT, 82, false},
    {"NumpadDecimal", VK_DELETE, 83, false},  {"IntlBackslash", VK_OEM_102, 86, false},
    {"F11", VK_F11, 87, false},               {"F12", VK_F12, 88, false},
    {"NumpadEnter", VK_RETURN, 28, true},     {"ControlRight", VK_CONTROL, 29, true},
    {"NumpadDivide", VK_DIVIDE, 53, true},    {"AltRight", VK_MENU, 56, true},
    {"Home", VK_HOME, 71, true},              {"ArrowUp", VK_UP, 72, true},
    {"PageUp", VK_PRIOR, 73, true},           {"ArrowLeft", VK_LEFT, 75, true},
    {"ArrowRight", VK_RIGHT, 77, true},       {"End", VK_END, 79, true},
    {"ArrowDown", VK_DOWN, 80, true},         {"PageDown", VK_NEXT, 81, true},
    {"Insert", VK_INSERT, 82, true},          {"Delete", VK_DELETE, 83, true},
    {"MetaLeft", VK_LWIN, 91, true},          {"MetaRight", VK_RWIN, 92, true},
    {"ContextMenu", VK_APPS, 93, true},       {"Pause", VK_PAUSE, 0, false},
    {"NumpadClear", VK_CLEAR, 76, false},
};

const NamedKey *FindNamed(std::string_view code) {
  for (const NamedKey &k : kNamedKeys)
    if (k.code == code) return &k;
  return nullptr;
}

// "KeyA" to "KeyZ": 0 to 25; -1 otherwise.
int LetterOf(std::string_view code) {
  if (code.size() == 4 && code.substr(0, 3) == "Key" && code[3] >= 'A' && code[3] <= 'Z') return code[3] - 'A';
  return -1;
}

// "Digit0" to "Digit9": 0 to 9; -1 otherwise.
int DigitOf(std::string_view code) {
  if (code.size() == 6 && code.substr(0, 5) == "Digit" && code[5] >= '0' && code[5] <= '9') return code[5] - '0';
  return -1;
}

// "F1" to "F24": 1 to 24; 0 otherwise.
int FunctionOf(std::string_view code) {
  if (code.size() < 2 || code.size() > 3 || code[0] != 'F') return 0;
  int n = 0;
  for (char c : code.substr(1)) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + (c - '0');
  }
  return n >= 1 && n <= 24 ? n : 0;
}

BYTE ScanCodeForDom(std::string_view code) {
  if (int letter = LetterOf(code); letter >= 0) return kLetterScan[letter];
  if (int digit = DigitOf(code); digit >= 0) return static_cast<BYTE>(digit == 0 ? 11 : 1 + digit);
  if (int f = FunctionOf(code); f >= 1 && f <= 10) return static_cast<BYTE>(58 + f);
  const NamedKey *k = FindNamed(code);
  return k ? k->scan : 0;
}

// The DOM's key text of a key pressed with Ctrl and Alt is the layout's AltGr character only
// when it differs from what the letter or digit key types alone.
std::u32string AltGrText(std::string_view code, std::u32string text) {
  char32_t plain = 0;
  if (int letter = LetterOf(code); letter >= 0) plain = U'a' + static_cast<char32_t>(letter);
  if (int digit = DigitOf(code); digit >= 0) plain = U'0' + static_cast<char32_t>(digit);
  if (text.size() == 1 && plain && (text[0] == plain || (plain >= U'a' && text[0] == plain - 32))) return {};
  return text;
}

}  // namespace

UINT VirtualKeyForDom(std::string_view code, std::string_view key) {
  // Letters follow the layout, as their virtual keys do on Windows.
  if (key.size() == 1 && ((key[0] >= 'a' && key[0] <= 'z') || (key[0] >= 'A' && key[0] <= 'Z')))
    return static_cast<UINT>(key[0] >= 'a' ? key[0] - 32 : key[0]);
  if (int letter = LetterOf(code); letter >= 0) return static_cast<UINT>('A' + letter);
  // The digit row gives its digits whatever the layout prints on it.
  if (int digit = DigitOf(code); digit >= 0) return static_cast<UINT>('0' + digit);
  if (int f = FunctionOf(code)) return static_cast<UINT>(VK_F1 + f - 1);
  const NamedKey *k = FindNamed(code);
  const bool keypad = code.substr(0, 6) == "Numpad";
  // Windows names these four by the character they type, on every layout (not on the keypad).
  if (keypad) return k ? k->vk : 0;
  if (key == "+") return VK_OEM_PLUS;
  if (key == ",") return VK_OEM_COMMA;
  if (key == "-") return VK_OEM_MINUS;
  if (key == ".") return VK_OEM_PERIOD;
  return k ? k->vk : 0;
}

void TranslateDomKey(const DomKey &key, InputTranslator &input, std::vector<InputMessage> &out) {
  // A key's text is its `key` when that is one character; names ("Enter", "Dead") type none.
  std::u32string text = key.down ? pv::input::DecodeUtf8(key.key) : std::u32string();
  if (text.size() != 1) text.clear();
  pv::input::KeyEvent k;
  k.vk = VirtualKeyForDom(key.code, key.key);
  if (k.vk == 0) {
    if (!text.empty()) input.Text(text, out);  // a key Windows has no code for: its text alone
    return;
  }
  const NamedKey *named = FindNamed(key.code);
  k.right = key.code == "ShiftRight" || key.code == "ControlRight" || key.code == "AltRight";
  k.altGr = key.code == "AltRight" && key.key == "AltGraph";
  k.numpad = (key.code.size() == 7 && key.code.substr(0, 6) == "Numpad" && key.code[6] >= '0' && key.code[6] <= '9') ||
             key.code == "NumpadDecimal";
  k.numLock = key.numLock;
  k.scanCode = ScanCodeForDom(key.code);
  k.extended = named && named->extended;
  k.down = key.down;
  k.repeat = key.repeat;
  k.text = input.Ctrl() && input.Alt() ? AltGrText(key.code, std::move(text)) : std::move(text);
  input.Key(k, out);
}

void TranslateDomPointer(const DomPointer &p, pv::input::ClientSize client, DomPointerState &state,
                         InputTranslator &input, std::vector<InputMessage> &out) {
  static constexpr struct {
    int dom;
    WPARAM flag;
  } kButtons[] = {{1, MK_LBUTTON}, {2, MK_RBUTTON}, {4, MK_MBUTTON}};
  WPARAM held = 0;
  for (const auto &b : kButtons) {
    const bool was = state.buttons & b.dom, now = p.buttons & b.dom;
    if (now) held |= b.flag;
    if (was != now) input.ButtonChanged(b.flag, now, p.at, client, out);
  }
  state.buttons = p.buttons & 7;
  if (!state.placed || p.at.x != state.last.x || p.at.y != state.last.y) input.PointerMoved(p.at, held, client, out);
  state.placed = true;
  state.last = p.at;
}

void TranslateDomWheel(double deltaY, int deltaMode, POINT screen, DomPointerState &state, InputTranslator &input,
                       std::vector<InputMessage> &out) {
  // A notch is 100 pixels in Chromium's pixel mode and 3 lines in line mode. Fine wheels and
  // touch pads send parts of a notch: those add up until a whole one is reached.
  constexpr double kPixelsPerNotch = 100.0, kLinesPerNotch = 3.0;
  const double notches = deltaMode == 0 ? deltaY / kPixelsPerNotch : deltaMode == 1 ? deltaY / kLinesPerNotch : deltaY;
  if (!std::isfinite(notches)) return;
  state.wheelRest -= notches;  // the DOM's positive is towards the user, Windows' away
  const double whole = std::trunc(state.wheelRest);
  if (whole == 0) return;
  state.wheelRest -= whole;
  input.WheelTurned(static_cast<int>(std::fmax(-100.0, std::fmin(100.0, whole))), screen, out);
}

}  // namespace pv::host
