// Characters for the modern profile, over the generated tables.
#include "unicode.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <iterator>

namespace qln::detail {
namespace {

struct CodeRange {
  char32_t first;
  char32_t last;
};

#include "tables/char_widths.inc"

constexpr char32_t kWindows1252[32] = {
#include "tables/windows_1252.inc"
};

constexpr NamedReference kNamedReferences[] = {
#include "tables/named_references.inc"
};

/// The names in an open-addressing hash table of their positions (plus one;
/// 0 is an empty slot), built when the program is compiled: a name is then
/// found with one hash and, mostly, one comparison.
constexpr size_t kNameSlots = 8192;
static_assert(std::size(kNamedReferences) < kNameSlots / 2);

constexpr uint32_t NameHash(std::string_view name) {
  uint32_t hash = 2166136261u;  // FNV-1a
  for (char c : name) hash = (hash ^ static_cast<unsigned char>(c)) * 16777619u;
  return hash;
}

constexpr auto kNameIndex = [] {
  std::array<uint16_t, kNameSlots> slots{};
  for (size_t i = 0; i < std::size(kNamedReferences); i++) {
    size_t slot = NameHash(kNamedReferences[i].name) % kNameSlots;
    while (slots[slot] != 0) slot = (slot + 1) % kNameSlots;
    slots[slot] = static_cast<uint16_t>(i + 1);
  }
  return slots;
}();

}  // namespace

const NamedReference* FindNamedReference(std::string_view name) {
  for (size_t slot = NameHash(name) % kNameSlots; kNameIndex[slot] != 0;
       slot = (slot + 1) % kNameSlots) {
    const NamedReference& reference = kNamedReferences[kNameIndex[slot] - 1];
    if (reference.name == name) return &reference;
  }
  return nullptr;
}

namespace {

bool InRanges(const CodeRange* begin, const CodeRange* end, char32_t code) {
  const CodeRange* found = std::upper_bound(
      begin, end, code, [](char32_t value, const CodeRange& range) { return value < range.first; });
  return found != begin && code <= std::prev(found)->last;
}

bool IsContinuation(unsigned char byte) { return (byte & 0xC0) == 0x80; }

/// The range the second byte of a sequence must lie in, for lead byte `lead`
/// (so that no sequence is overlong, a surrogate or past U+10FFFF), and the
/// sequence's length; 0 when `lead` starts none.
size_t SequenceFor(unsigned char lead, unsigned char* low, unsigned char* high) {
  *low = 0x80;
  *high = 0xBF;
  if (lead >= 0xC2 && lead <= 0xDF) return 2;
  if (lead >= 0xE0 && lead <= 0xEF) {
    if (lead == 0xE0) *low = 0xA0;
    if (lead == 0xED) *high = 0x9F;
    return 3;
  }
  if (lead >= 0xF0 && lead <= 0xF4) {
    if (lead == 0xF0) *low = 0x90;
    if (lead == 0xF4) *high = 0x8F;
    return 4;
  }
  return 0;
}

}  // namespace

size_t DecodeUtf8(std::string_view bytes, char32_t* code) {
  const unsigned char lead = static_cast<unsigned char>(bytes[0]);
  if (lead < 0x80) {
    *code = lead;
    return 1;
  }
  unsigned char low, high;
  const size_t length = SequenceFor(lead, &low, &high);
  if (length == 0 || bytes.size() < length) return 0;
  const unsigned char second = static_cast<unsigned char>(bytes[1]);
  if (second < low || second > high) return 0;
  char32_t value = lead & (0x7F >> length);
  for (size_t i = 1; i < length; i++) {
    const unsigned char byte = static_cast<unsigned char>(bytes[i]);
    if (!IsContinuation(byte)) return 0;
    value = value << 6 | (byte & 0x3F);
  }
  *code = value;
  return length;
}

bool IsUtf8Prefix(std::string_view bytes) {
  unsigned char low, high;
  const size_t length = SequenceFor(static_cast<unsigned char>(bytes[0]), &low, &high);
  if (length <= bytes.size()) return false;
  if (bytes.size() >= 2) {
    const unsigned char second = static_cast<unsigned char>(bytes[1]);
    if (second < low || second > high) return false;
  }
  return bytes.size() < 3 || IsContinuation(static_cast<unsigned char>(bytes[2]));
}

char32_t Windows1252(uint8_t byte) { return byte >= 0xA0 ? byte : kWindows1252[byte - 0x80]; }

void AppendUtf8(char32_t code, std::string* out) {
  if (code < 0x80) {
    out->push_back(static_cast<char>(code));
  } else if (code < 0x800) {
    out->push_back(static_cast<char>(0xC0 | code >> 6));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else if (code < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | code >> 12));
    out->push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | code >> 18));
    out->push_back(static_cast<char>(0x80 | (code >> 12 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code >> 6 & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (code & 0x3F)));
  }
}

int CharWidth(char32_t code) {
  if (code < 0x300) return 1;
  if (InRanges(std::begin(kZeroWidth), std::end(kZeroWidth), code)) return 0;
  if (code >= 0x1100 && InRanges(std::begin(kDoubleWidth), std::end(kDoubleWidth), code)) return 2;
  return 1;
}

const NamedReference* LongestNamedReference(std::string_view text) {
  for (size_t length = std::min(text.size(), kLongestReferenceName + 1); length >= 2; length--)
    if (const NamedReference* found = FindNamedReference(text.substr(0, length))) return found;
  return nullptr;
}

}  // namespace qln::detail
