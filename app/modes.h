// File mode: converts one file into a text file beside it.
// (Clipboard mode, the other mode of a run, is in app/clipboard_mode.h.)
#ifndef QLN_APP_MODES_H_
#define QLN_APP_MODES_H_

#include <qln/settings.h>

#include <cstdio>
#include <string>
#include <string_view>

#include "app/output_file.h"

/// File mode: converts the file the command-line text names (double quotes
/// removed) into «name.txt», or «name_qln.txt» for a text input. An
/// unsupported extension gets a message; an input that cannot be opened or is
/// not a regular file, or an output that cannot be created or would be the
/// input itself, ends quietly. Returns false when reading or writing failed
/// part-way: no output is left and a file of its name keeps its contents.
bool ConvertFile(std::string_view command_line, const qln::Settings& settings);

/// What file mode makes of a path.
enum class PathCheck {
  kConvert,      ///< convert it into `*output_path`
  kNoExtension,  ///< no "." at all: end quietly
  kWrongType,    ///< the extension holds none of "htm" and "txt": the message
  kOtherFolder,  ///< the last "." is in a folder name: end quietly
};

/// Checks the path's extension and, for kConvert, names the output file:
/// the path cut at its last "." with "_qln.txt" for a text input, else ".txt".
PathCheck CheckPath(const std::string& path, std::string* output_path);

/// Converts all of `input`, read in blocks of `block_size` bytes, into
/// `output` as file mode does: the text with CR LF line ends, the closing line
/// end and, when DoURLs is 1, the reference list. Returns false when reading
/// or writing failed (it stops at a failed write).
bool ConvertStream(std::FILE* input, const qln::Settings& settings, OutputFile* output,
                   size_t block_size = 64 * 1024);

#endif  // QLN_APP_MODES_H_
