// Line-end translations, whole and in pieces cut anywhere.
#include "engine/line_ends.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using namespace qln::detail;  // NOLINT(build/namespaces)

struct Case {
  std::string in;
  std::string out;
};

/// A translation over pieces: appends the translation of a piece, carrying a
/// flag from one piece to the next; `finish` writes what the flag still holds.
using Step = std::function<void(std::string_view, bool*, std::string*)>;
using Finish = std::function<void(bool, std::string*)>;

std::string Translate(const std::vector<std::string_view>& pieces, const Step& step,
                      const Finish& finish) {
  std::string out;
  bool flag = false;
  for (std::string_view piece : pieces) step(piece, &flag, &out);
  finish(flag, &out);
  return out;
}

/// Checks each case whole, cut in two at every place, and a byte at a time.
void ExpectTranslations(const std::vector<Case>& cases, const Step& step, const Finish& finish) {
  for (const Case& c : cases) {
    SCOPED_TRACE(c.in);
    const std::string_view in = c.in;
    EXPECT_EQ(c.out, Translate({in}, step, finish));
    for (size_t cut = 0; cut <= in.size(); cut++)
      EXPECT_EQ(c.out, Translate({in.substr(0, cut), in.substr(cut)}, step, finish)) << cut;
    std::vector<std::string_view> bytes;
    for (size_t i = 0; i < in.size(); i++) bytes.push_back(in.substr(i, 1));
    EXPECT_EQ(c.out, Translate(bytes, step, finish));
  }
}

void WriteHeldCr(bool held, std::string* out) {
  if (held) out->push_back('\r');
}

TEST(LineEndsTest, TextModeReadsCrLfAsLf) {
  ExpectTranslations({{"", ""},
                      {"a\r\nb\r\n", "a\nb\n"},
                      {"a\rb\n\r", "a\rb\n\r"},  // a lone CR stays
                      {"a\r\r\nb", "a\r\nb"},
                      {"\r\r\r", "\r\r\r"},
                      {std::string("a\0b\r\n", 5), std::string("a\0b\n", 4)}},
                     AppendAsText, WriteHeldCr);
}

TEST(LineEndsTest, ClipboardTextGetsCrBeforeEveryLf) {
  ExpectTranslations({{"", ""},
                      {"a\nb", "a\r\nb"},
                      {"\n\n", "\r\n\r\n"},
                      {"a\r\nb\n", "a\r\nb\r\n"},  // a CR LF stays one line end
                      {"a\rb", "a\rb"},            // a lone CR is left as it is
                      {"a\r\r\nb", "a\r\r\nb"}},
                     AppendCrBeforeLf, [](bool, std::string*) {});
}

TEST(LineEndsTest, CrLfBecomesLf) {
  ExpectTranslations({{"", ""},
                      {"a\r\nb\r\n", "a\nb\n"},
                      {"a\rb\n", "a\rb\n"},
                      {"\r\r\n\r", "\r\n\r"},
                      {"\r\n\r\n", "\n\n"}},
                     AppendLfForCrLf, WriteHeldCr);
}

TEST(LineEndsTest, TextFilesStoreEveryLfAsCrLf) {
  std::string many_line_ends;
  for (int i = 0; i < 40; i++) many_line_ends.append("\r\n");
  // Long enough for the sixteen-byte steps, with line feeds at their edges.
  const std::string block = "0123456789abcde\n";
  const Case cases[] = {
      {"", ""},
      {"\n", "\r\n"},
      {"a\r\nb", "a\r\r\nb"},  // a CR before a LF is not special
      {block + block + "x", "0123456789abcde\r\n0123456789abcde\r\nx"},
      {std::string(40, '\n'), many_line_ends},
  };
  for (const Case& c : cases) {
    std::string out = "kept";
    AppendWithCrLf(c.in, &out);
    EXPECT_EQ("kept" + c.out, out) << c.in;
  }
}

}  // namespace
