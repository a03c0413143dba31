// What GDI asks of the OpenGL contexts.
#pragma once

namespace pv::wgl {

// At GdiFlush: when the calling thread's context draws on a bitmap, what GL drew since the
// last meeting goes into the bitmap.
void MeetShadowedBitmap();

}  // namespace pv::wgl
