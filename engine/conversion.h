// One streaming conversion: the input read in pieces as its mode reads it
// (text-mode reading, lines, zero bytes), the scanner, and the output handed
// to a sink in blocks with the line ends asked for, then the reference list.
#ifndef QLN_ENGINE_CONVERSION_H_
#define QLN_ENGINE_CONVERSION_H_

#include <qln/qln.h>

#include <string>
#include <string_view>

#include "byte_buffer.h"
#include "conversion_state.h"
#include "modern_state.h"
#include "run_settings.h"

namespace qln::detail {

struct Conversion {
  RunSettings settings;
  Mode mode = Mode::kFile;
  LineEnds line_ends = LineEnds::kCrLf;
  Sink sink = nullptr;
  void* user = nullptr;
  /// The classic profile's state, or (settings.ModernHtml) the modern one's.
  ConversionState state;
  ModernState modern;

  // Input.
  /// The input has ended: a 0x1A byte (file mode) or a zero byte (clipboard
  /// mode) was read. What follows is not read.
  bool input_ended = false;
  /// File mode: the input so far ends with a CR that may be half of a CR LF.
  bool held_cr = false;
  /// Clipboard mode with LF line ends: the input so far ends with a CR.
  bool after_cr = false;
  /// File mode: a zero byte ended a line's chunk; its rest, up to the next
  /// line feed, is skipped.
  bool skipping_line = false;
  /// The last piece scanned left its chunk open: the chunk goes on in the
  /// next piece, or ends with the input.
  bool chunk_open = false;
  bool finished = false;
  /// The input text of one block, after its line ends were translated.
  ByteBuffer input;
  /// The modern profile's clean text of one block.
  std::string text;

  // Output.
  /// Converted text that has not gone to the sink yet.
  ByteBuffer output;
  /// The bytes handed to the sink, after their line ends were translated.
  ByteBuffer wire;
  /// Clipboard mode with LF line ends: the output so far ends with a CR.
  bool output_held_cr = false;
};

/// Sets up `conversion` for a new run.
void StartConversion(Conversion* conversion, const RunSettings& settings, Mode mode,
                     LineEnds line_ends, Sink sink, void* user);

/// Converts the next piece of the input and hands all output that is
/// complete to the sink.
void FeedConversion(Conversion* conversion, std::string_view bytes);

/// Ends the input: the last chunk, the closing line end (file mode) and the
/// reference list, all handed to the sink.
void FinishConversion(Conversion* conversion);

}  // namespace qln::detail

#endif  // QLN_ENGINE_CONVERSION_H_
