// The lines of the modern profile's output.
#include "modern_layout.h"

#include <algorithm>
#include <array>
#include <bit>
#include <charconv>

#include "formatter.h"
#include "links.h"
#include "simd.h"
#include "unicode.h"

namespace qln::detail {
namespace {

constexpr std::string_view kRule =
    "    ____________________________________________________________";

/// The most bytes a pending word holds. Characters that take no column
/// (combining marks, zero-width spaces) never fill a word by its width, and
/// a line of preformatted text is one word: either would otherwise grow with
/// the input. A word that reaches it ends there, between two characters.
constexpr size_t kMaxWordBytes = 4096;

/// HTML's whitespace, and the vertical tab, which the classic profile counts too.
bool IsSpace(char32_t c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

/// Hangul syllables and jamo: wide, but Korean breaks lines at spaces.
bool IsHangul(char32_t c) {
  return (c >= 0x1100 && c <= 0x11FF) || (c >= 0x3130 && c <= 0x318F) ||
         (c >= 0xA960 && c <= 0xA97F) || (c >= 0xAC00 && c <= 0xD7FF);
}

/// Control characters are not text: they are dropped.
bool IsControl(char32_t c) { return c < 0x20 || (c >= 0x7F && c <= 0x9F); }

ModernState& S(const ModernRun& run) { return *run.state; }

/// The column the current context's text begins at: a list item's text, a
/// heading's or a definition term's (no margin), else the left margin.
int64_t TextIndent(const ModernState& state, const RunSettings& settings) {
  if (state.preformatted > 0) return 0;
  const bool no_margin = state.heading > 0 || state.in_definition_term;
  if (!state.lists.empty()) return state.lists.back().text_column;
  return no_margin ? 0 : settings.LeftMargin;
}

void AppendSpaces(int64_t count, ByteBuffer* output) {
  if (count > 0) output->append(static_cast<size_t>(count), ' ');
}

/// Ends the current line; a heading's line gets its underline, as wide as its
/// text.
void EndLine(const ModernRun& run) {
  ModernState& state = S(run);
  state.after_word = false;
  run.output->push_back('\n');
  if (state.line_has_text && (state.heading == 1 || state.heading == 2)) {
    // An empty heading after a list marker has no text to underline.
    const int64_t indent = TextIndent(state, run.settings);
    if (state.column > indent) {
      AppendSpaces(indent, run.output);
      run.output->append(static_cast<size_t>(state.column - indent),
                         state.heading == 1 ? '=' : '-');
      run.output->push_back('\n');
    }
  }
  state.last_line_blank = !state.line_has_text;
  state.line_has_text = false;
  state.column = 0;
}

/// Writes the breaks owed before the next text: the end of the current line,
/// and a blank line when one is owed, but never at the start of the output
/// and never two in a row.
void FlushBreak(const ModernRun& run) {
  ModernState& state = S(run);
  const LineBreak owed = state.pending_break;
  state.pending_break = LineBreak::kNone;
  if (!state.wrote_text || owed == LineBreak::kNone) return;
  if (state.line_has_text) EndLine(run);
  if (owed == LineBreak::kBlankLine && !state.last_line_blank) EndLine(run);
}

/// Places a word of `width` columns: on this line after a space (two after a
/// sentence when asked, two between cells), or on a new line when it would
/// reach the right limit.
void PlaceWord(const ModernRun& run, std::string_view word, int64_t width, bool glued) {
  ModernState& state = S(run);
  const RunSettings& settings = run.settings;
  FlushBreak(run);
  int64_t separator = 0;
  if (state.line_has_text && !glued) {
    separator = state.cell_gap ? 2 : 1;
    if (settings.Space2AfterPeriod && state.sentence_ended) separator++;
  }
  if (state.line_has_text && state.column + width >= settings.RightMargin - settings.LeftMargin) {
    EndLine(run);
    separator = 0;
  }
  const int64_t indent = TextIndent(state, settings);
  if (!state.line_has_text) {
    AppendSpaces(indent - state.column, run.output);
    state.column = std::max(state.column, indent);
  } else if (state.column < indent) {
    // Right after a list marker: the item's text stands at its column.
    separator = indent - state.column;
  }
  AppendSpaces(separator, run.output);
  run.output->append(word);
  state.after_word = true;
  state.column += separator + width;
  state.line_has_text = true;
  state.wrote_text = true;
  state.cell_gap = false;
  state.item_start = false;
  state.sentence_ended = EndsSentence(word);
}

/// Adds a character to the pending word. A word that would grow past the
/// word limit (in columns), or past kMaxWordBytes, breaks at its last
/// non-breaking space, or else is cut before the character.
void AddToWord(const ModernRun& run, std::string_view bytes, int64_t width) {
  ModernState& state = S(run);
  if ((state.word_width + width > run.settings.MaxWordLength - 1 ||
       state.word.size() + bytes.size() > kMaxWordBytes) &&
      !state.word.empty()) {
    if (state.word_space_at != std::string::npos) {
      const std::string rest = std::string(state.word.view().substr(state.word_space_at + 1));
      const int64_t rest_width = state.word_width - state.word_space_width - 1;
      // Marks opened after the word's text end the rest, not the part
      // written out now.
      const size_t open_marks = state.word_open_marks;
      state.word_open_marks = 0;
      state.word.resize(state.word_space_at);
      state.word_width = state.word_space_width;
      EndWord(run);
      state.word = rest;
      state.word_width = rest_width;
      state.word_space_at = std::string::npos;  // the rest has none
      if (open_marks == rest.size())
        state.word_only_marks = true;
      else
        state.word_open_marks = open_marks;
      AddToWord(run, bytes, width);  // the rest may still be too long
      return;
    } else {
      EndWord(run);
    }
  }
  if (state.word.empty()) {
    state.word_glued = state.glue_next;
    state.glue_next = false;
  }
  state.word.append(bytes);
  state.word_width += width;
  state.word_only_marks = false;
  state.word_open_marks = 0;
}

/// True when a word of `width` columns, not glued to the text before it,
/// goes on the current line after one space and nothing else: the commonest
/// case, which WriteAfterOneSpace then does.
inline bool PlacesAfterOneSpace(const ModernRun& run, int64_t width) {
  const ModernState& state = S(run);
  const RunSettings& settings = run.settings;
  return state.pending_break == LineBreak::kNone && state.line_has_text && !state.cell_gap &&
         state.preformatted == 0 && !(settings.Space2AfterPeriod && state.sentence_ended) &&
         state.column + width < settings.RightMargin - settings.LeftMargin &&
         state.column >= TextIndent(state, settings);
}

inline void WriteAfterOneSpace(const ModernRun& run, std::string_view word, int64_t width) {
  ModernState& state = S(run);
  char* out = run.output->Reserve(word.size() + 1);
  *out = ' ';
  CopyBytes(out + 1, word.data(), word.size());
  run.output->Commit(out + 1 + word.size());
  state.after_word = true;
  state.column += 1 + width;
  state.sentence_ended = EndsSentence(word);
  state.item_start = false;
}

/// Empties the pending word.
void ClearWord(ModernState& state) {
  state.word.clear();
  state.word_width = 0;
  state.word_glued = false;
  state.word_space_at = std::string::npos;
  state.word_open_marks = 0;
}

/// PlacePendingWord for a word with text.
[[gnu::noinline]] void PlaceWordWithText(const ModernRun& run) {
  ModernState& state = S(run);
  if (state.preformatted == 0 &&
      (state.pending_break != LineBreak::kNone || !state.line_has_text) &&
      state.word.view().find_first_not_of(' ') == std::string_view::npos) {
    // Only no-break spaces, on a line of their own: a line that looks blank
    // but is not, which would undo the tidy blank lines.
    ClearWord(state);
    return;
  }
  if (!state.word_glued && PlacesAfterOneSpace(run, state.word_width)) {
    WriteAfterOneSpace(run, state.word, state.word_width);
  } else if (state.preformatted > 0) {
    // Preformatted text as it stands, without the margin.
    FlushBreak(run);
    state.after_word = false;
    run.output->append(state.word);
    state.column += state.word_width;
    state.line_has_text = true;
    state.wrote_text = true;
    state.item_start = false;
  } else {
    PlaceWord(run, state.word, state.word_width, state.word_glued);
  }
  ClearWord(state);
}

/// Writes out the pending word, as it stands.
inline void PlacePendingWord(const ModernRun& run) {
  // Nothing, or marks that wait for their word: most calls end here.
  if (!S(run).word.empty() && !S(run).word_only_marks) PlaceWordWithText(run);
}

/// Ends a pending word whose text has marks opened right after it
/// ("a<b> b", "a<b><br>b"): the text goes out, and the marks, which belong
/// to the next word, wait for it.
[[gnu::noinline]] void EndWordBeforeMarks(const ModernRun& run) {
  ModernState& state = S(run);
  const size_t open_marks = state.word_open_marks;
  const std::string word(state.word.view());
  const size_t text_size = word.size() - open_marks;
  state.word.assign(std::string_view(word).substr(0, text_size));
  state.word_width -= static_cast<int64_t>(open_marks);
  PlacePendingWord(run);
  state.word.assign(std::string_view(word).substr(text_size));
  state.word_width = static_cast<int64_t>(open_marks);
  state.word_only_marks = true;
  state.word_glued = state.glue_next;  // as a word begun now ("x<b>漢": no space)
  state.glue_next = false;
}

/// True when a closing mark, with no word pending, joins the word last
/// placed: that word ends the output, on a line still open.
bool JoinsPlacedWord(const ModernState& state) {
  return state.line_has_text && state.preformatted == 0 && state.after_word;
}

}  // namespace

void EndWord(const ModernRun& run) {
  // Preformatted text keeps its marks where they stand.
  if (S(run).word_open_marks > 0 && S(run).preformatted == 0)
    EndWordBeforeMarks(run);
  else
    PlacePendingWord(run);
}

void OpenMark(const ModernRun& run, std::string_view mark) {
  ModernState& state = S(run);
  if (state.word_only_marks &&
      state.word_width + static_cast<int64_t>(mark.size()) > run.settings.MaxWordLength - 1) {
    // Marks piling up with no word: they stay within the word limit.
    state.word.clear();
    state.word_width = 0;
    state.word_space_at = std::string::npos;
  }
  const bool only_marks = state.word.empty() || state.word_only_marks;
  const size_t open_marks = state.word_open_marks;
  AddToWord(run, mark, static_cast<int64_t>(mark.size()));
  state.word_only_marks = only_marks || state.word.size() == mark.size();
  state.word_open_marks = state.word_only_marks ? 0 : open_marks + mark.size();
}

void CloseMark(const ModernRun& run, std::string_view mark) {
  ModernState& state = S(run);
  if ((state.word_only_marks || state.word_open_marks >= mark.size()) &&
      state.word.view().ends_with(mark)) {
    // An element with no words: its marks go.
    state.word.resize(state.word.size() - mark.size());
    state.word_width -= static_cast<int64_t>(mark.size());
    if (state.word_open_marks > 0) state.word_open_marks -= mark.size();
    if (state.word.empty()) state.word_only_marks = false;
    return;
  }
  if (state.word.empty() && JoinsPlacedWord(state)) {
    run.output->append(mark);
    state.column += static_cast<int64_t>(mark.size());
    return;
  }
  AddToWord(run, mark, static_cast<int64_t>(mark.size()));
  state.word_only_marks = false;
}

void PlaceLinkNumber(const ModernRun& run, std::string_view number, bool after_text) {
  ModernState& state = S(run);
  // A link that showed no text joins a word only on the same line: after a
  // break it stands apart.
  const bool joins =
      JoinsPlacedWord(state) && (after_text || state.pending_break == LineBreak::kNone);
  if (state.word.empty() && !joins) {
    AddToWord(run, number, static_cast<int64_t>(number.size()));
    EndWord(run);
    return;
  }
  CloseMark(run, number);
}

/// Bytes of a plain word: printable ASCII but the space.
constexpr std::array<bool, 256> kPlainWordBytes = [] {
  std::array<bool, 256> plain{};
  for (int c = 0x21; c < 0x7F; c++) plain[c] = true;
  return plain;
}();

/// After the space at `space` in `text`, when the tokenizer's masks cover
/// it: the words that go on the line as they stand, each whole, plain and
/// ended by a single space, judged 64 bytes at a time and written in one
/// piece, as LayoutText's own steps would write them. Returns the position
/// of the space after the last one taken, `space` when none was.
size_t WritePlainStretch(const ModernRun& run, std::string_view text, size_t space) {
  ModernState& state = S(run);
  const RunSettings& settings = run.settings;
  // Only text that lies in what the masks cover: a reference's characters
  // and the like come from elsewhere.
  if (run.masks == nullptr || text.data() < run.masks_text ||
      text.data() + text.size() > run.masks_text + run.masks_size ||
      (settings.Space2AfterPeriod && state.sentence_ended))
    return space;
  const size_t offset = static_cast<size_t>(text.data() - run.masks_text);
  // A word placed from column c after the space at `space` fits when c plus
  // its width stays below the limit: the space after it lies before `bound`.
  const int64_t bound_at =
      settings.RightMargin - settings.LeftMargin + static_cast<int64_t>(space) + 1 - state.column;
  const size_t bound = bound_at > 0 ? static_cast<size_t>(bound_at) : 0;
  const size_t longest = static_cast<size_t>(settings.MaxWordLength) - 1;
  const bool one_at_a_time = longest < 63 || settings.Space2AfterPeriod;
  size_t last = space;
  size_t last_start = space;
  for (;;) {
    const size_t window = last + 1;
    if (window >= text.size()) break;
    uint64_t stops = run.masks->From(offset + window, &ModernMasks::word_stops);
    // Past this text's end every byte is a stop, and the end ends a word
    // that does not end at a space of its own.
    const size_t end = text.size() - window;
    uint64_t ends = 0;
    if (end < 64) {
      stops |= ~uint64_t{0} << end;
      ends = uint64_t{1} << end;
    }
    const WindowWords words =
        TakeWindowWords(stops, run.masks->From(offset + window, &ModernMasks::spaces), ends, window,
                        bound, one_at_a_time);
    if (!words.taken || words.next - words.start > longest) break;
    last_start = words.start;
    last = words.next;
    if (settings.Space2AfterPeriod && EndsSentence(text.substr(last_start, last - last_start)))
      break;
    if (words.ended) break;
  }
  if (last == space) return space;
  run.output->append(text.substr(space, last - space));
  state.column += static_cast<int64_t>(last - space);
  state.sentence_ended = EndsSentence(text.substr(last_start, last - last_start));
  return last;
}

void LayoutText(const ModernRun& run, std::string_view text) {
  ModernState& state = S(run);
  size_t at = 0;
  while (at < text.size()) {
    // A run of plain ASCII characters joins the word at once; a whole word
    // that ends at a space, when it goes on the line after one space, goes
    // there straight from the text.
    size_t plain = at;
    while (plain < text.size() && kPlainWordBytes[static_cast<unsigned char>(text[plain])]) plain++;
    if (plain > at) {
      const std::string_view run_of_text = text.substr(at, plain - at);
      const int64_t width = static_cast<int64_t>(run_of_text.size());
      if (state.word.empty() && !state.glue_next && width <= run.settings.MaxWordLength - 1 &&
          plain < text.size() && IsSpace(static_cast<unsigned char>(text[plain])) &&
          PlacesAfterOneSpace(run, width)) {
        WriteAfterOneSpace(run, run_of_text, width);
        at = (text[plain] == ' ' ? WritePlainStretch(run, text, plain) : plain) + 1;
        continue;
      }
      const int64_t room = run.settings.MaxWordLength - 1 - state.word_width;
      if (static_cast<int64_t>(run_of_text.size()) <= room &&
          state.word.size() + run_of_text.size() <= kMaxWordBytes) {
        if (state.word.empty()) {
          state.word_glued = state.glue_next;
          state.glue_next = false;
        }
        state.word.append(run_of_text);
        state.word_width += static_cast<int64_t>(run_of_text.size());
        state.word_only_marks = false;
        state.word_open_marks = 0;
      } else {
        for (char c : run_of_text) AddToWord(run, std::string_view(&c, 1), 1);
      }
      at = plain;
      continue;
    }
    char32_t code = static_cast<unsigned char>(text[at]);
    const size_t length = code < 0x80 ? 1 : DecodeUtf8(text.substr(at), &code);
    if (length == 0) {  // not UTF-8, which the input reading rules out: dropped
      at++;
      continue;
    }
    const std::string_view character = text.substr(at, length);
    at += length;
    if (IsSpace(code)) {
      EndWord(run);
      state.glue_next = false;
      if (at < text.size() && IsSpace(static_cast<unsigned char>(text[at]))) {
        // The spaces after it change nothing once a second has ended the
        // word again (which settles a word of marks alone): passed at once.
        EndWord(run);
        do at++;
        while (at < text.size() && IsSpace(static_cast<unsigned char>(text[at])));
      }
    } else if (code == 0xA0) {
      AddToWord(run, " ", 1);  // a space the line does not break at
      state.word_space_at = state.word.size() - 1;
      state.word_space_width = state.word_width - 1;
    } else if (code == 0xAD || IsControl(code)) {
      // a soft hyphen, or a control character: nothing
    } else if (const int width = CharWidth(code); width == 2 && !IsHangul(code)) {
      // Lines may break around the wide characters of Chinese and Japanese,
      // which need no spaces between words. (Korean has spaces.)
      if (!state.word.empty()) state.glue_next = true;
      EndWord(run);
      AddToWord(run, character, width);
      EndWord(run);
      state.glue_next = true;
    } else {
      AddToWord(run, character, width);
    }
  }
}

void LayoutPreformattedText(const ModernRun& run, std::string_view text) {
  ModernState& state = S(run);
  // The line's text joins the pending word, which is written out whenever it
  // reaches kMaxWordBytes, so that a long line is not held whole.
  const auto join = [&](std::string_view bytes, int64_t width) {
    state.word.append(bytes);
    state.word_width += width;
    state.word_only_marks = false;  // the marks before it have their text
    state.word_open_marks = 0;
    if (state.word.size() >= kMaxWordBytes) EndWord(run);
  };
  for (size_t at = 0; at < text.size();) {
    // Printable ASCII joins the line at once.
    size_t plain = at;
    while (plain < text.size() && static_cast<unsigned char>(text[plain]) >= ' ' &&
           static_cast<unsigned char>(text[plain]) < 0x7F)
      plain++;
    if (plain > at && !state.skip_line_feed) {
      const size_t taken = std::min(plain - at, kMaxWordBytes - state.word.size());
      join(text.substr(at, taken), static_cast<int64_t>(taken));
      at += taken;
      continue;
    }
    char32_t code;
    const size_t length = DecodeUtf8(text.substr(at), &code);
    if (length == 0) {  // not UTF-8, which the input reading rules out: dropped
      at++;
      continue;
    }
    const std::string_view character = text.substr(at, length);
    at += length;
    const bool first = state.skip_line_feed;
    state.skip_line_feed = false;
    if (code == '\n') {
      if (first) continue;  // the line feed right after <pre> is not text
      // The line ends as it stands; an empty one at the very start of the
      // output is left out.
      EndWord(run);
      FlushBreak(run);
      if (!state.wrote_text) continue;
      state.after_word = false;
      run.output->push_back('\n');
      state.last_line_blank = !state.line_has_text;
      state.line_has_text = false;
      state.column = 0;
    } else if (code == 0xA0) {
      join(" ", 1);
    } else if (code == '\t' || (code != 0xAD && !IsControl(code))) {
      join(character, code == '\t' ? 1 : CharWidth(code));
    }
  }
}

void BlockBoundary(const ModernRun& run, LineBreak kind) {
  ModernState& state = S(run);
  EndWord(run);
  if (state.item_start) return;
  if (kind > state.pending_break) state.pending_break = kind;
}

void BreakLine(const ModernRun& run) {
  ModernState& state = S(run);
  EndWord(run);
  if (state.pending_break == LineBreak::kNone && state.line_has_text)
    state.pending_break = LineBreak::kLine;
  else
    state.pending_break = LineBreak::kBlankLine;
  state.item_start = false;
}

void EndLineNow(const ModernRun& run) {
  EndWord(run);
  if (S(run).line_has_text) EndLine(run);
}

void PlaceListMarker(const ModernRun& run, std::string_view marker, int64_t marker_column) {
  ModernState& state = S(run);
  EndWord(run);
  if (state.pending_break == LineBreak::kNone) state.pending_break = LineBreak::kLine;
  FlushBreak(run);
  if (state.line_has_text) EndLine(run);
  state.wrote_text = true;
  state.after_word = false;
  AppendSpaces(marker_column, run.output);
  run.output->append(marker);
  state.column = marker_column + static_cast<int64_t>(marker.size());
  state.line_has_text = true;
  state.sentence_ended = false;
  state.cell_gap = false;
  state.item_start = true;
}

void PlaceRule(const ModernRun& run) {
  ModernState& state = S(run);
  EndWord(run);
  if (state.pending_break == LineBreak::kNone) state.pending_break = LineBreak::kLine;
  FlushBreak(run);
  if (state.line_has_text) EndLine(run);
  state.after_word = false;
  run.output->append(kRule);
  state.column = static_cast<int64_t>(kRule.size());
  state.line_has_text = true;
  state.wrote_text = true;
  EndLine(run);
  state.pending_break = LineBreak::kBlankLine;
}

void FinishLayout(const ModernRun& run, Mode mode) {
  ModernState& state = S(run);
  EndWord(run);
  if (state.line_has_text) EndLine(run);
  if (!state.wrote_text && mode == Mode::kFile) run.output->push_back('\n');
  // Marks that no word followed are left out.
  state.word.clear();
  state.word_width = 0;
  state.word_only_marks = false;
  state.word_open_marks = 0;
  // One blank line before the reference list, which the conversion writes.
  if (!state.urls.ends.empty() && state.wrote_text && !state.last_line_blank)
    run.output->push_back('\n');
}

}  // namespace qln::detail
