// Fuzzes the streaming converter: arbitrary bytes, with arbitrary settings
// (either profile), mode and line ends, fed in pieces cut anywhere. Scanning
// by the ordered rules alone must give the same output and the same state as
// scanning with the shortcuts, after every piece; and the output must be that
// of the whole input fed at once. The modern profile's output must be valid
// UTF-8, and, where the page has no preformatted text, have no blank line at
// its start and never two in a row.
//
// The input's last bytes pick the settings, the mode, the line ends and the
// cutting; the rest is the text.
#include <fuzzer/FuzzedDataProvider.h>

#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/conversion.h"
#include "engine/unicode.h"
#include "fuzz/fuzz_settings.h"

namespace {

using qln::detail::Conversion;
using qln::detail::RunSettings;
using qln::detail::ScanWay;

void AppendTo(const char* bytes, size_t size, void* user) {
  static_cast<std::string*>(user)->append(bytes, size);
}

bool IsValidUtf8(std::string_view text) {
  while (!text.empty()) {
    char32_t code;
    const size_t length = qln::detail::DecodeUtf8(text, &code);
    if (length == 0) return false;
    text.remove_prefix(length);
  }
  return true;
}

/// True when the page may hold preformatted text: "<pre" in any case, the
/// zero bytes that the modern profile drops aside.
bool HasPre(std::string_view raw) {
  std::string html;
  for (char c : raw)
    if (c != '\0') html.push_back(c);
  for (size_t at = html.find('<'); at != std::string_view::npos; at = html.find('<', at + 1)) {
    std::string name;
    for (size_t i = at + 1; i < html.size() && name.size() < 3; i++)
      name.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(html[i]))));
    if (name == "pre") return true;
  }
  return false;
}

void CheckModernOutput(std::string_view html, std::string_view output, qln::LineEnds line_ends) {
  Check(IsValidUtf8(output), "the modern output is UTF-8");
  if (HasPre(html)) return;
  const std::string_view newline = line_ends == qln::LineEnds::kCrLf ? "\r\n" : "\n";
  std::string two_blank_lines;
  for (int i = 0; i < 3; i++) two_blank_lines.append(newline);
  const size_t list = output.rfind("Hyperlink Reference:");
  const std::string_view text = output.substr(0, list);
  Check(text.find(two_blank_lines) == std::string_view::npos, "never two blank lines in a row");
  Check(!(text.starts_with(newline) && text.size() > newline.size()), "no blank line at the start");
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
    Check(fast.conversion.modern == plain.conversion.modern, "the same modern state");
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
  if (settings.ModernHtml) CheckModernOutput(text, fast.output, line_ends);
  return 0;
}
