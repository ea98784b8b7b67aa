// The public interface: the Converter over one streaming conversion, the
// one-call Convert, and the checking of a caller's settings.
#include <qln/qln.h>

#include <stdexcept>

#include "conversion.h"

namespace qln {
namespace {

/// `value` when it lies from `low` to `high`, else `fallback`.
int InRange(int value, int low, int high, int fallback) {
  return value >= low && value <= high ? value : fallback;
}

void AppendToString(const char* bytes, size_t size, void* user) {
  static_cast<std::string*>(user)->append(bytes, size);
}

}  // namespace

Settings CheckedSettings(const Settings& settings) {
  const Settings& defaults = kDefaultSettings;
  Settings checked;
  checked.LeftMargin = InRange(settings.LeftMargin, 0, 10, defaults.LeftMargin);
  checked.RightMargin = InRange(settings.RightMargin, 40, 999, defaults.RightMargin);
  checked.DoURLs = InRange(settings.DoURLs, 0, 1, defaults.DoURLs);
  checked.KeepLinefeeds = InRange(settings.KeepLinefeeds, 0, 1, defaults.KeepLinefeeds);
  checked.Space2AfterPeriod = InRange(settings.Space2AfterPeriod, 0, 1, defaults.Space2AfterPeriod);
  checked.ModernHtml = InRange(settings.ModernHtml, 0, 1, defaults.ModernHtml);
  return checked;
}

namespace detail {

RunSettings ToRunSettings(const Settings& settings) {
  const Settings checked = CheckedSettings(settings);
  RunSettings run;
  run.LeftMargin = checked.LeftMargin;
  run.RightMargin = checked.RightMargin;
  run.DoURLs = checked.DoURLs;
  run.KeepLinefeeds = checked.KeepLinefeeds;
  run.Space2AfterPeriod = checked.Space2AfterPeriod;
  run.ModernHtml = checked.ModernHtml;
  // Words are cut short enough to fit between the margins.
  const int room = run.RightMargin - run.LeftMargin - 6;
  if (room < run.MaxWordLength) run.MaxWordLength = room;
  return run;
}

}  // namespace detail

Converter::Converter(const Settings& settings, Mode mode, LineEnds line_ends, Sink sink, void* user)
    : conversion_(std::make_unique<detail::Conversion>()) {
  detail::StartConversion(conversion_.get(), detail::ToRunSettings(settings), mode, line_ends, sink,
                          user);
}

Converter::~Converter() = default;
Converter::Converter(Converter&&) noexcept = default;
Converter& Converter::operator=(Converter&&) noexcept = default;

void Converter::Feed(std::string_view bytes) {
  if (!conversion_ || conversion_->finished)
    throw std::logic_error("qln::Converter::Feed after Finish");
  detail::FeedConversion(conversion_.get(), bytes);
}

void Converter::Finish() {
  if (!conversion_ || conversion_->finished)
    throw std::logic_error("qln::Converter::Finish called twice");
  detail::FinishConversion(conversion_.get());
}

std::string Convert(std::string_view input, const Settings& settings, Mode mode,
                    LineEnds line_ends) {
  std::string output;
  output.reserve(input.size() + input.size() / 5);
  Converter converter(settings, mode, line_ends, AppendToString, &output);
  converter.Feed(input);
  converter.Finish();
  return output;
}

}  // namespace qln
