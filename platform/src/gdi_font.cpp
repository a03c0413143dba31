// Fonts and the text state of a DC: logical fonts, the enumeration of font families, text
// alignment, character extra and justification.
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "gdi_font_families.h"
#include "gdi_internal.h"
#include "pvplatform.h"

namespace pv::gdi {
namespace {

void Fill(const FoundFont &f, const char *faceName, LOGFONTA &lf, TEXTMETRICA &tm) {
  lf = LOGFONTA{};
  lf.lfHeight = 16;
  lf.lfWeight = f.weight;
  lf.lfItalic = f.italic ? 1 : 0;
  lf.lfCharSet = 0;  // ANSI_CHARSET
  lf.lfOutPrecision = 3;  // OUT_STROKE_PRECIS, as scalable fonts report
  lf.lfClipPrecision = 2;  // CLIP_STROKE_PRECIS
  lf.lfQuality = 1;  // DRAFT_QUALITY
  lf.lfPitchAndFamily = static_cast<BYTE>(f.fixedPitch ? 0x31 : 0x22);  // FF_MODERN|FIXED, FF_SWISS|VARIABLE
  std::strncpy(lf.lfFaceName, faceName, LF_FACESIZE - 1);
  tm = TEXTMETRICA{};
  tm.tmHeight = 16;
  tm.tmAscent = 13;
  tm.tmDescent = 3;
  tm.tmWeight = f.weight;
  tm.tmItalic = lf.lfItalic;
  tm.tmFirstChar = 0x20;
  tm.tmLastChar = 0xFF;
  tm.tmDefaultChar = 0x1F;
  tm.tmBreakChar = 0x20;
  // TMPF_FIXED_PITCH means "not fixed" in GDI; scalable outlines set TMPF_VECTOR|TMPF_TRUETYPE.
  tm.tmPitchAndFamily = static_cast<BYTE>((f.fixedPitch ? 0x30 : 0x21) | 0x02 | 0x04);
  tm.tmDigitizedAspectX = tm.tmDigitizedAspectY = 96;
}

}  // namespace
}  // namespace pv::gdi

using namespace pv::gdi;

extern "C" {

HFONT WINAPI CreateFontIndirectA(const LOGFONTA *log) {
  if (!log) return nullptr;
  GdiGuard lock(GdiLock());
  auto font = std::make_unique<Font>();
  font->log = *log;
  // The face name is a fixed field that may lack its terminator.
  font->log.lfFaceName[LF_FACESIZE - 1] = '\0';
  return static_cast<HFONT>(Register(std::move(font)));
}

int WINAPI EnumFontFamiliesA(HDC hdc, LPCSTR family, FONTENUMPROCA proc, LPARAM data) {
  {
    GdiGuard lock(GdiLock());
    if (!FindDc(hdc)) return 0;
  }
  if (!proc) return 0;
  struct Entry {
    LOGFONTA lf;
    TEXTMETRICA tm;
  };
  std::vector<Entry> entries;
  {
    // Collected first: the callback may call GDI, or enumerate again.
    std::lock_guard lock(FontFamiliesMutex());
    if (family && *family) {
      const std::string installed = ResolveFamily(family);
      if (!installed.empty())
        for (const FoundFont &f : ListFonts(installed)) {
          Entry e;
          Fill(f, family, e.lf, e.tm);
          entries.push_back(e);
        }
    } else {
      std::vector<std::string> seen;
      for (const FoundFont &f : ListFonts("")) {
        bool known = false;
        for (const std::string &s : seen) known = known || s == f.family;
        if (known) continue;
        seen.push_back(f.family);
        Entry e;
        Fill(f, f.family.c_str(), e.lf, e.tm);
        entries.push_back(e);
      }
    }
  }
  int result = 1;
  for (const Entry &e : entries) {
    result = proc(&e.lf, &e.tm, TRUETYPE_FONTTYPE, data);
    if (result == 0) break;
  }
  return result;
}

UINT WINAPI SetTextAlign(HDC hdc, UINT align) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return GDI_ERROR;
  const UINT previous = dc->textAlign;
  dc->textAlign = align;
  return previous;
}

UINT WINAPI GetTextAlign(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  return dc ? dc->textAlign : GDI_ERROR;
}

int WINAPI SetTextCharacterExtra(HDC hdc, int extra) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return static_cast<int>(0x80000000);  // as GDI reports a bad DC
  const int previous = dc->charExtra;
  dc->charExtra = extra;
  return previous;
}

int WINAPI GetTextCharacterExtra(HDC hdc) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  return dc ? dc->charExtra : static_cast<int>(0x80000000);
}

BOOL WINAPI SetTextJustification(HDC hdc, int breakExtra, int breakCount) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  if (!dc) return FALSE;
  // No break characters means no justification, whatever extra is asked for.
  dc->breakExtra = breakCount > 0 ? breakExtra : 0;
  dc->breakCount = breakCount > 0 ? breakCount : 0;
  return TRUE;
}

}  // extern "C"

namespace pvplatform {

void GetTextJustification(HDC hdc, int &breakExtra, int &breakCount) {
  GdiGuard lock(GdiLock());
  Dc *dc = FindDc(hdc);
  breakExtra = dc ? dc->breakExtra : 0;
  breakCount = dc ? dc->breakCount : 0;
}

}  // namespace pvplatform
