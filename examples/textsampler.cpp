// The library's text: the four standard faces at several sizes, bold, italic and underlined,
// along the page and upwards, labelling a small optical sketch. Any key ends it.
#include <plotvane/plotvane.h>

#include <string>

using namespace plotvane;

int main() {
  int16_t driver = 3, mode = 6;
  OpenGraphWindow(driver, mode, "Plotvane text");
  if (!GraphActive()) return 1;
  const char *const faces[4] = {"Courier New", "MS Sans Serif", "Times New Roman", "Arial"};
  const uint32_t white = NamedColor(ncWhite), yellow = NamedColor(ncYellow), grey = NamedColor(ncGrey);

  SetDrawPage(1);
  ClearScreen();
  // Each face in a row of growing sizes, in white.
  SetDrawColor(white);
  SetTextAlignment(0, 2);  // left, on the baseline
  int16_t y = 40;
  for (uint16_t face = 0; face < 4; ++face) {
    MoveCursor(20, y);
    for (uint16_t size : {10, 14, 20, 28}) {
      SetTextFont(face, 0, size);
      OutText(std::string(faces[face]) + " " + std::to_string(size) + "  ");
    }
    y = static_cast<int16_t>(y + 44);
  }
  // Weights and styles from the font number: bold (bit 4), underline (bit 8), italic (bit 12).
  SetDrawColor(yellow);
  const struct {
    uint16_t bits;
    const char *name;
  } styles[] = {{0, "regular"}, {16, "bold"}, {0x1000, "italic"}, {0x100, "underlined"}, {0x1110, "all three"}};
  MoveCursor(20, 230);
  for (const auto &style : styles) {
    SetTextFont(static_cast<uint16_t>(style.bits | 2), 0, 24);
    OutText(std::string(style.name) + "   ");
  }
  // A lens on its axis, labelled along and across the page.
  SetDrawColor(grey);
  DrawLine(60, 420, 740, 420);
  DrawEllipse(400, 420, 18, 110);
  PlotPixel(560, 420, white);
  DrawCircle(560, 420, 3);
  SetDrawColor(white);
  SetTextFont(3, 0, 16);
  SetTextAlignment(1, 0);  // centred, top
  OutTextXY(560, 428, "focal point F'");
  SetTextAlignment(2, 1);  // right, bottom
  OutTextXY(736, 416, "optical axis");
  SetTextFont(16 + 2, 90, 20);  // bold Times New Roman, upwards
  SetTextAlignment(1, 1);       // centred, bottom: the text's foot towards the lens
  OutTextXY(376, 420, "thin lens");
  SetTextFont(0x1000 + 3, 90, 14);  // italic Arial, upwards
  SetTextAlignment(0, 0);
  OutTextXY(40, 560, "written upwards");
  SetTextFont(1, 0, 12);
  SetTextAlignment(2, 1);
  OutTextXY(790, 590, "any key ends");
  SetShowPage(1);

  while (!KeyWaiting()) WaitMillis(20);
  CloseGraphWindow();
  return 0;
}
