// USER: the keyboard state that GetKeyState reports and the characters TranslateMessage makes.
#include <cstring>

#include "input_translation.h"
#include "user_internal.h"

namespace pv::user {
namespace {

// Per thread, as on Windows: the state changes as the thread retrieves input messages.
struct KeyboardState {
  BYTE keys[256] = {};  // 0x80 down, 0x01 toggled
  QueuedMessage lastKey;
  bool hasLastKey = false;
};
thread_local KeyboardState t_keyboard;

bool Down(int vk) { return (t_keyboard.keys[vk & 0xFF] & 0x80) != 0; }

// A key goes down (toggling on a fresh press) or up.
void SetKey(UINT vk, bool down) {
  BYTE &k = t_keyboard.keys[vk & 0xFF];
  if (down && !(k & 0x80)) k ^= 0x01;
  k = static_cast<BYTE>((k & 0x01) | (down ? 0x80 : 0));
}

// Which of the two keys a Shift, Ctrl or Alt message is about: right Shift by its scan code,
// right Ctrl and Alt by the extended flag. 0 for other keys.
UINT SideKey(UINT vk, LPARAM lParam) {
  const bool extended = (lParam >> 24) & 1;
  switch (vk) {
    case VK_SHIFT: return ((lParam >> 16) & 0xFF) == 0x36 ? VK_RSHIFT : VK_LSHIFT;
    case VK_CONTROL: return extended ? VK_RCONTROL : VK_LCONTROL;
    case VK_MENU: return extended ? VK_RMENU : VK_LMENU;
    default: return 0;
  }
}

bool SameMessage(const MSG &a, const MSG &b) {
  return a.hwnd == b.hwnd && a.message == b.message && a.wParam == b.wParam && a.lParam == b.lParam &&
         a.time == b.time;
}

// Characters of the US layout, for key messages that no host typed (posted ones).
std::string LayoutCharacters(UINT vk, bool shift, bool caps) {
  if (vk >= 'A' && vk <= 'Z') return std::string(1, static_cast<char>(shift != caps ? vk : vk + 32));
  if (vk >= '0' && vk <= '9') return std::string(1, shift ? ")!@#$%^&*("[vk - '0'] : static_cast<char>(vk));
  if (vk >= VK_NUMPAD0 && vk <= VK_NUMPAD9) return std::string(1, static_cast<char>('0' + vk - VK_NUMPAD0));
  switch (vk) {
    case VK_SPACE: return " ";
    case VK_MULTIPLY: return "*";
    case VK_ADD: return "+";
    case VK_SUBTRACT: return "-";
    case VK_DECIMAL: return ".";
    case VK_DIVIDE: return "/";
    case VK_OEM_1: return shift ? ":" : ";";
    case VK_OEM_PLUS: return shift ? "+" : "=";
    case VK_OEM_COMMA: return shift ? "<" : ",";
    case VK_OEM_MINUS: return shift ? "_" : "-";
    case VK_OEM_PERIOD: return shift ? ">" : ".";
    case VK_OEM_2: return shift ? "?" : "/";
    case VK_OEM_3: return shift ? "~" : "`";
    case VK_OEM_4: return shift ? "{" : "[";
    case VK_OEM_5: return shift ? "|" : "\\";
    case VK_OEM_6: return shift ? "}" : "]";
    case VK_OEM_7: return shift ? "\"" : "'";
    default: return {};
  }
}

// The characters a key press types: what the host's translator decided for keys from a real
// keyboard; for posted keys, Windows' rules over the US layout.
std::string CharactersFor(const MSG &msg, const QueuedMessage *typed) {
  if (typed && typed->hostText) return typed->text;
  const UINT vk = static_cast<UINT>(msg.wParam & 0xFF);
  const bool ctrl = Down(VK_CONTROL), alt = Down(VK_MENU), shift = Down(VK_SHIFT);
  std::u32string layout;
  if (!(ctrl && alt))  // the US layout has no AltGr characters
    for (char c : LayoutCharacters(vk, shift, (t_keyboard.keys[VK_CAPITAL] & 1) != 0)) layout.push_back(c);
  return pv::input::ToAnsi(pv::input::KeyCharacters(vk, shift, ctrl, alt, layout));
}

void PutInFront(std::shared_ptr<Queue> q, const MSG &key, UINT message, const std::string &chars) {
  std::lock_guard lock(q->mutex);
  auto where = q->posted.begin();
  for (char c : chars) {
    QueuedMessage m;
    m.msg = key;
    m.msg.message = message;
    m.msg.wParam = static_cast<BYTE>(c);
    where = q->posted.insert(where, std::move(m)) + 1;
  }
  q->Wake();
}

}  // namespace

void NoteRetrieved(const QueuedMessage &m) {
  BYTE *keys = t_keyboard.keys;
  const MSG &msg = m.msg;
  switch (msg.message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
    case WM_KEYUP:
    case WM_SYSKEYUP: {
      const bool down = msg.message == WM_KEYDOWN || msg.message == WM_SYSKEYDOWN;
      const UINT vk = static_cast<UINT>(msg.wParam & 0xFF);
      const UINT side = SideKey(vk, msg.lParam);
      if (side) {
        // Shift, Ctrl and Alt are down while either of their two keys is.
        const BYTE other = keys[side ^ 1];  // the left and right codes differ in bit 0
        SetKey(side, down);
        const bool either = down || (other & 0x80);
        if (either && !(keys[vk] & 0x80)) keys[vk] ^= 0x01;
        keys[vk] = static_cast<BYTE>((keys[vk] & 0x01) | (either ? 0x80 : 0));
      } else {
        SetKey(vk, down);
      }
      if (down) {
        t_keyboard.lastKey = m;
        t_keyboard.hasLastKey = true;
      }
      break;
    }
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP:
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP:
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: {
      auto set = [&](int vk, bool down) { keys[vk] = static_cast<BYTE>((keys[vk] & 0x01) | (down ? 0x80 : 0)); };
      set(VK_LBUTTON, msg.wParam & MK_LBUTTON);
      set(0x02, msg.wParam & MK_RBUTTON);  // VK_RBUTTON
      set(0x04, msg.wParam & MK_MBUTTON);  // VK_MBUTTON
      break;
    }
    default: break;
  }
}

}  // namespace pv::user

using namespace pv::user;

extern "C" {

SHORT WINAPI GetKeyState(int virtualKey) {
  const BYTE k = t_keyboard.keys[virtualKey & 0xFF];
  return static_cast<SHORT>((k & 0x80 ? 0xFF80 : 0) | (k & 0x01));
}

BOOL WINAPI TranslateMessage(const MSG *msg) {
  if (!msg) return FALSE;
  switch (msg->message) {
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN: break;
    case WM_KEYUP:
    case WM_SYSKEYUP: return TRUE;
    default: return FALSE;
  }
  const QueuedMessage *typed =
      t_keyboard.hasLastKey && SameMessage(t_keyboard.lastKey.msg, *msg) ? &t_keyboard.lastKey : nullptr;
  std::string chars = CharactersFor(*msg, typed);
  if (!chars.empty()) PutInFront(CurrentQueue(), *msg, msg->message == WM_SYSKEYDOWN ? WM_SYSCHAR : WM_CHAR, chars);
  return TRUE;
}

}  // extern "C"
