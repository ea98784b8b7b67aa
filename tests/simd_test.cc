// Every byte-scanning helper gives what its plain twin gives, lane for lane,
// and the plain ones agree with the byte table.
#include "engine/simd.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using namespace qln::detail;  // NOLINT(build/namespaces)

/// Texts that put every kind of byte at every distance from the start and
/// from the end, so that the sixteen-byte steps meet each one in every lane,
/// and random texts of every byte and of mostly plain ones.
std::vector<std::string> Texts() {
  const std::string stops = {'<',    '>',    '&',    ' ',    '\t',   '\n',   '\r', '\v', '\f',
                             '\x01', '\x1f', '\x7f', '\x80', '\x92', '\xff', ';',  '"',  '\0'};
  std::vector<std::string> texts;
  for (char stop : stops) {
    for (size_t at = 0; at < 80; at++) {
      std::string text(80, 'x');
      text[at] = stop;
      texts.push_back(text);
    }
  }
  std::mt19937 random(7);
  for (int i = 0; i < 400; i++) {
    std::string text(1 + random() % 200, 'x');
    for (char& c : text)
      c = i % 2 ? static_cast<char>(random()) : "ab <&>\n\r\"\x92;"[random() % 11];
    texts.push_back(text);
  }
  return texts;
}

TEST(SimdTest, RunsAgreeWithTheTableFromEveryStart) {
  for (const std::string& text : Texts()) {
    for (size_t from = 0; from <= text.size(); from++) {
      const std::string_view rest = std::string_view(text).substr(from);
      const char* begin = rest.data();
      const char* end = begin + rest.size();
      SCOPED_TRACE(testing::Message() << testing::PrintToString(text) << " from " << from);
      size_t token = 0;
      while (token < rest.size() && rest[token] != '"' &&
             !IsWhitespace(static_cast<unsigned char>(rest[token])))
        token++;
      ASSERT_EQ(scalar::TokenRunLength(begin, end), token);
      ASSERT_EQ(simd::TokenRunLength(begin, end), token);
      ASSERT_EQ(simd::FindLastLineFeed(rest), scalar::FindLastLineFeed(rest));
      for (auto [a, b] : {std::pair{'<', '&'}, std::pair{'"', '&'}, std::pair{'\n', '\n'}}) {
        ASSERT_EQ(simd::FindEither(rest, a, b), scalar::FindEither(rest, a, b));
        ASSERT_EQ(scalar::FindEither(rest, a, b), std::min(rest.find(a), rest.find(b)));
      }
      size_t ascii = 0;
      while (ascii < rest.size() && rest[ascii] > 0 && rest[ascii] != '\r') ascii++;
      ASSERT_EQ(scalar::AsciiRunLength(begin, end), ascii);
      ASSERT_EQ(simd::AsciiRunLength(begin, end), ascii);
    }
  }
}

TEST(SimdTest, Classes) {
  EXPECT_TRUE(InClass('a', kWordText));
  EXPECT_TRUE(InClass(';', kWordText));     // no reference open: a plain byte
  EXPECT_TRUE(InClass('\x01', kWordText));  // control bytes other than whitespace
  EXPECT_TRUE(InClass(' ', kTagText));
  EXPECT_FALSE(InClass(' ', kWordText));
  EXPECT_FALSE(InClass('>', kTagText));
  EXPECT_FALSE(InClass('\x92', kTagText));  // goes to the word even in a tag
  EXPECT_FALSE(InClass('\0', kTagText));
  EXPECT_FALSE(InClass(';', kEntityText));
}

}  // namespace
