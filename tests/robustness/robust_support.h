// Helpers of the robustness tests: how long to run, a frame that makes and replaces every kind
// of object the library owns, and the counts that must come back after a close.
#pragma once

#include <gtest/gtest.h>
#include <plotvane/session.h>
#include <pvplatform.h>

#include <fstream>
#include <string>

namespace robust {

// Sanitizer builds run a fraction of the cycles: they are ten to twenty times slower.
constexpr int Scaled(int native, int sanitized) { return ROBUST_SANITIZED ? sanitized : native; }

// Threads of the whole process as the kernel counts them: the platform's own count only knows
// the threads that CreateThread made.
inline int ProcessThreads() {
  std::ifstream status("/proc/self/status");
  std::string key;
  while (status >> key) {
    if (key == "Threads:") {
      int n = 0;
      status >> n;
      return n;
    }
    status.ignore(1 << 16, '\n');
  }
  return -1;
}

// The process's threads once they come to `expected`, or after two seconds what they are: the
// kernel reaps a thread a moment after it reported its end.
inline int ProcessThreadsSettledAt(int expected) {
  int n = ProcessThreads();
  for (int i = 0; i < 200 && n != expected; ++i) {
    Sleep(10);
    n = ProcessThreads();
  }
  return n;
}

// The live counts as text, so that a mismatch says what was left behind.
inline std::string Live() {
  const pvplatform::LiveCounts c = pvplatform::CountLive();
  return std::to_string(c.gdiObjects) + " objects, " + std::to_string(c.dcs) + " DCs, " +
         std::to_string(c.windows) + " windows, " + std::to_string(c.threads) + " threads";
}

// One frame as the programs draw it, plus every setting that replaces a pen, brush, font,
// pattern, clip region or palette, varied by `n` so that successive frames differ.
inline void DrawBusyFrame(int n) {
  using namespace plotvane;
  const auto v = static_cast<int16_t>(n % 97);
  SetDrawPage(static_cast<uint16_t>(n & 1));
  SetShowPage(static_cast<uint16_t>(1 - (n & 1)));
  ClearScreen();
  SetViewArea(v, v, static_cast<int16_t>(700 + v), static_cast<int16_t>(500 + v), (n & 2) != 0);
  SetPenStyle(static_cast<int16_t>(n % 7), 0x5A5A, static_cast<uint16_t>(1 + n % 4));
  SetDrawColor(NamedColor(static_cast<uint8_t>(n)));
  DrawLine(0, 0, 600, static_cast<int16_t>(400 - v));
  DrawLineTo(10, 300);
  const uint8_t pattern[8] = {0x81, 0x42, 0x24, 0x18, 0x18, 0x24, 0x42, static_cast<uint8_t>(n)};
  SetFillPattern(pattern, NamedColor(ncYellow));
  SetFillKind(static_cast<int16_t>(n % 10), NamedColor(ncRed));
  DrawEllipse(300, 200, static_cast<uint16_t>(40 + v), 30);
  const PolygonPoint corners[] = {{10, 10}, {200, 40 + v}, {120, 260}, {-30, 90}};
  FillPolygonShape(4, corners);
  DrawArc(400, 300, static_cast<uint16_t>(n % 360), 270, 80, 60);
  SetTextFont(static_cast<uint16_t>((n % 4) | (n & 0x10)), static_cast<uint16_t>(n % 360), 16);
  SetTextAlignment(static_cast<int16_t>(n % 3), static_cast<int16_t>((n / 3) % 3));
  if (n % 5 == 0) {
    PaletteRecord rec;
    ReadStockPalette(rec);
    rec.Colors[1] = static_cast<uint32_t>(n) * 0x010203u;
    InstallPalette(rec);
  }
  SetRasterMode(static_cast<int16_t>(n % 32));
  SetBackColor(NamedColor(ncBlack));
}

}  // namespace robust
