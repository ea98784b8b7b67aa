// The byte-scanning helpers one byte at a time: the plain versions, always
// built. The SSE2 versions in simd_sse2.h must give the same results.
#ifndef QLN_ENGINE_SIMD_SCALAR_H_
#define QLN_ENGINE_SIMD_SCALAR_H_

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "byte_classes.h"

namespace qln::detail::scalar {

/// The number of bytes from `begin` (before `end`) that are neither
/// whitespace nor a double quote: the rest of a token of a tag's attributes,
/// up to its next quote.
inline size_t TokenRunLength(const char* begin, const char* end) {
  const char* p = begin;
  while (p < end && *p != '"' && !IsWhitespace(static_cast<unsigned char>(*p))) p++;
  return static_cast<size_t>(p - begin);
}

/// Where the last LF of `text` is, or npos.
inline size_t FindLastLineFeed(std::string_view text) { return text.rfind('\n'); }

/// Where the first `a` or `b` of `text` is, or npos.
inline size_t FindEither(std::string_view text, char a, char b) {
  for (size_t i = 0; i < text.size(); i++)
    if (text[i] == a || text[i] == b) return i;
  return std::string_view::npos;
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
