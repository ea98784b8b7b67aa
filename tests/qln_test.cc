#include <gtest/gtest.h>
#include <qln/qln.h>

#include <climits>

#include "app/modes.h"
#include "engine/run_settings.h"
#include "tests/test_util.h"

namespace {

using qln::kDefaultSettings;
using qln::LineEnds;
using qln::Mode;
using qln::Settings;

Settings MakeSettings(int left, int right, int urls, int line_feeds, int two_spaces) {
  Settings settings;
  settings.LeftMargin = left;
  settings.RightMargin = right;
  settings.DoURLs = urls;
  settings.KeepLinefeeds = line_feeds;
  settings.Space2AfterPeriod = two_spaces;
  return settings;
}

/// The file that file mode writes for a page holding `input`.
std::string FileModeOutput(const std::string& input, const Settings& settings) {
  TempDir dir;
  WriteFile(dir / "page.htm", input);
  EXPECT_TRUE(ConvertFile(dir / "page.htm", settings));
  return ReadFile(dir / "page.txt");
}

TEST(ConvertTest, FileModeGivesTheFileThatFileModeWrites) {
  std::string links;
  for (int i = 0; i < 3000; i++)  // a reference list longer than a write block
    links.append("<A HREF=\"page-").append(std::to_string(i)).append(".htm\">link</A>\n");
  std::string long_line;
  for (int i = 0; i < 20000; i++) long_line.append("word <B>x</B> &amp; ");
  const std::string inputs[] = {
      ReadFile(QLN_SOURCE_DIR "/samples/sample.html"),
      "",
      "Hello world.\n",
      "no line end",
      "<H1>Title</H1>\r\n<P>One.\rTwo.\r\n<PRE>  kept\r\n  lines</PRE>\r\n",
      "<A HREF=\"a.htm\">x</A> y\n<A HREF=\"b.htm\">z</A>",
      "before\x1A after\n",
      std::string("one two\0 three\nfour\n", 20),
      "it\x92s \xE9t\xE9\n",
      links,
      long_line,
  };
  const Settings settings[] = {
      kDefaultSettings,
      MakeSettings(5, 60, 0, 0, 1),
      MakeSettings(10, 40, 1, 0, 1),
      MakeSettings(0, 999, 1, 1, 0),
  };
  for (const Settings& s : settings) {
    for (const std::string& input : inputs) {
      SCOPED_TRACE(input.substr(0, 60));
      // Compared whole: a report of the difference would take long.
      EXPECT_TRUE(FileModeOutput(input, qln::CheckedSettings(s)) == qln::Convert(input, s));
    }
  }
}

TEST(ConvertTest, ClipboardModeConvertsOneChunkWithCrLfAndTheListButNoClosingLineEnd) {
  const std::string list_crlf = "\r\n\r\nHyperlink Reference:\r\n.. [1] a.htm\r\n";
  const std::string list_lf = "\n\nHyperlink Reference:\n.. [1] a.htm\n";
  const Settings no_line_ends = MakeSettings(2, 78, 1, 0, 0);
  const Settings no_links = MakeSettings(2, 78, 0, 1, 0);
  struct {
    std::string text;
    Settings settings;
    LineEnds line_ends;
    std::string expected;
  } cases[] = {
      {"<P>Hello <B>world</B> again.", {}, LineEnds::kCrLf, "\r\n  Hello **world** again."},
      // A text that ends in a tag leaving the pending word in place loses it.
      {"Line1\r\nLine2 <B>x</B>", {}, LineEnds::kCrLf, "  Line1\r\n  Line2"},
      {"Line1\r\nLine2 <B>x</B>", no_line_ends, LineEnds::kCrLf, "  Line1 Line2"},
      {"Line1\r\nLine2 x\r\n", {}, LineEnds::kCrLf, "  Line1\r\n  Line2 x\r\n"},
      {"<A HREF=\"a.htm\">x</A> y", {}, LineEnds::kCrLf, "  x[1] y" + list_crlf},
      {"<A HREF=\"a.htm\">x</A> y", no_links, LineEnds::kCrLf, "  x y"},
      {"<B></B><I>", {}, LineEnds::kCrLf, ""},
      {"", {}, LineEnds::kCrLf, ""},
      {std::string("a b\0 c d", 8), {}, LineEnds::kCrLf, "  a b"},
      // LF line ends in and out, as on a Linux clipboard.
      {"Line1\nLine2 x\n", {}, LineEnds::kLf, "  Line1\n  Line2 x\n"},
      {"Line1\r\nLine2 x\r\n", {}, LineEnds::kLf, "  Line1\n  Line2 x\n"},
      {"<A HREF=\"a.htm\">x</A> y", {}, LineEnds::kLf, "  x[1] y" + list_lf},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(c.expected, qln::Convert(c.text, c.settings, Mode::kClipboard, c.line_ends));
  }
}

TEST(ConvertTest, FileModeWithLfLineEnds) {
  EXPECT_EQ("  Hello world.\n\n", qln::Convert("Hello world.\r\n", {}, Mode::kFile, LineEnds::kLf));
  EXPECT_EQ("  x[1]\n\n\nHyperlink Reference:\n.. [1] a.htm\n",
            qln::Convert("<A HREF=\"a.htm\">x</A>\r\n", {}, Mode::kFile, LineEnds::kLf));
}

TEST(CheckedSettingsTest, TakesWhatTheSettingsFileWouldAndDerivesTheWordLength) {
  struct {
    Settings given;
    Settings expected;
    int max_word_length;
  } cases[] = {
      {kDefaultSettings, kDefaultSettings, 64},
      {MakeSettings(5, 60, 0, 0, 1), MakeSettings(5, 60, 0, 0, 1), 49},
      {MakeSettings(10, 40, 1, 1, 0), MakeSettings(10, 40, 1, 1, 0), 24},
      {MakeSettings(0, 999, 0, 1, 1), MakeSettings(0, 999, 0, 1, 1), 64},
      // Out of range: the defaults, as the settings file would leave them.
      {MakeSettings(11, 39, 2, -1, 7), kDefaultSettings, 64},
      {MakeSettings(-1, 1000, INT_MIN, INT_MAX, 2), kDefaultSettings, 64},
      {MakeSettings(INT_MAX, INT_MIN, 0, 0, 0), MakeSettings(2, 78, 0, 0, 0), 64},
  };
  for (const auto& c : cases) {
    const Settings checked = qln::CheckedSettings(c.given);
    EXPECT_EQ(c.expected.LeftMargin, checked.LeftMargin);
    EXPECT_EQ(c.expected.RightMargin, checked.RightMargin);
    EXPECT_EQ(c.expected.DoURLs, checked.DoURLs);
    EXPECT_EQ(c.expected.KeepLinefeeds, checked.KeepLinefeeds);
    EXPECT_EQ(c.expected.Space2AfterPeriod, checked.Space2AfterPeriod);
    EXPECT_EQ(c.max_word_length, qln::detail::ToRunSettings(c.given).MaxWordLength);
  }
}

TEST(ConvertTest, SettingsOutOfRangeConvertAsTheDefaults) {
  const std::string sample = ReadFile(QLN_SOURCE_DIR "/samples/sample.html");
  Settings wild = MakeSettings(INT_MIN, INT_MAX, 5, -5, 9);
  wild.ModernHtml = INT_MIN;
  for (Mode mode : {Mode::kFile, Mode::kClipboard})
    EXPECT_EQ(qln::Convert(sample, {}, mode), qln::Convert(sample, wild, mode));
}

}  // namespace
