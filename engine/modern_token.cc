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

void StoreKeptValue(TagToken* tag) {
  {
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
}

}  // namespace qln::detail
