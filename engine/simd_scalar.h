// The byte-scanning helpers one byte at a time: the plain versions, always
// built. The SSE2 versions in simd_sse2.h must give the same results.
#ifndef QLN_ENGINE_SIMD_SCALAR_H_
#define QLN_ENGINE_SIMD_SCALAR_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "byte_classes.h"

namespace qln::detail::scalar {

/// A bit for each of the 16 bytes at `p` that may end a run of `byte_class`
/// (tag text or word text):
/// "<", ">", "&", the bytes 0x80-0xFF and the bytes below 0x01, or below
/// 0x21 for words. InClass then decides the control bytes among them.
template <ByteClass byte_class>
unsigned MayEndRun16(const char* p) {
  static_assert(byte_class != kEntityText, "a reference's runs end at ';' too");
  constexpr unsigned char kLow = byte_class == kWordText ? ' ' + 1 : 1;
  unsigned stops = 0;
  for (int i = 0; i < 16; i++) {
    const unsigned char c = static_cast<unsigned char>(p[i]);
    if (c < kLow || c >= 0x80 || c == '<' || c == '&' || c == '>') stops |= 1u << i;
  }
  return stops;
}

/// The number of bytes from `begin` (before `end`) that are all of `byte_class`.
template <ByteClass byte_class>
size_t RunLength(const char* begin, const char* end) {
  const char* p = begin;
  while (p < end && InClass(*p, byte_class)) p++;
  return static_cast<size_t>(p - begin);
}

/// The number of bytes from `begin` (before `end`) that are neither
/// whitespace nor a double quote: the rest of a token of a tag's attributes,
/// up to its next quote.
inline size_t TokenRunLength(const char* begin, const char* end) {
  const char* p = begin;
  while (p < end && *p != '"' && !IsWhitespace(static_cast<unsigned char>(*p))) p++;
  return static_cast<size_t>(p - begin);
}

/// A bit for each of the 64 bytes at `p` that may end a run of word text
/// (as MayEndRun16 marks them for words), and in `*spaces` a bit for each
/// space among them. The 64 bytes must be readable.
inline uint64_t WordStops64(const char* p, uint64_t* spaces) {
  uint64_t stops = 0;
  uint64_t space_bits = 0;
  for (int i = 0; i < 64; i += 16) stops |= uint64_t{MayEndRun16<kWordText>(p + i)} << i;
  for (int i = 0; i < 64; i++)
    if (p[i] == ' ') space_bits |= uint64_t{1} << i;
  *spaces = space_bits;
  return stops;
}

/// Copies `text` to `out` with every LF stored as CR LF and returns the end of
/// what it wrote. `out` needs room for the result plus 16 bytes, which a
/// copying step may store past it.
inline char* CopyWithCrLf(std::string_view text, char* out) {
  for (char c : text) {
    if (c == '\n') *out++ = '\r';
    *out++ = c;
  }
  return out;
}

/// Where the last LF of `text` is, or npos.
inline size_t FindLastLineFeed(std::string_view text) { return text.rfind('\n'); }

/// Where the first `a` or `b` of `text` is, or npos.
inline size_t FindEither(std::string_view text, char a, char b) {
  for (size_t i = 0; i < text.size(); i++)
    if (text[i] == a || text[i] == b) return i;
  return std::string_view::npos;
}

/// The number of bytes from `begin` (before `end`) that are printable ASCII
/// but the space: 0x21 to 0x7E, the bytes of a plain word.
inline size_t PrintableRunLength(const char* begin, const char* end) {
  const char* p = begin;
  while (p < end && static_cast<unsigned char>(*p) - 0x21u < 0x5Eu) p++;
  return static_cast<size_t>(p - begin);
}

/// The number of bytes from `begin` (before `end`) that are plain ASCII text
/// as it stands: 0x01 to 0x7F but CR.
inline size_t AsciiRunLength(const char* begin, const char* end) {
  const char* p = begin;
  while (p < end && static_cast<unsigned char>(*p) - 1u < 0x7Fu && *p != '\r') p++;
  return static_cast<size_t>(p - begin);
}

}  // namespace qln::detail::scalar

#endif  // QLN_ENGINE_SIMD_SCALAR_H_
