// The filter, streaming.
#include "app/filter.h"

#include <qln/qln.h>

#include <string>

#include "platform/standard_streams.h"

namespace {

void WriteOut(const char* bytes, size_t size, void* failed) {
  if (!*static_cast<bool*>(failed))
    *static_cast<bool*>(failed) = !platform::WriteStandardOutput(std::string_view(bytes, size));
}

}  // namespace

bool FilterStandardInput(const qln::Settings& settings) {
  bool write_failed = false;
  qln::Converter converter(settings, qln::Mode::kClipboard, qln::LineEnds::kLf, WriteOut,
                           &write_failed);
  std::string block(64 * 1024, '\0');
  for (;;) {
    const long got = platform::ReadStandardInput(block.data(), block.size());
    if (got < 0) return false;
    if (got == 0) break;
    converter.Feed(std::string_view(block.data(), static_cast<size_t>(got)));
    if (write_failed) return false;
  }
  converter.Finish();
  return !write_failed;
}
