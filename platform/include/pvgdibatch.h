// Entry points the library uses to spare its drawing calls GDI round trips.
//
// A run of GDI calls under one hold of GDI's lock: each call inside re-enters the lock held by
// its own thread, which costs no atomic operation. The library holds it around the several
// calls one of its drawing operations makes on a page. Only for calls on memory DCs: a window
// DC reports its changes to the host, which must not happen under the lock.
#pragma once

#include <windows.h>

namespace pvplatform {

void BeginGdiBatch();
void EndGdiBatch();

// LineTo followed by the end point LineTo leaves out, set as SetPixelV sets it under the copy
// mix whatever the DC's mix is: one call for the library's one-pixel lines, which include
// their end.
BOOL LineToWithEnd(HDC hdc, int x, int y, COLORREF endColor);

}  // namespace pvplatform
