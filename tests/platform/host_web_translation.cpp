// DOM events turned into Windows messages by the web host's adapter: virtual keys and scan
// codes from the DOM's key names, Alt as a system key, chorded buttons, the wheel's notches.
#include <gtest/gtest.h>

#include <vector>

#include "host_web_input.h"

namespace {

using pv::host::DomKey;
using pv::host::DomPointer;
using pv::host::DomPointerState;
using pv::host::InputMessage;
using pv::host::InputTranslator;

TEST(WebKeys, VirtualKeyCodes) {
  struct Case {
    const char *code, *key;
    UINT vk;
  } cases[] = {
      {"KeyA", "a", 'A'},          {"KeyA", "q", 'Q'},  // letters follow the layout
      {"KeyQ", "\xD0\xB9", 'Q'},   // a Cyrillic letter: the key's own letter
      {"Digit1", "&", '1'},        // digits follow the key
      {"F1", "F1", VK_F1},         {"F12", "F12", VK_F12},  {"F24", "F24", VK_F24},
      {"ArrowUp", "ArrowUp", VK_UP}, {"PageDown", "PageDown", VK_NEXT}, {"Escape", "Escape", VK_ESCAPE},
      {"Space", " ", VK_SPACE},    {"Tab", "Tab", VK_TAB},  {"Enter", "Enter", VK_RETURN},
      {"Numpad8", "8", VK_UP},     // keypad digits give their Num Lock off code
      {"NumpadDecimal", ".", VK_DELETE},
      {"BracketRight", "+", VK_OEM_PLUS},  // named by the character it types
      {"Semicolon", ";", VK_OEM_1}, {"ShiftRight", "Shift", VK_SHIFT}, {"AltRight", "AltGraph", VK_MENU},
      {"Lang1", "Unidentified", 0},
  };
  for (const Case &c : cases) EXPECT_EQ(pv::host::VirtualKeyForDom(c.code, c.key), c.vk) << c.code << " " << c.key;
}

std::vector<InputMessage> Keys(InputTranslator &input, std::vector<DomKey> keys) {
  std::vector<InputMessage> out;
  for (const DomKey &k : keys) pv::host::TranslateDomKey(k, input, out);
  return out;
}

TEST(WebKeys, MessagesAsWindowsSendsThem) {
  InputTranslator input;
  auto a = Keys(input, {{true, false, false, "KeyA", "a"}, {false, false, false, "KeyA", "a"}});
  ASSERT_EQ(a.size(), 2u);
  EXPECT_EQ(a[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(a[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ((a[0].lParam >> 16) & 0xFF, 30);  // the scan code of A
  EXPECT_EQ(a[0].text, "a");
  EXPECT_EQ(a[1].message, static_cast<UINT>(WM_KEYUP));

  // Alt+X: system keys; the grey arrows are extended keys.
  auto altX = Keys(input, {{true, false, false, "AltLeft", "Alt"}, {true, false, false, "KeyX", "x"}});
  ASSERT_EQ(altX.size(), 2u);
  EXPECT_EQ(altX[1].message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_EQ(altX[1].wParam, static_cast<WPARAM>('X'));
  Keys(input, {{false, false, false, "KeyX", "x"}, {false, false, false, "AltLeft", "Alt"}});
  auto up = Keys(input, {{true, false, false, "ArrowUp", "ArrowUp"}});
  ASSERT_EQ(up.size(), 1u);
  EXPECT_EQ(up[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_NE(up[0].lParam & (1 << 24), 0);
  EXPECT_TRUE(up[0].text.empty());
}

TEST(WebPointer, ChordedButtonsAndTheWheel) {
  InputTranslator input;
  DomPointerState state;
  std::vector<InputMessage> out;
  const pv::input::ClientSize client{800, 600};
  pv::host::TranslateDomPointer({{120, 45}, 0}, client, state, input, out);
  // The DOM gives a second button only in the mask: a press of each, in order, then nothing
  // moved.
  pv::host::TranslateDomPointer({{120, 45}, 1}, client, state, input, out);
  pv::host::TranslateDomPointer({{120, 45}, 1 | 4}, client, state, input, out);
  pv::host::TranslateDomPointer({{121, 45}, 4}, client, state, input, out);
  const std::vector<std::pair<UINT, WPARAM>> expected = {
      {WM_MOUSEMOVE, 0},
      {WM_LBUTTONDOWN, MK_LBUTTON},
      {WM_MBUTTONDOWN, MK_LBUTTON | MK_MBUTTON},
      {WM_LBUTTONUP, MK_MBUTTON},
      {WM_MOUSEMOVE, MK_MBUTTON},
  };
  ASSERT_EQ(out.size(), expected.size());
  for (size_t i = 0; i < out.size(); ++i) {
    EXPECT_EQ(out[i].message, expected[i].first) << i;
    EXPECT_EQ(out[i].wParam, expected[i].second) << i;
  }
  EXPECT_EQ(out[4].lParam, MAKELPARAM(121, 45));

  // 100 pixels towards the user is one notch, -120; half notches add up.
  out.clear();
  pv::host::TranslateDomWheel(100, 0, {680, 345}, state, input, out);
  pv::host::TranslateDomWheel(-50, 0, {680, 345}, state, input, out);
  pv::host::TranslateDomWheel(-50, 0, {680, 345}, state, input, out);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(static_cast<SHORT>(HIWORD(out[0].wParam)), -120);
  EXPECT_EQ(static_cast<SHORT>(HIWORD(out[1].wParam)), 120);
  EXPECT_EQ(out[0].lParam, MAKELPARAM(680, 345));
}

}  // namespace
