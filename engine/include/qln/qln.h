// qln's conversion engine: HTML in, plain text out, in one forward pass. A
// Converter takes the input in pieces as they come and hands the text to a
// sink as it is made; Convert does the same for a whole text in memory.
#ifndef QLN_QLN_H_
#define QLN_QLN_H_

#include <qln/export.h>
#include <qln/settings.h>

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

namespace qln {

/// The conversion to follow.
enum class Mode {
  /// File mode: the input is the content of a file, read as text (a CR LF
  /// pair reads as LF, a 0x1A byte ends it) and converted line by line; a
  /// closing line end and, when DoURLs is 1, the reference list follow. The
  /// output is the content of the file that qln writes.
  kFile,
  /// Clipboard mode: the input is one text, up to its first zero byte,
  /// converted in one piece and followed by the reference list, with no
  /// closing line end. The output is the text qln puts on the clipboard.
  kClipboard,
};

/// The line ends of the output.
enum class LineEnds {
  /// CR LF, as in the files qln writes on every system and on the Windows
  /// clipboard.
  kCrLf,
  /// LF, as qln writes to a Linux clipboard or pipe. In clipboard mode the
  /// input's LF line ends are then read as CR LF, as qln does on Linux.
  kLf,
};

/// Receives the output: `size` bytes at `bytes`, valid only during the call,
/// and the pointer the caller gave the Converter.
using Sink = void (*)(const char* bytes, size_t size, void* user);

namespace detail {
struct Conversion;
}

/// A conversion in progress. Feed it the input in pieces of any size, cut
/// anywhere, then call Finish: the output is the same however the input was
/// cut. Output goes to the sink as soon as it is complete, at the latest when
/// Feed or Finish returns. Memory stays bounded whatever the input's size,
/// but for the list of distinct link targets.
class QLN_EXPORT Converter {
 public:
  /// Converts under CheckedSettings(settings), in `mode`, with `line_ends`,
  /// handing the output to `sink` with `user`.
  Converter(const Settings& settings, Mode mode, LineEnds line_ends, Sink sink, void* user);
  ~Converter();
  Converter(Converter&&) noexcept;
  Converter& operator=(Converter&&) noexcept;
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  /// Converts the next piece of the input. Throws std::logic_error after
  /// Finish.
  void Feed(std::string_view bytes);
  /// Ends the input and hands the rest of the output to the sink. Throws
  /// std::logic_error when called twice.
  void Finish();

 private:
  std::unique_ptr<detail::Conversion> conversion_;
};

/// Converts all of `input` as `mode` does, under CheckedSettings(settings),
/// and returns the whole output.
QLN_EXPORT std::string Convert(std::string_view input, const Settings& settings = kDefaultSettings,
                               Mode mode = Mode::kFile, LineEnds line_ends = LineEnds::kCrLf);

}  // namespace qln

#endif  // QLN_QLN_H_
