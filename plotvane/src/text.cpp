// The text state: installed font faces, the current font, justification and spacing.
#include <cstdio>
#include <string>

#include "plotvane/session.h"

namespace plotvane {

const char *const StandardFaces[4] = {"Courier New", "MS Sans Serif", "Times New Roman", "Arial"};

namespace {

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
    HGDIOBJ replaced = SelectObject(s.WindowDC, f);
    SelectObject(s.PageDC, f);
    if (replaced && replaced != s.InitialFont) DeleteObject(replaced);
  }
  LeaveCriticalSection(&s.SessionLock);
}

void SetTextAlignment(int16_t horizontal, int16_t vertical) {
  static constexpr UINT alignH[3] = {TA_LEFT, TA_CENTER, TA_RIGHT};
  static constexpr UINT alignV[3] = {TA_TOP, TA_BOTTOM, TA_BASELINE};
  GraphSession &s = Session();
  if (!CommonStart()) return;
  if (horizontal < 0 || horizontal > 2 || vertical < 0 || vertical > 2) {
    s.GraphError = grOutOfRange;
    return;
  }
  s.TextJustifyH = horizontal;
  s.TextJustifyV = vertical;
  const UINT flags = alignH[horizontal] | alignV[vertical] | TA_UPDATECP;
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

}  // namespace plotvane
