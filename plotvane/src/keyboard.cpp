// The key queue, the keyboard hook and the translation of virtual keys into key codes.
#include "plotvane/session.h"

namespace plotvane {

namespace {

inline int32_t NextKeySlot(int32_t i) { return i == KeyQueueRecord::Capacity ? 1 : i + 1; }

// Scan codes of the letters A to Z, queued for Alt+letter.
constexpr uint8_t LetterScanCodes[26] = {30, 48, 46, 32, 18, 33, 34, 35, 23, 36, 37, 38, 50,
                                         49, 24, 25, 16, 19, 31, 20, 22, 47, 17, 45, 21, 44};

struct KeyRule {
  uint32_t vk;
  int16_t ctrl, alt, plain;  // -1: nothing queued
};

// Keys whose code depends on Ctrl first, then Alt. Shift matters only for function keys.
constexpr KeyRule CtrlAltRules[] = {
    {VK_CLEAR, 143, 76, 76},    {VK_PRIOR, 132, 153, 73},   {VK_NEXT, 118, 161, 81},  {VK_END, 117, 165, 79},
    {VK_HOME, 119, 164, 71},    {VK_LEFT, 115, 155, 75},    {VK_UP, 141, 152, 72},    {VK_RIGHT, 116, 157, 77},
    {VK_DOWN, 145, 160, 80},    {VK_INSERT, 146, 162, 82},  {VK_DELETE, 147, 163, 83}, {VK_MULTIPLY, 149, 70, -1},
    {VK_ADD, 144, 78, -1},      {VK_SUBTRACT, 142, 74, -1}, {VK_DECIMAL, 150, 114, -1}, {VK_DIVIDE, 148, 69, -1},
};

void AddPair(KeyCodeSequence &seq, int code) {
  seq.Bytes[seq.Count++] = 0;
  seq.Bytes[seq.Count++] = static_cast<uint8_t>(code);
}

}  // namespace

KeyCodeSequence TranslateKeyCodes(uint32_t vk, bool shift, bool ctrl, bool alt) {
  KeyCodeSequence seq;
  for (const KeyRule &rule : CtrlAltRules) {
    if (rule.vk != vk) continue;
    const int code = ctrl ? rule.ctrl : alt ? rule.alt : rule.plain;
    if (code >= 0) AddPair(seq, code);
    return seq;
  }
  switch (vk) {
    case VK_BACK:
      if (alt) AddPair(seq, 14);
      return seq;
    case VK_TAB:
      if (ctrl) seq.Bytes[seq.Count++] = 30;  // a single byte, no 0 before it
      return seq;
    case VK_RETURN:
      if (alt) AddPair(seq, 166);
      return seq;
    case VK_PAUSE:
      if (alt) AddPair(seq, 169);
      else if (!ctrl) AddPair(seq, 12);
      return seq;
    case VK_SPACE:
      if (alt) AddPair(seq, 11);
      return seq;
    case VK_APPS:
      AddPair(seq, 151);
      return seq;
    default: break;
  }
  if (vk >= VK_F1 && vk <= VK_F10) {
    const int v = static_cast<int>(vk);
    AddPair(seq, shift ? v - 28 : ctrl ? v - 18 : alt ? v - 8 : v - 53);
    return seq;
  }
  if (vk == VK_F11 || vk == VK_F12) {
    const int v = static_cast<int>(vk);
    AddPair(seq, shift ? v + 13 : ctrl ? v + 15 : alt ? v + 17 : v + 11);
    return seq;
  }
  // Every other key: two independent steps, Ctrl then Alt.
  const bool digit = vk >= '0' && vk <= '9';
  if (ctrl && digit) AddPair(seq, vk == '0' ? 10 : static_cast<int>(vk) - 48);
  if (alt) {
    if (digit) AddPair(seq, vk == '0' ? 129 : static_cast<int>(vk) + 71);
    else if (vk >= 'A' && vk <= 'Z') AddPair(seq, LetterScanCodes[vk - 'A']);
  }
  return seq;
}

void TranslateVirtualKey(uint32_t vk) {
  const bool shift = GetKeyState(VK_SHIFT) < 0;
  const bool ctrl = GetKeyState(VK_CONTROL) < 0;
  const bool alt = GetKeyState(VK_MENU) < 0;
  const KeyCodeSequence seq = TranslateKeyCodes(vk, shift, ctrl, alt);
  for (uint8_t i = 0; i < seq.Count; ++i) PushKeyByte(seq.Bytes[i]);
}

void PushKeyByte(uint8_t b) {
  KeyQueueRecord &q = Session().KeyQueue;
  EnterCriticalSection(&q.KeyQueueLock);
  const int32_t w = q.WriteIndex;
  q.Slots[w] = b;
  q.WriteIndex = NextKeySlot(w);
  int32_t r = q.ReadIndex;
  if (q.WriteIndex == r && q.PairBegun) {
    // Full, and the oldest byte is the code of a pair whose 0 the reader has taken: dropping it
    // would make the next key read as that code. Drop the key after it instead.
    const uint8_t code = q.Slots[r];
    r = NextKeySlot(r);
    if (q.Slots[r] == 0) r = NextKeySlot(r);
    q.Slots[r] = code;
    q.ReadIndex = r;
  } else if (q.WriteIndex == r) {
    // Full: drop the oldest key, both bytes of an extended pair.
    if (q.Slots[r] == 0) r = NextKeySlot(r);
    q.ReadIndex = NextKeySlot(r);
  }
  LeaveCriticalSection(&q.KeyQueueLock);
}

void PushExtendedKey(uint8_t code) {
  PushKeyByte(0);
  PushKeyByte(code);
}

LRESULT CALLBACK KeyboardHook(HWND, UINT msg, WPARAM wParam, LPARAM) {
  KeyQueueRecord &q = Session().KeyQueue;
  switch (msg) {
    case WM_CREATE:
      InitializeCriticalSection(&q.KeyQueueLock);
      q.ReadIndex = 1;
      q.WriteIndex = 1;
      q.PairBegun = false;
      break;
    case WM_DESTROY: DeleteCriticalSection(&q.KeyQueueLock); break;
    case WM_CLOSE: PushExtendedKey(107); break;
    case WM_KEYDOWN:
      if (wParam != VK_SHIFT && wParam != VK_CONTROL) TranslateVirtualKey(static_cast<uint32_t>(wParam));
      break;
    case WM_CHAR:
      // A 0 byte would read as the start of an extended pair and swallow the next key.
      if (LOBYTE(wParam) != 0) PushKeyByte(LOBYTE(wParam));
      break;
    case WM_SYSKEYDOWN:
      if (wParam != VK_MENU) TranslateVirtualKey(static_cast<uint32_t>(wParam));
      break;
    default: break;
  }
  return 0;
}

void StartKeyboard(GraphSession &s) { s.KeyboardHookSlot = KeyboardHook; }

bool KeyWaiting() {
  const GraphSession &s = Session();
  // Keys left from a closed window can never be read: NextKey answers 0 while closed.
  return s.WindowOpen && s.KeyQueue.ReadIndex != s.KeyQueue.WriteIndex;
}

uint8_t NextKey() {
  GraphSession &s = Session();
  KeyQueueRecord &q = s.KeyQueue;
  if (!s.WindowOpen) return 0;
  while (q.ReadIndex == q.WriteIndex) {
    Sleep(10);
    if (!s.WindowOpen) return 0;
  }
  EnterCriticalSection(&q.KeyQueueLock);
  const int32_t r = q.ReadIndex;
  const uint8_t b = q.Slots[r];
  q.ReadIndex = NextKeySlot(r);
  q.PairBegun = !q.PairBegun && b == 0;
  LeaveCriticalSection(&q.KeyQueueLock);
  return b;
}

void WaitMillis(uint16_t ms) { Sleep(ms); }

}  // namespace plotvane
