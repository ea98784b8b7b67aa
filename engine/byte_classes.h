// The classes of bytes the scanner tells apart: whitespace, and the bytes an
// open tag, the pending word or an open reference takes as they are.
#ifndef QLN_ENGINE_BYTE_CLASSES_H_
#define QLN_ENGINE_BYTE_CLASSES_H_

#include <array>
#include <cstdint>

namespace qln::detail {

/// True for the six whitespace characters: space, tab, LF, VT, FF and CR.
constexpr bool IsWhitespace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/// Bits of kByteClasses.
enum ByteClass : uint8_t {
  kTagText = 1,     ///< an open tag takes it as it is: 0x01-0x7F but "<", ">", "&"
  kWordText = 2,    ///< the pending word takes it as it is: tag text but whitespace
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

constexpr bool InClass(char c, ByteClass byte_class) {
  return kByteClasses[static_cast<unsigned char>(c)] & byte_class;
}

}  // namespace qln::detail

#endif  // QLN_ENGINE_BYTE_CLASSES_H_
