// The block scanner. Each step takes as much as the ordered rules would take
// alike, byte after byte: a stretch of words placed on their lines at once, a
// whole word, a whole tag, a whole reference, a run of tag text. What it
// cannot take so goes through the rules one byte at a time.
#include "block_scanner.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>
#include <cstring>
#include <string>

#include "blocks.h"
#include "byte_classes.h"
#include "formatter.h"
#include "kernels.h"
#include "links.h"
#include "scanner_rules.h"
#include "tags.h"

namespace qln::detail {
namespace {

using ClassicBlocks = Blocks<ClassicMasks>;

// The fast lane's helpers that must be inline: called out of line, they
// would keep its output cursor and column in memory rather than registers.
#if defined(__GNUC__)
#define QLN_INLINE_LAMBDA __attribute__((always_inline))
#else
#define QLN_INLINE_LAMBDA
#endif

/// What a walk through one piece works with.
struct Walk {
  ConversionState* state;
  const RunSettings& settings;
  std::string_view text;  ///< the piece: no zero byte in it
  const ClassicBlocks& blocks;
  ChunkEnd end;
  ByteBuffer* output;
};

/// Bytes that join the pending word as they are outside tags: word text,
/// and ">", which the rules read so with no tag open.
constexpr std::array<bool, 256> kJoinsWord = [] {
  std::array<bool, 256> joins{};
  for (int c = 0; c < 256; c++) joins[c] = InClass(static_cast<char>(c), kWordText) || c == '>';
  return joins;
}();

/// The format flags that keep words from being placed straight from the
/// text: a line end asked for, preformatted text, head text.
constexpr uint32_t kUnplainFlags = InHead | Preformatted | EndLineAfter | NewLineAfter;

/// True when words may be placed straight from the text: nothing asks for a
/// line end, and the words are neither preformatted nor head text.
bool PlacesPlainly(const ConversionState& state) { return !(state.FormatFlags & kUnplainFlags); }

/// The byte a kept line end begins with (CR in CR LF mode, else LF), or -1
/// when line ends are not kept.
int KeptLineEndByte(const RunSettings& settings, bool crlf) {
  return !settings.KeepLinefeeds ? -1 : crlf ? '\r' : '\n';
}

// Rules 9 and 8 for the words after the space at `space`, as long as each is
// whole, ends at a single space and the formatter would write it as just a
// space and the word: then the words go out as they stand in the text, in one
// piece. `*column` and `*sentence_ended` stand for the state's, and move with
// the words. Returns the position of the space after the last word taken
// (`space` when there is none).
size_t PlainRun(const Walk& w, size_t space, int64_t* column, bool* sentence_ended) {
  const RunSettings& settings = w.settings;
  const std::string_view text = w.text;
  const int64_t threshold = (w.state->FormatFlags & NoIndent) ? 0 : settings.LeftMargin;
  if (*column <= threshold || (settings.Space2AfterPeriod && *sentence_ended)) return space;
  // A word placed from column c after the space at `space` fits when
  // c + its length < RightMargin - LeftMargin; the column grows with the
  // words, so that is the same as: the space after it lies before `bound`.
  const int64_t bound_at =
      settings.RightMargin - settings.LeftMargin + static_cast<int64_t>(space) + 1 - *column;
  const size_t bound = bound_at > 0 ? static_cast<size_t>(bound_at) : 0;
  // Words of 1 to MaxWordLength - 2 characters are taken: a longer one would
  // be cut. Within the 64 bytes from a word's start only that word can be 63
  // long, so with the usual limits a whole stretch of words is judged at
  // once; otherwise, and when a sentence's end may owe the next word a second
  // space, one word at a time.
  const size_t longest = static_cast<size_t>(settings.MaxWordLength) - 2;
  const bool one_at_a_time = longest < 62 || settings.Space2AfterPeriod;
  size_t last = space;
  size_t last_start = space;
  for (;;) {
    // The words from `window` on, read from the masks of their next 64 bytes;
    // past the piece's end every byte is a stop.
    // None is taken from 64 word bytes: longer than any word may be.
    const size_t window = last + 1;
    const WindowWords words = TakeWindowWords(w.blocks.From(window, &ClassicMasks::word_stops),
                                              w.blocks.From(window, &ClassicMasks::spaces), 0,
                                              window, bound, one_at_a_time);
    if (!words.taken || words.next - words.start > longest) break;
    last_start = words.start;
    last = words.next;
    if (settings.Space2AfterPeriod && EndsSentence(text.substr(last_start, last - last_start)))
      break;
    if (words.ended) break;
  }
  if (last == space) return space;
  *column += static_cast<int64_t>(last - space);
  *sentence_ended = EndsSentence(text.substr(last_start, last - last_start));
  w.output->append(text.substr(space, last - space));
  return last;
}

// Rules 9 and 8 for the words from `start` on, with `pending` bytes of
// whitespace pending before the first (0 or 1), as long as each is a whole
// word that ends at a space: each goes on its line as EmitWord would put it.
// Runs of words that go out as they stand, each a space and the word, are
// copied at once; a word that starts a line, or follows a sentence's end
// with two spaces, is placed by the formatter. Returns the position of the
// space after the last word placed (that space is then the pending word),
// or npos when none was.
size_t PlaceWords(const Walk& w, size_t start, size_t pending) {
  ConversionState* state = w.state;
  const RunSettings& settings = w.settings;
  const std::string_view text = w.text;
  if (settings.MaxWordLength < 3) return std::string_view::npos;
  // A pending whitespace byte and the word may hold MaxWordLength - 1 bytes:
  // a longer word would be cut.
  size_t longest = static_cast<size_t>(settings.MaxWordLength) - 1 - pending;
  int64_t column = state->LineColumn;
  bool sentence_ended = state->SentenceEnded;
  size_t last = std::string_view::npos;
  for (;;) {
    const size_t stop = w.blocks.Next(start, &ClassicMasks::word_stops);
    if (stop == text.size() || text[stop] != ' ' || stop == start || stop - start > longest) break;
    const std::string_view word = text.substr(start, stop - start);
    state->LineColumn = column;
    state->SentenceEnded = sentence_ended;
    PlaceWord(state, settings, static_cast<int64_t>(word.size()), w.output);
    w.output->append(word);
    column = state->LineColumn + static_cast<int64_t>(word.size());
    sentence_ended = EndsSentence(word);
    last = PlainRun(w, stop, &column, &sentence_ended);
    start = last + 1;
    longest = static_cast<size_t>(settings.MaxWordLength) - 2;
    if (start == text.size() || !kJoinsWord[static_cast<unsigned char>(text[start])]) break;
  }
  state->LineColumn = column;
  state->SentenceEnded = sentence_ended;
  return last;
}

/// The words after the space at `space`, which is the pending word, placed
/// as PlaceWords does. Returns the position of the space after the last
/// word placed, `space` when there is none.
size_t PlaceWordsAfter(const Walk& w, size_t space) {
  if (space + 1 == w.text.size() || !kJoinsWord[static_cast<unsigned char>(w.text[space + 1])] ||
      !PlacesPlainly(*w.state))
    return space;
  const size_t last = PlaceWords(w, space + 1, 1);
  return last == std::string_view::npos ? space : last;
}

// Rules 9 and 8 (or 7) for the run of word characters at `at`, and, when a
// whitespace byte ends it, for that byte too. Returns the number of bytes taken.
//
// The commonest case goes straight from the input to the formatter: a word
// that fits, with nothing pending before it but whitespace, ended by
// whitespace (a line feed kept as a line end included). Emitting the pending
// word and the run together would write the same text (in preformatted text
// the pending whitespace is written first).
size_t TakeWord(const Walk& w, size_t at) {
  ConversionState* state = w.state;
  const RunSettings& settings = w.settings;
  const char* text = w.text.data();
  const size_t n = w.text.size();
  const size_t after = w.blocks.Next(at, &ClassicMasks::word_stops);
  const size_t run = after - at;
  const size_t limit = static_cast<size_t>(settings.MaxWordLength) - 1;
  ByteBuffer& word = state->WordBuffer;
  if (after < n && IsWhitespace(text[after]) && IsBlankWord(word) && word.size() + run <= limit) {
    if (text[after] == ' ' && PlacesPlainly(*state)) {
      const size_t last = PlaceWords(w, at, word.size());
      if (last != std::string_view::npos) {
        word.assign(1, ' ');
        return last + 1 - at;
      }
    }
    // A kept line end takes the word out with a line end after it; a
    // carriage return kept as one takes the line feed after it along (one
    // that ends the piece is left to the byte-by-byte rules).
    const bool kept_line_end = text[after] != ' ' && IsKeptLineEnd(*state, settings, text[after],
                                                                   EndsChunk(w.text, after, w.end));
    if (!kept_line_end || text[after] == '\n' || after + 1 < n) {
      if (after + 1 == n && w.end == ChunkEnd::kContinues &&
          IsKeptLineEnd(*state, settings, text[after], true))
        state->PieceEndedWith = ConversionState::ContinuedByte::kLineFeed;
      // What the pending word becomes: the whitespace, a CR LF pair as its LF.
      const bool pair = kept_line_end && text[after] == '\r' && text[after + 1] == '\n';
      const char next = pair ? '\n' : text[after];
      if (state->FormatFlags & InHead) {
        word.assign(1, next);
        return run + 1 + pair;
      }
      if (kept_line_end) state->FormatFlags |= NewLineAfter;
      if (state->FormatFlags & Preformatted) {
        // Preformatted text keeps the whitespace before the word.
        w.output->append(word);
        state->LineColumn += static_cast<int64_t>(word.size());
      }
      EmitWord(state, settings, w.text.substr(at, run), w.output);
      if (text[after] == ' ') {
        const size_t space = PlaceWordsAfter(w, after);
        word.assign(1, ' ');
        return space + 1 - at;
      }
      word.assign(1, next);  // the pending word is now the line end
      return run + 1 + pair;
    }
  }
  const bool joined = JoinWord(state, settings, w.text.substr(at, run), w.output);
  if (joined && after == n) {
    if (w.end != ChunkEnd::kContinues)
      EndWord(state, settings, w.output);
    else
      state->PieceEndedWith = ConversionState::ContinuedByte::kWordCharacter;
  }
  return run;
}

// Rule 8 for a space: it ends the pending word and is the next one; the
// words after it may be placed at once.
size_t TakeSpace(const Walk& w, size_t at) {
  EndWord(w.state, w.settings, w.output);
  const size_t space = PlaceWordsAfter(w, at);
  w.state->WordBuffer.push_back(' ');
  return space + 1 - at;
}

/// The text of the tag whose "<" is at `open` and ">" at `close`, as much
/// of it as a tag keeps.
std::string_view TagText(std::string_view text, size_t open, size_t close) {
  return std::string_view(text.data() + open + 1, std::min(close - open - 1, kMaxTagLength));
}

// Rules 4, 6 and 2 for a tag that lies whole in the piece with nothing in it
// but plain tag text: its text is read where it lies. Returns its length, 0
// when the tag is not such a one.
size_t TakeWholeTag(const Walk& w, size_t at) {
  const size_t close = w.blocks.Next(at + 1, &ClassicMasks::tag_stops);
  if (close == w.text.size() || w.text[close] != '>') return 0;
  const std::string_view tag = TagText(w.text, at, close);
  if (!tag.empty() && (tag[0] | 0x20) == 'a')  // an anchor's HREF, as HandleTag reads it
    ExtractHrefInBlocks(w.state, tag, w.blocks, at + 1);
  else
    HandleTag(w.state, w.settings, tag, w.output);
  return close + 1 - at;
}

// Rules 3, 5 and 1 for a reference that ends with ";" within the characters
// it may collect, with none open before it: decoded into the open tag's text,
// or else into the pending word. Returns its length, 0 when the reference is
// not such a one.
size_t TakeEntity(ConversionState* state, std::string_view text, size_t at) {
  const size_t most = std::min(text.size(), at + 1 + kMaxEntityLength);
  size_t semicolon = at + 1;
  while (semicolon < most && InClass(text[semicolon], kEntityText)) semicolon++;
  if (semicolon == text.size() || text[semicolon] != ';') return 0;
  state->EntityBuffer.assign(text.substr(at + 1, semicolon - at - 1));
  if (!state->TagOpen) {
    DecodeEntity(state->EntityBuffer, &state->WordBuffer);
  } else {
    DecodeEntityIntoTag(state);
  }
  state->EntityOpen = false;
  state->EntityInTag = false;
  return semicolon + 1 - at;
}

// Rules 3 to 6 and 1 for a "&" in an open tag, where a reference rarely ends
// with ";" (script text such as "e&&t<36?e[t]"): a reference of the tag's own
// that is still open goes back into its text, and the new one collects its
// bytes here. A "&" returns what it collected so far and opens the next, a
// "<" empties the tag's text, a byte past the seventh returns the reference
// and then joins the tag's text itself, and a ";" ends it, decoded into the
// tag's text. A ">" or a byte the reference does not take as it is stops the
// walk with the reference open, for the rules. Returns the number of bytes
// taken: the "&" at least.
size_t TakeReferenceInTag(ConversionState* state, std::string_view text, size_t at) {
  if (state->EntityOpen && state->EntityInTag) ReturnToTag(state, state->EntityBuffer);
  state->EntityOpen = false;
  state->EntityInTag = false;
  // What goes back into the tag's text: the "&", what the reference
  // collected and the byte it gave up at. (The room past that keeps GCC's
  // bounds check on ByteBuffer's sixteen-byte copies quiet.)
  char returned[kMaxEntityLength + 2 + 16];
  returned[0] = '&';
  size_t length = 0;  // collected, from returned[1] on
  size_t i = at + 1;
  for (; i < text.size(); i++) {
    const char c = text[i];
    // The usual byte first: "&", "<" and ";" are not in the class.
    if (InClass(c, kEntityText)) {
      returned[1 + length] = c;
      if (length == kMaxEntityLength) {  // the reference gives up; this byte is the tag's again
        state->EntityBuffer.assign(std::string_view(returned + 1, length));
        AppendToTag(state, std::string_view(returned, length + 2));
        return i + 1 - at;
      }
      length++;
    } else if (c == '&') {
      AppendToTag(state, std::string_view(returned, length + 1));
      length = 0;
    } else if (c == '<') {
      state->TagBuffer.clear();
    } else {
      break;
    }
  }
  state->EntityBuffer.assign(std::string_view(returned + 1, length));
  if (i < text.size() && text[i] == ';') {
    DecodeEntityIntoTag(state);
    return i + 1 - at;
  }
  state->EntityOpen = true;
  state->EntityInTag = true;
  return i - at;
}

// Rule 0 for a run of bytes of 0x80 and above: they are dropped, but for the
// right single quote, which joins the pending word as an apostrophe.
size_t SkipHighBytes(ConversionState* state, std::string_view text, size_t at) {
  size_t i = at;
  for (; i < text.size() && static_cast<unsigned char>(text[i]) >= 0x80; i++)
    if (static_cast<unsigned char>(text[i]) == kRightSingleQuote) state->WordBuffer.push_back('\'');
  return i - at;
}

// A step with a tag or a reference open: a run of tag text, the tag's end,
// or a reference in it. Returns the number of bytes taken.
size_t StepInTag(const Walk& w, size_t i) {
  ConversionState* state = w.state;
  const char c = w.text[i];
  if (c == '&' && state->TagOpen) return TakeReferenceInTag(state, w.text, i);
  if (state->EntityOpen) {
    if (const size_t taken = CollectEntityRun(state, w.text, i)) return taken;
  } else if (InClass(c, kTagText)) {
    const size_t stop = w.blocks.Next(i, &ClassicMasks::tag_stops);
    AppendToTag(state, w.text.substr(i, stop - i));
    return stop - i;
  } else if (c == '>') {  // rule 2
    state->TagOpen = false;
    HandleTag(state, w.settings, state->TagBuffer, w.output);
    state->TagBuffer.clear();
    return 1;
  } else if (static_cast<unsigned char>(c) >= 0x80) {
    return SkipHighBytes(state, w.text, i);
  }
  return ApplyRules(state, w.settings, w.text, i, w.end, w.output);
}

/// One step from `i`: returns the number of bytes taken.
size_t Step(const Walk& w, size_t i) {
  ConversionState* state = w.state;
  if (state->TagOpen || state->EntityOpen) return StepInTag(w, i);
  const unsigned char c = static_cast<unsigned char>(w.text[i]);
  if (kJoinsWord[c]) return TakeWord(w, i);
  switch (c) {
    case ' ':
      return TakeSpace(w, i);
    case '<':
      if (const size_t taken = TakeWholeTag(w, i)) return taken;
      state->TagBuffer.clear();  // rule 4
      state->TagOpen = true;
      return 1;
    case '&':
      if (const size_t taken = TakeEntity(state, w.text, i)) return taken;
      break;
    case '\r':
      if (state->CrLfMode && w.settings.KeepLinefeeds)
        return KeepLineEnd(state, w.settings, w.text, i, w.end, w.output);
      break;
    default:
      if (c >= 0x80) return SkipHighBytes(state, w.text, i);
      break;
  }
  return ApplyRules(state, w.settings, w.text, i, w.end, w.output);
}

/// True when a pending word that is not blank may be carried on at once: no
/// tag or reference open, no line end asked for, neither head text nor
/// preformatted.
bool CarriesWord(const ConversionState& state) {
  return !state.TagOpen && !state.EntityOpen && PlacesPlainly(state) &&
         !IsBlankWord(state.WordBuffer);
}

/// Rules 9, 5, 1, 0 and 8 for the pending word that is not blank, from `at`
/// on: the runs of word text it has room for, the references that end with
/// ";", bytes of 0x80 and above and whole tags, as long as the word is still
/// carried; whitespace that is not a kept line end writes it. Returns where
/// it stopped: `at` when it took nothing.
size_t TakeCarriedWord(const Walk& w, size_t at) {
  ConversionState* const state = w.state;
  ByteBuffer& word = state->WordBuffer;
  const std::string_view text = w.text;
  const size_t n = text.size();
  const size_t longest = static_cast<size_t>(w.settings.MaxWordLength) - 1;
  while (at < n) {
    const unsigned char c = static_cast<unsigned char>(text[at]);
    if (kJoinsWord[c]) {
      const size_t stop = w.blocks.Next(at, &ClassicMasks::word_stops);
      if (stop == n || word.size() + (stop - at) > longest) break;  // the rules cut it
      word.append(text.substr(at, stop - at));
      at = stop;
    } else if (c == '&') {
      const size_t taken = TakeEntity(state, text, at);
      if (taken == 0) break;
      at += taken;
    } else if (c >= 0x80) {
      at += SkipHighBytes(state, text, at);
    } else if (c == '<') {
      // A whole tag acts as the rules have it: one that only ends the word
      // writes it, a closing anchor gives it its link's number.
      const size_t taken = TakeWholeTag(w, at);
      if (taken == 0) break;
      at += taken;
      if (!CarriesWord(*state)) return at;
    } else if (IsWhitespace(static_cast<char>(c))) {
      // A kept line end, and the piece's last byte when its chunk goes on,
      // are left to the rules.
      if (IsKeptLineEnd(*state, w.settings, static_cast<char>(c), EndsChunk(text, at, w.end)) ||
          (at + 1 == n && w.end == ChunkEnd::kContinues))
        break;
      EndWord(state, w.settings, w.output);
      word.push_back(static_cast<char>(c));
      return at + 1;
    } else {
      break;
    }
  }
  return at;
}

/// True when the fast lane may go on: no tag or reference open, nothing
/// pending but whitespace, no line end asked for, neither head text nor
/// preformatted.
bool InFastLane(const ConversionState& state) {
  return !state.TagOpen && !state.EntityOpen && PlacesPlainly(state) &&
         IsBlankWord(state.WordBuffer);
}

/// Room the fast lane keeps ahead in the output before each step: more than
/// one step writes (a word, its spaces, a line end and an underline).
constexpr size_t kLaneRoom = 4096;

/// The fast lane: from `i` on, while the state stays plain (InFastLane),
/// words, spaces, kept line ends and whole tags that act on nothing but the
/// pending word are taken here. The column, the pending whitespace and the
/// settings live in local variables, and the output is written through a
/// cursor into room reserved ahead, without a check per write; the rest
/// goes to the general steps. Returns the position where it stopped.
[[gnu::noinline]] size_t FastLane(const Walk& w, size_t i) {
  ConversionState* const state = w.state;
  const char* const text = w.text.data();
  const size_t n = w.text.size();
  const ClassicBlocks& blocks = w.blocks;
  const size_t longest = static_cast<size_t>(w.settings.MaxWordLength) - 1;
  const int64_t limit = w.settings.RightMargin - w.settings.LeftMargin;
  const bool two_spaces = w.settings.Space2AfterPeriod;
  const bool crlf = state->CrLfMode;
  const int line_end_byte = KeptLineEndByte(w.settings, crlf);
  uint32_t flags = state->FormatFlags;
  int64_t threshold = (flags & NoIndent) ? 0 : w.settings.LeftMargin;
  int64_t column = state->LineColumn;
  bool sentence_ended = state->SentenceEnded;
  char pending = state->WordBuffer.empty() ? 0 : state->WordBuffer.back();
  char* out = w.output->Reserve(kLaneRoom);
  char* room_end = out + kLaneRoom;

  // Hands the state and the output back, for a general step.
  const auto store = [&] {
    w.output->Commit(out);
    state->LineColumn = column;
    state->SentenceEnded = sentence_ended;
    if (pending)
      state->WordBuffer.assign(1, pending);
    else
      state->WordBuffer.clear();
  };
  // Ends the line; under a heading it gets its underline.
  const auto end_line = [&] {
    if (flags & (UnderlineDouble | UnderlineSingle)) {
      store();
      EndLineWithUnderline(state, w.output);
      out = w.output->Reserve(kLaneRoom);
      room_end = out + kLaneRoom;
    } else {
      if (crlf) *out++ = '\r';
      *out++ = '\n';
    }
    column = 0;
  };
  // EmitWord for a word with only whitespace pending before it.
  const auto place = [&](const char* start, size_t length) QLN_INLINE_LAMBDA {
    const auto size = static_cast<int64_t>(length);
    if (size + column >= limit) end_line();
    if (column < threshold) {
      std::memset(out, ' ', static_cast<size_t>(threshold - column));
      out += threshold - column;
      column = threshold;
    } else if (column > threshold) {
      if (two_spaces && sentence_ended) {
        *out++ = ' ';
        column++;
      }
      *out++ = ' ';
      column++;
    }
    CopyBytes(out, start, length);
    out += size;
    column += size;
    sentence_ended = EndsSentence(std::string_view(start, length));
  };
  // After the space at `space`, the words that go out as they stand: each
  // whole, ended by a single space, on the line after one space. They are
  // judged 64 bytes at a time from the masks and copied in one piece.
  // Returns the position of the space after the last one taken (`space`
  // when none was), the pending word.
  const size_t plain_longest = static_cast<size_t>(w.settings.MaxWordLength) - 2;
  const bool one_at_a_time = plain_longest < 62 || two_spaces;
  const auto plain_run = [&](size_t space) QLN_INLINE_LAMBDA {
    if (column <= threshold || (two_spaces && sentence_ended) || plain_longest == 0) return space;
    // A word placed from column c after the space at `space` fits when
    // c + its length < limit; the column grows with the words, so that is
    // the same as: the space after it lies before `bound`.
    const int64_t bound_at = limit + static_cast<int64_t>(space) + 1 - column;
    const size_t bound = bound_at > 0 ? static_cast<size_t>(bound_at) : 0;
    size_t last = space;
    size_t last_start = space;
    for (;;) {
      const size_t window = last + 1;
      const WindowWords words = TakeWindowWords(blocks.From(window, &ClassicMasks::word_stops),
                                                blocks.From(window, &ClassicMasks::spaces), 0,
                                                window, bound, one_at_a_time);
      if (!words.taken || words.next - words.start > plain_longest) break;
      last_start = words.start;
      last = words.next;
      if (two_spaces && EndsSentence(std::string_view(text + last_start, last - last_start))) break;
      if (words.ended) break;
    }
    if (last == space) return space;
    if (static_cast<size_t>(room_end - out) < last - space + kLaneRoom / 4) {
      w.output->Commit(out);
      out = w.output->Reserve(last - space + kLaneRoom);
      room_end = out + last - space + kLaneRoom;
    }
    std::memcpy(out, text + space, last - space);
    out += last - space;
    column += static_cast<int64_t>(last - space);
    sentence_ended = EndsSentence(std::string_view(text + last_start, last - last_start));
    return last;
  };
  // Rule 7 for a kept line end at `at`: the blank pending word adds nothing,
  // the line ends, and the line end is the pending word (a CR LF pair as its
  // LF). Returns the position after it.
  const auto line_end = [&](size_t at) {
    const bool pair = crlf && text[at] == '\r' && text[at + 1] == '\n';
    if (crlf) *out++ = '\r';
    *out++ = '\n';
    column = 0;
    pending = pair ? '\n' : text[at];
    return at + 1 + pair;
  };
  // Whether the whitespace `c` at `at` is a kept line end the lane may take
  // (1), a kept line end it leaves to the general steps (-1), or neither (0).
  const auto kept = [&](char c, size_t at) {
    if (c != line_end_byte) return 0;
    // The piece's last byte, when its chunk goes on or a CR LF pair may be
    // cut there, is left to the rules.
    if (at + 1 == n && (crlf || w.end == ChunkEnd::kContinues)) return -1;
    return crlf || EndsChunk(w.text, at, w.end) ? 1 : 0;
  };

  while (i < n) {
    if (room_end - out < static_cast<ptrdiff_t>(kLaneRoom / 2)) {
      w.output->Commit(out);
      out = w.output->Reserve(kLaneRoom);
      room_end = out + kLaneRoom;
    }
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (kJoinsWord[c]) {
      // A word: it goes out when whitespace or a tag that only ends it
      // comes after it.
      const size_t stop = blocks.Next(i, &ClassicMasks::word_stops);
      if (stop == n || stop - i + (pending != 0) > longest) break;
      const char after = text[stop];
      if (after == '<') {
        const size_t close = blocks.Next(stop + 1, &ClassicMasks::tag_stops);
        if (close == n || text[close] != '>') break;
        const std::string_view tag = TagText(w.text, stop, close);
        if (OnlyEndsWord(*state, tag)) {
          place(text + i, stop - i);
          pending = 0;
          i = close + 1;
          continue;
        }
        if (!(tag.size() == 2 && tag[0] == '/' && (tag[1] | 0x20) == 'a') || !HasLinkTarget(*state))
          break;
        // A closing anchor after the word: the word takes its link's number
        // (CloseAnchor), and goes out with what ends it next.
        char word_text[128];
        size_t length = stop - i;
        std::memcpy(word_text, text + i, length);
        if (w.settings.DoURLs == 1) {
          word_text[length++] = '[';
          length = static_cast<size_t>(
              std::to_chars(word_text + length, word_text + sizeof word_text - 1,
                            RegisterUrl(&state->Urls, state->HrefBuffer) + 1)
                  .ptr -
              word_text);
          word_text[length++] = ']';
        }
        state->HrefBuffer.clear();
        i = close + 1;
        const char next = i < n ? text[i] : '\0';
        if (next == ' ' || (IsWhitespace(next) && kept(next, i) > 0)) {
          place(word_text, length);
          if (next == ' ') {
            const size_t space = plain_run(i);
            pending = ' ';
            i = space + 1;
          } else {
            i = line_end(i);
          }
          continue;
        }
        if (next == '<') {
          const size_t end = blocks.Next(i + 1, &ClassicMasks::tag_stops);
          if (end < n && text[end] == '>' && OnlyEndsWord(*state, TagText(w.text, i, end))) {
            place(word_text, length);
            pending = 0;
            i = end + 1;
            continue;
          }
        }
        // Anything else: the word is pending, as the rules leave it.
        store();
        state->WordBuffer.append(std::string_view(word_text, length));
        return i;
      } else if (IsWhitespace(after)) {
        const int line = kept(after, stop);
        if (line < 0) break;
        place(text + i, stop - i);
        if (line > 0) {
          i = line_end(stop);
        } else if (after == ' ') {
          const size_t space = plain_run(stop);
          pending = ' ';
          i = space + 1;
        } else {
          pending = after;
          i = stop + 1;
        }
      } else {
        break;
      }
    } else if (c == '<') {
      const size_t close = blocks.Next(i + 1, &ClassicMasks::tag_stops);
      if (close == n || text[close] != '>') break;
      const std::string_view tag = TagText(w.text, i, close);
      if (!tag.empty() && (tag[0] | 0x20) == 'a') {
        ExtractHrefInBlocks(state, tag, blocks, i + 1);  // an anchor: its HREF
      } else if (const TagAction action = ActionFor(*state, tag); action == nullptr) {
        pending = 0;  // the blank pending word goes, writing nothing
      } else {
        store();
        action(state, w.settings, w.output);  // as HandleTag would
        if (!InFastLane(*state)) return close + 1;
        flags = state->FormatFlags;
        threshold = (flags & NoIndent) ? 0 : w.settings.LeftMargin;
        column = state->LineColumn;
        sentence_ended = state->SentenceEnded;
        pending = state->WordBuffer.empty() ? 0 : state->WordBuffer.back();
        out = w.output->Reserve(kLaneRoom);
        room_end = out + kLaneRoom;
      }
      i = close + 1;
    } else if (IsWhitespace(c)) {
      const int line = kept(static_cast<char>(c), i);
      if (line < 0) break;
      if (line > 0) {
        i = line_end(i);
      } else {
        // Rule 8: a blank pending word writes nothing, so a run of whitespace
        // leaves its last byte pending, up to a line end that may be kept.
        do pending = text[i++];
        while (i < n && IsWhitespace(text[i]) && text[i] != line_end_byte);
      }
    } else if (c >= 0x80) {
      // Rule 0: bytes of 0x80 and above are dropped, and leave the blank
      // pending word as it is, unless a right single quote among them
      // joins it as an apostrophe.
      size_t end = i;
      while (end < n && static_cast<unsigned char>(text[end]) >= 0x80 &&
             static_cast<unsigned char>(text[end]) != kRightSingleQuote)
        end++;
      if (end < n && static_cast<unsigned char>(text[end]) == kRightSingleQuote) break;
      i = end;
    } else {
      break;
    }
  }
  store();
  return i;
}

/// True when the preformatted lane may go on: no tag or reference open, and
/// preformatted text that is not head text, with no line end asked for.
bool InPreformattedLane(const ConversionState& state) {
  return !state.TagOpen && !state.EntityOpen && (state.FormatFlags & kUnplainFlags) == Preformatted;
}

/// The preformatted lane: from `i` on, while InPreformattedLane holds, the
/// steps that preformatted text takes most, without a return to the step
/// loop for each. A word joins the pending word; whitespace writes the
/// pending word as it stands (as EndWord does there) and is the next, and so
/// does a kept line end in CR LF mode, which ends the line too; whole tags
/// and references go as their steps take them. A line end kept in LF mode,
/// a word that would be cut, the piece's last byte and the rest go to the
/// general steps. Returns the position where it stopped.
size_t PreformattedLane(const Walk& w, size_t i) {
  ConversionState* const state = w.state;
  ByteBuffer& word = state->WordBuffer;
  const std::string_view text = w.text;
  const size_t limit = static_cast<size_t>(w.settings.MaxWordLength) - 1;
  const int line_end_byte = KeptLineEndByte(w.settings, state->CrLfMode);
  // The pending word goes out as it stands, as EndWord writes it here.
  const auto write_word = [&]() QLN_INLINE_LAMBDA {
    w.output->append(word);
    state->LineColumn += static_cast<int64_t>(word.size());
  };
  while (i + 1 < text.size()) {
    const unsigned char c = static_cast<unsigned char>(text[i]);
    if (kJoinsWord[c]) {
      const size_t stop = w.blocks.Next(i, &ClassicMasks::word_stops);
      if (stop == text.size() || word.size() + (stop - i) > limit) break;
      word.append(text.substr(i, stop - i));
      i = stop;
    } else if (IsWhitespace(c) && c != line_end_byte) {
      write_word();
      if (c == ' ' && text[i + 1] == ' ') {
        // A run of spaces (the indent of code) at once: each writes the one
        // before it, and the last is the pending word.
        const size_t last =
            std::min(w.blocks.NextOutside(i, &ClassicMasks::spaces), text.size() - 1) - 1;
        w.output->append(last - i, ' ');
        state->LineColumn += static_cast<int64_t>(last - i);
        i = last;
      }
      word.assign(1, static_cast<char>(c));
      i++;
    } else if (c == line_end_byte && state->CrLfMode) {
      // Rule 7 for a kept line end, as KeepLineEnd and the formatter take
      // it here: the pending word goes out as it stands, the line ends, and
      // the line end is the next pending word (a CR LF pair as its LF).
      w.output->append(word);
      w.output->append("\r\n");
      state->LineColumn = 0;
      const bool pair = text[i + 1] == '\n';
      word.assign(1, pair ? '\n' : '\r');
      i += 1 + pair;
    } else if (c == '<') {
      // A whole tag that only ends the word (the spans of highlighted code)
      // writes it as it stands; the others go as their step takes them.
      const size_t close = w.blocks.Next(i + 1, &ClassicMasks::tag_stops);
      if (close < text.size() && text[close] == '>' &&
          OnlyEndsWord(*state, TagText(text, i, close))) {
        write_word();
        word.clear();
        i = close + 1;
        continue;
      }
      const size_t taken = TakeWholeTag(w, i);
      if (taken == 0) break;
      i += taken;
      if (!InPreformattedLane(*state)) break;
    } else if (c == '&') {
      const size_t taken = TakeEntity(state, text, i);
      if (taken == 0) break;
      i += taken;
    } else {
      break;
    }
  }
  return i;
}

/// The open-tag lane: from `i` on, while a tag is open, the steps StepInTag
/// takes most, without a return to the step loop for each: runs of tag text,
/// "<" (which empties the tag's text), references in the tag, the bytes an
/// open reference of the tag's own collects, and bytes of 0x80 and above.
/// Script text makes long stretches of these, where "<" and "&" open tags
/// and references that end only at a far ">". A ">", a ";" after an open
/// reference and the rest go to the general steps. Returns where it stopped.
size_t OpenTagLane(const Walk& w, size_t i) {
  ConversionState* const state = w.state;
  const std::string_view text = w.text;
  while (i < text.size()) {
    const char c = text[i];
    if (c == '&') {
      i += TakeReferenceInTag(state, text, i);
    } else if (c == '<') {  // rule 4, with the tag open already: an open reference stays open
      state->TagBuffer.clear();
      i++;
    } else if (static_cast<unsigned char>(c) >= 0x80) {
      i += SkipHighBytes(state, text, i);
    } else if (state->EntityOpen) {
      if (!state->EntityInTag) break;
      const size_t taken = CollectEntityRun(state, text, i);
      if (taken == 0) break;
      i += taken;
    } else if (InClass(c, kTagText)) {
      const size_t stop = w.blocks.Next(i, &ClassicMasks::tag_stops);
      AppendToTag(state, text.substr(i, stop - i));
      i = stop;
    } else {
      break;
    }
  }
  return i;
}

}  // namespace

void ScanPieceInBlocks(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                       size_t i, ChunkEnd end, ByteBuffer* output) {
  // Past the piece's end every byte reads as "<": a stop in every mask but
  // the spaces.
  const ClassicBlocks blocks(chunk, KernelFor(settings.Kernel).classify_classic, '<');
  const Walk walk{state, settings, chunk, blocks, end, output};
  while (i < chunk.size()) {
    if (InFastLane(*state)) {
      i = FastLane(walk, i);
      if (i >= chunk.size()) break;
    } else if (InPreformattedLane(*state)) {
      i = PreformattedLane(walk, i);
      if (i >= chunk.size()) break;
    } else if (CarriesWord(*state)) {
      if (const size_t next = TakeCarriedWord(walk, i); next != i) {
        i = next;
        continue;
      }
    } else if (state->TagOpen) {
      if (const size_t next = OpenTagLane(walk, i); next != i) {
        i = next;
        continue;
      }
    }
    i += Step(walk, i);
  }
}

}  // namespace qln::detail
