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
/// bytes, one each from the lowest.
constexpr size_t kMaxNameLength = 7;
constexpr uint64_t NameBytes(std::string_view text) {
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
  return bytes;
}

constexpr uint64_t kNameOnes = 0x0101010101010101u;

/// The key of a tag text of `n` bytes (at most kMaxNameLength) that
/// NameBytes gives as `bytes`: each byte without its 0x20 bit, and the
/// length in the top byte. The two cases of a letter have one key; so have
/// a digit or "/" and the control character 0x20 below it, which a name
/// never holds (HasControlByte tells them apart).
constexpr uint64_t NameKey(uint64_t bytes, size_t n) {
  return (bytes & ~(0x20 * kNameOnes)) | uint64_t{n} << 56;
}
constexpr uint64_t NameKey(std::string_view text) { return NameKey(NameBytes(text), text.size()); }

/// True when one of the `n` bytes in `bytes` is below 0x20. (The bytes past
/// the text count as spaces. Taking 0x20 from every byte at once borrows
/// first at the lowest byte below 0x20, whose top bit then turns on; a byte
/// of 0x80 and above, whose top bit is on already, is left out.)
constexpr bool HasControlByte(uint64_t bytes, size_t n) {
  const uint64_t past = ~uint64_t{0} << (8 * n);
  const uint64_t padded = bytes | (0x20 * kNameOnes & past);
  return ((padded - 0x20 * kNameOnes) & ~padded & 0x80 * kNameOnes) != 0;
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
  return static_cast<size_t>((key * 0xEB8AC8CE8A245E6Bu) >> (64 - kIndexBits));
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
