// Fuzzes the text-mode reader and the file-mode driver on arbitrary file
// contents. The reader's pieces must join up to the input read as text (CR LF
// as LF, ending at 0x1A), each within the buffer; and converting with a tiny
// reader buffer, which cuts lines at arbitrary places, must give the same
// file as converting with the normal one, and as the one-call conversion.
#include <fuzzer/FuzzedDataProvider.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "app/modes.h"
#include "app/text_file.h"
#include "engine/qln.h"
#include "fuzz/fuzz_settings.h"

namespace {

/// A folder for this process's files, on a memory file system when there is
/// one (the writer syncs every file it closes). Removed when the run ends.
const std::string& WorkFolder() {
  static const std::string folder = [] {
    std::string pattern = "/dev/shm/qln-fuzz-XXXXXX";
    if (!mkdtemp(pattern.data())) {
      pattern = "/tmp/qln-fuzz-XXXXXX";
      if (!mkdtemp(pattern.data())) abort();
    }
    return pattern;
  }();
  static const bool cleaned_up_at_exit = [] {
    return std::atexit([] {
      std::error_code ignored;
      std::filesystem::remove_all(WorkFolder(), ignored);
    }) == 0;
  }();
  (void)cleaned_up_at_exit;
  return folder;
}

std::string ReadWhole(const std::string& path) {
  std::string bytes;
  if (std::FILE* file = std::fopen(path.c_str(), "rb")) {
    char block[4096];
    size_t got;
    while ((got = std::fread(block, 1, sizeof block, file)) > 0) bytes.append(block, got);
    std::fclose(file);
  }
  return bytes;
}

/// The bytes as text mode reads them: CR LF becomes LF, 0x1A ends the text.
std::string AsText(std::string_view raw) {
  std::string text;
  for (size_t i = 0; i < raw.size() && raw[i] != 0x1A; i++)
    if (!(raw[i] == '\r' && i + 1 < raw.size() && raw[i + 1] == '\n')) text.push_back(raw[i]);
  return text;
}

void CheckPieces(const std::string& path, size_t buffer_size, std::string_view raw) {
  TextReader reader(buffer_size);
  Check(reader.Open(path), "input opens");
  std::string joined;
  std::string_view piece;
  bool line_ends = true;
  while (reader.NextPiece(&piece, &line_ends)) {
    Check(!piece.empty() && piece.size() <= buffer_size, "piece within the buffer");
    Check(line_ends || piece.find('\n') == std::string_view::npos,
          "only a line's last piece holds its line feed");
    joined.append(piece);
  }
  Check(!reader.Failed(), "no read error");
  Check(joined == AsText(raw), "pieces join up to the text");
}

std::string ConvertWith(const std::string& input, size_t buffer_size,
                        const Settings& settings, const std::string& output) {
  TextReader reader(buffer_size);
  TextWriter writer;
  Check(reader.Open(input) && writer.Open(output), "files open");
  Check(ConvertText(&reader, settings, &writer), "conversion succeeds");
  Check(writer.Close(), "output closes");
  return ReadWhole(output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  const Settings settings = ConsumeSettings(&data);
  const size_t buffer_size = data.ConsumeIntegralInRange<size_t>(4, 80);
  const std::string raw = data.ConsumeRemainingBytesAsString();

  const std::string input = WorkFolder() + "/in.htm";
  if (std::FILE* file = std::fopen(input.c_str(), "wb")) {
    std::fwrite(raw.data(), 1, raw.size(), file);
    std::fclose(file);
  }
  CheckPieces(input, buffer_size, raw);
  std::string small = ConvertWith(input, buffer_size, settings, WorkFolder() + "/small.txt");
  std::string whole = ConvertWith(input, 64 * 1024, settings, WorkFolder() + "/whole.txt");
  Check(small == whole, "a tiny reader buffer converts as the normal one");
  Check(qln::Convert(raw, settings) == whole, "the one-call conversion gives the file");
  return 0;
}
