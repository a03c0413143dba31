// The road from a finished page to the window, timed from the program thread.
#pragma once

namespace pvbench {

// Returns once the window thread has painted everything invalid: UpdateWindow waits for a
// paint not yet begun, the session lock for one under way.
void WaitForPaint();

// The whole present path: invalidate the window, then WM_PAINT on the window thread
// (BeginPaint, BitBlt of the shown page, EndPaint).
void PresentShownPage();

// Hides or shows the window. A hidden window is never painted, so frames drawn meanwhile are
// timed without the window thread's paints competing for the session lock and the cores.
void ShowGraphWindow(bool shown);

// One BitBlt of the drawing page to the window's DC, as the paint does it.
void BlitPageToWindow();

}  // namespace pvbench
