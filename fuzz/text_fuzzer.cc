// Fuzzes file mode as the program runs it: arbitrary file contents, read in
// blocks of an arbitrary size, converted into an output file. The file must
// hold the bytes of the one-call conversion.
#include <fuzzer/FuzzedDataProvider.h>
#include <qln/qln.h>
#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/modes.h"
#include "fuzz/fuzz_settings.h"
#include "platform/files.h"

namespace {

/// A folder for this process's files, on a memory file system when there is
/// one (the output is synced as it is closed). Removed when the run ends.
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  const qln::Settings settings = ConsumeSettings(&data);
  const size_t block_size = data.ConsumeIntegralInRange<size_t>(1, 80);
  const std::string raw = data.ConsumeRemainingBytesAsString();

  const std::string input = WorkFolder() + "/in.htm";
  const std::string output_path = WorkFolder() + "/in.txt";
  if (std::FILE* file = std::fopen(input.c_str(), "wb")) {
    std::fwrite(raw.data(), 1, raw.size(), file);
    std::fclose(file);
  }
  std::FILE* file = platform::OpenRegularFile(input);
  Check(file != nullptr, "input opens");
  OutputFile output;
  Check(output.Open(output_path), "output opens");
  std::string reason;
  Check(ConvertStream(file, settings, qln::LineEnds::kCrLf, &output, &reason, block_size) ==
            FileStatus::kConverted,
        "conversion succeeds");
  std::fclose(file);
  Check(output.Close(), "output closes");
  Check(ReadWhole(output_path) == qln::Convert(raw, settings),
        "the file holds the one-call conversion");
  return 0;
}
