// Reading a settings file's text: positional lines, each examined for its
// own key.
#include <qln/settings.h>

#include <algorithm>
#include <string>

#include "line_ends.h"

namespace qln {
namespace {

constexpr size_t kMaxLineLength = 1023;  // longer lines are read in pieces
constexpr size_t kMostBytesRead = 64 * 1024;
constexpr std::string_view kModernHtml = "ModernHtml=";

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
int DigitValue(char c) { return c - '0'; }

/// Splits off the next line as a fixed line buffer reads it: up to and
/// including a line feed, at most kMaxLineLength characters. The line's text
/// ends at its first zero byte.
std::string_view NextLine(std::string_view* text) {
  size_t lf = text->find('\n');
  size_t length = std::min(lf == std::string_view::npos ? text->size() : lf + 1, kMaxLineLength);
  std::string_view line = text->substr(0, length);
  text->remove_prefix(length);
  return line.substr(0, line.find('\0'));
}

/// The value of a line holding `key`: the text after its last "=". Returns
/// false when the line is shorter than `min_length`, does not begin with the
/// key, or has no "=".
bool FindValue(std::string_view line, std::string_view key, size_t min_length,
               std::string_view* value) {
  if (line.size() < min_length || !line.starts_with(key)) return false;
  size_t equals = line.rfind('=');
  if (equals == std::string_view::npos) return false;
  *value = line.substr(equals + 1);
  return true;
}

std::string_view WithoutLineFeed(std::string_view value) {
  if (value.ends_with('\n')) value.remove_suffix(1);
  return value;
}

// One or two digits, at most 10.
void ParseLeftMargin(std::string_view value, Settings* settings) {
  value = WithoutLineFeed(value);
  int number = -1;
  if (value.size() == 2 && IsDigit(value[1])) {
    number = DigitValue(value[1]);
    if (IsDigit(value[0])) number += 10 * DigitValue(value[0]);
  } else if (value.size() == 1 && IsDigit(value[0])) {
    number = DigitValue(value[0]);
  }
  if (number >= 0 && number <= 10) settings->LeftMargin = number;
}

// Two or three characters read from the right, up to the first non-digit;
// taken from 40 to 999.
void ParseRightMargin(std::string_view value, Settings* settings) {
  value = WithoutLineFeed(value);
  if ((value.size() != 2 && value.size() != 3) || !IsDigit(value.back())) return;
  int number = 0;
  int scale = 1;
  for (size_t i = value.size(); i > 0 && IsDigit(value[i - 1]); i--) {
    number += scale * DigitValue(value[i - 1]);
    scale *= 10;
  }
  if (number >= 40 && number <= 999) settings->RightMargin = number;
}

/// The value cut at its first space.
std::string_view FirstWord(std::string_view value) { return value.substr(0, value.find(' ')); }

// "0" or "1" as the first character; anything else keeps the setting.
void ParseSwitch(std::string_view value, int* setting) {
  value = FirstWord(value);
  if (value.starts_with('0')) *setting = 0;
  if (value.starts_with('1')) *setting = 1;
}

void ParseDoURLs(std::string_view value, Settings* settings) {
  ParseSwitch(value, &settings->DoURLs);
}

void ParseKeepLinefeeds(std::string_view value, Settings* settings) {
  ParseSwitch(value, &settings->KeepLinefeeds);
}

// "1" as the first character turns it on; any other character turns it off.
void ParseSpace2AfterPeriod(std::string_view value, Settings* settings) {
  value = FirstWord(value);
  if (!value.empty()) settings->Space2AfterPeriod = value[0] == '1' ? 1 : 0;
}

struct SettingLine {
  std::string_view key;
  void (*parse)(std::string_view value, Settings* settings);
};

// Lines 2 to 6 of the file, in order.
constexpr SettingLine kSettingLines[] = {
    {"LeftMargin", ParseLeftMargin},
    {"RightMargin", ParseRightMargin},
    {"DoURLs", ParseDoURLs},
    {"KeepLinefeeds", ParseKeepLinefeeds},
    {"Space2AfterPeriod", ParseSpace2AfterPeriod},
};

}  // namespace

Settings ParseSettings(std::string_view file) {
  // A settings file is small: what lies past its first 64 KiB is not read.
  // Read as text, a CR LF pair is one LF, and 0x1A ends the text.
  file = file.substr(0, kMostBytesRead);
  file = file.substr(0, file.find('\x1A'));
  detail::ByteBuffer text;
  bool held_cr = false;
  detail::AppendLfForCrLf(detail::KernelFor(detail::KernelChoice::kAuto), file, &held_cr, &text);
  if (held_cr) text.push_back('\r');
  std::string_view lines = text.view();
  Settings settings;
  NextLine(&lines);  // the first line may say anything
  for (const SettingLine& setting : kSettingLines) {
    std::string_view line = NextLine(&lines);
    std::string_view value;
    // A line is examined only if it can hold the key, "=" and a line feed.
    if (FindValue(line, setting.key, setting.key.size() + 2, &value))
      setting.parse(value, &settings);
  }
  // The profile may be chosen on any line after the first, so that a file
  // may hold just a first line and "ModernHtml=1"; the last such line counts.
  lines = text.view();
  NextLine(&lines);
  while (!lines.empty()) {
    const std::string_view line = NextLine(&lines);
    if (line.starts_with(kModernHtml))
      ParseSwitch(line.substr(kModernHtml.size()), &settings.ModernHtml);
  }
  return settings;
}

}  // namespace qln
