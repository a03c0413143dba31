// Windows' rules for key and mouse messages, kept apart from any host.
#include "input_translation.h"

namespace pv::input {
namespace {

constexpr BYTE kLeftShiftScan = 0x2A, kRightShiftScan = 0x36, kCtrlScan = 0x1D;

// The keypad keys with Num Lock off, in the order of their digits, then the point.
constexpr UINT kKeypadCursor[11] = {VK_INSERT, VK_END,  VK_DOWN, VK_NEXT,  VK_LEFT,  VK_CLEAR,
                                    VK_RIGHT,  VK_HOME, VK_UP,   VK_PRIOR, VK_DELETE};

int KeypadIndex(UINT vk) {
  for (int i = 0; i < 11; ++i)
    if (kKeypadCursor[i] == vk) return i;
  return -1;
}

LPARAM KeyLParam(BYTE scanCode, bool extended, bool alt, bool wasDown, bool up) {
  DWORD lp = 1u | static_cast<DWORD>(scanCode) << 16;
  if (extended) lp |= 1u << 24;
  if (alt) lp |= 1u << 29;
  if (wasDown) lp |= 1u << 30;
  if (up) lp |= 1u << 31;
  return static_cast<LPARAM>(lp);
}

LPARAM Point(POINT p) { return MAKELPARAM(static_cast<WORD>(p.x), static_cast<WORD>(p.y)); }

bool Inside(POINT p, ClientSize client) { return p.x >= 0 && p.y >= 0 && p.x < client.width && p.y < client.height; }

}  // namespace

std::u32string KeyCharacters(UINT vk, bool shift, bool ctrl, bool alt, std::u32string_view layoutText) {
  // Keys whose characters belong to the key, not to the layout: plain and shifted, then with Ctrl.
  switch (vk) {
    case VK_ESCAPE: return ctrl && alt ? U"" : U"\x1b";
    case VK_RETURN: return ctrl ? (alt ? U"" : U"\n") : U"\r";
    case VK_BACK: return ctrl ? (alt ? U"" : U"\x7f") : U"\b";
    case VK_TAB: return ctrl ? U"" : U"\t";
    case VK_SPACE:
      if (ctrl && alt) return std::u32string(layoutText);
      return U" ";
    default: break;
  }
  if (ctrl && alt) return std::u32string(layoutText);  // the AltGr level
  if (ctrl) {
    if (vk >= 'A' && vk <= 'Z') return std::u32string(1, static_cast<char32_t>(vk - 'A' + 1));
    switch (vk) {
      case VK_OEM_4: return U"\x1b";
      case VK_OEM_5:
      case VK_OEM_102: return U"\x1c";
      case VK_OEM_6: return U"\x1d";
      case VK_OEM_MINUS: return U"\x1f";
      case '2': return shift ? std::u32string(1, U'\0') : U"";
      case '6': return shift ? U"\x1e" : U"";
      default: return U"";
    }
  }
  return std::u32string(layoutText);
}

void InputTranslator::Emit(UINT vk, BYTE scanCode, bool extended, bool down, bool repeat, std::u32string_view text,
                           std::vector<InputMessage> &out) {
  // A modifier counts as held in its own messages, the release included.
  const bool alt = Alt() || vk == VK_MENU, ctrl = Ctrl() || vk == VK_CONTROL;
  // Everything typed with Alt (but not with Ctrl too) is a "system" key, and so is F10.
  const bool sys = vk == VK_F10 || (alt && !ctrl);
  InputMessage m;
  m.message = down ? (sys ? WM_SYSKEYDOWN : WM_KEYDOWN) : (sys ? WM_SYSKEYUP : WM_KEYUP);
  m.wParam = vk;
  m.lParam = KeyLParam(scanCode, extended, alt, !down || repeat, !down);
  m.hostText = true;
  if (down) m.text = ToAnsi(KeyCharacters(vk, Shift(), Ctrl(), Alt(), text));
  out.push_back(std::move(m));
}

void InputTranslator::Key(const KeyEvent &key, std::vector<InputMessage> &out) {
  if (key.vk == VK_MENU && key.altGr) return AltGr(key, out);
  if (key.numpad && KeypadIndex(key.vk) >= 0) return Keypad(key, out);
  switch (key.vk) {
    case VK_SHIFT: {
      const int side = key.right ? 1 : 0;
      shiftHeld_[side] = key.down;
      if (shiftLiftedBy_ >= 0) return;  // the keypad key has Shift up until it is released
      down_[kLeftShift + side] = key.down;
      break;
    }
    case VK_CONTROL:
      down_[key.right ? kRightCtrl : kLeftCtrl] = key.down;
      if (!key.right) ctrlFromAltGr_ = false;
      break;
    case VK_MENU: down_[key.right ? kRightAlt : kLeftAlt] = key.down; break;
    default: break;
  }
  Emit(key.vk, key.scanCode, key.extended, key.down, key.repeat, key.text, out);
}

// Windows makes AltGr a left Ctrl and a right Alt, in that order, and lets go of both.
void InputTranslator::AltGr(const KeyEvent &key, std::vector<InputMessage> &out) {
  if (key.down) {
    if (!down_[kLeftCtrl] || ctrlFromAltGr_) {
      const bool again = down_[kLeftCtrl];
      down_[kLeftCtrl] = true;
      ctrlFromAltGr_ = true;
      Emit(VK_CONTROL, kCtrlScan, false, true, again, {}, out);
    }
    const bool again = down_[kRightAlt];
    down_[kRightAlt] = true;
    Emit(VK_MENU, key.scanCode, true, true, again || key.repeat, {}, out);
    return;
  }
  if (ctrlFromAltGr_) {
    down_[kLeftCtrl] = false;
    ctrlFromAltGr_ = false;
    Emit(VK_CONTROL, kCtrlScan, false, false, false, {}, out);
  }
  down_[kRightAlt] = false;
  Emit(VK_MENU, key.scanCode, true, false, false, {}, out);
}

// Keypad digits and point: with Num Lock on they type; Shift then turns them back into the
// cursor keys, and Windows lets go of Shift around them so that they act unshifted.
void InputTranslator::Keypad(const KeyEvent &key, std::vector<InputMessage> &out) {
  const int index = KeypadIndex(key.vk);
  if (!key.down) {
    const UINT vk = keypadVk_[index] ? keypadVk_[index] : key.vk;
    keypadVk_[index] = 0;
    Emit(vk, key.scanCode, key.extended, false, false, {}, out);
    if (shiftLiftedBy_ == index) RestoreShift(out);
    return;
  }
  const bool shiftHeld = shiftHeld_[0] || shiftHeld_[1];
  if (key.numLock && !shiftHeld) {
    const UINT vk = index < 10 ? VK_NUMPAD0 + static_cast<UINT>(index) : VK_DECIMAL;
    // The point types what the layout puts there ('.' or ','); the digits are the same on all.
    const std::u32string text = index < 10         ? std::u32string(1, static_cast<char32_t>(U'0' + index))
                                : key.text.empty() ? std::u32string(1, U'.')
                                                   : key.text;
    keypadVk_[index] = vk;
    Emit(vk, key.scanCode, key.extended, true, key.repeat, text, out);
    return;
  }
  if (key.numLock && shiftLiftedBy_ < 0 && Shift()) {
    LiftShift(out);
    shiftLiftedBy_ = index;
  }
  keypadVk_[index] = key.vk;
  Emit(key.vk, key.scanCode, key.extended, true, key.repeat, {}, out);
}

void InputTranslator::LiftShift(std::vector<InputMessage> &out) {
  for (int side = 0; side < 2; ++side) {
    if (!down_[kLeftShift + side]) continue;
    down_[kLeftShift + side] = false;
    Emit(VK_SHIFT, side ? kRightShiftScan : kLeftShiftScan, false, false, false, {}, out);
  }
}

void InputTranslator::RestoreShift(std::vector<InputMessage> &out) {
  shiftLiftedBy_ = -1;
  for (int side = 0; side < 2; ++side) {
    if (!shiftHeld_[side]) continue;
    down_[kLeftShift + side] = true;
    Emit(VK_SHIFT, side ? kRightShiftScan : kLeftShiftScan, false, true, false, {}, out);
  }
}

void InputTranslator::Text(std::u32string_view text, std::vector<InputMessage> &out) {
  const UINT message = Alt() && !Ctrl() ? WM_SYSCHAR : WM_CHAR;
  for (char c : ToAnsi(KeyCharacters(0, Shift(), Ctrl(), Alt(), text)))
    out.push_back({message, static_cast<BYTE>(c), 1, {}, false});
}

WPARAM InputTranslator::MouseFlags() const {
  return buttons_ | (Shift() ? MK_SHIFT : 0) | (Ctrl() ? MK_CONTROL : 0);
}

void InputTranslator::PointerMoved(POINT at, WPARAM buttonsHeld, ClientSize client, std::vector<InputMessage> &out) {
  buttons_ = buttonsHeld & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON);
  if (Inside(at, client)) out.push_back({WM_MOUSEMOVE, MouseFlags(), Point(at), {}, false});
}

