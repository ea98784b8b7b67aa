// The tag a modern tokenizer reads: its name, and the values of the few
// attributes the conversion uses, built up a piece at a time. Shared by the
// tokenizer's states and the block tokenizer, which reads whole tags.
#ifndef QLN_ENGINE_MODERN_TOKEN_H_
#define QLN_ENGINE_MODERN_TOKEN_H_

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "modern_state.h"

namespace qln::detail {

/// HTML's whitespace between attributes: tab, LF, FF and space (CR is gone).
constexpr bool IsTagSpace(char c) { return c == '\t' || c == '\n' || c == '\f' || c == ' '; }
constexpr bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
constexpr bool IsAsciiDigit(char c) { return c >= '0' && c <= '9'; }
constexpr bool IsAsciiAlphanumeric(char c) { return IsAsciiAlpha(c) || IsAsciiDigit(c); }
constexpr bool IsHexDigit(char c) {
  return IsAsciiDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}
/// "A" to "Z" as "a" to "z"; any other byte as it is.
constexpr char ToLowerAscii(char c) {
  return static_cast<char>(c + (static_cast<unsigned char>(c - 'A') < 26 ? 32 : 0));
}

/// A character reference's number with one more digit (of `base`, the
/// digit checked already): it stops growing past the last character.
constexpr uint32_t WithDigit(uint32_t number, uint32_t base, char digit) {
  if (number > 0x10FFFF) return number;
  return number * base +
         static_cast<uint32_t>(IsAsciiDigit(digit) ? digit - '0' : ToLowerAscii(digit) - 'a' + 10);
}

/// Longest tag or attribute name kept.
inline constexpr size_t kMaxTagNameLength = 32;

/// Bytes that end a name: bit 1 a tag's, bit 2 an attribute's.
inline constexpr std::array<uint8_t, 256> kNameEnds = [] {
  std::array<uint8_t, 256> ends{};
  for (int c = 0; c < 256; c++) {
    if (IsTagSpace(static_cast<char>(c)) || c == '/' || c == '>') ends[c] = 3;
    if (c == '=') ends[c] = 2;
  }
  return ends;
}();

/// The length of the name at the start of `text`: up to whitespace, "/" or
/// ">", and for an attribute's name "=". At least 1: the caller has seen that
/// the first character belongs to the name.
inline size_t NameLength(std::string_view text, bool attribute) {
  const uint8_t bit = attribute ? 2 : 1;
  size_t length = 1;
  while (length < text.size() && !(kNameEnds[static_cast<unsigned char>(text[length])] & bit))
    length++;
  return length;
}

/// True when an attribute's name, in any case, is one of those whose value
/// is kept: the same as lower-casing it and checking the kept names.
inline bool IsKeptAttributeName(std::string_view name) {
  // Lower-cased, one of href, alt, start and value: four or fewer bytes
  // compared at once, and "start" and "value" by their last four.
  const auto word = [&](size_t from) {
    uint32_t bytes;
    std::memcpy(&bytes, name.data() + from, 4);
    return bytes | 0x20202020u;  // a-z and A-Z alike; other bytes cannot match then
  };
  const auto text = [](const char* four) {
    uint32_t bytes;
    std::memcpy(&bytes, four, 4);
    return bytes;
  };
  switch (name.size()) {
    case 3:
      return (name[0] | 0x20) == 'a' && (name[1] | 0x20) == 'l' && (name[2] | 0x20) == 't';
    case 4:
      return word(0) == text("href");
    case 5:
      return (word(0) == text("star") && (name[4] | 0x20) == 't') ||
             (word(0) == text("valu") && (name[4] | 0x20) == 'e');
    default:
      return false;
  }
}

/// Appends `text` lower-cased to a name, up to the length kept.
inline void AppendLowerCase(std::string_view text, ByteBuffer* name) {
  text = text.substr(0, kMaxTagNameLength - std::min(kMaxTagNameLength, name->size()));
  char* out = name->Reserve(text.size() + 8);
  size_t at = 0;
  // Eight bytes at a time: each byte from "A" to "Z" gains its 0x20 bit. The
  // sums stay within their bytes; bytes of 0x80 and above are left out.
  for (; at + 8 <= text.size(); at += 8, out += 8) {
    constexpr uint64_t kOnes = 0x0101010101010101u;
    uint64_t bytes;
    std::memcpy(&bytes, text.data() + at, 8);
    const uint64_t low = bytes & (0x7F * kOnes);
    const uint64_t upper =
        (low + (0x80 - 'A') * kOnes) & ~(low + (0x80 - 'Z' - 1) * kOnes) & ~bytes & (0x80 * kOnes);
    bytes |= upper >> 2;
    std::memcpy(out, &bytes, 8);
  }
  for (; at < text.size(); at++) {
    const char c = text[at];
    *out++ = ToLowerAscii(c);
  }
  name->Commit(out);
}

/// Empties the tag for a new one: a start tag, or an end tag when `end`.
/// The strings keep their room from tag to tag.
inline void ResetTag(TagToken* tag, bool end) {
  tag->end = end;
  tag->self_closing = false;
  tag->name.clear();
  tag->attribute_name.clear();
  tag->attribute_value.clear();
  tag->keeping_value = false;
  tag->href.clear();
  tag->alt.clear();
  tag->start.clear();
  tag->value.clear();
  tag->has_href = false;
}

/// The attribute's name is complete: its value is kept if it is one of those
/// used.
void NameComplete(TagToken* tag);

/// Appends bytes of an attribute's value, when the attribute is kept, up to
/// its cap; a character already begun is finished.
void AppendToValue(TagToken* tag, std::string_view bytes);

/// Stores a kept attribute's value in its slot, unless the tag already had
/// one of that name (the first counts).
void StoreKeptValue(TagToken* tag);

/// Ends the attribute being read: a kept one's value is stored.
inline void EndAttribute(TagToken* tag) {
  if (tag->keeping_value) StoreKeptValue(tag);
  tag->attribute_name.clear();
  tag->attribute_value.clear();
  tag->keeping_value = false;
}

}  // namespace qln::detail

#endif  // QLN_ENGINE_MODERN_TOKEN_H_
