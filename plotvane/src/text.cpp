// The text state (installed font faces, the current font, justification and spacing) and the
// operations that write and measure text with it.
#include <cstdio>
#include <string>

#include "plotvane/session.h"

namespace plotvane {

const char *const StandardFaces[4] = {"Courier New", "MS Sans Serif", "Times New Roman", "Arial"};

namespace {

// GDI takes a string's length as a signed count; longer texts are refused.
constexpr size_t kLongestText = 32767;

inline int DeviceX(const GraphSession &s, int32_t x) { return static_cast<int16_t>(x + s.ViewOriginX); }
inline int DeviceY(const GraphSession &s, int32_t y) { return static_cast<int16_t>(y + s.ViewOriginY); }

UINT AlignFlags(const GraphSession &s) {
  static constexpr UINT alignH[3] = {TA_LEFT, TA_CENTER, TA_RIGHT};
  static constexpr UINT alignV[3] = {TA_TOP, TA_BOTTOM, TA_BASELINE};
  return alignH[s.TextJustifyH] | alignV[s.TextJustifyV] | TA_UPDATECP;
}

// The common start of the text operations, and the length check.
bool TextStart(std::string_view text) {
  if (!CommonStart()) return false;
  if (text.size() > kLongestText) {
    Session().GraphError = grOutOfRange;
    return false;
  }
  return true;
}

// The extent of the text with the font and spacing of the page's device context.
SIZE Extent(std::string_view text) {
  GraphSession &s = Session();
  SIZE size{0, 0};
  EnterCriticalSection(&s.SessionLock);
  if (!GetTextExtentPoint32A(s.PageDC, text.data(), static_cast<int>(text.size()), &size)) size = SIZE{0, 0};
  LeaveCriticalSection(&s.SessionLock);
  return size;
}

int CALLBACK FaceFound(const LOGFONTA *, const TEXTMETRICA *, DWORD, LPARAM) {
  Session().FontFound = 1;
  return 0;  // the first font of the family is enough
}

}  // namespace

int16_t InstallFontFace(std::string_view name) {
  GraphSession &s = Session();
  if (!CommonStart()) return -1;
  const std::string face(name.substr(0, name.find('\0')));
  int16_t result = -1;
  // An empty name would enumerate every family and "find" a face that fills no slot.
  if (!face.empty()) {
    EnterCriticalSection(&s.SessionLock);
    s.FontFound = 0;
    EnumFontFamiliesA(s.WindowDC, face.c_str(), FaceFound, 0);
    if (s.FontFound == 1) {
      for (int16_t slot = 0; slot < 15; ++slot) {
        FaceName &entry = s.FontTable[slot];
        if (entry[0] != '\0') continue;
        const size_t n = face.size() < 31 ? face.size() : 31;
        face.copy(entry.data(), n);
        entry[n] = '\0';
        result = slot;
        break;
      }
    }
    LeaveCriticalSection(&s.SessionLock);
  }
  if (result == -1) s.GraphError = grFontMissing;
  return result;
}

void ProbeStandardFaces() {
  GraphSession &s = Session();
  for (FaceName &entry : s.FontTable) entry.fill('\0');
  for (const char *face : StandardFaces) {
    InstallFontFace(face);
    if (s.GraphError != grOk) {
      // The program sees only the code; the user running it needs the reason.
      std::fprintf(stderr, "plotvane: cannot show the window: no installed font stands for the face \"%s\"\n", face);
      return;
    }
  }
}

void SetTextFont(uint16_t font, uint16_t direction, uint16_t size) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  const uint8_t lo = font & 0xFF, hi = font >> 8;
  const int slot = lo % 16;
  if (slot == 15 || s.FontTable[slot][0] == '\0') {
    s.GraphError = grFontSlotEmpty;
    return;
  }
  s.FontNumber = font;
  s.TextDirection = direction;
  s.TextSize = size;

