// Every byte-scanning helper gives what its plain twin gives, lane for lane,
// and the plain ones agree with the byte table.
#include "engine/simd.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using namespace qln::detail;  // NOLINT(build/namespaces)

template <ByteClass byte_class>
size_t RunByTable(std::string_view text) {
  size_t to = 0;
  while (to < text.size() && InClass(text[to], byte_class)) to++;
  return to;
}

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
      for (auto* run : {&scalar::RunLength<kTagText>, &simd::RunLength<kTagText>})
        ASSERT_EQ(run(begin, end), RunByTable<kTagText>(rest));
      for (auto* run : {&scalar::RunLength<kWordText>, &simd::RunLength<kWordText>})
        ASSERT_EQ(run(begin, end), RunByTable<kWordText>(rest));
      ASSERT_EQ(scalar::TokenRunLength(begin, end), token);
      ASSERT_EQ(simd::TokenRunLength(begin, end), token);
      ASSERT_EQ(simd::FindLastLineFeed(rest), scalar::FindLastLineFeed(rest));
      for (auto [a, b] : {std::pair{'<', '&'}, std::pair{'"', '&'}, std::pair{'\n', '\n'}}) {
        ASSERT_EQ(simd::FindEither(rest, a, b), scalar::FindEither(rest, a, b));
        ASSERT_EQ(scalar::FindEither(rest, a, b), std::min(rest.find(a), rest.find(b)));
      }
      size_t printable = 0;
      while (printable < rest.size() && rest[printable] > ' ' && rest[printable] < 0x7F)
        printable++;
      ASSERT_EQ(scalar::PrintableRunLength(begin, end), printable);
      ASSERT_EQ(simd::PrintableRunLength(begin, end), printable);
      size_t ascii = 0;
      while (ascii < rest.size() && rest[ascii] > 0 && rest[ascii] != '\r') ascii++;
      ASSERT_EQ(scalar::AsciiRunLength(begin, end), ascii);
      ASSERT_EQ(simd::AsciiRunLength(begin, end), ascii);
      std::string copied(2 * rest.size() + 16, '\0'), plain(2 * rest.size() + 16, '\0');
      const size_t copied_size = simd::CopyWithCrLf(rest, copied.data()) - copied.data();
      const size_t plain_size = scalar::CopyWithCrLf(rest, plain.data()) - plain.data();
      ASSERT_EQ(copied.substr(0, copied_size), plain.substr(0, plain_size));
    }
  }
}

TEST(SimdTest, MasksAgreeLaneForLane) {
  for (const std::string& text : Texts()) {
    for (size_t from = 0; from + 64 <= text.size(); from++) {
      const char* p = text.data() + from;
      SCOPED_TRACE(testing::Message() << testing::PrintToString(text) << " from " << from);
      ASSERT_EQ(simd::MayEndRun16<kTagText>(p), scalar::MayEndRun16<kTagText>(p));
      ASSERT_EQ(simd::MayEndRun16<kWordText>(p), scalar::MayEndRun16<kWordText>(p));
      uint64_t spaces = 0, plain_spaces = 0;
      ASSERT_EQ(simd::WordStops64(p, &spaces), scalar::WordStops64(p, &plain_spaces));
      ASSERT_EQ(spaces, plain_spaces);
      // Every byte outside a class may end its run.
      const unsigned word_stops = scalar::MayEndRun16<kWordText>(p);
      const unsigned tag_stops = scalar::MayEndRun16<kTagText>(p);
      for (int i = 0; i < 16; i++) {
        ASSERT_TRUE(InClass(p[i], kWordText) || (word_stops >> i & 1));
        ASSERT_TRUE(InClass(p[i], kTagText) || (tag_stops >> i & 1));
      }
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
