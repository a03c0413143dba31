// Physical keys and pointer actions in, Windows' messages out: system keys, AltGr as Ctrl+Alt,
// Shift around the keypad, control characters, code page 1252, the pointer outside the window.
#include "input_translation.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using pv::input::InputMessage;
using pv::input::InputTranslator;
using pv::input::KeyEvent;

KeyEvent Key(UINT vk, bool down, std::u32string text = {}) {
  KeyEvent k;
  k.vk = vk;
  k.down = down;
  k.text = std::move(text);
  return k;
}

// Shift, Ctrl or Alt, left or right, with the scan code and extended flag Windows gives them.
KeyEvent Modifier(UINT vk, bool right, bool down) {
  KeyEvent k = Key(vk, down);
  k.right = right;
  k.scanCode = vk == VK_SHIFT ? (right ? 0x36 : 0x2A) : vk == VK_CONTROL ? 0x1D : 0x38;
  k.extended = right && vk != VK_SHIFT;
  return k;
}

KeyEvent AltGr(bool down) {
  KeyEvent k = Modifier(VK_MENU, true, down);
  k.altGr = true;
  return k;
}

KeyEvent Pad(UINT cursorVk, bool numLock, bool down, std::u32string text = {}) {
  KeyEvent k = Key(cursorVk, down, std::move(text));
  k.numpad = true;
  k.numLock = numLock;
  return k;
}

struct Expected {
  UINT message;
  WPARAM wParam;
  std::string chars;
  int scan = -1;      // checked when not -1
  int extended = -1;  // checked when not -1
};

