#include "gdi_expand.h"

#include <bit>
#include <cstring>

#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define PV_BYTE_PERMUTES 1
#endif

namespace pv::gdi {
namespace {

// One look-up per pixel from a table on the stack, eight source bytes read at once; plainer
// loops get vectorised into slower emulated gathers.
void RowByLookup(const uint8_t *in, uint32_t *out, int count, const uint32_t *table) {
  uint32_t map[256];
  std::memcpy(map, table, sizeof map);
  int col = 0;
  for (; col + 8 <= count; col += 8) {
    uint64_t eight;
    std::memcpy(&eight, in + col, 8);
    for (int k = 0; k < 8; ++k) {
      const int shift = std::endian::native == std::endian::little ? 8 * k : 56 - 8 * k;
      out[col + k] = map[(eight >> shift) & 0xFFu];
    }
  }
  for (; col < count; ++col) out[col] = map[in[col]];
}

#ifdef PV_BYTE_PERMUTES
bool HasBytePermutes() {
  static const bool has = __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
                          __builtin_cpu_supports("avx512vbmi");
  return has;
}

// 64 pixels a step: each byte plane is looked up with two 128-entry permutes, chosen by the
// index's top bit, and the four planes are interleaved into pixels.
__attribute__((target("avx512f,avx512bw,avx512vbmi"))) int RowByPermutes(const uint8_t *in, uint32_t *out,
                                                                          int count, const uint8_t (*planes)[256]) {
  __m512i table[4][4];
  for (int p = 0; p < 4; ++p)
    for (int q = 0; q < 4; ++q) table[p][q] = _mm512_load_si512(planes[p] + 64 * q);
  // Quadword picks: lanes 0 and 1 of two vectors interleaved, lanes 2 and 3 likewise, and
  // the low or high halves of two vectors side by side.
  const __m512i firstLanes = _mm512_set_epi64(11, 10, 3, 2, 9, 8, 1, 0);
  const __m512i lastLanes = _mm512_set_epi64(15, 14, 7, 6, 13, 12, 5, 4);
  const __m512i lowHalves = _mm512_set_epi64(11, 10, 9, 8, 3, 2, 1, 0);
  const __m512i highHalves = _mm512_set_epi64(15, 14, 13, 12, 7, 6, 5, 4);
  int col = 0;
  for (; col + 64 <= count; col += 64) {
    const __m512i index = _mm512_loadu_si512(in + col);
    const __mmask64 upper = _mm512_movepi8_mask(index);
    __m512i c[4];
    for (int p = 0; p < 4; ++p) {
      const __m512i low = _mm512_permutex2var_epi8(table[p][0], index, table[p][1]);
      const __m512i high = _mm512_permutex2var_epi8(table[p][2], index, table[p][3]);
      c[p] = _mm512_mask_blend_epi8(upper, low, high);
    }
    // Unpacking works within 128-bit lanes: lane L of d0..d3 holds pixels 16L+0..3, +4..7,
    // +8..11, +12..15; two rounds of lane permutes put them back in order.
    const __m512i b01lo = _mm512_unpacklo_epi8(c[0], c[1]), b01hi = _mm512_unpackhi_epi8(c[0], c[1]);
    const __m512i b23lo = _mm512_unpacklo_epi8(c[2], c[3]), b23hi = _mm512_unpackhi_epi8(c[2], c[3]);
    const __m512i d0 = _mm512_unpacklo_epi16(b01lo, b23lo), d1 = _mm512_unpackhi_epi16(b01lo, b23lo);
    const __m512i d2 = _mm512_unpacklo_epi16(b01hi, b23hi), d3 = _mm512_unpackhi_epi16(b01hi, b23hi);
    const __m512i e01 = _mm512_permutex2var_epi64(d0, firstLanes, d1), e23 = _mm512_permutex2var_epi64(d2, firstLanes, d3);
    const __m512i f01 = _mm512_permutex2var_epi64(d0, lastLanes, d1), f23 = _mm512_permutex2var_epi64(d2, lastLanes, d3);
    _mm512_storeu_si512(out + col, _mm512_permutex2var_epi64(e01, lowHalves, e23));
    _mm512_storeu_si512(out + col + 16, _mm512_permutex2var_epi64(e01, highHalves, e23));
    _mm512_storeu_si512(out + col + 32, _mm512_permutex2var_epi64(f01, lowHalves, f23));
    _mm512_storeu_si512(out + col + 48, _mm512_permutex2var_epi64(f01, highHalves, f23));
  }
  return col;
}
#endif

}  // namespace

IndexExpander::IndexExpander(const uint32_t *map) {
  std::memcpy(map_, map, sizeof map_);
#ifdef PV_BYTE_PERMUTES
  permutes_ = HasBytePermutes();
  if (permutes_)
    for (int i = 0; i < 256; ++i)
      for (int p = 0; p < 4; ++p) planes_[p][i] = static_cast<uint8_t>(map_[i] >> (8 * p));
#endif
}

void IndexExpander::Row(const uint8_t *in, uint32_t *out, int count) const {
  int done = 0;
#ifdef PV_BYTE_PERMUTES
  if (permutes_) done = RowByPermutes(in, out, count, planes_);
#endif
  RowByLookup(in + done, out + done, count - done, map_);
}

}  // namespace pv::gdi
