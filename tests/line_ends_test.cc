#include "engine/line_ends.h"

#include <gtest/gtest.h>

namespace {

TEST(LineEndsTest, ClipboardTextGetsCrLfAndEndsAtItsFirstZero) {
  struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"a\nb", "a\r\nb"},
      {"\n\n", "\r\n\r\n"},
      {"a\r\nb\n", "a\r\nb\r\n"},  // a CR LF stays one line end
      {"a\rb", "a\rb"},            // a lone CR is left as it is
      {"a\r\r\nb", "a\r\r\nb"},
      {std::string("one\ntwo\0three\n", 14), "one\r\ntwo"},
      {std::string("\0x", 2), ""},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, ToCrLfText(c.text)) << c.text;
}

TEST(LineEndsTest, ResultGetsLf) {
  struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"a\r\nb\r\n", "a\nb\n"},
      {"a\rb\n", "a\rb\n"},
      {"\r\r\n\r", "\r\n\r"},
      {"\r\n\r\n", "\n\n"},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, ToLfText(c.text)) << c.text;
}

TEST(LineEndsTest, TextFilesReadCrLfAsLfUpToTheirEndOfText) {
  struct {
    std::string bytes;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"a\r\nb\r\n", "a\nb\n"},
      {"a\rb\n\r", "a\rb\n\r"},
      {"a\r\r\nb", "a\r\nb"},
      {"one\r\n\x1Atwo\r\n", "one\n"},
      {"a\r\x1A\nb", "a\r"},  // the end of text splits a CR LF pair
      {std::string("a\0b\r\n", 5), std::string("a\0b\n", 4)},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, FromTextFile(c.bytes)) << c.bytes;
}

TEST(LineEndsTest, TextFilesStoreEveryLfAsCrLf) {
  std::string many_line_ends;
  for (int i = 0; i < 40; i++) many_line_ends.append("\r\n");
  // Long enough for the sixteen-byte steps, with line feeds at their edges.
  const std::string block = "0123456789abcde\n";
  struct {
    std::string text;
    std::string expected;
  } cases[] = {
      {"", ""},
      {"\n", "\r\n"},
      {"a\r\nb", "a\r\r\nb"},  // a CR before a LF is not special
      {block + block + "x", "0123456789abcde\r\n0123456789abcde\r\nx"},
      {std::string(40, '\n'), many_line_ends},
  };
  for (const auto& c : cases) EXPECT_EQ(c.expected, ToTextFile(c.text)) << c.text;
}

}  // namespace
