// The modern profile: today's pages read as browsers read them (UTF-8, every
// character reference, scripts and the head left out, tags with attributes)
// and laid out in the classic way, with tidy blank lines. One forward pass,
// any cutting of the input giving the same output.
#ifndef QLN_ENGINE_MODERN_H_
#define QLN_ENGINE_MODERN_H_

#include <qln/qln.h>

#include <cstdint>
#include <string>
#include <string_view>

#include "blocks.h"
#include "byte_buffer.h"
#include "kernels.h"
#include "modern_state.h"
#include "run_settings.h"

namespace qln::detail {

/// What every part of the modern conversion works on: the state, the
/// settings and the output (LF line ends), which it appends to.
struct ModernRun {
  ModernState* state;
  const RunSettings& settings;
  ByteBuffer* output;
  /// The block masks of the text the tokenizer is reading, when it reads by
  /// blocks (that text is `masks_size` bytes from `masks_text`): the layout may take
  /// stretches of words from them.
  const Blocks<ModernMasks>* masks = nullptr;
  const char* masks_text = nullptr;
  size_t masks_size = 0;
};

/// Converts the next piece of the input; `text` is room for its clean text.
void FeedModern(const ModernRun& run, std::string_view bytes, std::string* text);

/// Ends the input: what is still open ends, the last word is written and the
/// last line ended; a blank line follows when the reference list (which the
/// caller writes) is not empty. In file mode an input with no text at all
/// still gives one line end.
void FinishModern(const ModernRun& run, Mode mode, std::string* text);

// The parts, in the order the input passes through them.

/// Appends `bytes` to `text` as valid UTF-8 with LF line ends: a byte that
/// does not start a complete, valid sequence is read as Windows-1252; CR LF
/// and a lone CR read as LF; zero bytes and a leading byte-order mark go.
/// A sequence that the next piece may complete waits in the state; `at_end`
/// says there is no next piece.
void ReadModernInput(ModernState* state, std::string_view bytes, bool at_end, std::string* text);
/// How many bytes from the start of `bytes` ReadModernInput would append as
/// they stand (ASCII but CR and zero bytes, and whole valid sequences but a
/// leading byte-order mark), with nothing held from the last piece; the
/// state is left as reading them would leave it.
size_t TakeUnchangedInput(ModernState* state, std::string_view bytes);

/// The HTML tokenizer over clean UTF-8 text; it hands text and tags on.
/// Unless the settings ask for the rules alone, it goes by blocks
/// (TokenizeInBlocks), which gives the same.
void Tokenize(const ModernRun& run, std::string_view text);
/// One step of the tokenizer by its states, at `at`: returns the number of
/// bytes taken (0 when it only changed the state).
size_t TokenizerStep(const ModernRun& run, std::string_view text, size_t at);
/// The character a numeric reference stands for, by HTML's rules.
char32_t NumericReferenceCharacter(uint32_t number);
/// The tokenizer by blocks: whole tags and runs of text at a time, the rest
/// by TokenizerStep.
void TokenizeInBlocks(const ModernRun& run, std::string_view text);
/// What the tokenizer still holds at the end of the input is handed on.
void FinishTokenizer(const ModernRun& run);

}  // namespace qln::detail

#endif  // QLN_ENGINE_MODERN_H_
