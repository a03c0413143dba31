// A picture of text that the desktop build and the browser must draw pixel for pixel alike: the
// four standard faces, bold, italic and underlined, along the page and upwards. Its checksum
// and measures are kept in tests/expectations.json, which both sides' tests read.
#pragma once

#include <plotvane/plotvane.h>

#include <cstdint>

namespace pvtest {

inline constexpr const char *kTextSceneSample = "Focal length f'";

// Draws on the draw page, cleared first.
inline void DrawTextScene() {
  using namespace plotvane;
  ClearScreen();
  SetDrawColor(NamedColor(ncWhite));
  SetTextAlignment(0, 2);
  constexpr struct {
    uint16_t bits;
    int16_t x;
  } styles[] = {{0, 10}, {16, 200}, {0x1000, 400}, {0x100, 600}};  // plain, bold, italic, underlined
  for (uint16_t face = 0; face < 4; ++face)
    for (const auto &style : styles) {
      SetTextFont(static_cast<uint16_t>(face | style.bits), 0, static_cast<uint16_t>(12 + face * 4));
      OutTextXY(style.x, static_cast<int16_t>(40 + face * 50), kTextSceneSample);
    }
  SetTextFont(16 + 3, 90, 20);  // bold Arial, upwards
  OutTextXY(400, 560, "upwards 0123456789");
}

// FNV-1a over the red, green and blue bytes of each pixel, row by row.
inline uint32_t PictureChecksum(const uint8_t *rgb, size_t bytes) {
  uint32_t h = 2166136261u;
  for (size_t i = 0; i < bytes; ++i) h = (h ^ rgb[i]) * 16777619u;
  return h;
}

}  // namespace pvtest
