// The Windows program's entry logic: one command-line text, a message box
// for a file of the wrong type, and quiet ends otherwise.
#include "app/entry.h"

#include <string>
#include <vector>

#include "app/clipboard_mode.h"
#include "app/modes.h"
#include "app/settings_file.h"
#include "platform/files.h"
#include "platform/platform.h"

namespace {

std::string WithoutQuotes(std::string_view text) {
  std::string path;
  for (char c : text)
    if (c != '"') path.push_back(c);
  return path;
}

/// The name of the file at `path`, without its folders.
std::string_view FileName(std::string_view path) {
  const size_t separator = path.find_last_of("\\/");
  return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

/// The files of the command line when it holds several, each an existing
/// file, as Explorer's Send To passes them; none otherwise.
std::vector<std::string> SeveralFiles(std::string_view command_line) {
  std::vector<std::string> files = platform::SplitCommandLine(command_line);
  if (files.size() < 2) return {};
  for (const std::string& file : files)
    if (!platform::IsExistingFile(file)) return {};
  return files;
}

}  // namespace

int RunCommandLine(std::string_view command_line) {
  if (command_line.starts_with('!')) return 0;
  const qln::Settings settings = LoadSettings();
  if (command_line.size() < 2) {
    ConvertClipboard(settings);  // any failure leaves the clipboard quietly
    return 0;
  }
  // The whole text names one file (a path with spaces needs no quotes), or
  // it is several files, each converted in turn with the usual checks; a
  // file of the wrong type among them is named in its message. Otherwise the
  // text is one path, and a missing file ends the run quietly.
  const std::vector<std::string> files = platform::IsExistingFile(WithoutQuotes(command_line))
                                             ? std::vector<std::string>{}
                                             : SeveralFiles(command_line);
  if (files.empty()) {
    // A read or write error is the one failure that is not quiet.
    return ConvertFile(command_line, settings) ? 0 : 1;
  }
  int status = 0;
  for (const std::string& file : files) {
    const FileResult result = ConvertFileAt(file, FileTarget{}, settings);
    if (result.status == FileStatus::kWrongType)
      platform::ShowMessage(std::string(FileName(file)) + ": " + std::string(kWrongTypeMessage),
                            kMessageCaption);
    if (result.status == FileStatus::kReadFailed || result.status == FileStatus::kWriteFailed)
      status = 1;
  }
  return status;
}
