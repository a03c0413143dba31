// What GDI asks of the OpenGL contexts.
#pragma once

namespace pv::wgl {

// At GdiFlush: when the calling thread's context draws on a bitmap, GL's pixels go into
// the bitmap and the bitmap's go back to GL.
void MeetShadowedBitmap();

}  // namespace pv::wgl
