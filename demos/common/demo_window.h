// The window steps every demonstration takes alike: the opening, the page flip of a frame and,
// for the programs that read keys, the key of a frame; and the drawing of a traced ray.
#pragma once

#include <plotvane/plotvane.h>

#include <cstdint>

#include "pixel_coord.h"

namespace demo {

// Opens the window with driver 3 and mode 6 and `caption`. A window that did not open, or that
// the opening left hidden (a standard face missing), is closed again with a message on standard
// error naming `program` and the error; the program then has no window and returns false.
bool OpenDemoWindow(const char *program, const char *caption);

// SetDrawPage(activePage), then shows the other page: the frame is drawn on the hidden page while
// the one finished last is shown. Returns the new activePage, 1 - activePage.
int16_t FlipPages(int32_t activePage);

// Takes at most one key; a two-code key counts by its second code. 0 when none waits.
uint8_t TakeFrameKey();

// Draws a ray traced as a start and `count` line ends (the lens programs' paths), its ends cut
// where they would leave the 16-bit range.
template <class Path>
void DrawRayPath(const Path &path) {
  PixelPolyline line;
  const PixelPoint start = line.Start(path.start.x, path.start.y);
  plotvane::MoveCursor(start.x, start.y);
  for (int i = 0; i < path.count; ++i) {
    const PixelPoint end = line.LineTo(path.ends[i].x, path.ends[i].y);
    plotvane::DrawLineTo(end.x, end.y);
  }
}

}  // namespace demo
