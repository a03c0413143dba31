// Text in the browser. A page reaches no font files and the build has no rasteriser, so every
// text call fails as GDI's do for a font it cannot realise: the library then reports it.
#include <windows.h>

extern "C" {

BOOL WINAPI GetTextMetricsA(HDC, TEXTMETRICA *) { return FALSE; }

BOOL WINAPI GetTextExtentPoint32A(HDC, LPCSTR, int, LPSIZE) { return FALSE; }

BOOL WINAPI TextOutA(HDC, int, int, LPCSTR, int) { return FALSE; }

}  // extern "C"
