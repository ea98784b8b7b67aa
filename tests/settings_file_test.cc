#include "app/settings_file.h"

#include <gtest/gtest.h>

#include "engine/run_settings.h"
#include "tests/test_util.h"

namespace {

using qln::Settings;

/// Settings with the word-length limit a run derives from them.
struct Expected {
  Settings settings;
  int max_word_length = 64;
};

Expected With(int left, int right, int urls, int keep, int space2, int max_word) {
  return {Settings{left, right, urls, keep, space2, 0}, max_word};
}

struct SettingsCase {
  const char* file;  // the whole settings file
  Expected expected;
};

Settings Parse(const std::string& text) { return qln::ParseSettings(text); }

void ExpectSame(const Expected& expected, const Settings& actual, const char* file) {
  EXPECT_EQ(expected.settings.LeftMargin, actual.LeftMargin) << file;
  EXPECT_EQ(expected.settings.RightMargin, actual.RightMargin) << file;
  EXPECT_EQ(expected.settings.DoURLs, actual.DoURLs) << file;
  EXPECT_EQ(expected.settings.KeepLinefeeds, actual.KeepLinefeeds) << file;
  EXPECT_EQ(expected.settings.Space2AfterPeriod, actual.Space2AfterPeriod) << file;
  EXPECT_EQ(expected.max_word_length, qln::detail::ToRunSettings(actual).MaxWordLength) << file;
}

TEST(SettingsTest, ReadsEachKeyFromItsOwnLine) {
  const Expected kDefaults;
  const SettingsCase cases[] = {
      {"", kDefaults},
      {"[qln]\nLeftMargin=2\nRightMargin=78\nDoURLs=1\nKeepLinefeeds=1\nSpace2AfterPeriod=0\n",
       kDefaults},
      {"anything\nLeftMargin=5\nRightMargin=60\nDoURLs=0\nKeepLinefeeds=0\nSpace2AfterPeriod=1\n",
       With(5, 60, 0, 0, 1, 49)},
      {"x\nLeftMargin=10\nRightMargin=40\n", With(10, 40, 1, 1, 0, 24)},
      // A key on another line than its own is not found.
      {"x\n\nLeftMargin=5\nRightMargin=60\n", kDefaults},
      {"x\nRightMargin=60\n", kDefaults},
      // A prefix test over the key's length.
      {"x\nLeftMarginX=5\n", With(5, 78, 1, 1, 0, 64)},
      // Lines after the sixth are not read.
      {"x\n\n\n\n\n\nLeftMargin=5\n", kDefaults},
  };
  for (const SettingsCase& c : cases) ExpectSame(c.expected, Parse(c.file), c.file);
}

TEST(SettingsTest, MarginValues) {
  struct {
    const char* line2;
    const char* line3;
    int left;
    int right;
  } cases[] = {
      {"LeftMargin=10\n", "", 10, 78},
      {"LeftMargin=0\n", "", 0, 78},
      {"LeftMargin=11\n", "", 2, 78},
      {"LeftMargin=A\n", "", 2, 78},
      {"LeftMargin=05\n", "", 5, 78},
      {"LeftMargin=A5\n", "", 5, 78},  // only a digit second character counts
      {"LeftMargin=5A\n", "", 2, 78},
      {"LeftMargin = 5\n", "", 5, 78},  // the value " 5": the space is no digit
      {"LeftMargin=123\n", "", 2, 78},
      {"LeftMargin=\n", "", 2, 78},
      {"LeftMargin5\n", "", 2, 78},     // no "=": the default stays
      {"Left=Margin=5\n", "", 2, 78},   // does not begin with the key
      {"LeftMargin=a=7\n", "", 7, 78},  // the value follows the last "="
      {"", "RightMargin=100\n", 2, 100},
      {"", "RightMargin=999\n", 2, 999},
      {"", "RightMargin=40\n", 2, 40},
      {"", "RightMargin=39\n", 2, 78},
      {"", "RightMargin=5\n", 2, 78},
      {"", "RightMargin=1A0\n", 2, 78},
      {"", "RightMargin=x65\n", 2, 65},
      {"", "RightMargin=1000\n", 2, 78},
      {"", "RightMargin=65x\n", 2, 78},
      {"", "RightMargin= 65\n", 2, 65},
  };
  for (const auto& c : cases) {
    std::string file = std::string("first\n") + (*c.line2 ? c.line2 : "\n") + c.line3;
    Settings settings = Parse(file);
    EXPECT_EQ(c.left, settings.LeftMargin) << file;
    EXPECT_EQ(c.right, settings.RightMargin) << file;
  }
}

TEST(SettingsTest, SwitchValues) {
  struct {
    const char* lines;  // lines 4 to 6
    int urls;
    int keep;
    int space2;
  } cases[] = {
      {"DoURLs=1 yes\nKeepLinefeeds=2\nSpace2AfterPeriod= 1\n", 1, 1, 0},
      {"DoURLs=0\nKeepLinefeeds=0\nSpace2AfterPeriod=1\n", 0, 0, 1},
      {"DoURLs=0 \nKeepLinefeeds=0x\nSpace2AfterPeriod=1 \n", 0, 0, 1},
      {"DoURLs=\nKeepLinefeeds=\nSpace2AfterPeriod=1\n", 1, 1, 1},
      {"DoURLs= 0\nKeepLinefeeds=1\nSpace2AfterPeriod=2\n", 1, 1, 0},
      // No "=", or too short to hold the key, "=" and a line feed.
      {"DoURLs=0\nKeepLinefeeds0\nSpace2AfterPeriod1", 0, 1, 0},
  };
  for (const auto& c : cases) {
    Settings settings = Parse(std::string("x\nLeftMargin=2\nRightMargin=78\n") + c.lines);
    EXPECT_EQ(c.urls, settings.DoURLs) << c.lines;
    EXPECT_EQ(c.keep, settings.KeepLinefeeds) << c.lines;
    EXPECT_EQ(c.space2, settings.Space2AfterPeriod) << c.lines;
  }
}

TEST(SettingsTest, LastLineWithoutLineFeedKeepsItsValue) {
  EXPECT_EQ(7, Parse("x\nLeftMargin=7").LeftMargin);
  EXPECT_EQ(100, Parse("x\nLeftMargin=2\nRightMargin=100").RightMargin);
  EXPECT_EQ(1, Parse("x\nLeftMargin=2\nRightMargin=78\nDoURLs=0\nKeepLinefeeds=0\n"
                     "Space2AfterPeriod=1")
                   .Space2AfterPeriod);
}

TEST(SettingsTest, LinesAreReadInPiecesOf1023Characters) {
  // A first line of 1100 characters is read as two lines, so the keys shift.
  Settings settings = Parse(std::string(1100, 'x') + "\nLeftMargin=5\n");
  EXPECT_EQ(2, settings.LeftMargin);
  // A zero byte ends a line's text: "LeftMargin=" alone is too short.
  EXPECT_EQ(2, Parse(std::string("x\nLeftMargin=\0"
                                 "5\n",
                                 16))
                   .LeftMargin);
}

TEST(SettingsTest, FileIsReadInTextMode) {
  TempDir dir;
  std::string ini = dir / "qln.ini";
  WriteFile(ini,
            "x\r\nLeftMargin=4\r\nRightMargin=50\r\n\x1A"
            "DoURLs=0\r\n");
  Settings settings;
  ASSERT_TRUE(LoadSettingsFile(ini, &settings));
  ExpectSame(With(4, 50, 1, 1, 0, 40), settings, "CR LF file");

  Settings untouched;
  EXPECT_FALSE(LoadSettingsFile(dir / "missing.ini", &untouched));
  ExpectSame(Expected{}, untouched, "missing file");
}

TEST(SettingsTest, TheShippedExampleSetsEveryDefault) {
  // Read over settings that differ from the defaults in every field, so a
  // line that failed to match its key would show.
  Settings settings = With(7, 50, 0, 0, 1, 64).settings;
  ASSERT_TRUE(LoadSettingsFile(QLN_SOURCE_DIR "/doc/qln.ini", &settings));
  ExpectSame(Expected{}, settings, "doc/qln.ini");
}

}  // namespace
