// SDL events turned into Windows messages: virtual keys, system keys, the text of a key press
// paired by order, AltGr, mouse flags with the modifiers, the wheel, the close request.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "host_sdl_input.h"

namespace {

using pv::host::InputMessage;
using pv::host::InputTranslator;
using pv::host::SdlTarget;
using pv::host::TranslateSdlEvent;
using pv::host::VirtualKeyFor;

SDL_Event Key(bool down, SDL_Keycode sym, SDL_Scancode sc, Uint16 mod = KMOD_NONE, Uint32 time = 100) {
  SDL_Event e{};
  e.type = down ? SDL_KEYDOWN : SDL_KEYUP;
  e.key.timestamp = time;
  e.key.state = down ? SDL_PRESSED : SDL_RELEASED;
  e.key.keysym.sym = sym;
  e.key.keysym.scancode = sc;
  e.key.keysym.mod = mod;
  return e;
}

SDL_Event Text(const char *utf8, Uint32 time = 100) {
  SDL_Event e{};
  e.type = SDL_TEXTINPUT;
  e.text.timestamp = time;
  SDL_strlcpy(e.text.text, utf8, sizeof e.text.text);
  return e;
}

std::vector<InputMessage> Translate(const std::vector<SDL_Event> &events, InputTranslator &state,
                                    SdlTarget target = {{0, 0}, {800, 600}, false}) {
  std::vector<InputMessage> out;
  for (size_t i = 0; i < events.size();) i += TranslateSdlEvent(&events[i], events.size() - i, target, state, out);
  return out;
}

TEST(SdlKeys, VirtualKeyCodes) {
  struct Case {
    SDL_Keycode sym;
    SDL_Scancode sc;
    Uint16 mod;
    UINT vk;
  } cases[] = {
      {SDLK_a, SDL_SCANCODE_A, 0, 'A'},
      {SDLK_z, SDL_SCANCODE_Z, 0, 'Z'},
      {SDLK_q, SDL_SCANCODE_A, 0, 'Q'},  // letters follow the layout
      {SDLK_0, SDL_SCANCODE_0, 0, '0'},
      {SDLK_9, SDL_SCANCODE_9, 0, '9'},
      {SDLK_AMPERSAND, SDL_SCANCODE_1, 0, '1'},  // digits follow the key
      {SDLK_F1, SDL_SCANCODE_F1, 0, VK_F1},
      {SDLK_F10, SDL_SCANCODE_F10, 0, VK_F10},
      {SDLK_F12, SDL_SCANCODE_F12, 0, VK_F12},
      {SDLK_F13, SDL_SCANCODE_F13, 0, VK_F13},
      {SDLK_F24, SDL_SCANCODE_F24, 0, VK_F24},
      {SDLK_UP, SDL_SCANCODE_UP, 0, VK_UP},
      {SDLK_DOWN, SDL_SCANCODE_DOWN, 0, VK_DOWN},
      {SDLK_LEFT, SDL_SCANCODE_LEFT, 0, VK_LEFT},
      {SDLK_RIGHT, SDL_SCANCODE_RIGHT, 0, VK_RIGHT},
      {SDLK_HOME, SDL_SCANCODE_HOME, 0, VK_HOME},
      {SDLK_END, SDL_SCANCODE_END, 0, VK_END},
      {SDLK_PAGEUP, SDL_SCANCODE_PAGEUP, 0, VK_PRIOR},
      {SDLK_PAGEDOWN, SDL_SCANCODE_PAGEDOWN, 0, VK_NEXT},
      {SDLK_INSERT, SDL_SCANCODE_INSERT, 0, VK_INSERT},
      {SDLK_DELETE, SDL_SCANCODE_DELETE, 0, VK_DELETE},
      {SDLK_KP_MULTIPLY, SDL_SCANCODE_KP_MULTIPLY, 0, VK_MULTIPLY},
      {SDLK_KP_PLUS, SDL_SCANCODE_KP_PLUS, 0, VK_ADD},
      {SDLK_KP_MINUS, SDL_SCANCODE_KP_MINUS, 0, VK_SUBTRACT},
      {SDLK_KP_DIVIDE, SDL_SCANCODE_KP_DIVIDE, 0, VK_DIVIDE},
      // The keypad's digits and point as with Num Lock off; the translator applies it.
      {SDLK_KP_PERIOD, SDL_SCANCODE_KP_PERIOD, KMOD_NUM, VK_DELETE},
      {SDLK_KP_7, SDL_SCANCODE_KP_7, KMOD_NUM, VK_HOME},
      {SDLK_KP_8, SDL_SCANCODE_KP_8, 0, VK_UP},
      {SDLK_KP_5, SDL_SCANCODE_KP_5, 0, VK_CLEAR},
      {SDLK_KP_0, SDL_SCANCODE_KP_0, KMOD_NUM, VK_INSERT},
      {SDLK_KP_ENTER, SDL_SCANCODE_KP_ENTER, 0, VK_RETURN},
      {SDLK_CLEAR, SDL_SCANCODE_CLEAR, 0, VK_CLEAR},
      {SDLK_PAUSE, SDL_SCANCODE_PAUSE, 0, VK_PAUSE},
      {SDLK_APPLICATION, SDL_SCANCODE_APPLICATION, 0, VK_APPS},
      {SDLK_ESCAPE, SDL_SCANCODE_ESCAPE, 0, VK_ESCAPE},
      {SDLK_RETURN, SDL_SCANCODE_RETURN, 0, VK_RETURN},
      {SDLK_BACKSPACE, SDL_SCANCODE_BACKSPACE, 0, VK_BACK},
      {SDLK_TAB, SDL_SCANCODE_TAB, 0, VK_TAB},
      {SDLK_SPACE, SDL_SCANCODE_SPACE, 0, VK_SPACE},
      {SDLK_LSHIFT, SDL_SCANCODE_LSHIFT, 0, VK_SHIFT},
      {SDLK_RCTRL, SDL_SCANCODE_RCTRL, 0, VK_CONTROL},
      {SDLK_LALT, SDL_SCANCODE_LALT, 0, VK_MENU},
      {SDLK_SLASH, SDL_SCANCODE_SLASH, 0, VK_OEM_2},
      {SDLK_MINUS, SDL_SCANCODE_SLASH, 0, VK_OEM_MINUS},  // named by its character (German '-')
      {SDLK_PLUS, SDL_SCANCODE_RIGHTBRACKET, 0, VK_OEM_PLUS},
      {SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH, 0, VK_OEM_102},
      {0x444, SDL_SCANCODE_A, 0, 'A'},  // a Cyrillic letter: the key's place
  };
  for (const auto &c : cases) {
    SDL_Keysym k{};
    k.sym = c.sym;
    k.scancode = c.sc;
    k.mod = c.mod;
    EXPECT_EQ(VirtualKeyFor(k), c.vk) << SDL_GetScancodeName(c.sc);
  }
}

TEST(SdlKeys, PressWithItsTextBecomesOneKeyMessageCarryingTheText) {
  InputTranslator s;
  auto out = Translate({Key(true, SDLK_a, SDL_SCANCODE_A), Text("a"), Key(false, SDLK_a, SDL_SCANCODE_A, 0, 150)}, s);
  ASSERT_EQ(out.size(), 2u);
  EXPECT_EQ(out[0].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(out[0].wParam, static_cast<WPARAM>('A'));
  EXPECT_EQ(out[0].text, "a");
  EXPECT_TRUE(out[0].hostText);
  EXPECT_EQ((out[0].lParam >> 16) & 0xFF, 30);  // scan code of A
  EXPECT_EQ(out[0].lParam & 0xFFFF, 1);         // repeat count
  EXPECT_EQ(out[1].message, static_cast<UINT>(WM_KEYUP));
  EXPECT_EQ(static_cast<DWORD>(out[1].lParam) >> 30, 3u);  // previous state and transition
}

TEST(SdlKeys, TextBelongsToThePressRightBeforeItWhateverItsTime) {
  struct Case {
    const char *name;
    std::vector<SDL_Event> events;
    std::vector<UINT> messages;
    std::string keyText;  // what the last key message carries
  } cases[] = {
      {"alt+x a millisecond apart",
       {Key(true, SDLK_LALT, SDL_SCANCODE_LALT), Key(true, SDLK_x, SDL_SCANCODE_X, KMOD_LALT, 100), Text("x", 101)},
       {WM_SYSKEYDOWN, WM_SYSKEYDOWN},
       "x"},
      {"alt+less",
       {Key(true, SDLK_LALT, SDL_SCANCODE_LALT), Key(true, SDLK_LESS, SDL_SCANCODE_NONUSBACKSLASH), Text("<")},
       {WM_SYSKEYDOWN, WM_SYSKEYDOWN},
       "<"},
      {"after a release the text stands alone",
       {Key(false, SDLK_e, SDL_SCANCODE_E), Text("\xC3\xA9\xE2\x82\xAC")},
       {WM_KEYUP, WM_CHAR, WM_CHAR},
       ""},
      {"a Cyrillic letter", {Key(true, 0x444, SDL_SCANCODE_A), Text("\xD1\x84")}, {WM_KEYDOWN}, "?"},
      {"left ctrl+alt: the plain character is not an altgr one",
       {Key(true, SDLK_LCTRL, SDL_SCANCODE_LCTRL), Key(true, SDLK_LALT, SDL_SCANCODE_LALT),
        Key(true, SDLK_q, SDL_SCANCODE_Q), Text("q")},
       {WM_KEYDOWN, WM_KEYDOWN, WM_KEYDOWN},
       ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    InputTranslator s;
    auto out = Translate(c.events, s);
    ASSERT_EQ(out.size(), c.messages.size());
    for (size_t i = 0; i < out.size(); ++i) EXPECT_EQ(out[i].message, c.messages[i]) << i;
    for (auto it = out.rbegin(); it != out.rend(); ++it)
      if (it->hostText) {
        EXPECT_EQ(it->text, c.keyText);
        break;
      }
  }
}

TEST(SdlKeys, AltGrOfTheLayoutIsCtrlAltAndKeepsItsCharacter) {
  InputTranslator s;
  auto out = Translate({Key(true, SDLK_RALT, SDL_SCANCODE_RALT), Key(true, SDLK_q, SDL_SCANCODE_Q, KMOD_RALT),
                        Text("@")},
                       s, {{0, 0}, {800, 600}, true});
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].wParam, static_cast<WPARAM>(VK_CONTROL));
  EXPECT_EQ(out[1].wParam, static_cast<WPARAM>(VK_MENU));
  EXPECT_EQ(out[2].message, static_cast<UINT>(WM_KEYDOWN));
  EXPECT_EQ(out[2].text, "@");
  EXPECT_TRUE(s.Ctrl() && s.Alt());
}

TEST(SdlKeys, AltMakesSystemKeysAndCtrlAltDoesNot) {
  struct Case {
    const char *name;
    std::vector<SDL_Event> held;
    SDL_Keycode sym;
    SDL_Scancode sc;
    UINT message;
    bool altBit;
  } cases[] = {
      {"plain", {}, SDLK_x, SDL_SCANCODE_X, WM_KEYDOWN, false},
      {"alt+x", {Key(true, SDLK_LALT, SDL_SCANCODE_LALT)}, SDLK_x, SDL_SCANCODE_X, WM_SYSKEYDOWN, true},
      {"right alt+x", {Key(true, SDLK_RALT, SDL_SCANCODE_RALT)}, SDLK_x, SDL_SCANCODE_X, WM_SYSKEYDOWN, true},
      {"ctrl+alt+x",
       {Key(true, SDLK_LCTRL, SDL_SCANCODE_LCTRL), Key(true, SDLK_LALT, SDL_SCANCODE_LALT)},
       SDLK_x,
       SDL_SCANCODE_X,
       WM_KEYDOWN,
       true},
      {"f10", {}, SDLK_F10, SDL_SCANCODE_F10, WM_SYSKEYDOWN, false},
      {"ctrl+f10", {Key(true, SDLK_LCTRL, SDL_SCANCODE_LCTRL)}, SDLK_F10, SDL_SCANCODE_F10, WM_SYSKEYDOWN, false},
      {"alt+f4", {Key(true, SDLK_LALT, SDL_SCANCODE_LALT)}, SDLK_F4, SDL_SCANCODE_F4, WM_SYSKEYDOWN, true},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    InputTranslator s;
    Translate(c.held, s);
    auto out = Translate({Key(true, c.sym, c.sc, 0, 500), Text("x", 500)}, s);
    ASSERT_EQ(out.size(), 1u);
    EXPECT_EQ(out[0].message, c.message);
    EXPECT_EQ((out[0].lParam >> 29) & 1, c.altBit ? 1 : 0);
  }
}

TEST(SdlKeys, AltPressAndReleaseAreSystemKeys) {
  InputTranslator s;
  auto out = Translate({Key(true, SDLK_LALT, SDL_SCANCODE_LALT), Key(false, SDLK_LALT, SDL_SCANCODE_LALT),
                  Key(true, SDLK_x, SDL_SCANCODE_X, 0, 200)},
                 s);
  ASSERT_EQ(out.size(), 3u);
  EXPECT_EQ(out[0].message, static_cast<UINT>(WM_SYSKEYDOWN));
  EXPECT_EQ(out[0].wParam, static_cast<WPARAM>(VK_MENU));
  EXPECT_EQ(out[1].message, static_cast<UINT>(WM_SYSKEYUP));
  EXPECT_EQ(out[2].message, static_cast<UINT>(WM_KEYDOWN));  // Alt is up again
}

TEST(SdlKeys, BothShiftKeysMustBeReleased) {
  InputTranslator s;
  Translate({Key(true, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT), Key(true, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT),
       Key(false, SDLK_LSHIFT, SDL_SCANCODE_LSHIFT)},
      s);
  EXPECT_TRUE(s.Shift());
  Translate({Key(false, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT)}, s);
  EXPECT_FALSE(s.Shift());
}

TEST(SdlKeys, RepeatSetsThePreviousStateBit) {
  InputTranslator s;
  SDL_Event e = Key(true, SDLK_UP, SDL_SCANCODE_UP);
  e.key.repeat = 1;
  auto out = Translate({e}, s);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ((out[0].lParam >> 30) & 1, 1);
  EXPECT_EQ((out[0].lParam >> 24) & 1, 1);  // the grey Up key is extended
}

SDL_Event Motion(int x, int y, Uint32 buttons) {
  SDL_Event e{};
  e.type = SDL_MOUSEMOTION;
  e.motion.x = x;
  e.motion.y = y;
  e.motion.state = buttons;
  return e;
}

SDL_Event Button(bool down, Uint8 button, int x, int y) {
  SDL_Event e{};
  e.type = down ? SDL_MOUSEBUTTONDOWN : SDL_MOUSEBUTTONUP;
  e.button.button = button;
  e.button.x = x;
  e.button.y = y;
  return e;
}

TEST(SdlMouse, ButtonsAndModifiersBecomeKeyFlags) {
  struct Case {
    const char *name;
    std::vector<SDL_Event> events;
    UINT message;
    WPARAM flags;
  } cases[] = {
      {"move", {Motion(120, 45, 0)}, WM_MOUSEMOVE, 0},
      {"left down", {Button(true, SDL_BUTTON_LEFT, 120, 45)}, WM_LBUTTONDOWN, MK_LBUTTON},
      {"left up", {Button(true, SDL_BUTTON_LEFT, 120, 45), Button(false, SDL_BUTTON_LEFT, 120, 45)}, WM_LBUTTONUP, 0},
      {"right with ctrl",
       {Key(true, SDLK_LCTRL, SDL_SCANCODE_LCTRL), Button(true, SDL_BUTTON_RIGHT, 120, 45)},
       WM_RBUTTONDOWN,
       MK_RBUTTON | MK_CONTROL},
      {"middle with right and ctrl",
       {Key(true, SDLK_RCTRL, SDL_SCANCODE_RCTRL), Button(true, SDL_BUTTON_RIGHT, 120, 45),
        Button(true, SDL_BUTTON_MIDDLE, 120, 45)},
       WM_MBUTTONDOWN,
       MK_RBUTTON | MK_MBUTTON | MK_CONTROL},
      {"middle up", {Button(true, SDL_BUTTON_MIDDLE, 120, 45), Button(false, SDL_BUTTON_MIDDLE, 120, 45)},
       WM_MBUTTONUP,
       0},
      {"drag with shift",
       {Key(true, SDLK_RSHIFT, SDL_SCANCODE_RSHIFT), Motion(120, 45, SDL_BUTTON_LMASK)},
       WM_MOUSEMOVE,
       MK_LBUTTON | MK_SHIFT},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    InputTranslator s;
    auto out = Translate(c.events, s);
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out.back().message, c.message);
    EXPECT_EQ(out.back().wParam, c.flags);
    EXPECT_EQ(LOWORD(out.back().lParam), 120);
    EXPECT_EQ(HIWORD(out.back().lParam), 45);
  }
}

