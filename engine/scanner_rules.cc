// The scanner's ordered rules. Each byte goes through them in order; the
// first rule that applies wins.
#include "scanner_rules.h"

#include "byte_classes.h"
#include "tags.h"

namespace qln::detail {
namespace {

/// AppendToTag for one character.
inline void AppendCharToTag(ConversionState* state, char c) {
  if (state->TagBuffer.size() < kMaxTagLength) state->TagBuffer.push_back(c);
}

/// A reference that belongs to a tag but does not end with ";" goes back into
/// the tag's text and is closed.
void ReturnEntityToTag(ConversionState* state) {
  ReturnToTag(state, state->EntityBuffer);
  state->EntityOpen = false;
  state->EntityInTag = false;
}

// Rule 1: ";" ends an open reference, which is decoded into the tag's text if
// a tag is open, otherwise into the pending word.
void EndEntity(ConversionState* state) {
  if (state->TagOpen) {
    DecodeEntityIntoTag(state);
  } else {
    DecodeEntity(state->EntityBuffer, &state->WordBuffer);
  }
  state->EntityOpen = false;
  state->EntityInTag = false;
}

// Rule 2: ">" ends an open tag. A reference of the tag's own that is still open
// goes back into its text first; one opened outside the tag stays open. The
// tag's text is empty again while no tag is open.
void EndTag(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
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

}  // namespace

// Rule 7: a source line end is kept as an output line end.
size_t KeepLineEnd(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                   size_t i, ChunkEnd end, ByteBuffer* output) {
  if (state->FormatFlags & InHead) {
    state->WordBuffer.clear();
  } else {
    state->FormatFlags |= NewLineAfter;
    EndWord(state, settings, output);
  }
  const bool is_last = i + 1 == chunk.size();
  const bool takes_line_feed = state->CrLfMode && !is_last && chunk[i + 1] == '\n';
  state->WordBuffer.push_back(takes_line_feed ? '\n' : chunk[i]);
  if (is_last) state->CrEndedPiece = state->CrLfMode && end == ChunkEnd::kContinues;
  return takes_line_feed ? 2 : 1;
}

// Rule 5 for the bytes at `at` that an open reference takes as they are.
size_t CollectEntityRun(ConversionState* state, std::string_view chunk, size_t at) {
  const size_t room = kMaxEntityLength - std::min(kMaxEntityLength, state->EntityBuffer.size());
  const size_t most = std::min(room, chunk.size() - at);
  size_t run = 0;
  while (run < most && InClass(chunk[at + run], kEntityText)) run++;
  state->EntityBuffer.append(chunk.substr(at, run));
  return run;
}

void EndChunkAfterPiece(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
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
// is full.
bool JoinWord(ConversionState* state, const RunSettings& settings, std::string_view run,
              ByteBuffer* output) {
  const size_t limit = static_cast<size_t>(settings.MaxWordLength) - 1;
  ByteBuffer& word = state->WordBuffer;
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

// The rules in their order. Bytes of 0x80 and above are dropped, but for
// 0x92, an apostrophe.
//   1. ";" ends an open reference.     6. An open tag collects the byte.
//   2. ">" ends an open tag.           7. A source line end is kept.
//   3. "&" opens a reference.          8. Whitespace, or a full word, ends
//   4. "<" opens a tag.                   the word and starts the next.
//   5. An open reference collects it.  9. The byte joins the word.
size_t ApplyRules(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                  size_t i, ChunkEnd end, ByteBuffer* output) {
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
    return KeepLineEnd(state, settings, chunk, i, end, output);
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

}  // namespace qln::detail
