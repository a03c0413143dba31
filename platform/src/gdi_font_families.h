// The font families a face name can stand for, and their fonts: fontconfig's answer on a
// desktop, a fixed catalogue in the browser.
#pragma once

#include <windows.h>

#include <mutex>
#include <string>
#include <vector>

namespace pv::gdi {

struct FoundFont {
  std::string family;
  int weight = FW_NORMAL;
  bool italic = false;
  bool fixedPitch = false;
};

// Held around the two calls below: the catalogue behind them is shared.
std::mutex &FontFamiliesMutex();

// The installed family that a face name stands for: the family of that name, or one bound to
// it as a metric-compatible stand-in. Empty when there is none.
std::string ResolveFamily(const char *face);

// Every installed font of `family` (all families when empty), one entry per font.
std::vector<FoundFont> ListFonts(const std::string &family);

}  // namespace pv::gdi
