// File mode: converts one file into a text file beside it (or into a file
// named for it, or to standard output), and says what became of it.
// (Clipboard mode, the other mode of a run, is in app/clipboard_mode.h.)
#ifndef QLN_APP_MODES_H_
#define QLN_APP_MODES_H_

#include <qln/qln.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "app/output_file.h"

/// The caption of the Windows program's message box.
inline constexpr std::string_view kMessageCaption = "Quillon";

/// What a file of a type file mode does not take is told.
inline constexpr std::string_view kWrongTypeMessage =
    "Files passed to this function can be .html, .htm, or .txt.";

/// What file mode makes of a path.
enum class PathCheck {
  kConvert,      ///< convert it into `*output_path`
  kNoExtension,  ///< no "." at all
  kWrongType,    ///< the extension holds none of "htm" and "txt"
  kOtherFolder,  ///< the last "." is in a folder name
};

/// Checks the path's extension and, for kConvert, names the output file:
/// the path cut at its last "." with "_qln.txt" for a text input, else ".txt".
PathCheck CheckPath(const std::string& path, std::string* output_path);

/// What became of a file.
enum class FileStatus {
  kConverted,
  kNoExtension,   ///< the path has no "."
  kWrongType,     ///< its extension holds none of "htm" and "txt"
  kOtherFolder,   ///< the output would be written outside the input's folder
  kCannotOpen,    ///< the input cannot be opened, or is no regular file
  kSameFile,      ///< the output name leads to the input itself
  kCannotCreate,  ///< the output cannot be created
  kReadFailed,    ///< reading the input failed part-way
  kWriteFailed,   ///< writing the output failed part-way
};

struct FileResult {
  FileStatus status = FileStatus::kConverted;
  /// The path the result is about: the input's, or for kCannotCreate and
  /// kWriteFailed the output's.
  std::string path;
  /// The system's reason, for kCannotOpen, kCannotCreate, kReadFailed and
  /// kWriteFailed.
  std::string reason;
};

/// Where a file's text goes.
struct FileTarget {
  enum class Kind {
    kBeside,          ///< the output file CheckPath names
    kNamed,           ///< the file `path`
    kStandardOutput,  ///< standard output, with LF line ends
  };
  Kind kind = Kind::kBeside;
  std::string path;
};

/// Converts the file at `path` as file mode does, into `target`. An output
/// file is replaced whole or not at all: on any failure a file of its name
/// keeps its contents.
FileResult ConvertFileAt(const std::string& path, const FileTarget& target,
                         const qln::Settings& settings);

/// File mode for a command-line text, as the Windows program takes it: the
/// text with its double quotes removed is the path, converted beside itself.
/// An unsupported extension gets the message box; every other failure is
/// quiet. Returns false when reading or writing failed part-way.
bool ConvertFile(std::string_view command_line, const qln::Settings& settings);

/// Converts all of `input`, read in blocks of `block_size` bytes, into
/// `output` as file mode does: the text with `line_ends`, the closing line
/// end and, when DoURLs is 1, the reference list. Stops at a failed write.
/// Returns kConverted, kReadFailed (with the reason in `*reason`) or
/// kWriteFailed (the reason is the output's).
FileStatus ConvertStream(std::FILE* input, const qln::Settings& settings, qln::LineEnds line_ends,
                         OutputFile* output, std::string* reason, size_t block_size = 64 * 1024);

#endif  // QLN_APP_MODES_H_
