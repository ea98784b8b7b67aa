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

/// True when the UTF-8 text `value` ends inside a character: its last lead
/// byte asks for more continuation bytes than follow it.
bool EndsInsideCharacter(const ByteBuffer& value) {
  size_t continuations = 0;
  for (size_t i = value.size(); i > 0 && continuations < 3; i--) {
    const auto byte = static_cast<unsigned char>(value[i - 1]);
    if ((byte & 0xC0) != 0x80) {
      const size_t wanted = byte >= 0xF0 ? 3 : byte >= 0xE0 ? 2 : byte >= 0xC0 ? 1 : 0;
      return continuations < wanted;
    }
    continuations++;
  }
  return false;
}

}  // namespace

void NameComplete(TagToken* tag) { tag->keeping_value = IsKeptAttribute(tag->attribute_name); }

void AppendToValue(TagToken* tag, std::string_view bytes) {
  if (!tag->keeping_value) return;
  ByteBuffer& value = tag->attribute_value;
  if (value.size() + bytes.size() <= kMaxValueLength) {
    value.append(bytes);
    return;
  }
  // Cut at the length limit, but never inside a character: the one that
  // crosses the limit is kept whole, and nothing after it.
  for (char c : bytes) {
    const bool continues = (static_cast<unsigned char>(c) & 0xC0) == 0x80;
    if (value.size() >= kMaxValueLength && !(continues && EndsInsideCharacter(value))) return;
    value.push_back(c);
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
