// Rows of 8-bit indices to 32-bit values through a 256-entry table: the page-to-window copy.
#pragma once

#include <cstdint>

namespace pv::gdi {

// Made once per blit from the table; Row then converts any number of rows. Where the
// processor has byte permutes (AVX-512 VBMI) the table is held as four byte planes and a row
// goes 64 pixels per step, at the speed of a plain copy; elsewhere one look-up per pixel.
class IndexExpander {
 public:
  explicit IndexExpander(const uint32_t *map);
  void Row(const uint8_t *in, uint32_t *out, int count) const;

 private:
  uint32_t map_[256];
  alignas(64) uint8_t planes_[4][256];  // byte p of entry i at planes_[p][i]
  bool permutes_ = false;
};

}  // namespace pv::gdi
