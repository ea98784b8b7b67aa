// The filter, streaming.
#include "app/filter.h"

#include <qln/qln.h>

#include <string>

#include "platform/standard_streams.h"

namespace {

/// The sink's state: the reason of the first failed write.
struct Output {
  bool failed = false;
  std::string reason;
};

void WriteOut(const char* bytes, size_t size, void* user) {
  Output* output = static_cast<Output*>(user);
  if (!output->failed)
    output->failed = !platform::WriteStandardOutput(std::string_view(bytes, size), &output->reason);
}

}  // namespace

FileResult FilterStandardInput(const qln::Settings& settings) {
  Output output;
  qln::Converter converter(settings, qln::Mode::kClipboard, qln::LineEnds::kLf, WriteOut, &output);
  std::string block(64 * 1024, '\0');
  std::string reason;
  for (;;) {
    const long got = platform::ReadStandardInput(block.data(), block.size(), &reason);
    if (got < 0) return {FileStatus::kReadFailed, "standard input", reason};
    if (got == 0) break;
    converter.Feed(std::string_view(block.data(), static_cast<size_t>(got)));
    if (output.failed) return {FileStatus::kWriteFailed, "standard output", output.reason};
  }
  converter.Finish();
  if (output.failed) return {FileStatus::kWriteFailed, "standard output", output.reason};
  return {};
}
