// Characters for the modern profile: reading UTF-8 (with Windows-1252 for
// the bytes that are not), writing it, the columns a character takes on a
// terminal, and HTML's named character references.
#ifndef QLN_ENGINE_UNICODE_H_
#define QLN_ENGINE_UNICODE_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace qln::detail {

constexpr char32_t kReplacementCharacter = 0xFFFD;

/// The length of the complete, valid UTF-8 sequence at the start of `bytes`
/// (1 to 4), with its character in `*code`; 0 when the first byte does not
/// start one. A sequence cut short by the end of `bytes` counts as not
/// valid; IsUtf8Prefix tells it apart.
size_t DecodeUtf8(std::string_view bytes, char32_t* code);

/// True when `bytes` (1 to 3 of them) could begin a valid sequence that the
/// bytes after them would complete.
bool IsUtf8Prefix(std::string_view bytes);

/// The character Windows-1252 gives a byte of 0x80 or more: U+FFFD for the
/// five it leaves undefined.
char32_t Windows1252(uint8_t byte);

/// Appends `code` as UTF-8.
void AppendUtf8(char32_t code, std::string* out);

/// The columns a terminal shows `code` in: 0 for combining marks and other
/// zero-width characters, 2 for East Asian wide and fullwidth characters,
/// else 1.
int CharWidth(char32_t code);

/// A named character reference: its name as written after "&" (ending in
/// ";" where it has one) and its text in UTF-8.
struct NamedReference {
  std::string_view name;
  std::string_view text;
};

/// The named reference whose name is `name`, or nullptr.
const NamedReference* FindNamedReference(std::string_view name);

/// The longest named reference whose name begins `text`, or nullptr.
const NamedReference* LongestNamedReference(std::string_view text);

/// The length of the longest name of a named reference.
constexpr size_t kLongestReferenceName = 32;

}  // namespace qln::detail

#endif  // QLN_ENGINE_UNICODE_H_
