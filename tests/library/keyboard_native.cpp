// Key presses with modifiers through the whole path: posted key messages update the window
// thread's key state on our platform (on Windows only real input does), TranslateMessage makes
// the characters, and the hook reads the modifiers with GetKeyState.
#include <algorithm>
#include <vector>

#include "headless_window.h"

using namespace plotvane;

namespace {

struct Press {
  std::vector<UINT> modifiers;  // held for the key
  UINT vk;
  std::vector<uint8_t> expected;
};

class KeyPresses : public pvtest::HeadlessWindow {
 protected:
  void Send(const Press &p) {
    HWND hwnd = Session().WindowHandle;
    const bool alt = std::find(p.modifiers.begin(), p.modifiers.end(), VK_MENU) != p.modifiers.end();
    const UINT down = alt ? WM_SYSKEYDOWN : WM_KEYDOWN, up = alt ? WM_SYSKEYUP : WM_KEYUP;
    for (UINT m : p.modifiers) PostMessageA(hwnd, m == VK_MENU ? WM_SYSKEYDOWN : down, m, 0);
    PostMessageA(hwnd, down, p.vk, 0);
    PostMessageA(hwnd, up, p.vk, 0);
    for (UINT m : p.modifiers) PostMessageA(hwnd, m == VK_MENU ? WM_SYSKEYUP : up, m, 0);
  }
  std::vector<uint8_t> Drain() { return pvtest::ReadKeysPostedSoFar(); }
};

TEST_F(KeyPresses, ModifierCombinationsArriveAsTheirCodes) {
  const Press presses[] = {
      {{}, 'A', {'a'}},
      {{VK_SHIFT}, 'A', {'A'}},
      {{}, VK_ESCAPE, {27}},
      {{}, VK_UP, {0, 72}},
      {{VK_MENU}, 'X', {0, 45}},  // no character byte
      {{VK_SHIFT}, VK_F1, {0, 84}},
      {{VK_CONTROL}, VK_F10, {0, 103}},
      {{}, VK_F12, {0, 134}},
      {{VK_CONTROL}, VK_TAB, {30}},
      {{VK_CONTROL}, 'C', {3}},
      {{VK_CONTROL, VK_MENU}, '5', {0, 5, 0, 124}},
      {{VK_MENU}, VK_F1 + 3, {0, 107}},  // Alt+F4 is the close key, like the close box
  };
  for (const Press &p : presses) {
    Send(p);
    EXPECT_EQ(Drain(), p.expected) << "vk " << p.vk;
  }
}

}  // namespace
