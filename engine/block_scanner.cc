// The block scanner. Each step takes as much as the ordered rules would take
// alike, byte after byte: a whole word, a stretch of words that go out as
// they stand, a whole tag, a whole reference, a run of tag text. What it
// cannot take so goes through the rules one byte at a time.
#include "block_scanner.h"

#include <algorithm>
#include <bit>

#include "blocks.h"
#include "byte_classes.h"
#include "formatter.h"
#include "kernels.h"
#include "scanner_rules.h"
#include "tags.h"

namespace qln::detail {
namespace {

using ClassicBlocks = Blocks<ClassicMasks>;

constexpr unsigned char kRightSingleQuote = 0x92;  // Windows-1252

// Rules 9 and 8 for the words after the space at `space`, as long as each is
// whole, ends at a single space and the formatter would write it as just a
// space and the word: then the words go out as they stand in the input, in
// one piece. Returns the position of the space after the last word taken
// (`space` when there is none); that space is the pending word.
size_t TakePlainWords(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                      const ClassicBlocks* blocks, size_t space, ByteBuffer* output) {
  const char* text = chunk.data();
  if (space + 1 == chunk.size() || !InClass(text[space + 1], kWordText) ||
      !PlacesAfterOneSpace(*state, settings))
    return space;
  // A word placed from column c after the space at `space` fits when
  // c + its length < RightMargin - LeftMargin; the column grows with the
  // words, so that is the same as: the space after it lies before `bound`.
  const int64_t bound_at = settings.RightMargin - settings.LeftMargin +
                           static_cast<int64_t>(space) + 1 - state->LineColumn;
  const size_t bound = bound_at > 0 ? static_cast<size_t>(bound_at) : 0;
  // Words of 1 to MaxWordLength - 2 characters are taken: a longer one would
  // be cut. Within the 64 bytes from a word's start only that word can be 63
  // long, so with the usual limits a whole stretch of words is judged at
  // once; otherwise, and when a sentence's end may owe the next word a second
  // space, one word at a time.
  if (settings.MaxWordLength < 3) return space;
  const size_t longest = static_cast<size_t>(settings.MaxWordLength) - 2;
  const bool one_at_a_time = longest < 62 || settings.Space2AfterPeriod;
  size_t last = space;
  size_t last_start = space;
  for (;;) {
    // The words from `window` on, read from the masks of their next 64 bytes;
    // past the piece's end every byte is a stop.
    const size_t window = last + 1;
    const uint64_t stops = blocks->From(window, &ClassicMasks::word_stops);
    const uint64_t spaces = blocks->From(window, &ClassicMasks::spaces);
    // A word that does not end at a space, an empty one, and one that would
    // not fit end the stretch.
    uint64_t ends = (stops & ~spaces) | (stops & (stops << 1 | 1));
    if (bound < window + 64)
      ends |= bound > window ? ~uint64_t{0} << (bound - window) : ~uint64_t{0};
    const int first_end = ends ? std::countr_zero(ends) : 64;
    uint64_t taken = first_end < 64 ? stops & ((uint64_t{1} << first_end) - 1) : stops;
    if (one_at_a_time) taken &= -taken;
    if (taken == 0) break;  // also 64 word bytes: longer than any word may be
    const size_t next = window + 63 - std::countl_zero(taken);
    const uint64_t before = taken & ~(uint64_t{1} << (next - window));
    const size_t start = before ? window + 64 - std::countl_zero(before) : window;
    if (next - start > longest) break;
    last_start = start;
    last = next;
    if (settings.Space2AfterPeriod && EndsSentence(chunk.substr(start, next - start))) break;
    if (first_end < 64 && !one_at_a_time) break;
  }
  if (last == space) return space;
  state->LineColumn += static_cast<int64_t>(last - space);
  state->SentenceEnded = EndsSentence(chunk.substr(last_start, last - last_start));
  output->append(chunk.substr(space, last - space));
  return last;
}

// Rules 9 and 8 (or 7) for the run of word characters at `at`, and, when a
// whitespace byte ends it, for that byte too. Returns the number of bytes taken.
//
// The commonest case goes straight from the input to the formatter: a word
// that fits, with nothing pending before it but whitespace, ended by
// whitespace (a line feed kept as a line end included). Emitting the pending
// word and the run together would write the same text (in preformatted text
// the pending whitespace is written first).
size_t TakeWord(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                const ClassicBlocks* blocks, size_t at, ChunkEnd end, ByteBuffer* output) {
  const char* text = chunk.data();
  const size_t after = blocks->Next(at, &ClassicMasks::word_stops);
  const size_t run = after - at;
  const size_t limit = static_cast<size_t>(settings.MaxWordLength) - 1;
  std::string& word = state->WordBuffer;
  if (after < chunk.size() && IsWhitespace(text[after]) && IsBlankWord(word) &&
      word.size() + run <= limit) {
    // A kept line end takes the word out with a line end after it; a
    // carriage return kept as one may take a line feed along, and is left to
    // the byte-by-byte rules.
    const bool kept_line_end = text[after] != ' ' && IsKeptLineEnd(*state, settings, text[after],
                                                                   EndsChunk(chunk, after, end));
    if (!kept_line_end || text[after] == '\n') {
      if (after + 1 == chunk.size() && end == ChunkEnd::kContinues &&
          IsKeptLineEnd(*state, settings, text[after], true))
        state->PieceEndedWith = ConversionState::ContinuedByte::kLineFeed;
      if (state->FormatFlags & InHead) {
        word.clear();
        word.push_back(text[after]);
        return run + 1;
      }
      if (kept_line_end) state->FormatFlags |= NewLineAfter;
      if (state->FormatFlags & Preformatted) {
        // Preformatted text keeps the whitespace before the word.
        output->append(word);
        state->LineColumn += static_cast<int64_t>(word.size());
      }
      EmitWord(state, settings, chunk.substr(at, run), output);
      const size_t space = text[after] == ' ' && !kept_line_end
                               ? TakePlainWords(state, settings, chunk, blocks, after, output)
                               : after;
      word.clear();  // the pending word is now the space or line end after the words
      word.push_back(text[space]);
      return space + 1 - at;
    }
  }
  bool joined = JoinWord(state, settings, chunk.substr(at, run), output);
  if (joined && after == chunk.size()) {
    if (end != ChunkEnd::kContinues)
      EndWord(state, settings, output);
    else
      state->PieceEndedWith = ConversionState::ContinuedByte::kWordCharacter;
  }
  return run;
}

// Rules 4, 6 and 2 for a tag that lies whole in the piece with nothing in it
// but plain tag text: its text is read where it lies. Returns its length, 0
// when the tag is not such a one.
size_t TakeWholeTag(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                    const ClassicBlocks* blocks, size_t at, ByteBuffer* output) {
  const size_t close = blocks->Next(at + 1, &ClassicMasks::tag_stops);
  if (close == chunk.size() || chunk[close] != '>') return 0;
  HandleTag(state, settings, chunk.substr(at + 1, std::min(close - at - 1, kMaxTagLength)), output);
  return close + 1 - at;
}

// Rules 3, 5 and 1 for a reference that ends with ";" within the characters
// it may collect, with none open before it: decoded into the open tag's text,
// or else into the pending word. Returns its length, 0 when the reference is
// not such a one.
size_t TakeEntity(ConversionState* state, std::string_view chunk, size_t at) {
  const size_t most = std::min(chunk.size(), at + 1 + kMaxEntityLength);
  size_t semicolon = at + 1;
  while (semicolon < most && InClass(chunk[semicolon], kEntityText)) semicolon++;
  if (semicolon == chunk.size() || chunk[semicolon] != ';') return 0;
  state->EntityBuffer.assign(chunk.substr(at + 1, semicolon - at - 1));
  if (!state->TagOpen) {
    DecodeEntity(state->EntityBuffer, &state->WordBuffer);
  } else {
    std::string decoded;
    DecodeEntity(state->EntityBuffer, &decoded);
    AppendToTag(state, decoded);
  }
  state->EntityOpen = false;
  state->EntityInTag = false;
  return semicolon + 1 - at;
}

// Rule 0 for a run of bytes of 0x80 and above: they are dropped, but for the
// right single quote, which joins the pending word as an apostrophe.
size_t SkipHighBytes(ConversionState* state, std::string_view chunk, size_t at) {
  size_t i = at;
  for (; i < chunk.size() && static_cast<unsigned char>(chunk[i]) >= 0x80; i++)
    if (static_cast<unsigned char>(chunk[i]) == kRightSingleQuote)
      state->WordBuffer.push_back('\'');
  return i - at;
}

// Rule 2 for an open tag with no reference open.
void EndOpenTag(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  state->TagOpen = false;
  HandleTag(state, settings, state->TagBuffer, output);
  state->TagBuffer.clear();
}

/// One step from `i`: returns the number of bytes taken.
size_t Step(ConversionState* state, const RunSettings& settings, std::string_view chunk,
            const ClassicBlocks* blocks, size_t i, ChunkEnd end, ByteBuffer* output) {
  const char c = chunk[i];
  if (state->EntityOpen) {
    if (const size_t taken = CollectEntityRun(state, chunk, i)) return taken;
  } else if (static_cast<unsigned char>(c) >= 0x80) {
    return SkipHighBytes(state, chunk, i);
  } else if (state->TagOpen) {
    if (InClass(c, kTagText)) {
      const size_t stop = blocks->Next(i, &ClassicMasks::tag_stops);
      AppendToTag(state, chunk.substr(i, stop - i));
      return stop - i;
    }
    if (c == '>') {
      EndOpenTag(state, settings, output);
      return 1;
    }
    if (c == '&') {
      if (const size_t taken = TakeEntity(state, chunk, i)) return taken;
    }
  } else if (InClass(c, kWordText) || c == '>') {
    return TakeWord(state, settings, chunk, blocks, i, end, output);
  } else if (c == ' ') {
    // Rule 8: the space ends the word before it and is the next one; the
    // words after it may go out as they stand.
    EndWord(state, settings, output);
    const size_t space =
        state->FormatFlags & InHead ? i : TakePlainWords(state, settings, chunk, blocks, i, output);
    state->WordBuffer.push_back(' ');
    return space + 1 - i;
  } else if (c == '\r' && state->CrLfMode && settings.KeepLinefeeds) {
    return KeepLineEnd(state, settings, chunk, i, end, output);
  } else if (c == '<') {
    if (const size_t taken = TakeWholeTag(state, settings, chunk, blocks, i, output)) return taken;
    state->TagBuffer.clear();
    state->TagOpen = true;
    return 1;
  } else if (c == '&') {
    if (const size_t taken = TakeEntity(state, chunk, i)) return taken;
  }
  return ApplyRules(state, settings, chunk, i, end, output);
}

}  // namespace

void ScanPieceInBlocks(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                       size_t i, ChunkEnd end, ByteBuffer* output) {
  // Past the piece's end every byte reads as "<": a stop in every mask but
  // the spaces.
  const ClassicBlocks blocks(chunk, KernelFor(settings.Kernel).classify_classic, '<');
  while (i < chunk.size()) i += Step(state, settings, chunk, &blocks, i, end, output);
}

}  // namespace qln::detail
