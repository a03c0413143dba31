// Keyboard state and characters: GetKeyState follows the messages retrieved, each Shift, Ctrl
// and Alt key apart; TranslateMessage makes WM_CHAR and WM_SYSCHAR as Windows does.
#include <gtest/gtest.h>
#include <pvplatform.h>
#include <windows.h>

#include <string>
#include <vector>

#include "user_internal.h"

namespace {

SHORT g_shiftWhileHandling = 0;

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  if (msg == WM_KEYDOWN && wParam == 'A') g_shiftWhileHandling = GetKeyState(VK_SHIFT);
  return DefWindowProcA(hwnd, msg, wParam, lParam);
}

class Keyboard : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    pvplatform::SetHostKind(pvplatform::HostKind::Headless);
    WNDCLASSA wc{};
    wc.lpfnWndProc = Proc;
    wc.lpszClassName = "KeyboardTest";
    RegisterClassA(&wc);
  }
  void SetUp() override {
    hwnd_ = CreateWindowExA(0, "KeyboardTest", "k", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
  }
  void TearDown() override { DestroyWindow(hwnd_); }

  // Posts and retrieves one message, as a message loop would.
  MSG Feed(UINT message, WPARAM vk, LPARAM lp = 1) {
    PostMessageA(hwnd_, message, vk, lp);
    MSG m{};
    GetMessageA(&m, nullptr, 0, 0);
    return m;
  }
  void Hold(const std::vector<WPARAM> &mods, bool down) {
    for (WPARAM vk : mods) Feed(down ? WM_KEYDOWN : WM_KEYUP, vk);
  }
  // The character messages TranslateMessage posted for `key`.
  std::vector<MSG> CharsAfter(const MSG &key) {
    EXPECT_TRUE(TranslateMessage(&key));
    std::vector<MSG> out;
    MSG m;
    while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) out.push_back(m);
    return out;
  }
  HWND hwnd_ = nullptr;
};

TEST_F(Keyboard, KeyStateChangesWhenTheMessageIsRetrieved) {
  PostMessageA(hwnd_, WM_KEYDOWN, VK_SHIFT, 1);
  PostMessageA(hwnd_, WM_KEYDOWN, 'A', 1);
  PostMessageA(hwnd_, WM_KEYUP, VK_SHIFT, 0xC0000001);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);  // posted, not yet retrieved
  MSG m;
  ASSERT_TRUE(PeekMessageA(&m, nullptr, 0, 0, PM_NOREMOVE));
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);  // looking is not retrieving
  GetMessageA(&m, nullptr, 0, 0);
  EXPECT_LT(GetKeyState(VK_SHIFT), 0);
  GetMessageA(&m, nullptr, 0, 0);
  DispatchMessageA(&m);
  EXPECT_LT(g_shiftWhileHandling, 0);  // as of the message being handled
  GetMessageA(&m, nullptr, 0, 0);
  EXPECT_GE(GetKeyState(VK_SHIFT), 0);
}

TEST_F(Keyboard, EitherOfTwoModifierKeysHoldsTheModifier) {
  struct Case {
    UINT vk, left, right;
    LPARAM leftDown, rightDown;  // scan code and extended flag of each key
  } cases[] = {
      {VK_SHIFT, VK_LSHIFT, VK_RSHIFT, 0x002A0001, 0x00360001},
      {VK_CONTROL, VK_LCONTROL, VK_RCONTROL, 0x001D0001, 0x011D0001},
      {VK_MENU, VK_LMENU, VK_RMENU, 0x20380001, 0x21380001},
  };
  const LPARAM release = static_cast<LPARAM>(0xC0000000);
  for (const auto &c : cases) {
    SCOPED_TRACE(c.vk);
    Feed(WM_KEYDOWN, c.vk, c.leftDown);
    Feed(WM_KEYDOWN, c.vk, c.rightDown);
    Feed(WM_KEYUP, c.vk, c.rightDown | release);
    EXPECT_LT(GetKeyState(static_cast<int>(c.vk)), 0);
    EXPECT_LT(GetKeyState(static_cast<int>(c.left)), 0);
    EXPECT_GE(GetKeyState(static_cast<int>(c.right)), 0);
    Feed(WM_KEYUP, c.vk, c.leftDown | release);
    EXPECT_GE(GetKeyState(static_cast<int>(c.vk)), 0);
    EXPECT_GE(GetKeyState(static_cast<int>(c.left)), 0);
  }
}

TEST_F(Keyboard, LockKeysToggleOnEachPress) {
  const int before = GetKeyState(VK_CAPITAL) & 1;
  Feed(WM_KEYDOWN, VK_CAPITAL);
  Feed(WM_KEYDOWN, VK_CAPITAL, 0x40000001);  // auto-repeat does not toggle again
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before ^ 1);
  Feed(WM_KEYUP, VK_CAPITAL, 0xC0000001);
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before ^ 1);
  Feed(WM_KEYDOWN, VK_CAPITAL);
  Feed(WM_KEYUP, VK_CAPITAL, 0xC0000001);
  EXPECT_EQ(GetKeyState(VK_CAPITAL) & 1, before);
}

TEST_F(Keyboard, MouseMessagesCarryTheButtonState) {
  Feed(WM_LBUTTONDOWN, MK_LBUTTON);
  EXPECT_LT(GetKeyState(VK_LBUTTON), 0);
  Feed(WM_LBUTTONUP, 0);
  EXPECT_GE(GetKeyState(VK_LBUTTON), 0);
}