TEST(InputTranslator, KeySequencesGiveWindowsMessages) {
  const UINT KD = WM_KEYDOWN, KU = WM_KEYUP, SD = WM_SYSKEYDOWN, SU = WM_SYSKEYUP;
  struct Case {
    const char *name;
    std::vector<KeyEvent> keys;
    std::vector<Expected> messages;
  } cases[] = {
      {"letter", {Key('A', true, U"a"), Key('A', false)}, {{KD, 'A', "a"}, {KU, 'A', ""}}},
      {"alt+x is a system key whose character is a system character",
       {Modifier(VK_MENU, false, true), Key('X', true, U"x"), Key('X', false), Modifier(VK_MENU, false, false)},
       {{SD, VK_MENU, ""}, {SD, 'X', "x"}, {SU, 'X', ""}, {SU, VK_MENU, ""}}},
      {"altgr+q is left ctrl, right alt, then the character",
       {AltGr(true), Key('Q', true, U"@"), Key('Q', false), AltGr(false)},
       {{KD, VK_CONTROL, "", 0x1D, 0},
        {KD, VK_MENU, "", 0x38, 1},
        {KD, 'Q', "@"},
        {KU, 'Q', ""},
        {KU, VK_CONTROL, "", 0x1D, 0},
        {SU, VK_MENU, "", 0x38, 1}}},
      {"ctrl+alt+digit types nothing where the layout has no altgr character",
       {Modifier(VK_CONTROL, false, true), Modifier(VK_MENU, false, true), Key('1', true)},
       {{KD, VK_CONTROL, ""}, {KD, VK_MENU, ""}, {KD, '1', ""}}},
      {"ctrl+digit types nothing", {Modifier(VK_CONTROL, false, true), Key('5', true, U"5")},
       {{KD, VK_CONTROL, ""}, {KD, '5', ""}}},
      {"ctrl+minus", {Modifier(VK_CONTROL, false, true), Key(VK_OEM_MINUS, true, U"-")},
       {{KD, VK_CONTROL, ""}, {KD, VK_OEM_MINUS, "\x1f"}}},
      {"ctrl+brackets and backslash",
       {Modifier(VK_CONTROL, true, true), Key(VK_OEM_4, true, U"["), Key(VK_OEM_6, true, U"]"),
        Key(VK_OEM_5, true, U"\\"), Key(VK_OEM_102, true, U"<")},
       {{KD, VK_CONTROL, "", 0x1D, 1},
        {KD, VK_OEM_4, "\x1b"},
        {KD, VK_OEM_6, "\x1d"},
        {KD, VK_OEM_5, "\x1c"},
        {KD, VK_OEM_102, "\x1c"}}},
      {"ctrl+shift+6 and 2",
       {Modifier(VK_CONTROL, false, true), Modifier(VK_SHIFT, false, true), Key('6', true, U"^"), Key('2', true, U"@")},
       {{KD, VK_CONTROL, ""}, {KD, VK_SHIFT, ""}, {KD, '6', "\x1e"}, {KD, '2', std::string(1, '\0')}}},
      {"ctrl+letter on any layout", {Modifier(VK_CONTROL, false, true), Key('F', true, U"\u0430")},
       {{KD, VK_CONTROL, ""}, {KD, 'F', "\x06"}}},
      {"keys that type their own characters",
       {Key(VK_ESCAPE, true), Key(VK_RETURN, true), Key(VK_BACK, true), Key(VK_TAB, true), Key(VK_SPACE, true, U" ")},
       {{KD, VK_ESCAPE, "\x1b"}, {KD, VK_RETURN, "\r"}, {KD, VK_BACK, "\b"}, {KD, VK_TAB, "\t"}, {KD, VK_SPACE, " "}}},
      {"with ctrl", {Modifier(VK_CONTROL, false, true), Key(VK_RETURN, true), Key(VK_BACK, true), Key(VK_TAB, true)},
       {{KD, VK_CONTROL, ""}, {KD, VK_RETURN, "\n"}, {KD, VK_BACK, "\x7f"}, {KD, VK_TAB, ""}}},
      {"a letter outside code page 1252", {Key('A', true, U"\u0444")}, {{KD, 'A', "?"}}},
      {"f10 is a system key", {Key(VK_F10, true), Key(VK_F10, false)}, {{SD, VK_F10, ""}, {SU, VK_F10, ""}}},
      {"alt+less", {Modifier(VK_MENU, false, true), Key(VK_OEM_102, true, U"<")},
       {{SD, VK_MENU, ""}, {SD, VK_OEM_102, "<"}}},
      {"keypad with num lock types digits", {Pad(VK_LEFT, true, true, U"4"), Pad(VK_DELETE, true, true, U",")},
       {{KD, VK_NUMPAD0 + 4, "4"}, {KD, VK_DECIMAL, ","}}},
      {"keypad without num lock is the cursor block", {Pad(VK_LEFT, false, true), Pad(VK_LEFT, false, false)},
       {{KD, VK_LEFT, ""}, {KU, VK_LEFT, ""}}},
      {"shift lets go around a keypad key with num lock on",
       {Modifier(VK_SHIFT, true, true), Pad(VK_LEFT, true, true), Pad(VK_LEFT, true, true),
        Pad(VK_LEFT, true, false), Key('A', true, U"A")},
       {{KD, VK_SHIFT, "", 0x36},
        {KU, VK_SHIFT, "", 0x36},
        {KD, VK_LEFT, ""},
        {KD, VK_LEFT, ""},
        {KU, VK_LEFT, ""},
        {KD, VK_SHIFT, "", 0x36},
        {KD, 'A', "A"}}},
      {"shift released during the keypad key stays up",
       {Modifier(VK_SHIFT, false, true), Pad(VK_HOME, true, true), Modifier(VK_SHIFT, false, false),
        Pad(VK_HOME, true, false)},
       {{KD, VK_SHIFT, "", 0x2A}, {KU, VK_SHIFT, "", 0x2A}, {KD, VK_HOME, ""}, {KU, VK_HOME, ""}}},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    InputTranslator t;
    std::vector<InputMessage> out;
    for (const auto &k : c.keys) t.Key(k, out);
    ASSERT_EQ(out.size(), c.messages.size());
    for (size_t i = 0; i < out.size(); ++i) {
      SCOPED_TRACE(i);
      const Expected &e = c.messages[i];
      EXPECT_EQ(out[i].message, e.message);
      EXPECT_EQ(out[i].wParam, e.wParam);
      EXPECT_EQ(out[i].text, e.chars);
      EXPECT_TRUE(out[i].hostText);
      const auto lp = static_cast<DWORD>(out[i].lParam);
      const bool up = e.message == KU || e.message == SU;
      EXPECT_EQ(lp >> 31, up ? 1u : 0u);
      if (e.scan >= 0) {
        EXPECT_EQ(static_cast<int>((lp >> 16) & 0xFF), e.scan);
      }
      if (e.extended >= 0) {
        EXPECT_EQ(static_cast<int>((lp >> 24) & 1), e.extended);
      }
    }
  }
}

