// All conversion state of one run: formatter position and flags, the scanner's
// pending word, tag and reference, and the link list. Never reset between chunks.
#ifndef QLN_ENGINE_CONVERSION_STATE_H_
#define QLN_ENGINE_CONVERSION_STATE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "byte_buffer.h"

namespace qln::detail {

/// Bits of ConversionState::FormatFlags. Tag actions and the scanner set them;
/// EmitWord consumes them. (Bit 0x08 is unused.)
enum FormatFlag : uint32_t {
  NewLineAfter = 0x01,     ///< after the next word, always end the line
  EndLineAfter = 0x02,     ///< after the next word, end the line if it holds text
  NoIndent = 0x04,         ///< no left margin; the indent threshold is 0
  UnderlineDouble = 0x10,  ///< underline every line end of a heading with "="
  UnderlineSingle = 0x20,  ///< the same with "-" when UnderlineDouble is clear
  InHead = 0x40,           ///< head or title text: the scanner discards words
  Preformatted = 0x80,     ///< words are written verbatim
};

/// The distinct link targets in order of first use, plus an index for
/// look-ups. A target's number is its position plus 1. The targets are kept
/// back to back in one text, so a million links cost little more than their
/// characters.
struct UrlList {
  /// All targets' characters, in order.
  std::string text;
  /// Where each target ends in `text`; target i starts where i - 1 ends.
  std::vector<size_t> ends;
  /// Open-addressing hash index, at most three quarters full: per slot the target's
  /// hash in the high 32 bits and its position plus 1 in the low 32 bits;
  /// 0 marks an empty slot. Its size is 0 or a power of two.
  std::vector<uint64_t> slots;

  bool operator==(const UrlList&) const = default;
};

/// Longest tag text kept; characters beyond it are dropped.
inline constexpr size_t kMaxTagLength = 3071;
/// Longest character reference collected before it is given up.
inline constexpr size_t kMaxEntityLength = 7;
/// Longest link target kept; a longer one is cut there.
inline constexpr size_t kMaxHrefLength = 1023;

struct ConversionState {
  // Formatter.
  /// Characters appended since the last line end the formatter itself wrote.
  /// 64 bits: line ends inside preformatted words do not reset it, so a long
  /// preformatted input could push a 32-bit column past its range.
  int64_t LineColumn = 0;
  /// The last word placed outside preformatted mode ended a sentence.
  bool SentenceEnded = false;
  /// Line ends are "\r\n" when set (clipboard mode), "\n" otherwise.
  bool CrLfMode = false;
  /// FormatFlag bits steering the next placement.
  uint32_t FormatFlags = 0;

  // Scanner.
  /// The pending word; its size is the write position. Its first character is
  /// normally the whitespace that ended the previous word.
  ByteBuffer WordBuffer;
  /// Text between "<" and ">" while TagOpen, at most kMaxTagLength characters.
  ByteBuffer TagBuffer;
  bool TagOpen = false;
  /// Text after "&" while EntityOpen, at most kMaxEntityLength characters.
  ByteBuffer EntityBuffer;
  bool EntityOpen = false;
  /// The open reference was opened inside a tag and so belongs to it: if the
  /// tag ends first, or the reference gives up, its text goes back to the tag.
  bool EntityInTag = false;
  /// A carriage return ended the previous piece in CrLfMode and was kept as a
  /// line end; a line feed opening the next piece belongs to it.
  bool CrEndedPiece = false;
  /// The last byte of a piece that its chunk went on after, when that byte
  /// would have acted otherwise as the chunk's last byte. If the chunk then
  /// ends before the next piece has a byte of its own (an empty piece, or one
  /// that opens with a zero byte), the byte was the chunk's last after all.
  enum class ContinuedByte : uint8_t {
    kNone,
    kWordCharacter,  ///< joined the word; as the last byte it also emits it
    kLineFeed,       ///< ended the word; as the last byte it also ends the line
  };
  ContinuedByte PieceEndedWith = ContinuedByte::kNone;

  // Links.
  /// Target of the last anchor with a quoted HREF, until a closing anchor uses it.
  ByteBuffer HrefBuffer;
  UrlList Urls;

  /// Reserves the buffers' usual sizes so a run does no allocation per word.
  ConversionState() {
    WordBuffer.reserve(128);
    TagBuffer.reserve(256);
    EntityBuffer.reserve(kMaxEntityLength);
  }

  /// Equal states convert the rest of any input alike.
  bool operator==(const ConversionState&) const = default;
};

/// The line end the engine writes in this state's mode.
inline std::string_view NewlineText(const ConversionState& state) {
  return state.CrLfMode ? std::string_view("\r\n", 2) : std::string_view("\n", 1);
}

}  // namespace qln::detail

#endif  // QLN_ENGINE_CONVERSION_STATE_H_
