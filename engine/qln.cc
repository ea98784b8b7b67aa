// The one-call conversion: a whole text through the scanner and the
// reference list, with the line-end translations of the mode around it.
#include "engine/qln.h"

#include "engine/conversion_state.h"
#include "engine/line_ends.h"
#include "engine/links.h"
#include "engine/scanner.h"

namespace qln {
namespace {

/// `value` when it lies from `low` to `high`, else `fallback`.
int InRange(int value, int low, int high, int fallback) {
  return value >= low && value <= high ? value : fallback;
}

/// File mode on text already read as text: every line a chunk, then the
/// closing line end and the reference list. LF line ends.
std::string ConvertLines(std::string_view text, const Settings& settings) {
  ConversionState state;
  std::string output;
  output.reserve(text.size() + text.size() / 5);
  // The whole text is one piece: its zero bytes, which end their line's
  // chunk, cannot leave a line that goes on beyond it.
  ScanChunk(&state, settings, text, &output, ChunkEnd::kLineFeeds);
  output.push_back('\n');
  if (settings.DoURLs == 1) WriteUrlList(&state.Urls, &output);
  return output;
}

/// Clipboard mode on a text with CR LF line ends: one chunk, CR LF line ends,
/// the reference list after it and no closing line end.
std::string ConvertOneChunk(std::string_view text, const Settings& settings) {
  ConversionState state;
  state.CrLfMode = true;
  std::string output;
  output.reserve(text.size() + text.size() / 5);
  ScanChunk(&state, settings, text, &output);
  AppendUrlList(&state.Urls, &output);
  return output;
}

}  // namespace

Settings CheckedSettings(const Settings& settings) {
  const Settings& defaults = kDefaultSettings;
  Settings checked;
  checked.LeftMargin = InRange(settings.LeftMargin, 0, 10, defaults.LeftMargin);
  checked.RightMargin = InRange(settings.RightMargin, 40, 999, defaults.RightMargin);
  checked.DoURLs = InRange(settings.DoURLs, 0, 1, defaults.DoURLs);
  checked.KeepLinefeeds = InRange(settings.KeepLinefeeds, 0, 1, defaults.KeepLinefeeds);
  checked.Space2AfterPeriod =
      InRange(settings.Space2AfterPeriod, 0, 1, defaults.Space2AfterPeriod);
  FitWordLengthToMargins(&checked);
  return checked;
}

std::string Convert(std::string_view input, const Settings& settings, Mode mode,
                    LineEnds line_ends) {
  const Settings checked = CheckedSettings(settings);
  if (mode == Mode::kFile) {
    std::string text = ConvertLines(FromTextFile(input), checked);
    return line_ends == LineEnds::kCrLf ? ToTextFile(text) : text;
  }
  if (line_ends == LineEnds::kLf) return ToLfText(ConvertOneChunk(ToCrLfText(input), checked));
  const size_t zero = input.find('\0');
  return ConvertOneChunk(input.substr(0, zero), checked);
}

}  // namespace qln
