// The SSE2 kernel: sixteen bytes per step, the baseline of every x86-64
// processor.
#include <emmintrin.h>

#include "kernel_steps.h"
#include "kernels.h"

namespace qln::detail {
namespace {

uint64_t MaskOf(__m128i lanes) { return static_cast<uint16_t>(_mm_movemask_epi8(lanes)); }

struct V {
  static constexpr int kWidth = 16;
  static uint64_t Find(const char* p, char c) {
    return MaskOf(
        _mm_cmpeq_epi8(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), _mm_set1_epi8(c)));
  }
  static void Copy(const char* p, char* out) {
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out),
                     _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)));
  }
};

/// Lanes of `v` that hold one of the six whitespace characters: space, or
/// tab to CR (0x09 to 0x0D, found by moving them to the bottom of the signed
/// range).
__m128i Whitespace(__m128i v) {
  const __m128i tab_to_cr = _mm_cmplt_epi8(_mm_add_epi8(v, _mm_set1_epi8(0x77)),
                                           _mm_set1_epi8(static_cast<char>(0x80 + 5)));
  return _mm_or_si128(tab_to_cr, _mm_cmpeq_epi8(v, _mm_set1_epi8(' ')));
}

void ClassifyClassic(const char* text, size_t blocks, ClassicMasks* masks) {
  const __m128i zero = _mm_setzero_si128();
  for (size_t b = 0; b < blocks; b++, text += 64) {
    ClassicMasks m = {0, 0, 0, 0};
    for (int k = 0; k < 4; k++) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * k));
      // The sign bit of `v` marks the bytes of 0x80 and above in each mask.
      const __m128i both = _mm_or_si128(_mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('<')),
                                                     _mm_cmpeq_epi8(v, _mm_set1_epi8('&'))),
                                        _mm_or_si128(_mm_cmpeq_epi8(v, zero), v));
      const __m128i space = _mm_cmpeq_epi8(v, _mm_set1_epi8(' '));
      m.word_stops |= MaskOf(_mm_or_si128(both, Whitespace(v))) << (16 * k);
      m.tag_stops |= MaskOf(_mm_or_si128(both, _mm_cmpeq_epi8(v, _mm_set1_epi8('>')))) << (16 * k);
      m.spaces |= MaskOf(space) << (16 * k);
      m.quotes |= MaskOf(_mm_cmpeq_epi8(v, _mm_set1_epi8('"'))) << (16 * k);
    }
    masks[b] = m;
  }
}

void ClassifyModern(const char* text, size_t blocks, ModernMasks* masks) {
  for (size_t b = 0; b < blocks; b++, text += 64) {
    ModernMasks m = {0, 0, 0};
    for (int k = 0; k < 4; k++) {
      const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + 16 * k));
      const __m128i markup = _mm_or_si128(_mm_cmpeq_epi8(v, _mm_set1_epi8('<')),
                                          _mm_cmpeq_epi8(v, _mm_set1_epi8('&')));
      // 0x00 to 0x20 and 0x7F: below 0x21 once 0x7F is moved to 0x00 (signed,
      // after the bytes of 0x80 and above, whose sign bit counts anyway).
      const __m128i del = _mm_cmpeq_epi8(v, _mm_set1_epi8(0x7F));
      const __m128i low = _mm_cmplt_epi8(_mm_andnot_si128(del, v), _mm_set1_epi8(0x21));
      m.markup |= MaskOf(markup) << (16 * k);
      m.word_stops |= MaskOf(_mm_or_si128(_mm_or_si128(markup, low), v)) << (16 * k);
      m.spaces |= MaskOf(_mm_cmpeq_epi8(v, _mm_set1_epi8(' '))) << (16 * k);
    }
    masks[b] = m;
  }
}

}  // namespace

const Kernel kSse2Kernel = {
    "sse2",
    ClassifyClassic,
    ClassifyModern,
    steps::LfForCrLf<V>,
    steps::CrLfForLf<V>,
    steps::CrLfForBareLf<V>,
};

}  // namespace qln::detail
