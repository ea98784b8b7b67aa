// Byte classes for the scanner's bulk paths, and how far a run of one class
// goes: sixteen bytes at a time where the processor has SSE2, else one by one.
#ifndef QLN_ENGINE_BYTE_RUNS_H_
#define QLN_ENGINE_BYTE_RUNS_H_

#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QLN_HAVE_SSE2 1
#endif

#include "engine/formatter.h"

/// Bits of kByteClasses.
enum ByteClass : uint8_t {
  kTagText = 1,   ///< an open tag takes it as it is: 0x01-0x7F but "<", ">", "&"
  kWordText = 2,  ///< the pending word takes it as it is: tag text but whitespace
  kEntityText = 4,  ///< an open reference takes it as it is: tag text but ";"
};

inline constexpr std::array<uint8_t, 256> kByteClasses = [] {
  std::array<uint8_t, 256> classes{};
  for (int c = 1; c < 0x80; c++) {
    if (c == '<' || c == '>' || c == '&') continue;
    classes[c] = kTagText;
    if (c != ';') classes[c] |= kEntityText;
    if (!IsWhitespace(static_cast<unsigned char>(c))) classes[c] |= kWordText;
  }
  return classes;
}();

inline bool InClass(char c, ByteClass byte_class) {
  return kByteClasses[static_cast<unsigned char>(c)] & byte_class;
}

#ifdef QLN_HAVE_SSE2
/// A bit for each of the 16 bytes at `p` that may end a run of `byte_class`:
/// every byte outside the class, and (for words) the control bytes, which
/// InClass then decides. A signed compare catches 0x80-0xFF with the low bytes.
template <ByteClass byte_class>
unsigned MayEndRun16(const char* p) {
  const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
  const char low = byte_class == kWordText ? ' ' + 1 : 1;
  __m128i stops = _mm_cmplt_epi8(v, _mm_set1_epi8(low));
  stops = _mm_or_si128(stops, _mm_cmpeq_epi8(v, _mm_set1_epi8('<')));
  stops = _mm_or_si128(stops, _mm_cmpeq_epi8(v, _mm_set1_epi8('&')));
  stops = _mm_or_si128(stops, _mm_cmpeq_epi8(v, _mm_set1_epi8('>')));
  return static_cast<unsigned>(_mm_movemask_epi8(stops));
}
#endif

/// The number of bytes from `begin` (before `end`) that are all of `byte_class`.
template <ByteClass byte_class>
size_t RunLength(const char* begin, const char* end) {
  const char* p = begin;
#ifdef QLN_HAVE_SSE2
  while (end - p >= 16) {
    unsigned stops = MayEndRun16<byte_class>(p);
    if (stops == 0) {
      p += 16;
      continue;
    }
    p += std::countr_zero(stops);
    if (!InClass(*p, byte_class)) return p - begin;
    p++;  // a control byte inside a word
  }
#endif
  while (p < end && InClass(*p, byte_class)) p++;
  return p - begin;
}

/// The number of bytes from `begin` (before `end`) that are neither
/// whitespace nor a double quote: the rest of a token of a tag's attributes,
/// up to its next quote.
inline size_t TokenRunLength(const char* begin, const char* end) {
  const char* p = begin;
#ifdef QLN_HAVE_SSE2
  while (end - p >= 16) {
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p));
    // Whitespace, the other control bytes and 0x80-0xFF (a signed compare),
    // and quotes; the control bytes and high bytes are then let through.
    const __m128i stops = _mm_or_si128(_mm_cmplt_epi8(v, _mm_set1_epi8(' ' + 1)),
                                       _mm_cmpeq_epi8(v, _mm_set1_epi8('"')));
    const unsigned found = static_cast<unsigned>(_mm_movemask_epi8(stops));
    if (found == 0) {
      p += 16;
      continue;
    }
    p += std::countr_zero(found);
    if (*p == '"' || IsWhitespace(static_cast<unsigned char>(*p))) return p - begin;
    p++;
  }
#endif
  while (p < end && *p != '"' && !IsWhitespace(static_cast<unsigned char>(*p))) p++;
  return p - begin;
}

/// A bit for each of the 64 bytes from `p` that may end a run of word text:
/// whitespace and the other control bytes, "<", "&", ">" and 0x80-0xFF; and
/// in `*spaces` a bit for each of them that is a space. Positions at or after
/// `end` count as "<". Finds the ends of a stretch of short words with one
/// look at their bytes.
inline uint64_t WordStops64(const char* p, const char* end, uint64_t* spaces) {
  char padded[64];
  if (end - p < 64) {
    std::memset(padded, '<', sizeof padded);
    std::memcpy(padded, p, end - p);
    p = padded;
  }
  uint64_t stops = 0;
  uint64_t space_bits = 0;
#ifdef QLN_HAVE_SSE2
  for (int i = 0; i < 64; i += 16) {
    stops |= uint64_t{MayEndRun16<kWordText>(p + i)} << i;
    const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(p + i));
    const unsigned found =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(v, _mm_set1_epi8(' '))));
    space_bits |= uint64_t{found} << i;
  }
#else
  for (int i = 0; i < 64; i++) {
    if (!InClass(p[i], kWordText) || static_cast<unsigned char>(p[i]) <= ' ')
      stops |= uint64_t{1} << i;
    if (p[i] == ' ') space_bits |= uint64_t{1} << i;
  }
#endif
  *spaces = space_bits;
  return stops;
}

#endif  // QLN_ENGINE_BYTE_RUNS_H_
