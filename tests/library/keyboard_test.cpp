// Key translation, the key queue and its overflow rule, fed by posted messages.
#include <vector>

#include "headless_window.h"

using namespace plotvane;

namespace {

GraphSession &S() { return Session(); }

enum Mod { None = 0, Shift = 1, Ctrl = 2, Alt = 4 };

struct KeyCase {
  uint32_t vk;
  int mods;
  std::vector<uint8_t> bytes;
};

std::vector<uint8_t> Codes(uint32_t vk, int mods) {
  const KeyCodeSequence seq = TranslateKeyCodes(vk, mods & Shift, mods & Ctrl, mods & Alt);
  return std::vector<uint8_t>(seq.Bytes, seq.Bytes + seq.Count);
}

TEST(KeyTranslation, Table) {
  const KeyCase cases[] = {
      // Keys with a character queue nothing here; WM_CHAR brings it.
      {VK_BACK, None, {}}, {VK_BACK, Alt, {0, 14}}, {VK_TAB, None, {}}, {VK_TAB, Ctrl, {30}},
      {VK_RETURN, None, {}}, {VK_RETURN, Alt, {0, 166}}, {VK_SPACE, None, {}}, {VK_SPACE, Alt, {0, 11}},
      {VK_CLEAR, None, {0, 76}}, {VK_CLEAR, Ctrl, {0, 143}}, {VK_CLEAR, Alt, {0, 76}},
      {VK_PAUSE, None, {0, 12}}, {VK_PAUSE, Ctrl, {}}, {VK_PAUSE, Alt, {0, 169}}, {VK_PAUSE, Ctrl | Alt, {0, 169}},
      {VK_PRIOR, None, {0, 73}}, {VK_PRIOR, Ctrl, {0, 132}}, {VK_PRIOR, Alt, {0, 153}},
      {VK_NEXT, None, {0, 81}}, {VK_NEXT, Ctrl, {0, 118}}, {VK_NEXT, Alt, {0, 161}},
      {VK_END, None, {0, 79}}, {VK_END, Ctrl, {0, 117}}, {VK_END, Alt, {0, 165}},
      {VK_HOME, None, {0, 71}}, {VK_HOME, Ctrl, {0, 119}}, {VK_HOME, Alt, {0, 164}},
      {VK_LEFT, None, {0, 75}}, {VK_LEFT, Ctrl, {0, 115}}, {VK_LEFT, Alt, {0, 155}},
      {VK_UP, None, {0, 72}}, {VK_UP, Ctrl, {0, 141}}, {VK_UP, Alt, {0, 152}}, {VK_UP, Ctrl | Alt, {0, 141}},
      {VK_RIGHT, None, {0, 77}}, {VK_RIGHT, Ctrl, {0, 116}}, {VK_RIGHT, Alt, {0, 157}},
      {VK_DOWN, None, {0, 80}}, {VK_DOWN, Ctrl, {0, 145}}, {VK_DOWN, Alt, {0, 160}},
      {VK_INSERT, None, {0, 82}}, {VK_INSERT, Ctrl, {0, 146}}, {VK_INSERT, Alt, {0, 162}},
      {VK_DELETE, None, {0, 83}}, {VK_DELETE, Ctrl, {0, 147}}, {VK_DELETE, Alt, {0, 163}},
      {VK_APPS, None, {0, 151}}, {VK_APPS, Shift | Ctrl, {0, 151}},
      {VK_MULTIPLY, None, {}}, {VK_MULTIPLY, Ctrl, {0, 149}}, {VK_MULTIPLY, Alt, {0, 70}},
      {VK_ADD, None, {}}, {VK_ADD, Ctrl, {0, 144}}, {VK_ADD, Alt, {0, 78}},
      {VK_SUBTRACT, Ctrl, {0, 142}}, {VK_SUBTRACT, Alt, {0, 74}},
      {VK_DECIMAL, Ctrl, {0, 150}}, {VK_DECIMAL, Alt, {0, 114}},
      {VK_DIVIDE, Ctrl, {0, 148}}, {VK_DIVIDE, Alt, {0, 69}},
      {VK_F1, None, {0, 59}}, {VK_F1, Shift, {0, 84}}, {VK_F1, Ctrl, {0, 94}}, {VK_F1, Alt, {0, 104}},
      {VK_F10, None, {0, 68}}, {VK_F10, Shift, {0, 93}}, {VK_F10, Ctrl, {0, 103}}, {VK_F10, Alt, {0, 113}},
      {VK_F1, Shift | Ctrl, {0, 84}}, {VK_F11, None, {0, 133}}, {VK_F12, None, {0, 134}},
      {VK_F11, Shift, {0, 135}}, {VK_F12, Shift, {0, 136}}, {VK_F11, Ctrl, {0, 137}}, {VK_F12, Ctrl, {0, 138}},
      {VK_F11, Alt, {0, 139}}, {VK_F12, Alt, {0, 140}}, {VK_F13, None, {}}, {VK_F13, Alt, {}},
      // Every other key: Ctrl and Alt steps, independently.
      {'0', Ctrl, {0, 10}}, {'1', Ctrl, {0, 1}}, {'9', Ctrl, {0, 9}}, {'0', Alt, {0, 129}},
      {'1', Alt, {0, 120}}, {'9', Alt, {0, 128}}, {'5', Ctrl | Alt, {0, 5, 0, 124}}, {'5', None, {}},
      {'A', Alt, {0, 30}}, {'M', Alt, {0, 50}}, {'N', Alt, {0, 49}}, {'Q', Alt, {0, 16}}, {'X', Alt, {0, 45}},
      {'Z', Alt, {0, 44}}, {'A', Ctrl, {}}, {'A', None, {}}, {'X', Shift | Alt, {0, 45}},
      {VK_ESCAPE, None, {}}, {VK_OEM_1, Alt, {}}, {VK_NUMPAD0, Alt, {}},
  };
  for (const KeyCase &c : cases) EXPECT_EQ(Codes(c.vk, c.mods), c.bytes) << "vk " << c.vk << " mods " << c.mods;
}

class KeyQueue : public pvtest::HeadlessWindow {
 protected:
  void Post(UINT msg, WPARAM w) { PostMessageA(S().WindowHandle, msg, w, 0); }
  // What the window thread has queued from the messages posted so far.
  std::vector<uint8_t> Drain() { return pvtest::ReadKeysPostedSoFar(); }
  // What is queued now (pushed directly, no window thread involved).
  std::vector<uint8_t> Take() {
    std::vector<uint8_t> out;
    while (KeyWaiting()) out.push_back(NextKey());
    return out;
  }
};

TEST_F(KeyQueue, MessagesBecomeKeyCodes) {
  Post(WM_CHAR, 'a');
  EXPECT_EQ(Drain(), (std::vector<uint8_t>{97}));
  Post(WM_CHAR, 27);
  Post(WM_KEYDOWN, VK_UP);
  Post(WM_KEYDOWN, VK_F12);
  Post(WM_KEYDOWN, VK_SHIFT);    // modifiers alone queue nothing
  Post(WM_KEYDOWN, VK_CONTROL);
  Post(WM_SYSKEYDOWN, VK_MENU);
  Post(WM_SYSCHAR, 'x');          // swallowed
  Post(WM_CLOSE, 0);
  EXPECT_EQ(Drain(), (std::vector<uint8_t>{27, 0, 72, 0, 134, 0, 107}));
}

TEST_F(KeyQueue, ZeroCharacterIsDropped) {
  Post(WM_CHAR, 0);
  Post(WM_CHAR, 'b');
  Post(WM_CHAR, 0x100);  // low byte 0 as well
  EXPECT_EQ(Drain(), (std::vector<uint8_t>{'b'}));
}

TEST_F(KeyQueue, FortyKeysKeepTheLastThirtyOne) {
  for (int i = 0; i < 40; ++i) PushKeyByte(static_cast<uint8_t>(100 + i));
  std::vector<uint8_t> expected;
  for (int i = 9; i < 40; ++i) expected.push_back(static_cast<uint8_t>(100 + i));
  EXPECT_EQ(Take(), expected);
}

TEST_F(KeyQueue, OverflowDropsExtendedPairsWhole) {
  // Pairs only: every drop must take both bytes, so the reader starts on a 0.
  for (int i = 0; i < 20; ++i) PushExtendedKey(static_cast<uint8_t>(59 + i));
  std::vector<uint8_t> got = Take();
  ASSERT_FALSE(got.empty());
  EXPECT_EQ(got.size() % 2, 0u);
  EXPECT_LE(got.size(), 31u);
  for (size_t i = 0; i < got.size(); i += 2) EXPECT_EQ(got[i], 0) << i;
  EXPECT_EQ(got.back(), 78);

  // A pair at the reading end behind single bytes.
  PushExtendedKey(72);
  for (int i = 0; i < 30; ++i) PushKeyByte('a');
  got = Take();
  ASSERT_FALSE(got.empty());
  EXPECT_NE(got.front(), 72) << "a lone code byte was left at the reading end";
  EXPECT_EQ(got.size(), 30u);

  // A pair whose 0 the reader has taken keeps its code; the key behind it goes instead.
  for (uint8_t behind : {uint8_t{'z'}, uint8_t{0}}) {
    PushExtendedKey(72);
    ASSERT_EQ(NextKey(), 0);
    if (behind == 0) PushExtendedKey(80);
    else PushKeyByte(behind);
    for (int i = 0; i < 40; ++i) PushKeyByte(static_cast<uint8_t>('a' + i % 26));
    EXPECT_EQ(NextKey(), 72) << "behind " << int{behind};
    got = Take();
    EXPECT_EQ(got.size(), 30u);
    EXPECT_EQ(got.front(), 'a' + 10);
  }
}

TEST_F(KeyQueue, KeysAreGoneAfterClose) {
  PushKeyByte('q');
  ASSERT_TRUE(KeyWaiting());
  CloseGraphWindow();
  EXPECT_FALSE(KeyWaiting());
  EXPECT_EQ(NextKey(), 0);
  pvtest::OpenWindow();
  ASSERT_TRUE(GraphActive());
  EXPECT_FALSE(KeyWaiting());
}

}  // namespace
