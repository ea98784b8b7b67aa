#include "app/modes.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "tests/test_util.h"

namespace {

using qln::Settings;

TEST(CheckPathTest, NamesTheOutputOrRefuses) {
  struct {
    std::string path;
    PathCheck check;
    std::string output;
  } cases[] = {
      {"C:\\docs\\page.htm", PathCheck::kConvert, "C:\\docs\\page.txt"},
      {"C:\\My Docs\\page.HTML", PathCheck::kConvert, "C:\\My Docs\\page.txt"},
      {"notes.txt", PathCheck::kConvert, "notes_qln.txt"},
      {"report.HTML", PathCheck::kConvert, "report.txt"},
      {"a.b.xhtml", PathCheck::kConvert, "a.b.txt"},
      {"x.htmlx", PathCheck::kConvert, "x.txt"},
      {"x.TXT2", PathCheck::kConvert, "x_qln.txt"},
      {"/home/u/site/page.htm", PathCheck::kConvert, "/home/u/site/page.txt"},
      {"readme", PathCheck::kNoExtension, ""},
      {"page.doc", PathCheck::kWrongType, ""},
      {"page.", PathCheck::kWrongType, ""},
      {"C:\\my.dir\\readme", PathCheck::kWrongType, ""},
      // The output would land beside the folder, not in it.
      {"C:\\site.htm\\index", PathCheck::kOtherFolder, ""},
      {"/srv/site.html/index", PathCheck::kOtherFolder, ""},
      {"/srv/site.txt/index.htm", PathCheck::kConvert, "/srv/site.txt/index.txt"},
  };
  for (const auto& c : cases) {
    std::string output;
    EXPECT_EQ(c.check, CheckPath(c.path, &output)) << c.path;
    EXPECT_EQ(c.output, output) << c.path;
  }
}

/// File mode's conversion of `input`, read in blocks of `buffer_size` bytes.
std::string ConvertWithBuffer(const std::string& input, size_t buffer_size,
                              const Settings& settings = {}) {
  TempDir dir;
  WriteFile(dir / "in.htm", input);
  std::FILE* file = platform::OpenRegularFile(dir / "in.htm");
  EXPECT_TRUE(file);
  OutputFile output;
  EXPECT_TRUE(output.Open(dir / "out.txt"));
  std::string reason;
  EXPECT_EQ(FileStatus::kConverted,
            ConvertStream(file, settings, qln::LineEnds::kCrLf, &output, &reason, buffer_size));
  EXPECT_TRUE(output.Close());
  std::fclose(file);
  return ReadFile(dir / "out.txt");
}

TEST(ConvertTextTest, LongLinesConvertAsOneChunk) {
  // Words, tags, references and CR LF pairs straddle every possible cut.
  const std::string inputs[] = {
      "<P>Some words, <B>bold</B> &amp; &auml;&#65;, a <A HREF=\"x?a=1&b=2\">link</A>.\r\n"
      "second line<BR>third\r\nlast-word",
      "<PRE>  pre  formatted\r\n  text</PRE> after\r\n",
      std::string(300, 'w') + " tail",
  };
  Settings crlf_off;
  crlf_off.KeepLinefeeds = 0;
  for (const std::string& input : inputs) {
    std::string whole = ConvertWithBuffer(input, 64 * 1024);
    for (size_t size = 1; size < 40; size++)
      EXPECT_EQ(whole, ConvertWithBuffer(input, size)) << input << " / " << size;
    EXPECT_EQ(ConvertWithBuffer(input, 64 * 1024, crlf_off), ConvertWithBuffer(input, 7, crlf_off));
  }
}

TEST(ConvertTextTest, ZeroByteEndsTheLine) {
  // The rest of a line after a zero byte, its line feed included, is not
  // converted; "two" is emitted as the last word of its chunk.
  std::string input("one two\0 three\nfour\n", 20);
  EXPECT_EQ("  one two four\r\n\r\n", ConvertWithBuffer(input, 64 * 1024));
  // Wherever the reader cuts the line, also right before the zero byte.
  for (size_t size = 1; size < 24; size++)
    EXPECT_EQ("  one two four\r\n\r\n", ConvertWithBuffer(input, size)) << size;
}

TEST(ConvertStreamTest, TellsAReadErrorFromTheEnd) {
  // The process's own memory, read from address 0, which is never mapped: a
  // regular file whose reading fails, even for root.
  std::FILE* file = platform::OpenRegularFile("/proc/self/mem");
  if (!file) GTEST_SKIP() << "no /proc/self/mem";
  TempDir dir;
  OutputFile output;
  ASSERT_TRUE(output.Open(dir / "out.txt"));
  std::string reason;
  EXPECT_EQ(FileStatus::kReadFailed,
            ConvertStream(file, {}, qln::LineEnds::kCrLf, &output, &reason));
  EXPECT_EQ("Input/output error", reason);
  std::fclose(file);
}

}  // namespace
