// The markup scanner. Each byte goes through an ordered list of rules; the
// first rule that applies wins.
#include "scanner.h"

#include <algorithm>
#include <bit>
#include <cstdlib>
#include <cstring>

#include "byte_classes.h"
#include "formatter.h"
#include "simd.h"
#include "tags.h"

namespace qln::detail {
namespace {

constexpr unsigned char kRightSingleQuote = 0x92;  // Windows-1252

/// Appends to the open tag's text, dropping what goes past its cap.
inline void AppendToTag(ConversionState* state, std::string_view text) {
  std::string& tag = state->TagBuffer;
  if (tag.size() + text.size() > kMaxTagLength)
    text = text.substr(0, kMaxTagLength - std::min(kMaxTagLength, tag.size()));
  tag.append(text);
}

/// AppendToTag for one character.
inline void AppendCharToTag(ConversionState* state, char c) {
  if (state->TagBuffer.size() < kMaxTagLength) state->TagBuffer.push_back(c);
}

/// A reference that belongs to a tag but does not end with ";" goes back into
/// the tag's text as it stood, "&" included, and is closed.
void ReturnEntityToTag(ConversionState* state) {
  AppendCharToTag(state, '&');
  AppendToTag(state, state->EntityBuffer);
  state->EntityOpen = false;
  state->EntityInTag = false;
}

/// Hands the pending word to the formatter (or, in head text, discards it) and
/// starts an empty one.
void EndWord(ConversionState* state, const RunSettings& settings, std::string* output) {
  if (!(state->FormatFlags & InHead) && !EmitsNothing(*state, state->WordBuffer))
    EmitWord(state, settings, state->WordBuffer, output);
  state->WordBuffer.clear();
}

// Rule 1: ";" ends an open reference, which is decoded into the tag's text if
// a tag is open, otherwise into the pending word.
void EndEntity(ConversionState* state) {
  if (state->TagOpen) {
    std::string decoded;
    DecodeEntity(state->EntityBuffer, &decoded);
    AppendToTag(state, decoded);
  } else {
    DecodeEntity(state->EntityBuffer, &state->WordBuffer);
  }
  state->EntityOpen = false;
  state->EntityInTag = false;
}

// Rule 2: ">" ends an open tag. A reference of the tag's own that is still open
// goes back into its text first; one opened outside the tag stays open. The
// tag's text is empty again while no tag is open.
void EndTag(ConversionState* state, const RunSettings& settings, std::string* output) {
  if (state->EntityOpen && state->EntityInTag) ReturnEntityToTag(state);
  state->TagOpen = false;
  HandleTag(state, settings, state->TagBuffer, output);
  state->TagBuffer.clear();
}

// Rule 3: "&" opens a reference, even inside a tag and even if one is open.
void StartEntity(ConversionState* state) {
  if (state->EntityOpen && state->EntityInTag) ReturnEntityToTag(state);
  state->EntityBuffer.clear();
  state->EntityOpen = true;
  state->EntityInTag = state->TagOpen;
}

// Rule 5: a reference collects up to 7 characters. Returns true when `c` was
// taken care of, false when the reference gave up inside a tag and `c` goes on
// to the following rules as if no reference had been open.
bool CollectEntity(ConversionState* state, char c) {
  if (state->EntityBuffer.size() < kMaxEntityLength) {
    state->EntityBuffer.push_back(c);
    return true;
  }
  if (state->EntityInTag) {
    ReturnEntityToTag(state);
    return false;
  }
  // Given up outside a tag: its characters join the word, and `c` is dropped.
  state->WordBuffer.append(state->EntityBuffer);
  state->EntityOpen = false;
  return true;
}

// Rule 5 for the bytes at `at` that an open reference takes as they are, as
// many as it has room for. Returns the number of bytes taken.
size_t CollectEntityRun(ConversionState* state, std::string_view chunk, size_t at) {
  const size_t room = kMaxEntityLength - std::min(kMaxEntityLength, state->EntityBuffer.size());
  const size_t most = std::min(room, chunk.size() - at);
  size_t run = 0;
  while (run < most && InClass(chunk[at + run], kEntityText)) run++;
  state->EntityBuffer.append(chunk.substr(at, run));
  return run;
}

// Rule 7: a source line end is kept as an output line end. Returns true when it
// also consumed the line feed of a CR LF pair.
bool KeepLineEnd(ConversionState* state, const RunSettings& settings, char c,
                 bool next_is_line_feed, std::string* output) {
  if (state->FormatFlags & InHead) {
    state->WordBuffer.clear();
  } else {
    state->FormatFlags |= NewLineAfter;
    EndWord(state, settings, output);
  }
  bool takes_line_feed = state->CrLfMode && next_is_line_feed;
  state->WordBuffer.push_back(takes_line_feed ? '\n' : c);
  return takes_line_feed;
}

/// True when the byte at `i` is the last of its chunk.
bool EndsChunk(std::string_view chunk, size_t i, ChunkEnd end) {
  if (i + 1 == chunk.size()) return end != ChunkEnd::kContinues;
  return end == ChunkEnd::kLineFeeds && chunk[i] == '\n';
}

bool IsKeptLineEnd(const ConversionState& state, const RunSettings& settings, char c,
                   bool is_last) {
  if (!settings.KeepLinefeeds) return false;
  return state.CrLfMode ? c == '\r' : (c == '\n' && is_last);
}

// The chunk ended right after the previous piece, whose last byte was scanned
// as one the chunk goes on after: do what that byte does as the chunk's last.
void EndChunkAfterPiece(ConversionState* state, const RunSettings& settings, std::string* output) {
  using ContinuedByte = ConversionState::ContinuedByte;
  if (state->PieceEndedWith == ContinuedByte::kWordCharacter) {
    EndWord(state, settings, output);  // rule 9
  } else if (state->PieceEndedWith == ContinuedByte::kLineFeed && !(state->FormatFlags & InHead)) {
    // Rule 7: the line feed already emitted the word and opened the next one;
    // an empty word now writes the line end that word would have carried.
    state->FormatFlags |= NewLineAfter;
    EmitWord(state, settings, "", output);
  }
  state->PieceEndedWith = ContinuedByte::kNone;
  state->CrEndedPiece = false;
}

// Rule 9 for a run of word characters, with rule 8 cutting it where the word
// is full. Returns true when the run's last byte was added by rule 9, so that
// when it is also the chunk's last byte the word goes out.
bool JoinWord(ConversionState* state, const RunSettings& settings, std::string_view run,
              std::string* output) {
  const size_t limit = static_cast<size_t>(settings.MaxWordLength) - 1;
  std::string& word = state->WordBuffer;
  bool joined = true;
  while (!run.empty()) {
    if (word.size() >= limit) {
      EndWord(state, settings, output);
      word.push_back(run[0]);
      run.remove_prefix(1);
      joined = false;
      continue;
    }
    size_t take = std::min(limit - word.size(), run.size());
    word.append(run.substr(0, take));
    run.remove_prefix(take);
    joined = true;
  }
  return joined;
}

/// The word stops of the 64 bytes from `p` (see WordStops64); positions at
/// or after `end` count as "<".
uint64_t WordStopsAt(const char* p, const char* end, uint64_t* spaces) {
  char padded[64];
  if (end - p < 64) {
    std::memset(padded, '<', sizeof padded);
    std::memcpy(padded, p, static_cast<size_t>(end - p));
    p = padded;
  }
  return simd::WordStops64(p, spaces);
}

// Rules 9 and 8 for the words after the space at `space`, as long as each is
// whole, ends at a single space and the formatter would write it as just a
// space and the word: then the words go out as they stand in the input, in
// one piece. Returns the position of the space after the last word taken
// (`space` when there is none); that space is the pending word.
size_t TakePlainWords(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                      size_t space, std::string* output) {
  const char* text = chunk.data();
  const char* end = text + chunk.size();
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
    // The words from `window` on, read from masks of their next 64 bytes.
    const size_t window = last + 1;
    uint64_t spaces;
    const uint64_t stops = WordStopsAt(text + window, end, &spaces);
    // A word that does not end at a space (never true past the chunk's
    // end), an empty one, and one that would not fit end the stretch.
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
                size_t at, ChunkEnd end, std::string* output) {
  const char* text = chunk.data();
  const size_t run = simd::RunLength<kWordText>(text + at, text + chunk.size());
  const size_t after = at + run;
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
                               ? TakePlainWords(state, settings, chunk, after, output)
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

/// The length of the tag at `at` ("<", text, ">") when it lies whole in the
/// chunk with nothing in it but plain tag text; otherwise 0.
size_t WholeTagLength(std::string_view chunk, size_t at) {
  const char* text = chunk.data();
  size_t close = at + 1 + simd::RunLength<kTagText>(text + at + 1, text + chunk.size());
  return close < chunk.size() && text[close] == '>' ? close - at + 1 : 0;
}

// The shortcuts: with no reference open, runs of bytes that rules 6 and 9
// would take one by one, a whole tag, and a whole word are taken at once.
// Returns the number of bytes taken, 0 when none applies.
size_t TakeRun(ConversionState* state, const RunSettings& settings, std::string_view chunk,
               size_t at, ChunkEnd end, std::string* output) {
  const char c = chunk[at];
  if (state->TagOpen) {
    if (!InClass(c, kTagText)) return 0;
    size_t run = simd::RunLength<kTagText>(chunk.data() + at, chunk.data() + chunk.size());
    AppendToTag(state, chunk.substr(at, run));
    return run;
  }
  if (InClass(c, kWordText)) return TakeWord(state, settings, chunk, at, end, output);
  if (c == '<') {
    // Rules 4, 6 and 2 in one step; the tag's text is read where it lies.
    if (size_t length = WholeTagLength(chunk, at)) {
      HandleTag(state, settings, chunk.substr(at + 1, std::min(length - 2, kMaxTagLength)), output);
      return length;
    }
  }
  return 0;
}

// One byte, at `i`, through the rules in their order; the first that applies
// wins. Bytes of 0x80 and above are dropped, but for 0x92, an apostrophe.
//   1. ";" ends an open reference.     6. An open tag collects the byte.
//   2. ">" ends an open tag.           7. A source line end is kept.
//   3. "&" opens a reference.          8. Whitespace, or a full word, ends
//   4. "<" opens a tag.                   the word and starts the next.
//   5. An open reference collects it.  9. The byte joins the word.
// Returns the number of bytes taken: 2 when a kept carriage return took the
// line feed after it along.
size_t ApplyRules(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                  size_t i, ChunkEnd end, std::string* output) {
  const size_t n = chunk.size();
  const char c = chunk[i];
  if (static_cast<unsigned char>(c) >= 0x80) {
    if (static_cast<unsigned char>(c) == kRightSingleQuote) state->WordBuffer.push_back('\'');
  } else if (state->EntityOpen && c == ';') {
    EndEntity(state);
  } else if (state->TagOpen && c == '>') {
    EndTag(state, settings, output);
  } else if (c == '&') {
    StartEntity(state);
  } else if (c == '<') {
    state->TagBuffer.clear();
    state->TagOpen = true;
  } else if (state->EntityOpen && CollectEntity(state, c)) {
    // Collected, or given up outside a tag.
  } else if (state->TagOpen) {
    AppendCharToTag(state, c);
  } else if (IsKeptLineEnd(*state, settings, c, EndsChunk(chunk, i, end))) {
    if (i + 1 < n) return KeepLineEnd(state, settings, c, chunk[i + 1] == '\n', output) ? 2 : 1;
    KeepLineEnd(state, settings, c, false, output);
    state->CrEndedPiece = state->CrLfMode && end == ChunkEnd::kContinues;
  } else if (IsWhitespace(c) ||
             state->WordBuffer.size() + 1 >= static_cast<size_t>(settings.MaxWordLength)) {
    EndWord(state, settings, output);
    state->WordBuffer.push_back(c);
    if (i + 1 == n && end == ChunkEnd::kContinues && IsKeptLineEnd(*state, settings, c, true))
      state->PieceEndedWith = ConversionState::ContinuedByte::kLineFeed;
  } else {
    state->WordBuffer.push_back(c);
    if (EndsChunk(chunk, i, end))
      EndWord(state, settings, output);
    else if (i + 1 == n)
      state->PieceEndedWith = ConversionState::ContinuedByte::kWordCharacter;
  }
  return 1;
}

// ScanChunk for a piece that holds no zero byte.
void ScanPiece(ConversionState* state, const RunSettings& settings, std::string_view chunk,
               std::string* output, ChunkEnd end) {
  if (chunk.empty()) {
    if (end != ChunkEnd::kContinues) EndChunkAfterPiece(state, settings, output);
    return;
  }
  state->PieceEndedWith = ConversionState::ContinuedByte::kNone;
  size_t i = 0;
  // A CR LF pair cut between two pieces: the line feed belongs to the line end
  // the carriage return already made.
  if (state->CrEndedPiece && chunk[0] == '\n') {
    state->WordBuffer.back() = '\n';
    i = 1;
  }
  state->CrEndedPiece = false;

  const size_t n = chunk.size();
  if (settings.Scan == ScanWay::kRulesOnly) {
    while (i < n) i += ApplyRules(state, settings, chunk, i, end, output);
    return;
  }
  // The same, with the shortcuts tried first at each step.
  while (i < n) {
    size_t taken = state->EntityOpen ? CollectEntityRun(state, chunk, i)
                                     : TakeRun(state, settings, chunk, i, end, output);
    if (taken == 0) taken = ApplyRules(state, settings, chunk, i, end, output);
    i += taken;
  }
}

}  // namespace

bool ScanChunk(ConversionState* state, const RunSettings& settings, std::string_view chunk,
               std::string* output, ChunkEnd end) {
  size_t zero = chunk.find('\0');
  if (zero != std::string_view::npos && end != ChunkEnd::kLineFeeds) {
    ScanPiece(state, settings, chunk.substr(0, zero), output, ChunkEnd::kEnds);
    return false;
  }
  // Lines read in blocks: a zero byte ends its own line's chunk, and scanning
  // goes on after that line's line feed. A loop, not recursion, as a block
  // may hold thousands of such lines.
  while (zero != std::string_view::npos) {
    const size_t line = chunk.substr(0, zero).rfind('\n') + 1;  // 0 for none
    if (line > 0) ScanPiece(state, settings, chunk.substr(0, line), output, end);
    ScanPiece(state, settings, chunk.substr(line, zero - line), output, ChunkEnd::kEnds);
    const size_t line_feed = chunk.find('\n', zero);
    if (line_feed == std::string_view::npos) return false;
    chunk.remove_prefix(line_feed + 1);
    if (chunk.empty()) return true;
    zero = chunk.find('\0');
  }
  ScanPiece(state, settings, chunk, output, end);
  return true;
}

void DecodeEntity(std::string_view reference, std::string* destination) {
  if (reference == "gt") {
    destination->push_back('>');
  } else if (reference == "lt") {
    destination->push_back('<');
  } else if (!reference.empty() && reference[0] == '#') {
    // The number as atoi reads it: leading whitespace, a sign, then digits.
    std::string digits(reference.substr(1));
    long value = std::strtol(digits.c_str(), nullptr, 10);
    if (value >= 1 && value <= 255) destination->push_back(static_cast<char>(value));
  } else if (reference.size() == 4 && reference.substr(1) == "uml") {
    destination->push_back(reference[0]);
    destination->push_back('e');
  }
}

}  // namespace qln::detail
