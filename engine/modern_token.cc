// The tag a modern tokenizer reads, built up a piece at a time.
#include "modern_token.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>

namespace qln::detail {
namespace {

constexpr size_t kMaxValueLength = 4096;  // of an attribute value kept

/// The attributes whose values the conversion uses.
bool IsKeptAttribute(std::string_view name) {
  return name == "href" || name == "alt" || name == "start" || name == "value";
}

}  // namespace

bool IsKeptAttributeName(std::string_view name) {
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

void NameComplete(TagToken* tag) { tag->keeping_value = IsKeptAttribute(tag->attribute_name); }

void AppendToValue(TagToken* tag, std::string_view bytes) {
  if (!tag->keeping_value) return;
  if (tag->attribute_value.size() + bytes.size() <= kMaxValueLength) {
    tag->attribute_value.append(bytes);
    return;
  }
  for (char c : bytes) {
    const bool continues_a_character = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    if (tag->attribute_value.size() < kMaxValueLength || continues_a_character)
      tag->attribute_value.push_back(c);
  }
}

void EndAttribute(TagToken* tag) {
  if (tag->keeping_value) {
    ByteBuffer* slot = nullptr;
    if (tag->attribute_name == "href" && !tag->has_href) {
      slot = &tag->href;
      tag->has_href = true;
    } else if (tag->attribute_name == "alt" && tag->alt.empty()) {
      slot = &tag->alt;
    } else if (tag->attribute_name == "start" && tag->start.empty()) {
      slot = &tag->start;
    } else if (tag->attribute_name == "value" && tag->value.empty()) {
      slot = &tag->value;
    }
    if (slot) slot->swap(tag->attribute_value);
  }
  tag->attribute_name.clear();
  tag->attribute_value.clear();
  tag->keeping_value = false;
}

}  // namespace qln::detail
