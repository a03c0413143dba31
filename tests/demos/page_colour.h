// What a named colour looks like on a page read back: in palette mode its stock palette entry.
#pragma once

#include <plotvane/session.h>

#include <cstdint>

namespace demotest {

inline COLORREF PageRGB(uint8_t named) {
  const uint32_t c = plotvane::NamedColor(named);
  return plotvane::Session().PaletteMode ? plotvane::StockPalette[c] : static_cast<COLORREF>(c);
}

}  // namespace demotest
