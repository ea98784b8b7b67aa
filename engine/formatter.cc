// The line formatter: places one word at a time on output lines.
#include "engine/formatter.h"

namespace {

constexpr uint32_t kUnderlineBits = UnderlineDouble | UnderlineSingle;

int64_t IndentThreshold(const ConversionState& state, const Settings& settings) {
  return (state.FormatFlags & NoIndent) ? 0 : settings.LeftMargin;
}

/// Ends the current line; under a heading bit the line gets its underline.
void EndLine(ConversionState* state, std::string* output) {
  output->append(NewlineText(*state));
  if (state->FormatFlags & kUnderlineBits)
    AppendUnderline(*state, state->LineColumn, output);
  state->LineColumn = 0;
}

/// Wrap, indent and separate before a non-empty word of `n` characters.
void PlaceWord(ConversionState* state, const Settings& settings, int64_t n,
               std::string* output) {
  // The right limit is RightMargin - LeftMargin; at column 0 a long word
  // still gets a line end first.
  if (n + state->LineColumn >= settings.RightMargin - settings.LeftMargin)
    EndLine(state, output);
  // Below the indent threshold only the margin can be missing (the threshold
  // is 0 under NoIndent); above it the word needs its separator.
  const int64_t threshold = IndentThreshold(*state, settings);
  if (state->LineColumn < threshold) {
    output->append(threshold - state->LineColumn, ' ');
    state->LineColumn = threshold;
  } else if (state->LineColumn > threshold) {
    if (settings.Space2AfterPeriod && state->SentenceEnded) {
      output->push_back(' ');
      state->LineColumn++;
    }
    output->push_back(' ');
    state->LineColumn++;
  }
}

/// Steps 3 and 4 of placing a word: the line ends asked for after it.
void EndLinesAfter(ConversionState* state, const Settings& settings,
                   std::string* output) {
  if (state->FormatFlags & EndLineAfter) {
    if (state->LineColumn > IndentThreshold(*state, settings)) EndLine(state, output);
    state->FormatFlags &= ~EndLineAfter;
  }
  if (state->FormatFlags & NewLineAfter) {
    output->append(NewlineText(*state));
    state->LineColumn = 0;
    state->FormatFlags &= ~NewLineAfter;
  }
}

}  // namespace

void AppendUnderline(const ConversionState& state, int64_t count,
                     std::string* output) {
  if (count > 0)
    output->append(count, (state.FormatFlags & UnderlineDouble) ? '=' : '-');
  output->append(NewlineText(state));
}

void EmitWord(ConversionState* state, const Settings& settings,
              std::string_view word, std::string* output) {
  if (!(state->FormatFlags & Preformatted)) {
    size_t start = 0;
    while (start < word.size() && IsWhitespace(word[start])) start++;
    word.remove_prefix(start);
    if (!word.empty()) {
      PlaceWord(state, settings, static_cast<int64_t>(word.size()), output);
      state->SentenceEnded = EndsSentence(word);
    }
  }
  if (!word.empty()) {
    output->append(word);
    state->LineColumn += static_cast<int64_t>(word.size());
  }
  if (state->FormatFlags & (EndLineAfter | NewLineAfter))
    EndLinesAfter(state, settings, output);
}