  LOGFONTA lf{};
  lf.lfHeight = size <= 5 ? size * 8 : size;
  lf.lfEscapement = lf.lfOrientation = direction * 10;
  lf.lfWeight = (lo / 16) * 300 + 400;
  lf.lfItalic = hi / 16;
  lf.lfUnderline = hi % 16;
  lf.lfCharSet = DEFAULT_CHARSET;
  lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
  lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  lf.lfQuality = DEFAULT_QUALITY;
  const FaceName &face = s.FontTable[slot];
  for (size_t i = 0; i < face.size(); ++i) lf.lfFaceName[i] = face[i];

  EnterCriticalSection(&s.SessionLock);
  HFONT f = CreateFontIndirectA(&lf);
  if (f) {
    s.CurrentFont = f;
    SelectIntoBothDCs(f, s.InitialFont);
  }
  LeaveCriticalSection(&s.SessionLock);
}

void SetTextAlignment(int16_t horizontal, int16_t vertical) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (horizontal < 0 || horizontal > 2 || vertical < 0 || vertical > 2) {
    s.GraphError = grOutOfRange;
    return;
  }
  s.TextJustifyH = horizontal;
  s.TextJustifyV = vertical;
  const UINT flags = AlignFlags(s);
  SetTextAlign(s.WindowDC, flags);
  SetTextAlign(s.PageDC, flags);
}

void SetTextSpacing(uint16_t extra, uint16_t breakExtra, uint16_t, uint16_t) {
  GraphSession &s = Session();
  if (!CommonStart()) return;
  SetTextCharacterExtra(s.WindowDC, extra);
  SetTextCharacterExtra(s.PageDC, extra);
  SetTextJustification(s.WindowDC, breakExtra, 1);
  SetTextJustification(s.PageDC, breakExtra, 1);
}

void OutText(std::string_view text) {
  GraphSession &s = Session();
  if (!TextStart(text) || text.empty()) return;
  const int count = static_cast<int>(text.size());
  EnterCriticalSection(&s.SessionLock);
  // Both device contexts write at their current position and move it (TA_UPDATECP).
  if (s.DrawThrough) TextOutA(s.WindowDC, 0, 0, text.data(), count);
  TextOutA(s.PageDC, 0, 0, text.data(), count);
  POINT at{DeviceX(s, s.CursorX), DeviceY(s, s.CursorY)};
  GetCurrentPositionEx(s.PageDC, &at);
  LeaveCriticalSection(&s.SessionLock);
  const int16_t x = static_cast<int16_t>(at.x - s.ViewOriginX), y = static_cast<int16_t>(at.y - s.ViewOriginY);
  // The window's position follows even when nothing was drawn there.
  if (!s.DrawThrough) MoveToEx(s.WindowDC, at.x, at.y, nullptr);
  s.CursorX = x;
  s.CursorY = y;
}

void OutTextXY(int16_t x, int16_t y, std::string_view text) {
  GraphSession &s = Session();
  if (!TextStart(text) || text.empty()) return;
  const int count = static_cast<int>(text.size());
  const UINT flags = AlignFlags(s);
  const int dx = DeviceX(s, x), dy = DeviceY(s, y);
  EnterCriticalSection(&s.SessionLock);
  // Written at the point, not at the current position, which stays.
  if (s.DrawThrough) {
    SetTextAlign(s.WindowDC, flags & ~TA_UPDATECP);
    TextOutA(s.WindowDC, dx, dy, text.data(), count);
    SetTextAlign(s.WindowDC, flags);
  }
  SetTextAlign(s.PageDC, flags & ~TA_UPDATECP);
  TextOutA(s.PageDC, dx, dy, text.data(), count);
  SetTextAlign(s.PageDC, flags);
  LeaveCriticalSection(&s.SessionLock);
}

int32_t TextWidth(std::string_view text) {
  if (!TextStart(text)) return 0;
  return Extent(text).cx;
}

int32_t TextHeight(std::string_view text) {
  if (!TextStart(text)) return 0;
  return Extent(text).cy;
}

}  // namespace plotvane