TEST(InputTranslator, EachShiftCtrlAndAltKeyIsKeptApart) {
  for (UINT vk : {VK_SHIFT, VK_CONTROL, VK_MENU}) {
    SCOPED_TRACE(vk);
    InputTranslator t;
    std::vector<InputMessage> out;
    auto held = [&] { return vk == VK_SHIFT ? t.Shift() : vk == VK_CONTROL ? t.Ctrl() : t.Alt(); };
    t.Key(Modifier(vk, false, true), out);
    t.Key(Modifier(vk, true, true), out);
    t.Key(Modifier(vk, true, false), out);
    EXPECT_TRUE(held());
    t.Key(Modifier(vk, false, false), out);
    EXPECT_FALSE(held());
  }
}

TEST(InputTranslator, TextWithoutAKeyFollowsTheModifiers) {
  InputTranslator t;
  std::vector<InputMessage> out;
  t.Text(U"\u00e9\u20ac\u0416", out);
  t.Key(Modifier(VK_MENU, false, true), out);
  t.Text(U"<", out);
  ASSERT_EQ(out.size(), 5u);
  const UINT messages[] = {WM_CHAR, WM_CHAR, WM_CHAR, WM_SYSKEYDOWN, WM_SYSCHAR};
  const WPARAM params[] = {0xE9, 0x80, '?', VK_MENU, '<'};
  for (size_t i = 0; i < out.size(); ++i) {
    EXPECT_EQ(out[i].message, messages[i]) << i;
    EXPECT_EQ(out[i].wParam, params[i]) << i;
  }
}

TEST(InputTranslator, NoMouseMessageOutsideTheClientArea) {
  const pv::input::ClientSize client{800, 600};
  InputTranslator t;
  std::vector<InputMessage> out;
  t.PointerMoved({50, 40}, 0, client, out);
  t.ButtonChanged(MK_LBUTTON, true, {50, 40}, client, out);
  t.PointerMoved({0, 0}, MK_LBUTTON, client, out);
  t.PointerMoved({-1, 10}, MK_LBUTTON, client, out);    // dragged out: nothing
  t.PointerMoved({-40, -30}, MK_LBUTTON, client, out);
  t.PointerMoved({800, 599}, MK_LBUTTON, client, out);
  t.ButtonChanged(MK_LBUTTON, false, {-50, -50}, client, out);  // released outside: nothing
  t.PointerMoved({799, 599}, 0, client, out);                  // back in, the button is up
  const UINT messages[] = {WM_MOUSEMOVE, WM_LBUTTONDOWN, WM_MOUSEMOVE, WM_MOUSEMOVE};
  const WPARAM flags[] = {0, MK_LBUTTON, MK_LBUTTON, 0};
  const POINT at[] = {{50, 40}, {50, 40}, {0, 0}, {799, 599}};
  ASSERT_EQ(out.size(), std::size(messages));
  for (size_t i = 0; i < out.size(); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(out[i].message, messages[i]);
    EXPECT_EQ(out[i].wParam, flags[i]);
    EXPECT_EQ(LOWORD(out[i].lParam), at[i].x);
    EXPECT_EQ(HIWORD(out[i].lParam), at[i].y);
  }
}

TEST(CodePage1252, TextBecomesWhatAnAnsiWindowReceives) {
  struct Case {
    const char *utf8;
    std::string bytes;
  } cases[] = {
      {"A", "A"},
      {"\xC3\xA9", "\xE9"},                    // é
      {"\xE2\x82\xAC", "\x80"},                // €
      {"\xC5\x93", "\x9C"},                    // œ
      {"\xE2\x80\x94", "\x97"},                // em dash
      {"\xC2\xA0", "\xA0"},                    // no-break space
      {"\xCE\xA9", "?"},                       // Ω is not in the code page
      {"\xD1\x84\xD1\x8B", "??"},              // Cyrillic
      {"\xC2\x81", "\x81"},                    // one of the five bytes the code page leaves undefined
      {"\xC2\x85", "?"},                       // another C1 control
      {"a\xE2\x82\xAC" "b", "a\x80" "b"},
      {"\xF0\x9F\x98\x80x", "??x"},            // beyond the BMP: two UTF-16 units
      {"\xC3", ""},                            // cut short
      {"\x80z", "z"},                          // stray continuation byte
  };
  for (const auto &c : cases) EXPECT_EQ(pv::input::ToAnsi(pv::input::DecodeUtf8(c.utf8)), c.bytes) << c.utf8;
}

}  // namespace
