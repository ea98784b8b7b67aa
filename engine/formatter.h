// The line formatter: places one word at a time on output lines, with the left
// margin, separating spaces, wrapping, line ends and heading underlines.
#ifndef QLN_ENGINE_FORMATTER_H_
#define QLN_ENGINE_FORMATTER_H_

#include <string>
#include <string_view>

#include "engine/conversion_state.h"
#include "engine/settings.h"

/// Places `word` (possibly empty, possibly starting with whitespace) by the
/// state's FormatFlags and appends it to `output`: margin, separator, the word,
/// then the line ends that EndLineAfter and NewLineAfter ask for, clearing them.
/// In preformatted mode the word is written verbatim.
void EmitWord(ConversionState* state, const Settings& settings,
              std::string_view word, std::string* output);

/// For a non-empty word without leading whitespace: when EmitWord would write
/// nothing but one space and the word (no line end asked for, not
/// preformatted, the line begun, room on it, no second space owed after a
/// sentence), moves the column and the sentence flag as EmitWord would and
/// returns true; the caller appends the space and the word. Otherwise changes
/// nothing and returns false. Lets a run of such words be written in one piece.
bool PlaceAfterOneSpace(ConversionState* state, const Settings& settings,
                        std::string_view word);

/// Appends `count` underline characters ("=" under UnderlineDouble, "-"
/// otherwise), then the line end.
void AppendUnderline(const ConversionState& state, int64_t count,
                     std::string* output);

/// True for the six whitespace characters: space, tab, LF, VT, FF and CR.
constexpr bool IsWhitespace(unsigned char c) {
  return c == ' ' || (c >= '\t' && c <= '\r');
}

#endif  // QLN_ENGINE_FORMATTER_H_
