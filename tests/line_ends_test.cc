#include "platform/posix/line_ends.h"

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
  for (const auto& c : cases) EXPECT_EQ(c.expected, platform::ToCrLfText(c.text)) << c.text;
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
  for (const auto& c : cases) EXPECT_EQ(c.expected, platform::ToLfText(c.text)) << c.text;
}

}  // namespace
