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

bool EndsSentence(std::string_view word) {
  unsigned char last = word.back();
  if (last == '"' && word.size() > 1) last = word[word.size() - 2];
  // ".", ":", "!" and "?" all lie below 64: one bit each.
  constexpr uint64_t kEnds = uint64_t{1} << '.' | uint64_t{1} << ':' |
                             uint64_t{1} << '!' | uint64_t{1} << '?';
  return last < 64 && (kEnds >> last) & 1;
}

/// Wrap, indent and separate before a non-empty word of `n` characters.
void PlaceWord(ConversionState* state, const Settings& settings,
               std::string_view word, std::string* output) {
  const int64_t n = static_cast<int64_t>(word.size());
  // The right limit is RightMargin - LeftMargin; at column 0 a long word
  // still gets a line end first.
  if (n + state->LineColumn >= settings.RightMargin - settings.LeftMargin)
    EndLine(state, output);
  if (!(state->FormatFlags & NoIndent) && state->LineColumn < settings.LeftMargin) {
    output->append(settings.LeftMargin - state->LineColumn, ' ');
    state->LineColumn = settings.LeftMargin;
  }
  if (state->LineColumn > IndentThreshold(*state, settings)) {
    if (settings.Space2AfterPeriod && state->SentenceEnded) {
      output->push_back(' ');
      state->LineColumn++;
      state->SentenceEnded = false;
    }
    output->push_back(' ');
    state->LineColumn++;
  }
  state->SentenceEnded = EndsSentence(word);
}

}  // namespace

bool PlaceAfterOneSpace(ConversionState* state, const Settings& settings,
                        std::string_view word) {
  const int64_t n = static_cast<int64_t>(word.size());
  if ((state->FormatFlags & (Preformatted | EndLineAfter | NewLineAfter)) ||
      state->LineColumn <= IndentThreshold(*state, settings) ||
      n + state->LineColumn >= settings.RightMargin - settings.LeftMargin ||
      (settings.Space2AfterPeriod && state->SentenceEnded))
    return false;
  state->LineColumn += n + 1;
  state->SentenceEnded = EndsSentence(word);
  return true;
}

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
    if (!word.empty()) PlaceWord(state, settings, word, output);
  }
  output->append(word);
  state->LineColumn += static_cast<int64_t>(word.size());

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