void InputTranslator::ButtonChanged(WPARAM button, bool down, POINT at, ClientSize client,
                                    std::vector<InputMessage> &out) {
  UINT message;
  switch (button) {
    case MK_LBUTTON: message = down ? WM_LBUTTONDOWN : WM_LBUTTONUP; break;
    case MK_RBUTTON: message = down ? WM_RBUTTONDOWN : WM_RBUTTONUP; break;
    case MK_MBUTTON: message = down ? WM_MBUTTONDOWN : WM_MBUTTONUP; break;
    default: return;
  }
  buttons_ = down ? (buttons_ | button) : (buttons_ & ~button);
  if (Inside(at, client)) out.push_back({message, MouseFlags(), Point(at), {}, false});
}

void InputTranslator::WheelTurned(int notches, POINT screen, std::vector<InputMessage> &out) {
  if (notches == 0) return;
  const int delta = notches * WHEEL_DELTA;
  out.push_back({WM_MOUSEWHEEL, MAKEWPARAM(MouseFlags(), static_cast<WORD>(delta)), Point(screen), {}, false});
}

std::u32string DecodeUtf8(std::string_view utf8) {
  std::u32string out;
  const auto *p = reinterpret_cast<const unsigned char *>(utf8.data());
  const auto *end = p + utf8.size();
  while (p < end) {
    char32_t cp;
    int extra;
    if (*p < 0x80) {
      cp = *p;
      extra = 0;
    } else if ((*p & 0xE0) == 0xC0) {
      cp = *p & 0x1F;
      extra = 1;
    } else if ((*p & 0xF0) == 0xE0) {
      cp = *p & 0x0F;
      extra = 2;
    } else if ((*p & 0xF8) == 0xF0) {
      cp = *p & 0x07;
      extra = 3;
    } else {
      ++p;  // a stray continuation or invalid byte
      continue;
    }
    ++p;
    bool ok = true;
    for (int i = 0; i < extra; ++i, ++p) {
      if (p == end || (*p & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (*p & 0x3F);
    }
    if (ok && cp <= 0x10FFFF) out.push_back(cp);
  }
  return out;
}

std::string ToAnsi(std::u32string_view text) {
  // Code points behind bytes 0x80 to 0x9F; the five bytes the code page leaves undefined stand
  // for the C1 controls of the same number, both ways.
  static const char16_t high[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};
  std::string out;
  for (char32_t cp : text) {
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    int byte = -1;
    for (int i = 0; i < 32 && byte < 0; ++i)
      if (high[i] == cp) byte = 0x80 + i;
    if (byte >= 0) out.push_back(static_cast<char>(byte));
    else out.append(cp > 0xFFFF ? 2 : 1, '?');  // one per UTF-16 unit, as Windows converts them
  }
  return out;
}

}  // namespace pv::input
