// A small example of the library: the pointer leaves a trail of lines in several colours and
// pen styles, drawn on a hidden page and shown when finished, with labels in text. Any key
// ends it.
#include <plotvane/plotvane.h>

#include <array>
#include <cstddef>
#include <string>

using namespace plotvane;

int main() {
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "Plotvane example");
  if (!GraphActive()) return 1;

  struct Point { int16_t x, y; };
  std::array<Point, 48> trail{};
  std::size_t head = 0, filled = 0;
  const uint8_t colours[] = {ncRed, ncYellow, ncWhite, 40 /* chartreuse */, 15 /* blue */};
  const int16_t maxX = ScreenMaxX(), maxY = ScreenMaxY();

  uint16_t page = 0;
  while (!KeyWaiting()) {
    Point p{static_cast<int16_t>(MouseX()), static_cast<int16_t>(MouseY())};
    // The trail grows only when the pointer moves: frames come far faster than mouse events.
    const Point &last = trail[(head + trail.size() - 1) % trail.size()];
    if (filled == 0 || p.x != last.x || p.y != last.y) {
      trail[head] = p;
      head = (head + 1) % trail.size();
      if (filled < trail.size()) ++filled;
    }

    SetDrawPage(page);
    page = 1 - page;
    SetShowPage(page);
    ClearScreen();

    // A frame around the window, then the trail from oldest to newest.
    SetPenStyle(3, 0, 1);
    SetDrawColor(NamedColor(ncGrey));
    MoveCursor(0, 0);
    DrawLineTo(maxX, 0);
    DrawLineTo(maxX, maxY);
    DrawLineTo(0, maxY);
    DrawLineTo(0, 0);

    std::size_t oldest = (head + trail.size() - filled) % trail.size();
    for (std::size_t i = 1; i < filled; ++i) {
      const Point &a = trail[(oldest + i - 1) % trail.size()];
      const Point &b = trail[(oldest + i) % trail.size()];
      std::size_t band = i * 5 / filled;  // five bands, oldest first
      SetPenStyle(static_cast<int16_t>(band % 5), 0, static_cast<uint16_t>(band == 4 ? 3 : 1));
      SetDrawColor(NamedColor(colours[band]));
      DrawLine(a.x, a.y, b.x, b.y);
    }
    // A cross at the pointer, drawn pixel by pixel with a pattern.
    SetPenStyle(5, 0x3333, 1);
    SetDrawColor(NamedColor(ncWhite));
    DrawLine(static_cast<int16_t>(p.x - 12), p.y, static_cast<int16_t>(p.x + 13), p.y);
    DrawLine(p.x, static_cast<int16_t>(p.y - 12), p.x, static_cast<int16_t>(p.y + 13));

    // Labels: a title, the pointer's position beside the cross, and the trail's length written
    // upwards along the right edge.
    SetTextFont(3, 0, 16);  // Arial
    SetTextAlignment(0, 0);
    OutTextXY(8, 6, "Plotvane example: move the pointer, press any key to end");
    SetTextFont(0, 0, 14);  // Courier New
    const std::string where = std::to_string(p.x) + ", " + std::to_string(p.y);
    // Kept inside the window: to the left of the cross near the right edge.
    const bool left = p.x + 16 + TextWidth(where) > maxX;
    SetTextAlignment(left ? 2 : 0, 2);
    OutTextXY(static_cast<int16_t>(left ? p.x - 16 : p.x + 16), static_cast<int16_t>(p.y - 6), where);
    SetTextFont(16 + 2, 90, 16);  // Times New Roman, bold, upwards
    SetTextAlignment(0, 1);
    SetDrawColor(NamedColor(ncGrey));
    OutTextXY(static_cast<int16_t>(maxX - 6), static_cast<int16_t>(maxY - 8),
              "trail of " + std::to_string(filled) + " points");
    WaitMillis(5);
  }
  CloseGraphWindow();
  return 0;
}
