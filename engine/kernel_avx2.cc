// The AVX2 kernel: thirty-two bytes per step, for the processors that have
// it. Only this file is built for AVX2, so that the rest of the program
// still runs anywhere; it is only called once the processor is known to
// have it.
#include <immintrin.h>

#include <bit>
#include <cstddef>
#include <cstdint>

#include "kernel_plain_steps.h"
#include "kernels.h"

// Every function from here on, the shared steps' included, is built for
// AVX2. (What the headers above define is not: other files use it too.)
#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC push_options
#pragma GCC target("avx2")
#endif

#include "kernel_steps.h"

namespace qln::detail {
namespace {

uint64_t MaskOf(__m256i lanes) { return static_cast<uint32_t>(_mm256_movemask_epi8(lanes)); }

__m256i Equal(__m256i v, char c) { return _mm256_cmpeq_epi8(v, _mm256_set1_epi8(c)); }

struct V {
  static constexpr int kWidth = 32;
  static uint64_t Find(const char* p, char c) {
    return MaskOf(Equal(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)), c));
  }
  static void Copy(const char* p, char* out) {
    _mm256_storeu_si256(reinterpret_cast<__m256i*>(out),
                        _mm256_loadu_si256(reinterpret_cast<const __m256i*>(p)));
  }
};

/// Lanes of `v` that hold one of the six whitespace characters (see the
/// SSE2 kernel).
__m256i Whitespace(__m256i v) {
  const __m256i tab_to_cr = _mm256_cmpgt_epi8(_mm256_set1_epi8(static_cast<char>(0x80 + 5)),
                                              _mm256_add_epi8(v, _mm256_set1_epi8(0x77)));
  return _mm256_or_si256(tab_to_cr, Equal(v, ' '));
}

void ClassifyClassic(const char* text, size_t blocks, ClassicMasks* masks) {
  for (size_t b = 0; b < blocks; b++, text += 64) {
    ClassicMasks m = {0, 0, 0, 0};
    for (int k = 0; k < 2; k++) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 32 * k));
      const __m256i both = _mm256_or_si256(_mm256_or_si256(Equal(v, '<'), Equal(v, '&')),
                                           _mm256_or_si256(Equal(v, '\0'), v));
      m.word_stops |= MaskOf(_mm256_or_si256(both, Whitespace(v))) << (32 * k);
      m.tag_stops |= MaskOf(_mm256_or_si256(both, Equal(v, '>'))) << (32 * k);
      m.spaces |= MaskOf(Equal(v, ' ')) << (32 * k);
      m.quotes |= MaskOf(Equal(v, '"')) << (32 * k);
    }
    masks[b] = m;
  }
}

void ClassifyModern(const char* text, size_t blocks, ModernMasks* masks) {
  for (size_t b = 0; b < blocks; b++, text += 64) {
    ModernMasks m = {0, 0, 0};
    for (int k = 0; k < 2; k++) {
      const __m256i v = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(text + 32 * k));
      const __m256i markup = _mm256_or_si256(Equal(v, '<'), Equal(v, '&'));
      const __m256i low =
          _mm256_cmpgt_epi8(_mm256_set1_epi8(0x21), _mm256_andnot_si256(Equal(v, 0x7F), v));
      m.markup |= MaskOf(markup) << (32 * k);
      m.word_stops |= MaskOf(_mm256_or_si256(_mm256_or_si256(markup, low), v)) << (32 * k);
      m.spaces |= MaskOf(Equal(v, ' ')) << (32 * k);
    }
    masks[b] = m;
  }
}

}  // namespace

const Kernel kAvx2Kernel = {
    "avx2",
    ClassifyClassic,
    ClassifyModern,
    steps::LfForCrLf<V>,
    steps::CrLfForLf<V>,
    steps::CrLfForBareLf<V>,
};

}  // namespace qln::detail

#if defined(__clang__)
#pragma clang attribute pop
#else
#pragma GCC pop_options
#endif
