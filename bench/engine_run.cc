// Runs the engine alone over a file's raw bytes and prints what it makes, so
// that two builds of the engine can be compared byte for byte.
//   engine_run [-i INI] [-c] [-p N] FILE
// Without -c the file is fed line by line, as file mode does (but with no
// text-mode translation), lines longer than N bytes in pieces; with -c the
// whole file is one chunk in CR LF mode, as clipboard mode does, fed in pieces
// of N bytes. Uses only the engine's public interface and the settings parser.
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

#include "app/settings.h"
#include "engine/conversion_state.h"
#include "engine/links.h"
#include "engine/scanner.h"

namespace {

// File mode: lines, each cut into pieces of at most `piece` bytes. A zero byte
// ends its line's chunk, so the rest of that line is skipped.
void FeedLines(std::string_view text, size_t piece, ConversionState* state,
               const Settings& settings, std::string* output) {
  while (!text.empty()) {
    size_t line = std::min(text.find('\n'), text.size() - 1) + 1;
    std::string_view rest = text.substr(0, line);
    text.remove_prefix(line);
    while (!rest.empty()) {
      size_t n = std::min(piece, rest.size());
      ChunkEnd end = n == rest.size() ? ChunkEnd::kEnds : ChunkEnd::kContinues;
      bool whole = ScanChunk(state, settings, rest.substr(0, n), output, end);
      rest.remove_prefix(n);
      if (!whole) break;
    }
  }
  output->push_back('\n');
  if (settings.DoURLs == 1) WriteUrlList(&state->Urls, output);
}

// Clipboard mode: one chunk in pieces.
void FeedWhole(std::string_view text, size_t piece, ConversionState* state,
               const Settings& settings, std::string* output) {
  state->CrLfMode = true;
  while (!text.empty()) {
    size_t n = std::min(piece, text.size());
    ChunkEnd end = n == text.size() ? ChunkEnd::kEnds : ChunkEnd::kContinues;
    if (!ScanChunk(state, settings, text.substr(0, n), output, end)) break;
    text.remove_prefix(n);
  }
  if (settings.DoURLs == 1) AppendUrlList(&state->Urls, output);
}

}  // namespace

int main(int argc, char** argv) {
  Settings settings;
  bool crlf = false;
  size_t piece = static_cast<size_t>(-1);
  const char* path = nullptr;
  for (int i = 1; i < argc; i++) {
    std::string_view arg = argv[i];
    if (arg == "-i" && i + 1 < argc) {
      if (!LoadSettingsFile(argv[++i], &settings)) return 2;
    } else if (arg == "-p" && i + 1 < argc) {
      piece = std::max(1ul, std::strtoul(argv[++i], nullptr, 10));
    } else if (arg == "-c") {
      crlf = true;
    } else {
      path = argv[i];
    }
  }
  std::ifstream in(path ? path : "", std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "usage: engine_run [-i INI] [-c] [-p N] FILE\n");
    return 2;
  }
  std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  ConversionState state;
  std::string output;
  if (crlf)
    FeedWhole(text, piece, &state, settings, &output);
  else
    FeedLines(text, piece, &state, settings, &output);
  std::fwrite(output.data(), 1, output.size(), stdout);
  return 0;
}
