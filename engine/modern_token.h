// The tag a modern tokenizer reads: its name, and the values of the few
// attributes the conversion uses, built up a piece at a time. Shared by the
// tokenizer's states and the block tokenizer, which reads whole tags.
#ifndef QLN_ENGINE_MODERN_TOKEN_H_
#define QLN_ENGINE_MODERN_TOKEN_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "modern_state.h"

namespace qln::detail {

/// HTML's whitespace between attributes: tab, LF, FF and space (CR is gone).
constexpr bool IsTagSpace(char c) { return c == '\t' || c == '\n' || c == '\f' || c == ' '; }
constexpr bool IsAsciiAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }

/// The length of the name at the start of `text`: up to whitespace, "/" or
/// ">", and for an attribute's name "=". At least 1: the caller has seen that
/// the first character belongs to the name.
size_t NameLength(std::string_view text, bool attribute);

/// True when an attribute's name, in any case, is one of those whose value
/// is kept: the same as lower-casing it and checking the kept names.
bool IsKeptAttributeName(std::string_view name);

/// Appends `text` lower-cased to a name, up to the length kept.
void AppendLowerCase(std::string_view text, ByteBuffer* name);

/// Empties the tag for a new one: a start tag, or an end tag when `end`.
/// The strings keep their room from tag to tag.
void ResetTag(TagToken* tag, bool end);

/// The attribute's name is complete: its value is kept if it is one of those
/// used.
void NameComplete(TagToken* tag);

/// Appends bytes of an attribute's value, when the attribute is kept, up to
/// its cap; a character already begun is finished.
void AppendToValue(TagToken* tag, std::string_view bytes);

/// Ends the attribute being read: a kept one's value is stored, unless the
/// tag already had one of that name (the first counts).
void EndAttribute(TagToken* tag);

}  // namespace qln::detail

#endif  // QLN_ENGINE_MODERN_TOKEN_H_
