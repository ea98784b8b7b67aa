// The conversion engine in one call, for programs that link it (CMake:
// find_package(qln), then target qln::engine): converts a whole text in memory
// exactly as qln's file mode converts a file, or its clipboard mode the clipboard.
#ifndef QLN_ENGINE_QLN_H_
#define QLN_ENGINE_QLN_H_

#include <string>
#include <string_view>

// settings.h lies beside this header both in the source tree and where the
// two are installed (include/qln/), so it is included by its bare name.
#include "settings.h"

namespace qln {

/// The five user settings and the word-length limit derived from them; see
/// settings.h. kDefaultSettings holds the defaults.
using Settings = ::Settings;
using ::kDefaultSettings;

/// The mode whose conversion Convert follows.
enum class Mode {
  /// File mode: `input` is the content of a file, read as text (a CR LF pair
  /// reads as LF, a 0x1A byte ends it) and converted line by line; a closing
  /// line end and, when DoURLs is 1, the reference list follow. The result
  /// is the content of the file that qln writes.
  kFile,
  /// Clipboard mode: `input` is the clipboard's text, up to its first zero
  /// byte, converted in one piece with CR LF line ends and followed by the
  /// reference list, with no closing line end. The result is the text that
  /// qln puts on the clipboard.
  kClipboard,
};

/// The line ends of the result.
enum class LineEnds {
  /// CR LF, as in the files qln writes on every system and on the Windows
  /// clipboard.
  kCrLf,
  /// LF, as qln writes to a Linux clipboard or pipe. In clipboard mode the
  /// input's LF line ends are then read as CR LF, as qln does on Linux.
  kLf,
};

/// The settings Convert works with: each of the five user settings that lies
/// outside the range the settings file accepts is taken at its default, and
/// MaxWordLength is derived from the margins, as when the file is read.
Settings CheckedSettings(const Settings& settings);

/// Converts all of `input` as the mode `mode` does, under CheckedSettings(settings).
std::string Convert(std::string_view input, const Settings& settings = kDefaultSettings,
                    Mode mode = Mode::kFile, LineEnds line_ends = LineEnds::kCrLf);

}  // namespace qln

#endif  // QLN_ENGINE_QLN_H_
