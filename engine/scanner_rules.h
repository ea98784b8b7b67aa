// The scanner's ordered rules, one byte at a time: the reference for every
// faster way of scanning. The steps they are made of are shared with the
// block scanner, which takes them in larger strides.
#ifndef QLN_ENGINE_SCANNER_RULES_H_
#define QLN_ENGINE_SCANNER_RULES_H_

#include <algorithm>
#include <string>
#include <string_view>

#include "byte_buffer.h"
#include "conversion_state.h"
#include "formatter.h"
#include "run_settings.h"
#include "scanner.h"

namespace qln::detail {

/// The right single quote of Windows-1252: of the bytes of 0x80 and above,
/// the one the text keeps, as an apostrophe.
inline constexpr unsigned char kRightSingleQuote = 0x92;

/// Appends to the open tag's text, dropping what goes past its cap.
inline void AppendToTag(ConversionState* state, std::string_view text) {
  ByteBuffer& tag = state->TagBuffer;
  if (tag.size() + text.size() > kMaxTagLength)
    text = text.substr(0, kMaxTagLength - std::min(kMaxTagLength, tag.size()));
  tag.append(text);
}

/// Rule 1 in an open tag: the open reference, decoded, joins the tag's text
/// within its cap (as AppendToTag takes it, without a buffer between).
inline void DecodeEntityIntoTag(ConversionState* state) {
  ByteBuffer& tag = state->TagBuffer;
  DecodeEntity(state->EntityBuffer, &tag);
  if (tag.size() > kMaxTagLength) tag.resize(kMaxTagLength);
}

/// A reference that belongs to a tag and gives up there goes back into the
/// tag's text as it stood, "&" included: `reference` is what it collected.
inline void ReturnToTag(ConversionState* state, std::string_view reference) {
  AppendToTag(state, "&");
  AppendToTag(state, reference);
}

/// Hands the pending word to the formatter (or, in head text, discards it) and
/// starts an empty one.
inline void EndWord(ConversionState* state, const RunSettings& settings, ByteBuffer* output) {
  if (!(state->FormatFlags & InHead) && !EmitsNothing(*state, state->WordBuffer))
    EmitWord(state, settings, state->WordBuffer, output);
  state->WordBuffer.clear();
}

/// True when the byte at `i` is the last of its chunk.
inline bool EndsChunk(std::string_view chunk, size_t i, ChunkEnd end) {
  if (i + 1 == chunk.size()) return end != ChunkEnd::kContinues;
  return end == ChunkEnd::kLineFeeds && chunk[i] == '\n';
}

/// True when `c`, last of its chunk or not, is a source line end that is
/// kept as an output line end.
inline bool IsKeptLineEnd(const ConversionState& state, const RunSettings& settings, char c,
                          bool is_last) {
  if (!settings.KeepLinefeeds) return false;
  return state.CrLfMode ? c == '\r' : (c == '\n' && is_last);
}

/// The bytes at `at` that an open reference takes as they are, as many as it
/// has room for, go into it. Returns the number of bytes taken.
size_t CollectEntityRun(ConversionState* state, std::string_view chunk, size_t at);

/// A run of word characters joins the pending word, which goes out whenever
/// it is full. Returns true when the run's last byte joined the word as the
/// ordered rules add a byte (so that when it is also the chunk's last byte
/// the word goes out).
bool JoinWord(ConversionState* state, const RunSettings& settings, std::string_view run,
              ByteBuffer* output);

/// Rule 7 for the kept line end at `i`. Returns the number of bytes taken: 2
/// when a carriage return took the line feed after it along.
size_t KeepLineEnd(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                   size_t i, ChunkEnd end, ByteBuffer* output);

/// The chunk ended right after the previous piece, whose last byte was
/// scanned as one the chunk goes on after: does what that byte does as the
/// chunk's last.
void EndChunkAfterPiece(ConversionState* state, const RunSettings& settings, ByteBuffer* output);

/// The byte at `i` through the ordered rules; the first that applies wins.
/// Returns the number of bytes taken: 2 when a kept carriage return took the
/// line feed after it along.
size_t ApplyRules(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                  size_t i, ChunkEnd end, ByteBuffer* output);

}  // namespace qln::detail

#endif  // QLN_ENGINE_SCANNER_RULES_H_