TEST(SdlMouse, NothingBeyondTheClientArea) {
  InputTranslator s;
  auto out = Translate({Button(true, SDL_BUTTON_LEFT, 5, 5), Motion(-5, -7, SDL_BUTTON_LMASK),
                        Motion(800, 10, SDL_BUTTON_LMASK), Button(false, SDL_BUTTON_LEFT, -5, -7)},
                       s);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].message, static_cast<UINT>(WM_LBUTTONDOWN));
  out = Translate({Motion(10, 10, 0)}, s);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].wParam, 0u);  // the release outside still counts
}

TEST(SdlMouse, WheelIsOneHundredTwentyPerNotchAtTheScreenPosition) {
  struct Case {
    int y;
    Uint32 direction;
    int delta;
  } cases[] = {{1, SDL_MOUSEWHEEL_NORMAL, 120},
               {-1, SDL_MOUSEWHEEL_NORMAL, -120},
               {2, SDL_MOUSEWHEEL_NORMAL, 240},
               {1, SDL_MOUSEWHEEL_FLIPPED, -120}};
  for (const auto &c : cases) {
    InputTranslator s;
    SDL_Event e{};
    e.type = SDL_MOUSEWHEEL;
    e.wheel.y = c.y;
    e.wheel.direction = c.direction;
    e.wheel.mouseX = 30;
    e.wheel.mouseY = 40;
    auto out = Translate({Key(true, SDLK_LCTRL, SDL_SCANCODE_LCTRL), e}, s, {{112, 95}, {800, 600}, false});
    ASSERT_EQ(out.size(), 2u);
    EXPECT_EQ(out[1].message, static_cast<UINT>(WM_MOUSEWHEEL));
    EXPECT_EQ(GET_WHEEL_DELTA_WPARAM(out[1].wParam), c.delta);
    EXPECT_EQ(LOWORD(out[1].wParam), MK_CONTROL);
    EXPECT_EQ(LOWORD(out[1].lParam), 142);
    EXPECT_EQ(HIWORD(out[1].lParam), 135);
  }
  InputTranslator s;
  SDL_Event sideways{};
  sideways.type = SDL_MOUSEWHEEL;
  sideways.wheel.x = 1;
  EXPECT_TRUE(Translate({sideways}, s).empty());
}

TEST(SdlWindow, CloseRequestBecomesWmClose) {
  InputTranslator s;
  SDL_Event e{};
  e.type = SDL_WINDOWEVENT;
  e.window.event = SDL_WINDOWEVENT_CLOSE;
  SDL_Event quit{};
  quit.type = SDL_QUIT;
  auto out = Translate({e, quit}, s);
  ASSERT_EQ(out.size(), 1u);
  EXPECT_EQ(out[0].message, static_cast<UINT>(WM_CLOSE));
}

}  // namespace
