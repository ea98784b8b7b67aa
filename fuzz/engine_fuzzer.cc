// Fuzzes the streaming converter: arbitrary bytes, with arbitrary settings,
// mode and line ends, fed in pieces cut anywhere. Scanning by the ordered
// rules alone must give the same output and the same state as scanning with
// the shortcuts, after every piece; and the output must be that of the whole
// input fed at once.
//
// The input's last bytes pick the settings, the mode, the line ends and the
// cutting; the rest is the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/conversion.h"
#include "fuzz/fuzz_settings.h"

namespace {

using qln::detail::Conversion;
using qln::detail::RunSettings;
using qln::detail::ScanWay;

void AppendTo(const char* bytes, size_t size, void* user) {
  static_cast<std::string*>(user)->append(bytes, size);
}

/// Piece sizes below `most`, from a small generator seeded by the input.
std::vector<size_t> PieceSizes(size_t total, size_t most, uint32_t seed) {
  std::vector<size_t> sizes;
  uint32_t x = seed | 1;
  for (size_t cut = 0; cut < total;) {
    x ^= x << 13;
    x ^= x >> 17;
    x ^= x << 5;
    const size_t size = 1 + x % most;
    sizes.push_back(size);
    cut += size;
  }
  return sizes;
}

struct Streamed {
  Conversion conversion;
  std::string output;
  Streamed(const RunSettings& settings, qln::Mode mode, qln::LineEnds line_ends) {
    StartConversion(&conversion, settings, mode, line_ends, AppendTo, &output);
  }
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  const RunSettings settings = qln::detail::ToRunSettings(ConsumeSettings(&data));
  const qln::Mode mode = data.ConsumeBool() ? qln::Mode::kClipboard : qln::Mode::kFile;
  const qln::LineEnds line_ends = data.ConsumeBool() ? qln::LineEnds::kLf : qln::LineEnds::kCrLf;
  const size_t most = data.ConsumeIntegralInRange<size_t>(1, 80);
  const uint32_t seed = data.ConsumeIntegral<uint32_t>();
  const std::string text = data.ConsumeRemainingBytesAsString();

  RunSettings by_rules = settings;
  by_rules.Scan = ScanWay::kRulesOnly;
  Streamed fast(settings, mode, line_ends), plain(by_rules, mode, line_ends);
  std::string_view rest = text;
  for (size_t piece : PieceSizes(text.size(), most, seed)) {
    const std::string_view bytes = rest.substr(0, piece);
    rest.remove_prefix(bytes.size());
    FeedConversion(&fast.conversion, bytes);
    FeedConversion(&plain.conversion, bytes);
    Check(fast.conversion.state == plain.conversion.state, "the rules alone keep the same state");
    Check(fast.output == plain.output, "the rules alone give the same output");
    const auto& state = fast.conversion.state;
    Check(state.TagBuffer.size() <= qln::detail::kMaxTagLength, "tag text within its cap");
    Check(state.EntityBuffer.size() <= qln::detail::kMaxEntityLength, "reference within its cap");
    Check(state.HrefBuffer.size() <= qln::detail::kMaxHrefLength, "link target within its cap");
  }
  FinishConversion(&fast.conversion);
  FinishConversion(&plain.conversion);
  Check(fast.output == plain.output, "the rules alone give the same output");
  Check(fast.conversion.state.Urls.ends.empty(), "list emptied");

  Streamed whole(settings, mode, line_ends);
  FeedConversion(&whole.conversion, text);
  FinishConversion(&whole.conversion);
  Check(whole.output == fast.output, "pieces convert as the whole");
  return 0;
}
