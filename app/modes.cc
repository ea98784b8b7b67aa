// File mode.
#include "app/modes.h"

#include <qln/qln.h>

#include "platform/files.h"
#include "platform/platform.h"

namespace {

constexpr std::string_view kCaption = "Quillon";
constexpr std::string_view kWrongType =
    "Files passed to this function can be .html, .htm, or .txt.";

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

bool ConvertStream(std::FILE* input, const qln::Settings& settings, OutputFile* output,
                   size_t block_size) {
  qln::Converter converter(settings, qln::Mode::kFile, qln::LineEnds::kCrLf, WriteToOutput, output);
  std::string block(block_size, '\0');
  for (;;) {
    const size_t got = std::fread(block.data(), 1, block.size(), input);
    if (got > 0) converter.Feed(std::string_view(block.data(), got));
    if (output->Failed()) return false;
    if (got < block.size()) break;  // the end, or an error
  }
  if (std::ferror(input)) return false;
  converter.Finish();
  return !output->Failed();
}

bool ConvertFile(std::string_view command_line, const qln::Settings& settings) {
  std::string path;
  for (char c : command_line)
    if (c != '"') path.push_back(c);
  std::string output_path;
  switch (CheckPath(path, &output_path)) {
    case PathCheck::kConvert:
      break;
    case PathCheck::kWrongType:
      platform::ShowMessage(kWrongType, kCaption);
      return true;
    case PathCheck::kNoExtension:
    case PathCheck::kOtherFolder:
      return true;
  }
  std::FILE* input = platform::OpenRegularFile(path);
  if (!input) return true;
  bool ok = true;
  // The output name may reach the input itself through a link: writing it
  // would replace the very file being converted.
  OutputFile output;
  if (!platform::IsSameFile(path, output_path) && output.Open(output_path)) {
    // On failure the output's destructor discards what was written.
    ok = ConvertStream(input, settings, &output) && output.Close();
  }
  std::fclose(input);
  return ok;
}
