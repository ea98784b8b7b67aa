// The byte-scanning helpers sixteen bytes at a time, with SSE2. Each gives
// exactly what its plain twin in simd_scalar.h gives; simd.h picks one.
#ifndef QLN_ENGINE_SIMD_SSE2_H_
#define QLN_ENGINE_SIMD_SSE2_H_

#include <emmintrin.h>

#include <bit>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "byte_classes.h"
#include "simd_scalar.h"

namespace qln::detail::sse2 {

inline __m128i Load16(const char* p) {
  return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
}

inline unsigned Mask(__m128i lanes) { return static_cast<unsigned>(_mm_movemask_epi8(lanes)); }

/// See scalar::TokenRunLength.
inline size_t TokenRunLength(const char* begin, const char* end) {
  const char* p = begin;
  while (end - p >= 16) {
    const __m128i v = Load16(p);
    // Whitespace, the other control bytes and 0x80-0xFF (a signed compare),
    // and quotes; the control bytes and high bytes are then let through.
    const unsigned found = Mask(_mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(' ' + 1)),
                                             _mm_cmpeq_epi8(v, _mm_set1_epi8('"'))));
    if (found == 0) {
      p += 16;
      continue;
    }
    p += std::countr_zero(found);
    if (*p == '"' || IsWhitespace(static_cast<unsigned char>(*p)))
      return static_cast<size_t>(p - begin);
    p++;
  }
  return static_cast<size_t>(p - begin) + scalar::TokenRunLength(p, end);
}

/// See scalar::FindLastLineFeed; sixteen bytes at a time from the end.
inline size_t FindLastLineFeed(std::string_view text) {
  size_t end = text.size();
  const __m128i line_feeds = _mm_set1_epi8('\n');
  for (; end >= 16; end -= 16) {
    const unsigned found = Mask(_mm_cmpeq_epi8(Load16(text.data() + end - 16), line_feeds));
    if (found != 0) return end - 16 + static_cast<size_t>(31 - std::countl_zero(found));
  }
  return scalar::FindLastLineFeed(text.substr(0, end));
}

/// See scalar::FindEither.
inline size_t FindEither(std::string_view text, char a, char b) {
  const __m128i first = _mm_set1_epi8(a), second = _mm_set1_epi8(b);
  size_t at = 0;
  for (; text.size() - at >= 16; at += 16) {
    const __m128i v = Load16(text.data() + at);
    const unsigned found = Mask(_mm_or_si128(_mm_cmpeq_epi8(v, first), _mm_cmpeq_epi8(v, second)));
    if (found != 0) return at + static_cast<size_t>(std::countr_zero(found));
  }
  const size_t rest = scalar::FindEither(text.substr(at), a, b);
  return rest == std::string_view::npos ? rest : at + rest;
}

/// See scalar::AsciiRunLength. A signed compare catches 0x80-0xFF with zero.
inline size_t AsciiRunLength(const char* begin, const char* end) {
  const char* p = begin;
  while (end - p >= 16) {
    const __m128i v = Load16(p);
    const unsigned stops = Mask(
        _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(1)), _mm_cmpeq_epi8(v, _mm_set1_epi8('\r'))));
    if (stops != 0) return static_cast<size_t>(p - begin) + std::countr_zero(stops);
    p += 16;
  }
  return static_cast<size_t>(p - begin) + scalar::AsciiRunLength(p, end);
}

}  // namespace qln::detail::sse2

#endif  // QLN_ENGINE_SIMD_SSE2_H_
