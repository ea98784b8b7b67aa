// Run lengths found sixteen bytes at a time agree with the byte table.
#include "engine/byte_runs.h"

#include <gtest/gtest.h>

#include <string>

namespace {

template <ByteClass byte_class>
size_t RunByTable(const std::string& text, size_t from) {
  size_t to = from;
  while (to < text.size() && InClass(text[to], byte_class)) to++;
  return to - from;
}

TEST(ByteRunsTest, RunLengthAgreesWithTheTable) {
  // Every kind of byte, at every distance from the start and from the end, so
  // that the sixteen-byte steps meet each one in every lane.
  const std::string stops = {'<', '>', '&', ' ', '\t', '\n', '\r', '\v', '\f',
                             '\x01', '\x1f', '\x7f', '\x80', '\x92', '\xff', ';', '"'};
  for (char stop : stops) {
    for (size_t at = 0; at < 40; at++) {
      std::string text(40, 'x');
      text[at] = stop;
      for (size_t from = 0; from <= text.size(); from++) {
        const char* begin = text.data() + from;
        const char* end = text.data() + text.size();
        SCOPED_TRACE(testing::Message() << int(static_cast<unsigned char>(stop))
                                        << " at " << at << " from " << from);
        EXPECT_EQ((RunLength<kTagText>(begin, end)), RunByTable<kTagText>(text, from));
        EXPECT_EQ((RunLength<kWordText>(begin, end)), RunByTable<kWordText>(text, from));
        size_t token = from;
        while (token < text.size() && text[token] != '"' &&
               !IsWhitespace(static_cast<unsigned char>(text[token])))
          token++;
        EXPECT_EQ(TokenRunLength(begin, end), token - from);
      }
    }
  }
}

TEST(ByteRunsTest, Classes) {
  EXPECT_TRUE(InClass('a', kWordText));
  EXPECT_TRUE(InClass(';', kWordText));    // no reference open: a plain byte
  EXPECT_TRUE(InClass('\x01', kWordText));  // control bytes other than whitespace
  EXPECT_TRUE(InClass(' ', kTagText));
  EXPECT_FALSE(InClass(' ', kWordText));
  EXPECT_FALSE(InClass('>', kTagText));
  EXPECT_FALSE(InClass('\x92', kTagText));  // goes to the word even in a tag
  EXPECT_FALSE(InClass('\0', kTagText));
}

}  // namespace
