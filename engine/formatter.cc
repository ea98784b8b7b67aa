// The line formatter: places one word at a time on output lines.
#include "formatter.h"

namespace qln::detail {
namespace {

constexpr uint32_t kUnderlineBits = UnderlineDouble | UnderlineSingle;

int64_t IndentThreshold(const ConversionState& state, const RunSettings& settings) {
  return (state.FormatFlags & NoIndent) ? 0 : settings.LeftMargin;
}

/// Appends the line end of the state's mode, one character at a time: cheaper
/// than a copy for one or two characters.
void AppendNewline(const ConversionState& state, ByteBuffer* output) {
  if (state.CrLfMode) output->push_back('\r');
  output->push_back('\n');
}

/// Appends `count` spaces; a margin is short, so most come from one constant.
void AppendSpaces(int64_t count, ByteBuffer* output) {
  constexpr std::string_view kSpaces = "                                ";
  if (count <= static_cast<int64_t>(kSpaces.size()))
    output->append(kSpaces.data(), static_cast<size_t>(count));
  else
    output->append(static_cast<size_t>(count), ' ');
}

/// Ends the current line; under a heading bit the line gets its underline.
void EndLine(ConversionState* state, ByteBuffer* output) {
  AppendNewline(*state, output);
  if (state->FormatFlags & kUnderlineBits) AppendUnderline(*state, state->LineColumn, output);
  state->LineColumn = 0;
}

/// Steps 3 and 4 of placing a word: the line ends asked for after it.
void EndLinesAfter(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  if (state->FormatFlags & EndLineAfter) {
    if (state->LineColumn > IndentThreshold(*state, settings)) EndLine(state, output);
    state->FormatFlags &= ~EndLineAfter;
  }
  if (state->FormatFlags & NewLineAfter) {
    AppendNewline(*state, output);
    state->LineColumn = 0;
    state->FormatFlags &= ~NewLineAfter;
  }
}

}  // namespace

void PlaceWord(ConversionState* state, const RunSettings& settings, int64_t n, ByteBuffer* output) {
  // The right limit is RightMargin - LeftMargin; at column 0 a long word
  // still gets a line end first.
  if (n + state->LineColumn >= settings.RightMargin - settings.LeftMargin) EndLine(state, output);
  // Below the indent threshold only the margin can be missing (the threshold
  // is 0 under NoIndent); above it the word needs its separator.
  const int64_t threshold = IndentThreshold(*state, settings);
  if (state->LineColumn < threshold) {
    AppendSpaces(threshold - state->LineColumn, output);
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

void EndLineWithUnderline(ConversionState* state, ByteBuffer* output) { EndLine(state, output); }

void AppendUnderline(const ConversionState& state, int64_t count, ByteBuffer* output) {
  if (count > 0) output->append(count, (state.FormatFlags & UnderlineDouble) ? '=' : '-');
  AppendNewline(state, output);
}

void EmitWord(ConversionState* state, const RunSettings& settings, std::string_view word,
              ByteBuffer* output) {
  if (!(state->FormatFlags & Preformatted)) {
    // Usually the word begins with the one whitespace character that ended
    // the word before it.
    if (!word.empty() && IsWhitespace(word[0])) {
      word.remove_prefix(1);
      while (!word.empty() && IsWhitespace(word[0])) word.remove_prefix(1);
    }
    if (!word.empty()) {
      const auto n = static_cast<int64_t>(word.size());
      if (PlacesAfterOneSpace(*state, settings) &&
          state->LineColumn + n < settings.RightMargin - settings.LeftMargin) {
        // The usual case, written in one step: a space and the word.
        char* out = output->Reserve(word.size() + 1);
        *out = ' ';
        CopyBytes(out + 1, word.data(), word.size());
        output->Commit(out + 1 + word.size());
        state->LineColumn += n + 1;
        state->SentenceEnded = EndsSentence(word);
        return;  // no line end was asked for
      }
      PlaceWord(state, settings, n, output);
      state->SentenceEnded = EndsSentence(word);
    }
  }
  if (!word.empty()) {
    output->append(word);
    state->LineColumn += static_cast<int64_t>(word.size());
  }
  if (state->FormatFlags & (EndLineAfter | NewLineAfter)) EndLinesAfter(state, settings, output);
}

}  // namespace qln::detail
