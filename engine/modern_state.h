// All state of one conversion in the modern profile: the input's reading, the
// HTML tokenizer, what the markup around the text is, the layout of the
// output lines, and the links. Like the classic state, it carries over from
// one piece of input to the next, so that cutting never changes the output.
#ifndef QLN_ENGINE_MODERN_STATE_H_
#define QLN_ENGINE_MODERN_STATE_H_

#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "byte_buffer.h"
#include "conversion_state.h"

namespace qln::detail {

/// The tokenizer's states, as HTML names them (fewer: doctypes, CDATA and
/// processing instructions are read as bogus comments; script text, which is
/// never shown, is only read for where it ends).
enum class TokenizerState : uint8_t {
  kData,
  kTextOnly,  ///< title, textarea (references decoded), script, style (not)
  kTextOnlyLessThan,
  kTextOnlyEndTagOpen,
  kTextOnlyEndTagName,
  // Script text within "<!--" and "-->", where a "<script>" nested in it
  // keeps the next "</script>" from ending the script (ScriptEscape says
  // which of the two the text is in).
  kScriptEscapeStart,
  kScriptEscapeStartDash,
  kScriptEscaped,
  kScriptEscapedDash,
  kScriptEscapedDashDash,
  kScriptEscapedLessThan,
  kScriptEscapeName,
  kTagOpen,
  kEndTagOpen,
  kTagName,
  kBeforeAttributeName,
  kAttributeName,
  kAfterAttributeName,
  kBeforeAttributeValue,
  kAttributeValueDoubleQuoted,
  kAttributeValueSingleQuoted,
  kAttributeValueUnquoted,
  kAfterAttributeValueQuoted,
  kSelfClosingStartTag,
  kBogusComment,
  kMarkupDeclarationOpen,
  kMarkupDeclarationDash,
  kCommentStart,
  kCommentStartDash,
  kComment,
  kCommentEndDash,
  kCommentEnd,
  kCommentEndBang,
  kCharacterReference,
  kNamedCharacterReference,
  kNumericCharacterReference,
  kHexadecimalStart,
  kDecimalDigits,
  kHexadecimalDigits,
};

/// The tag being read. Only the attributes the conversion uses are kept.
struct TagToken {
  bool end = false;
  bool self_closing = false;
  ByteBuffer name;  ///< lower-cased, at most kMaxNameLength bytes
  ByteBuffer attribute_name;
  ByteBuffer attribute_value;
  bool keeping_value = false;  ///< the attribute being read is one of those kept
  ByteBuffer href, alt, start, value;
  bool has_href = false;

  bool operator==(const TagToken&) const = default;
};

/// A list being laid out.
struct ListLevel {
  bool ordered = false;
  int64_t next_number = 1;
  int64_t marker_column = 0;
  int64_t text_column = 0;
  /// Opened by an item outside any list: it ends with that item.
  bool stray = false;

  bool operator==(const ListLevel&) const = default;
};

/// Where a break of lines is owed before the next text.
enum class LineBreak : uint8_t { kNone, kLine, kBlankLine };

struct ModernState {
  // Reading the input.
  /// Bytes at the end of the last piece that may begin a UTF-8 sequence.
  std::string held_bytes;
  /// The input so far ends with a CR: a LF right after it belongs to it.
  bool after_cr = false;
  /// Nothing has been read yet: a byte-order mark here is dropped.
  bool at_input_start = true;

  // The tokenizer.
  TokenizerState state = TokenizerState::kData;
  /// The state a character reference returns to.
  TokenizerState return_state = TokenizerState::kData;
  TagToken tag;
  /// What a character reference or a text-only end tag has read so far.
  std::string buffer;
  uint32_t reference_number = 0;
  /// Text-only content: the end tag that ends it, and whether references in
  /// it are decoded.
  std::string text_only_end;
  bool text_only_decodes = false;
  bool text_only_kept = false;  ///< textarea's text shows; the others' does not
  /// Script text within "<!--": escaped, or double escaped after a
  /// "<script" in it, until its "</script".
  enum class ScriptEscape : uint8_t { kNone, kEscaped, kDoubleEscaped };
  ScriptEscape script_escape = ScriptEscape::kNone;

  // The markup around the text.
  bool in_head = true;          ///< no content yet: the head holds what comes
  bool in_body = false;         ///< the body has begun: no head any more
  int64_t dropped_depth = 0;    ///< inside template, script, style or title
  bool in_paragraph = false;    ///< a p is open: the next block ends it
  int64_t heading = 0;          ///< 1 to 6 inside a heading
  int64_t preformatted = 0;     ///< inside pre (nested ones count)
  bool skip_line_feed = false;  ///< a line feed right after <pre> is dropped
  bool in_definition_term = false;
  bool in_definition = false;
  std::vector<ListLevel> lists;
  /// Lists open beyond the deepest level kept, which lay out as that level.
  int64_t lists_past_depth = 0;
  bool row_has_cell = false;
  /// Elements of emphasis open, by mark ("**", "~", "_"): an end tag with
  /// none open writes nothing.
  std::array<int64_t, 3> open_marks{};
  bool link_open = false;
  bool link_awaits_text = false;  ///< a link is open and has shown no text yet
  ByteBuffer href;

  // The layout.
  ByteBuffer word;         ///< the pending word, UTF-8
  int64_t word_width = 0;  ///< its columns
  /// Where its last non-breaking space is (npos for none), and the columns
  /// before it: a word too long for the word limit breaks there first.
  size_t word_space_at = std::string::npos;
  int64_t word_space_width = 0;
  bool word_glued = false;  ///< it joins the text before it without a space
  /// It holds nothing but the marks of emphasis that open before a word: it
  /// waits for that word, across whitespace.
  bool word_only_marks = false;
  /// Bytes of opening marks at the end of a word that holds text before them
  /// ("a**" from "a<b>"): when the word ends, they go on to the next one.
  size_t word_open_marks = 0;
  /// A form control stood after the pending word: text that follows at once
  /// may begin a word of its own.
  bool word_break_owed = false;
  /// The output ends with the last word placed: a closing mark or a link's
  /// number, when no word is pending, joins it there.
  bool after_word = false;
  bool glue_next = false;  ///< the next word does (after a wide character)
  bool cell_gap = false;   ///< the next word on the line is a new cell
  int64_t column = 0;      ///< columns written on the current line
  bool line_has_text = false;
  bool sentence_ended = false;
  LineBreak pending_break = LineBreak::kNone;
  bool wrote_text = false;       ///< anything has been written
  bool last_line_blank = false;  ///< the last line ended was empty
  /// A list marker, a definition term or a cell has just begun: a block that
  /// opens now adds no break.
  bool item_start = false;

  UrlList urls;

  bool operator==(const ModernState&) const = default;
};

}  // namespace qln::detail

#endif  // QLN_ENGINE_MODERN_STATE_H_
