// Tag names as numbers, and the index from a tag's whole text to its action.
// The lookup is inline so that the scanner's word-and-tag loop can use it.
#ifndef QLN_ENGINE_TAG_NAMES_H_
#define QLN_ENGINE_TAG_NAMES_H_

#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>
#include <type_traits>

#include "byte_buffer.h"
#include "conversion_state.h"
#include "run_settings.h"

namespace qln::detail {

/// What a tag that acts does.
using TagAction = void (*)(ConversionState* state, const RunSettings& settings, ByteBuffer* output);

/// A tag text of at most kMaxNameLength characters as one number: its
/// characters, upper-cased, one byte each from the lowest, and its length in
/// the top byte. Equal keys mean equal upper-cased texts.
constexpr size_t kMaxNameLength = 7;
constexpr uint64_t NameKey(std::string_view text) {
  const size_t n = text.size();
  uint64_t bytes = 0;
  if (std::is_constant_evaluated()) {
    for (size_t i = 0; i < n; i++)
      bytes |= uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
  } else if (n >= 4) {
    // Two loads of four bytes that overlap, rather than a byte at a time.
    uint32_t low, high;
    std::memcpy(&low, text.data(), 4);
    std::memcpy(&high, text.data() + n - 4, 4);
    bytes = low | uint64_t{high} << (8 * (n - 4));
  } else if (n > 0) {
    const auto at = [&](size_t i) {
      return uint64_t{static_cast<unsigned char>(text[i])} << (8 * i);
    };
    bytes = at(0) | at(n / 2) | at(n - 1);
  }
  // a-z to A-Z in all bytes at once: each byte from "a" to "z" loses its
  // 0x20 bit. The sums stay within their bytes; bytes of 0x80 and above,
  // whose low seven bits may look like a letter, are left out.
  constexpr uint64_t kOnes = 0x0101010101010101u;
  const uint64_t low_bits = bytes & (0x7F * kOnes);
  const uint64_t from_a = low_bits + (0x80 - 'a') * kOnes;
  const uint64_t past_z = low_bits + (0x80 - 'z' - 1) * kOnes;
  const uint64_t lower = from_a & ~past_z & ~bytes & (0x80 * kOnes);
  return (bytes ^ (lower >> 2)) | uint64_t{n} << 56;
}

struct KeyedAction {
  uint64_t key = 0;  // 0: an empty slot
  TagAction act = nullptr;
};

// The names in a hash table a few times larger than the table of names, with
// a multiplier under which each name has a slot of its own (found by trying
// odd numbers; tags.cc checks it when it builds the table). A lookup then
// reads one slot.
constexpr size_t kIndexBits = 7;
constexpr size_t SlotOf(uint64_t key) {
  return static_cast<size_t>((key * 0x8C3BA85923BC9153u) >> (64 - kIndexBits));
}
using TagIndex = std::array<KeyedAction, size_t{1} << kIndexBits>;
extern const TagIndex kTagIndex;  // filled from the table of names

/// The action for the tag text whose key is `key`, or nullptr. Upper-casing
/// the text outside quotes first would change nothing here: a text with a
/// quote matches no name.
inline TagAction FindTagAction(uint64_t key) {
  const KeyedAction& slot = kTagIndex[SlotOf(key)];
  return slot.key == key ? slot.act : nullptr;
}

}  // namespace qln::detail

#endif  // QLN_ENGINE_TAG_NAMES_H_
