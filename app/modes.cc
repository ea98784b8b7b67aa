// File mode.
#include "app/modes.h"

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/platform.h"

namespace {

std::string LowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return lower;
}

}  // namespace

PathCheck CheckPath(const std::string& path, std::string* output_path) {
  size_t dot = path.rfind('.');
  if (dot == std::string::npos) return PathCheck::kNoExtension;
  // A substring test: "xhtml" and "txt2" count too. ("html" holds "htm".)
  std::string extension = LowerCase(std::string_view(path).substr(dot + 1));
  bool is_text = extension.find("txt") != std::string::npos;
  if (!is_text && extension.find("htm") == std::string::npos) return PathCheck::kWrongType;
  // A dot in a folder name, as in "site.htm/index", would put the output in
  // another folder.
  size_t separator = path.find_last_of("\\/");
  if (separator != std::string::npos && separator > dot) return PathCheck::kOtherFolder;
  *output_path = path.substr(0, dot) + (is_text ? "_qln.txt" : ".txt");
  return PathCheck::kConvert;
}

namespace {

void WriteToOutput(const char* bytes, size_t size, void* output) {
  static_cast<OutputFile*>(output)->Write(std::string_view(bytes, size));
}

}  // namespace

FileStatus ConvertStream(std::FILE* input, const qln::Settings& settings, qln::LineEnds line_ends,
                         OutputFile* output, std::string* reason, size_t block_size) {
  qln::Converter converter(settings, qln::Mode::kFile, line_ends, WriteToOutput, output);
  std::string block(block_size, '\0');
  for (;;) {
    const size_t got = std::fread(block.data(), 1, block.size(), input);
    if (got > 0) converter.Feed(std::string_view(block.data(), got));
    if (output->Failed()) return FileStatus::kWriteFailed;
    if (got < block.size()) break;  // the end, or an error
  }
  if (std::ferror(input)) {
    *reason = std::strerror(errno);
    return FileStatus::kReadFailed;
  }
  converter.Finish();
  return output->Failed() ? FileStatus::kWriteFailed : FileStatus::kConverted;
}

FileResult ConvertFileAt(const std::string& path, const FileTarget& target,
                         const qln::Settings& settings) {
  FileResult result{FileStatus::kConverted, path, ""};
  std::string output_path;
  switch (CheckPath(path, &output_path)) {
    case PathCheck::kConvert:
      break;
    case PathCheck::kNoExtension:
      result.status = FileStatus::kNoExtension;
      return result;
    case PathCheck::kWrongType:
      result.status = FileStatus::kWrongType;
      return result;
    case PathCheck::kOtherFolder:
      // A named output may lie anywhere.
      if (target.kind == FileTarget::Kind::kBeside) {
        result.status = FileStatus::kOtherFolder;
        return result;
      }
      break;
  }
  if (target.kind == FileTarget::Kind::kNamed) output_path = target.path;
  std::FILE* input = platform::OpenRegularFile(path, &result.reason);
  if (!input) {
    result.status = FileStatus::kCannotOpen;
    return result;
  }
  OutputFile output;
  if (target.kind == FileTarget::Kind::kStandardOutput) {
    output.OpenStandardOutput();
  } else if (platform::IsSameFile(path, output_path)) {
    // The output name reaches the input itself (through a link, say):
    // writing it would replace the very file being converted.
    result.status = FileStatus::kSameFile;
  } else if (!output.Open(output_path)) {
    result = {FileStatus::kCannotCreate, output_path, output.Error()};
  }
  if (result.status == FileStatus::kConverted) {
    const qln::LineEnds line_ends = target.kind == FileTarget::Kind::kStandardOutput
                                        ? qln::LineEnds::kLf
                                        : qln::LineEnds::kCrLf;
    // On failure the output's destructor discards what was written.
    result.status = ConvertStream(input, settings, line_ends, &output, &result.reason);
    if (result.status == FileStatus::kConverted && !output.Close())
      result.status = FileStatus::kWriteFailed;
    if (result.status == FileStatus::kWriteFailed) {
      result.path =
          target.kind == FileTarget::Kind::kStandardOutput ? "standard output" : output_path;
      result.reason = output.Error();
    }
  }
  std::fclose(input);
  return result;
}

bool ConvertFile(std::string_view command_line, const qln::Settings& settings) {
  std::string path;
  for (char c : command_line)
    if (c != '"') path.push_back(c);
  const FileResult result = ConvertFileAt(path, FileTarget{}, settings);
  if (result.status == FileStatus::kWrongType)
    platform::ShowMessage(kWrongTypeMessage, kMessageCaption);
  // A read or write error is the one failure that is not quiet.
  return result.status != FileStatus::kReadFailed && result.status != FileStatus::kWriteFailed;
}
