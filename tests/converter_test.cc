// The streaming converter: any cutting of the input gives the same bytes, the
// rules alone give what the shortcuts give, output arrives as input does, and
// memory stays bounded.
#include <gtest/gtest.h>
#include <qln/qln.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "bench/html_gen.h"
#include "tests/engine_test_util.h"
#include "tests/test_util.h"

namespace {

using qln::LineEnds;
using qln::Mode;

/// Inputs of every kind the converter must take in pieces: real and
/// generated pages, CR LF and lone CRs, 0x1A and zero bytes, high bytes,
/// lines longer than a block, and many links.
std::vector<std::string> Inputs() {
  std::vector<std::string> inputs = {
      ReadFile(QLN_SOURCE_DIR "/samples/sample.html"),
      "",
      "Hello world.",
      "<P>One.\r\nTwo\r\rthree\r\n\r\n<PRE>  a\r\n  b</PRE>\r",
      std::string("one two\0 three\nfour\n\0", 22),
      "before\x1A after\n",
      "it\x92s caf\xe9 &auml;&#65;&#10;&#13; <A HREF=\"a.htm\">x</A>\r",
      "\xEF\xBB\xBF<p>Caf\xC3\xA9 \xE6\xBC\xA2\xE5\xAD\x97 &amp; &notit; "
      "<ul><li>x<li><pre>a\n\nb</pre>"
      "</ul><table><tr><td>1<td>2</table><a href='q?a=1&copy=2'>l</a><script>x</script>\xE6\xBC",
      std::string(70000, 'w') + "\r\n" + std::string(70000, ' ') + "<B>x</B>\r",
      "<P>x<PRE>\tint x = a&lt;b; <b>bold</b>\f<a href=\"u\">link</a>\r\n  " +
          std::string(30, 'y') +
          " z\r\n<i>i</i>&amp;\n\n<span class=k>if</span> (x) {\r  y(); }\n</PRE>after",
      // References whole and not: past the last character, too many digits,
      // no digits, names without ";" or unknown, the longest name.
      "&#x10FFFF;&#9999999;&#99999999;&#X41;&#xZ;&#;&#128;&#0;&#x1FFFFFF;&ampx;&amp &AMP;"
      "&CounterClockwiseContourIntegral;&nbsp&nbsp;\r\n",
      // References that give up in open tags, as in script text.
      "<p>e&&t<36?e[t]:\"b\"};f&&u<4;x&amp;&a&&&b<c>d&1234567\x92x<e&abc\r\n;>&&t<1234567890>z",
  };
  for (Shape shape : {Shape::kMix, Shape::kSoup, Shape::kSoupEof, Shape::kRandom, Shape::kLongLine,
                      Shape::kDistinctLinks})
    inputs.push_back(GenerateHtml(shape, 150000, 3));
  return inputs;
}

std::vector<RunSettings> SomeSettings() {
  RunSettings narrow;
  narrow.LeftMargin = 10;
  narrow.RightMargin = 40;
  narrow.MaxWordLength = 24;
  narrow.Space2AfterPeriod = 1;
  narrow.KeepLinefeeds = 0;
  RunSettings no_links;
  no_links.DoURLs = 0;
  RunSettings modern;
  modern.ModernHtml = 1;
  RunSettings modern_narrow = narrow;
  modern_narrow.ModernHtml = 1;
  return {RunSettings{}, narrow, no_links, modern, modern_narrow};
}

/// Where the input is cut: every piece `size` bytes long, or random sizes
/// below `size` when `random` is set.
struct Cutting {
  size_t size;
  bool random;
};

std::vector<std::string_view> Cut(std::string_view input, Cutting cutting, uint32_t seed) {
  std::mt19937 random(seed);
  std::vector<std::string_view> pieces;
  while (!input.empty()) {
    const size_t size = cutting.random ? 1 + random() % cutting.size : cutting.size;
    pieces.push_back(input.substr(0, size));
    input.remove_prefix(pieces.back().size());
  }
  return pieces;
}

struct Streamed {
  Conversion conversion;
  std::string output;
  Streamed(const RunSettings& settings, Mode mode, LineEnds line_ends) {
    StartConversion(&conversion, settings, mode, line_ends, AppendTo, &output);
  }
};

TEST(ConverterTest, PiecesOfAnySizeConvertAsTheWholeAndTheRulesAsTheShortcuts) {
  const Cutting cuttings[] = {{1, false}, {100, true}, {5000, true}, {64 * 1024, false}};
  uint32_t seed = 1;
  for (const std::string& input : Inputs()) {
    for (const RunSettings& settings : SomeSettings()) {
      for (Mode mode : {Mode::kFile, Mode::kClipboard}) {
        for (LineEnds line_ends : {LineEnds::kCrLf, LineEnds::kLf}) {
          SCOPED_TRACE(testing::Message()
                       << input.substr(0, 40) << " mode " << static_cast<int>(mode) << " line ends "
                       << static_cast<int>(line_ends));
          Streamed whole(settings, mode, line_ends);
          FeedConversion(&whole.conversion, input);
          FinishConversion(&whole.conversion);
          for (const Cutting& cutting : cuttings) {
            if (cutting.size == 1 && input.size() > 20000) continue;  // slow, and said by others
            RunSettings by_rules = settings;
            by_rules.Scan = ScanWay::kRulesOnly;
            Streamed fast(settings, mode, line_ends), plain(by_rules, mode, line_ends);
            for (std::string_view piece : Cut(input, cutting, seed++)) {
              FeedConversion(&fast.conversion, piece);
              FeedConversion(&plain.conversion, piece);
              ASSERT_TRUE(fast.conversion.state == plain.conversion.state);
              ASSERT_TRUE(fast.conversion.modern == plain.conversion.modern);
              ASSERT_TRUE(fast.output == plain.output);
            }
            FinishConversion(&fast.conversion);
            FinishConversion(&plain.conversion);
            ASSERT_TRUE(fast.output == whole.output) << cutting.size;
            ASSERT_TRUE(plain.output == whole.output) << cutting.size;
          }
        }
      }
    }
  }
}

TEST(ConverterTest, EveryCutInTwoConvertsAsTheWhole) {
  // What a piece leaves for the next, wherever a short input is cut: a
  // byte-order mark after text, CR LF, a zero byte, a character cut in two,
  // a byte that is not UTF-8, references and tags.
  const std::string input =
      std::string("z\xEF\xBB\xBF\r\n\0a\r", 9) + "\xE6\xBC\xA2\xFF&amp;&#x41;<b>x</b>\r";
  for (const RunSettings& settings : SomeSettings()) {
    Streamed whole(settings, Mode::kFile, LineEnds::kLf);
    FeedConversion(&whole.conversion, input);
    FinishConversion(&whole.conversion);
    for (size_t cut = 0; cut <= input.size(); cut++) {
      Streamed two(settings, Mode::kFile, LineEnds::kLf);
      FeedConversion(&two.conversion, std::string_view(input).substr(0, cut));
      FeedConversion(&two.conversion, std::string_view(input).substr(cut));
      FinishConversion(&two.conversion);
      ASSERT_EQ(whole.output, two.output) << cut;
    }
  }
}

TEST(ConverterTest, OutputArrivesAsTheInputDoes) {
  std::string output;
  qln::Converter converter(qln::kDefaultSettings, Mode::kFile, LineEnds::kCrLf, AppendTo, &output);
  converter.Feed("<P>Hello <A HREF=\"a.htm\">wor");
  EXPECT_EQ("\r\n  Hello", output);
  converter.Feed("ld</A>.\r");
  EXPECT_EQ("\r\n  Hello", output);  // the CR may begin a CR LF
  converter.Feed("\nnext line");
  EXPECT_EQ("\r\n  Hello world[1].\r\n  next", output);
  converter.Finish();
  EXPECT_EQ("\r\n  Hello world[1].\r\n  next line\r\n\r\nHyperlink Reference:\r\n.. [1] a.htm\r\n",
            output);
  EXPECT_THROW(converter.Feed("more"), std::logic_error);
  EXPECT_THROW(converter.Finish(), std::logic_error);
}

TEST(ConverterTest, MemoryStaysBoundedWhateverTheInputsSize) {
  // 24 MB without links, in pieces of 3 MB: what the conversion holds stays
  // within a few blocks.
  const std::string piece = GenerateHtml(Shape::kMix, 3 << 20, 5) + "\n";
  for (Mode mode : {Mode::kFile, Mode::kClipboard}) {
    size_t written = 0;
    Conversion conversion;
    StartConversion(
        &conversion, RunSettings{}, mode, LineEnds::kLf,
        [](const char*, size_t size, void* user) { *static_cast<size_t*>(user) += size; },
        &written);
    for (int i = 0; i < 8; i++) {
      FeedConversion(&conversion, piece);
      EXPECT_GT(written, 0u);
      for (size_t capacity :
           {conversion.input.capacity(), conversion.text.capacity(), conversion.output.capacity(),
            conversion.wire.capacity(), conversion.state.WordBuffer.capacity(),
            conversion.state.TagBuffer.capacity()})
        EXPECT_LT(capacity, 1u << 20);
    }
  }
}

TEST(ConverterTest, AModernWordIsNeverHeldWhole) {
  // Text that no column limit ends: a long line of preformatted text, and
  // characters of no width. 4 MB of it, in pieces of 64 KiB: the pending word
  // stays small, and every character is written, only cut into lines.
  struct Page {
    std::string start, text, unit;
  };
  for (const Page& page : {Page{"<pre>", "", "a"}, Page{"<pre>", "", "\xC3\xA9"},
                           Page{"<p>", "a", "\xCC\x81"}, Page{"<p>", "", "\xE2\x80\x8B"}}) {
    std::string output;
    Conversion conversion;
    RunSettings settings;
    settings.ModernHtml = 1;
    StartConversion(
        &conversion, settings, Mode::kFile, LineEnds::kLf,
        [](const char* bytes, size_t size, void* user) {
          static_cast<std::string*>(user)->append(bytes, size);
        },
        &output);
    std::string piece;
    while (piece.size() < (64 << 10)) piece += page.unit;
    std::string text = page.text;
    FeedConversion(&conversion, page.start + page.text);
    for (int i = 0; i < 64; i++) {
      FeedConversion(&conversion, piece);
      text += piece;
      ASSERT_LT(conversion.modern.word.capacity(), 1u << 16) << page.start << page.unit;
    }
    FinishConversion(&conversion);
    std::erase_if(output, [](char c) { return c == ' ' || c == '\n'; });
    EXPECT_TRUE(output == text) << page.start << page.unit;
  }
}

}  // namespace
