// Runs the real executable without a path, with standard input a pipe or a
// file: it then converts standard input to standard output, with LF line ends.
#include <gtest/gtest.h>

#include "tests/test_util.h"

namespace {

class FilterTest : public ::testing::Test {
 protected:
  std::string Filter(const std::string& input, Input from = Input::kPipe,
                     const std::vector<std::string>& args = {}) {
    RunResult result = RunProgram(qln_, args, dir_.path(), from, input);
    EXPECT_EQ(0, result.exit_code);
    EXPECT_EQ("", result.standard_error);
    return result.standard_output;
  }

  TempDir dir_;
  std::string qln_ = InstallQln(dir_);
};

TEST_F(FilterTest, ConvertsStandardInputInOnePiece) {
  struct {
    std::string input;
    std::string expected;
  } cases[] = {
      {"<P>Hello <B>world</B> again.", "\n  Hello **world** again."},
      // The pending word is lost when the text ends with a tag that keeps it.
      {"Line1\nLine2 <B>x</B>", "  Line1\n  Line2"},
      {"Line1\r\nLine2 x\n", "  Line1\n  Line2 x\n"},
      {"<A HREF=\"a.htm\">x</A> y", "  x[1] y\n\nHyperlink Reference:\n.. [1] a.htm\n"},
      {"<HEAD><TITLE>", ""},
      {"", ""},
      // The text ends at its first zero byte, as a clipboard text does.
      {std::string("one two \0three", 14), "  one two"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(c.expected, Filter(c.input, Input::kPipe)) << c.input;
    EXPECT_EQ(c.expected, Filter(c.input, Input::kFile)) << c.input;
  }
}

TEST_F(FilterTest, OneCharacterCommandLineIsClipboardModeToo) {
  EXPECT_EQ("  a b\n", Filter("a b\n", Input::kPipe, {"x"}));
}

TEST_F(FilterTest, HonoursTheSettingsFile) {
  WriteFile(dir_ / "qln.ini", "qln\nLeftMargin=4\nRightMargin=78\nDoURLs=0\nKeepLinefeeds=0\n");
  EXPECT_EQ("    Line1 Line2 x y", Filter("Line1\nLine2 <A HREF=\"a.htm\">x</A> y\n"));
}

TEST_F(FilterTest, TakesALargeFileWhole) {
  std::string input, expected;
  for (int i = 0; i < 100000; i++) {
    input.append("abc <I>def</I>\n");
    expected.append("  abc ~def~\n");
  }
  // Compared whole, without a printed difference, which would take minutes.
  EXPECT_TRUE(expected == Filter(input, Input::kFile));
}

}  // namespace
