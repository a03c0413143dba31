// USER: the keyboard state that GetKeyState reports and the characters TranslateMessage makes.
#include <cstring>

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

// The characters a key press types, as Windows makes them: control characters from the key
// itself (hosts never type those as text), everything else from what the host typed or, for
// posted keys, from the layout.
std::string CharactersFor(const MSG &msg, const QueuedMessage *typed) {
  const UINT vk = static_cast<UINT>(msg.wParam & 0xFF);
  const bool ctrl = Down(VK_CONTROL), alt = Down(VK_MENU), shift = Down(VK_SHIFT);
  switch (vk) {
    case VK_ESCAPE: return "\x1b";
    case VK_RETURN: return ctrl ? "\n" : "\r";
    case VK_BACK: return ctrl ? "\x7f" : "\b";
    case VK_TAB: return ctrl ? "" : "\t";
    default: break;
  }
  if (ctrl && !alt) {
    if (vk >= 'A' && vk <= 'Z') return std::string(1, static_cast<char>(vk - 'A' + 1));
    if (vk == VK_OEM_4) return "\x1b";
    if (vk == VK_OEM_5) return "\x1c";
    if (vk == VK_OEM_6) return "\x1d";
    if (vk == VK_SPACE) return " ";
    return {};
  }
  if (typed && typed->hostText) return typed->text;
  if (ctrl && alt) return {};  // AltGr characters depend on a layout we do not know
  return LayoutCharacters(vk, shift, (t_keyboard.keys[VK_CAPITAL] & 1) != 0);
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
    case WM_SYSKEYDOWN: {
      BYTE &k = keys[msg.wParam & 0xFF];
      if (!(k & 0x80)) k ^= 0x01;
      k |= 0x80;
      t_keyboard.lastKey = m;
      t_keyboard.hasLastKey = true;
      break;
    }
    case WM_KEYUP:
    case WM_SYSKEYUP: keys[msg.wParam & 0xFF] &= 0x7F; break;
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

std::string Utf8ToCp1252(const char *utf8) {
  // Code points behind bytes 0x80 to 0x9F; 0 marks the five bytes the code page leaves unused.
  static const uint16_t high[32] = {0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
                                    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
  std::string out;
  if (!utf8) return out;
  const auto *p = reinterpret_cast<const unsigned char *>(utf8);
  while (*p) {
    uint32_t cp;
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
      if ((*p & 0xC0) != 0x80) {
        ok = false;
        break;
      }
      cp = (cp << 6) | (*p & 0x3F);
    }
    if (!ok) continue;
    if ((cp >= 0x01 && cp < 0x80) || (cp >= 0xA0 && cp <= 0xFF)) {
      out.push_back(static_cast<char>(cp));
      continue;
    }
    for (int i = 0; i < 32; ++i) {
      if (high[i] != 0 && high[i] == cp) {
        out.push_back(static_cast<char>(0x80 + i));
        break;
      }
    }
  }
  return out;
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