TEST_F(Keyboard, TranslateMakesTheCharactersOfTheKey) {
  struct Case {
    const char *name;
    std::vector<WPARAM> mods;
    UINT message;
    WPARAM vk;
    UINT charMessage;
    std::string chars;
  } cases[] = {
      {"letter", {}, WM_KEYDOWN, 'A', WM_CHAR, "a"},
      {"shifted letter", {VK_SHIFT}, WM_KEYDOWN, 'Q', WM_CHAR, "Q"},
      {"digit", {}, WM_KEYDOWN, '7', WM_CHAR, "7"},
      {"shifted digit", {VK_SHIFT}, WM_KEYDOWN, '1', WM_CHAR, "!"},
      {"space", {}, WM_KEYDOWN, VK_SPACE, WM_CHAR, " "},
      {"keypad digit", {}, WM_KEYDOWN, VK_NUMPAD0 + 5, WM_CHAR, "5"},
      {"keypad times", {}, WM_KEYDOWN, VK_MULTIPLY, WM_CHAR, "*"},
      {"shifted slash", {VK_SHIFT}, WM_KEYDOWN, VK_OEM_2, WM_CHAR, "?"},
      {"escape", {}, WM_KEYDOWN, VK_ESCAPE, WM_CHAR, "\x1b"},
      {"enter", {}, WM_KEYDOWN, VK_RETURN, WM_CHAR, "\r"},
      {"backspace", {}, WM_KEYDOWN, VK_BACK, WM_CHAR, "\b"},
      {"tab", {}, WM_KEYDOWN, VK_TAB, WM_CHAR, "\t"},
      {"ctrl+a", {VK_CONTROL}, WM_KEYDOWN, 'A', WM_CHAR, "\x01"},
      {"ctrl+z", {VK_CONTROL}, WM_KEYDOWN, 'Z', WM_CHAR, "\x1a"},
      {"ctrl+shift+c", {VK_CONTROL, VK_SHIFT}, WM_KEYDOWN, 'C', WM_CHAR, "\x03"},
      {"ctrl+tab", {VK_CONTROL}, WM_KEYDOWN, VK_TAB, WM_CHAR, ""},
      {"ctrl+digit", {VK_CONTROL}, WM_KEYDOWN, '5', WM_CHAR, ""},
      {"ctrl+minus", {VK_CONTROL}, WM_KEYDOWN, VK_OEM_MINUS, WM_CHAR, "\x1f"},
      {"ctrl+bracket", {VK_CONTROL}, WM_KEYDOWN, VK_OEM_4, WM_CHAR, "\x1b"},
      {"ctrl+alt+digit", {VK_CONTROL, VK_MENU}, WM_KEYDOWN, '5', WM_CHAR, ""},
      {"alt+x", {VK_MENU}, WM_SYSKEYDOWN, 'X', WM_SYSCHAR, "x"},
      {"ctrl+alt+x", {VK_CONTROL, VK_MENU}, WM_KEYDOWN, 'X', WM_CHAR, ""},
      {"f1", {}, WM_KEYDOWN, VK_F1, WM_CHAR, ""},
      {"f10", {}, WM_SYSKEYDOWN, VK_F10, WM_SYSCHAR, ""},
      {"up", {}, WM_KEYDOWN, VK_UP, WM_CHAR, ""},
      {"shift alone", {}, WM_KEYDOWN, VK_SHIFT, WM_CHAR, ""},
  };
  for (const auto &c : cases) {
    SCOPED_TRACE(c.name);
    Hold(c.mods, true);
    MSG key = Feed(c.message, c.vk);
    auto got = CharsAfter(key);
    Feed(c.message == WM_SYSKEYDOWN ? WM_SYSKEYUP : WM_KEYUP, c.vk, static_cast<LPARAM>(0xC0000001));
    Hold(c.mods, false);
    ASSERT_EQ(got.size(), c.chars.size());
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_EQ(got[i].message, c.charMessage);
      EXPECT_EQ(got[i].wParam, static_cast<BYTE>(c.chars[i]));
      EXPECT_EQ(got[i].hwnd, hwnd_);
      EXPECT_EQ(got[i].lParam, key.lParam);
    }
  }
}

TEST_F(Keyboard, CharacterGoesAheadOfWhatWasAlreadyPosted) {
  PostMessageA(hwnd_, WM_KEYDOWN, 'B', 1);
  PostMessageA(hwnd_, WM_USER, 0, 0);
  MSG m;
  GetMessageA(&m, nullptr, 0, 0);
  TranslateMessage(&m);
  GetMessageA(&m, nullptr, 0, 0);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_CHAR));
  EXPECT_EQ(m.wParam, static_cast<WPARAM>('b'));
  GetMessageA(&m, nullptr, 0, 0);
  EXPECT_EQ(m.message, static_cast<UINT>(WM_USER));
}

TEST_F(Keyboard, HostTypedTextIsWhatTheKeyTyped) {
  // A key from a real keyboard brings its text: an accented letter on this layout...
  pv::user::PostHostMessage(hwnd_, WM_KEYDOWN, 'E', 1, "\xE9", true);
  MSG key;
  GetMessageA(&key, nullptr, 0, 0);
  auto got = CharsAfter(key);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].wParam, 0xE9u);
  // ...and a key that typed nothing types nothing, whatever the US layout would say.
  pv::user::PostHostMessage(hwnd_, WM_KEYDOWN, 'E', 1, "", true);
  GetMessageA(&key, nullptr, 0, 0);
  EXPECT_TRUE(CharsAfter(key).empty());
}

TEST_F(Keyboard, OnlyKeyMessagesAreTranslated) {
  MSG m{hwnd_, WM_KEYUP, 'A', static_cast<LPARAM>(0xC0000001), 0, {}};
  EXPECT_TRUE(TranslateMessage(&m));
  m.message = WM_USER;
  EXPECT_FALSE(TranslateMessage(&m));
  EXPECT_FALSE(TranslateMessage(nullptr));
  EXPECT_FALSE(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE));
}

}  // namespace
