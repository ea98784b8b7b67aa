// Links: anchor targets, link numbers and the reference list.
#include "engine/links.h"

#include <charconv>

#include "engine/formatter.h"

namespace {

constexpr std::string_view kListHeading = "Hyperlink Reference:";

/// Appends "[n]" in decimal.
void AppendNumber(size_t n, std::string* output) {
  char digits[24];
  auto result = std::to_chars(digits, digits + sizeof digits, n);
  output->push_back('[');
  output->append(digits, result.ptr);
  output->push_back(']');
}

/// Appends `lead`, the heading and one ".. [i] target" line per entry, each
/// line ended by `newline`, releasing the entries as it goes.
void AppendList(UrlList* urls, std::string_view lead, std::string_view newline,
                std::string* output) {
  if (urls->entries.empty()) return;
  urls->index.clear();  // it points into the entries about to go
  output->append(lead);
  output->append(kListHeading);
  output->append(newline);
  for (size_t i = 1; !urls->entries.empty(); i++) {
    output->append(".. ");
    AppendNumber(i, output);
    output->push_back(' ');
    output->append(urls->entries.front());
    output->append(newline);
    urls->entries.pop_front();
  }
}

}  // namespace

void ExtractHref(ConversionState* state, std::string_view tag) {
  std::string& href = state->HrefBuffer;
  size_t copy_at = 0;  // where this tag's next target goes in HrefBuffer
  size_t pos = 1;
  while (pos < tag.size()) {
    while (pos < tag.size() && IsWhitespace(tag[pos])) pos++;
    if (tag.substr(pos).starts_with("HREF")) {
      size_t quote = tag.find('"', pos);
      if (quote == std::string_view::npos) return;  // HrefBuffer keeps its text
      href.resize(copy_at);
      if (quote + 1 == tag.size()) return;
      size_t close = tag.find('"', quote + 1);
      std::string_view target = tag.substr(quote + 1, close - quote - 1);
      href.append(target.substr(0, kMaxHrefLength - copy_at));
      copy_at = href.size();
    }
    // Skip the rest of the current token.
    while (pos < tag.size() && !IsWhitespace(tag[pos])) pos++;
  }
}

bool HasLinkTarget(const ConversionState& state) {
  return !state.HrefBuffer.empty() && state.HrefBuffer[0] != '#';
}

void CloseAnchor(ConversionState* state, const Settings& settings) {
  if (settings.DoURLs == 1)
    AppendNumber(RegisterUrl(&state->Urls, state->HrefBuffer) + 1, &state->WordBuffer);
  state->HrefBuffer.clear();
}

size_t RegisterUrl(UrlList* urls, std::string_view target) {
  if (auto found = urls->index.find(target); found != urls->index.end())
    return found->second;
  size_t position = urls->entries.size();
  urls->entries.emplace_back(target);
  urls->index.emplace(urls->entries.back(), static_cast<uint32_t>(position));
  return position;
}

void WriteUrlList(UrlList* urls, std::string* output) {
  AppendList(urls, "\n", "\n", output);
}

void AppendUrlList(UrlList* urls, std::string* output) {
  AppendList(urls, "\r\n\r\n", "\r\n", output);
}
