// The line formatter: places one word at a time on output lines, with the left
// margin, separating spaces, wrapping, line ends and heading underlines.
#ifndef QLN_ENGINE_FORMATTER_H_
#define QLN_ENGINE_FORMATTER_H_

#include <cstdint>
#include <string>
#include <string_view>

#include "byte_buffer.h"
#include "byte_classes.h"
#include "conversion_state.h"
#include "run_settings.h"

namespace qln::detail {

/// True when `word` is empty or one whitespace character: outside
/// preformatted text the formatter writes nothing for it.
inline bool IsBlankWord(std::string_view word) {
  return word.empty() || (word.size() == 1 && IsWhitespace(static_cast<unsigned char>(word[0])));
}

/// Places `word` (possibly empty, possibly starting with whitespace) by the
/// state's FormatFlags and appends it to `output`: margin, separator, the word,
/// then the line ends that EndLineAfter and NewLineAfter ask for, clearing them.
/// In preformatted mode the word is written verbatim.
void EmitWord(ConversionState* state, const RunSettings& settings, std::string_view word,
              ByteBuffer* output);

/// True when EmitWord would neither write nor change anything for `word`:
/// nothing or a single whitespace character, outside preformatted text, with
/// no line end asked for. Saves callers a call for the commonest pending word.
inline bool EmitsNothing(const ConversionState& state, std::string_view word) {
  return !(state.FormatFlags & (Preformatted | EndLineAfter | NewLineAfter)) && IsBlankWord(word);
}

/// True when `word` (non-empty) ends a sentence: its last character, or the
/// one before a closing double quote, is ".", ":", "!" or "?".
inline bool EndsSentence(std::string_view word) {
  unsigned char last = word.back();
  if (last == '"' && word.size() > 1) last = word[word.size() - 2];
  // ".", ":", "!" and "?" all lie below 64: one bit each.
  constexpr uint64_t kEnds =
      uint64_t{1} << '.' | uint64_t{1} << ':' | uint64_t{1} << '!' | uint64_t{1} << '?';
  return last < 64 && (kEnds >> last) & 1;
}

/// True when EmitWord would now write a non-empty word without leading
/// whitespace as nothing but one space and the word, as long as it fits on
/// the line (its end stays before column RightMargin - LeftMargin): no line
/// end asked for, not preformatted, the line begun, no second space owed
/// after a sentence. Placing it then moves only the column (by the word and
/// its space) and the sentence flag.
inline bool PlacesAfterOneSpace(const ConversionState& state, const RunSettings& settings) {
  const int64_t threshold = (state.FormatFlags & NoIndent) ? 0 : settings.LeftMargin;
  return !(state.FormatFlags & (Preformatted | EndLineAfter | NewLineAfter)) &&
         state.LineColumn > threshold && !(settings.Space2AfterPeriod && state.SentenceEnded);
}

/// The part of EmitWord before a non-empty word of `n` characters, outside
/// preformatted text: the line end when it would reach the right limit,
/// then the margin, or the space (two after a sentence, when asked) that
/// separates it from the word before.
void PlaceWord(ConversionState* state, const RunSettings& settings, int64_t n, ByteBuffer* output);

/// Ends the current line: the line end, and under a heading bit the
/// line's underline; the column goes back to 0.
void EndLineWithUnderline(ConversionState* state, ByteBuffer* output);

/// Appends `count` underline characters ("=" under UnderlineDouble, "-"
/// otherwise), then the line end.
void AppendUnderline(const ConversionState& state, int64_t count, ByteBuffer* output);

}  // namespace qln::detail

#endif  // QLN_ENGINE_FORMATTER_H_
