// File mode.
#include "app/modes.h"

#include "engine/links.h"
#include "engine/scanner.h"
#include "platform/files.h"
#include "platform/platform.h"

namespace {

constexpr std::string_view kCaption = "Quillon";
constexpr std::string_view kWrongType =
    "Files passed to this function can be .html, .htm, or .txt.";
constexpr size_t kOutputBlock = 64 * 1024;

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
  if (!is_text && extension.find("htm") == std::string::npos)
    return PathCheck::kWrongType;
  // A dot in a folder name, as in "site.htm/index", would put the output in
  // another folder.
  size_t separator = path.find_last_of("\\/");
  if (separator != std::string::npos && separator > dot)
    return PathCheck::kOtherFolder;
  *output_path = path.substr(0, dot) + (is_text ? "_qln.txt" : ".txt");
  return PathCheck::kConvert;
}

bool ConvertText(TextReader* input, const Settings& settings,
                 TextWriter* output) {
  ConversionState state;
  std::string text;
  text.reserve(kOutputBlock + kOutputBlock / 4);
  std::string_view piece;
  bool line_ends;
  bool skipping = false;  // a zero byte ended the chunk: skip to the line's end
  // The reader hands out whole lines in blocks, and the scanner takes each
  // line feed in a block as the end of a chunk.
  while (input->NextLines(&piece, &line_ends)) {
    if (skipping) {
      // The rest of a line that a zero byte ended: up to its line feed.
      const size_t line_feed = piece.find('\n');
      if (line_feed == std::string_view::npos) {
        skipping = !line_ends;
        continue;
      }
      piece.remove_prefix(line_feed + 1);
      skipping = false;
      if (piece.empty()) continue;
    }
    ChunkEnd end = line_ends ? ChunkEnd::kLineFeeds : ChunkEnd::kContinues;
    if (!ScanChunk(&state, settings, piece, &text, end)) skipping = !line_ends;
    if (text.size() >= kOutputBlock) {
      if (!output->Write(text)) return false;
      text.clear();
    }
  }
  text.push_back('\n');
  // The reference list goes out in blocks too: it may be long.
  size_t next = 0;
  while (settings.DoURLs == 1 &&
         !WriteUrlListPart(&state.Urls, &next, kOutputBlock, &text)) {
    if (!output->Write(text)) return false;
    text.clear();
  }
  return output->Write(text) && !input->Failed();
}

bool ConvertFile(std::string_view command_line, const Settings& settings) {
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
  TextReader input;
  if (!input.Open(path)) return true;
  // The output name may reach the input itself through a link: writing it
  // would replace the very file being converted.
  if (platform::IsSameFile(path, output_path)) return true;
  TextWriter output;
  if (!output.Open(output_path)) return true;
  // On failure the writer's destructor discards the unfinished output.
  return ConvertText(&input, settings, &output) && output.Close();
}
