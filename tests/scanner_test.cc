// The markup scanner: words, references, tags, kept line ends, and pieces of
// input that split a line.
#include "engine/scanner.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine_test_util.h"

namespace {

TEST(ScannerTest, WordsAndReferences) {
  ExpectConversions({
      {{"Hello world.\n"}, "  Hello world.\n"},
      {{"a &lt;b&gt; &#65; &auml; &amp; &nbsp;x\n"}, "  a <b> A ae x\n"},
      {{"AT&T Corporation\n"}, "  ATT Corpoation\n"},  // gives up at "r"
      {{"x&ab&lt;y\n"}, "  x<y\n"},                    // a new "&" restarts
      {{"a;b > c\n"}, "  a;b > c\n"},                  // no reference, no tag
      {{"it\x92s caf\xe9 ok\n"}, "  it's caf ok\n"},
      {{"<I\x92>x\n"}, "  '~x\n"},  // 0x92 goes to the word even in a tag
      {{"<B\xe9>x</B>\n"}, "  **x**\n"},
      {{"<B <I>x\n"}, "  ~x\n"},  // a new "<" restarts the tag
      {{"a\rb\n"}, "  a b\n"},    // CR is only whitespace in file mode
      {{"a\nb\n"}, "  a b\n"},    // so is LF before the chunk's end
  });
}

TEST(ScannerTest, NumericReferencesKeepOnlyBytesOneTo255) {
  const std::pair<std::string, std::string> cases[] = {
      {"gt", ">"},    {"lt", "<"},      {"GT", ""},       {"gtx", ""},   {"#65", "A"},
      {"#1", "\x01"}, {"#255", "\xff"}, {"#233", "\xe9"}, {"# 66", "B"}, {"#+67", "C"},
      {"#66x", "B"},  {"#0066", "B"},   {"#0", ""},       {"#", ""},     {"#256", ""},
      {"#321", ""},   {"#-65", ""},     {"#x41", ""},     {"#8217", ""}, {"#999999", ""},
      {"auml", "ae"}, {"Ouml", "Oe"},   {"xuml", "xe"},   {"uml", ""},   {"aumlx", ""},
      {"aUml", ""},   {"amp", ""},      {"nbsp", ""},     {"quot", ""},  {"", ""},
  };
  for (const auto& [reference, decoded] : cases) {
    SCOPED_TRACE(reference);
    ByteBuffer destination;
    destination = "w";
    DecodeEntity(reference, &destination);
    EXPECT_EQ(destination, "w" + decoded);
  }
  // The byte is stored unchanged, and a reference that decodes to nothing
  // leaves the rest of the word alone.
  ExpectConversions({{{"a&#233;b &#0;c&#256;d&#x41;e\n"},
                      "  a\xe9"
                      "b cde\n"}});
}

TEST(ScannerTest, WordLimitCountsTheLeadingLineFeed) {
  const std::string a63(63, 'a'), a62(62, 'a');
  ExpectConversions({
      {{a63 + "bbbbbbb\n"}, "  " + a63 + " bbbbbbb\n"},
      {{"x\n", a62 + "bbbbbbbb\n"}, "  x\n  " + a62 + " bbbbbbbb\n"},
      // 0x92 is added without the limit test.
      {{a63 + "\x92x\n"}, "  " + a63 + "' x\n"},
  });
  RunSettings settings;
  settings.MaxWordLength = 10;
  ExpectConversions({{{"abcdefghijklm\n"}, "  abcdefghi jklm\n"}}, settings);
}

TEST(ScannerTest, KeptLineEnds) {
  ExpectConversions({
      {{"line one\n", "line two\n"}, "  line one\n  line two\n"},
      {{"xx abc", "def yy"}, "  xx abc def yy"},  // the chunk's end ends the word
      {{"<PRE>  a  b\n", "  c</PRE>\n"}, "  a  b\n\n c\n"},
      {{"a &#\n"}, "  a"},  // the line feed joins the reference
      {{"a &#\n", "65;b\n"}, "  a Ab\n"},
      {{"<HEAD>a b\n", "c</HEAD>d\n"}, "  d\n"},  // head text makes no line end
  });
  RunSettings off;
  off.KeepLinefeeds = 0;
  ExpectConversions(
      {
          {{"line one\n", "line two\n"}, "  line one line two"},
          {{"<PRE>  a  b\n", "  c</PRE>\n"}, "  a  b\n  c"},
      },
      off);
}

TEST(ScannerTest, ClipboardLineEnds) {
  EXPECT_EQ(Convert({"Line1\r\nLine2"}, {}, true), "  Line1\r\n  Line2");
  EXPECT_EQ(Convert({"a\rb\nc"}, {}, true), "  a\r\n  b c");  // a lone CR too, not LF
  // The line feed of the pair is taken with it, not written in a PRE block.
  EXPECT_EQ(Convert({"<PRE>a\r\nb"}, {}, true), "a\r\n\nb");
  RunSettings off;
  off.KeepLinefeeds = 0;
  EXPECT_EQ(Convert({"Line1\r\nLine2"}, off, true), "  Line1 Line2");
}

TEST(ScannerTest, TagSplitOverLinesKeepsTheLineEndInItsText) {
  ConversionState state;
  EXPECT_EQ(Scan(&state, {"<A\n", "HREF=\"x\">link</A>\n"}), "  link[1]\n");
  EXPECT_EQ(TakeList(&state), ListText({"x"}));
  // "BR\n" is not "BR": the tag only ends the word.
  EXPECT_EQ(Convert({"a<BR\n", ">b\n"}), "  a b\n");
  EXPECT_EQ(Convert({"a<BR>b\n"}), "  a\n  b\n");
}

TEST(ScannerTest, ZeroByteEndsTheChunk) {
  ConversionState state;
  ByteBuffer output;
  EXPECT_FALSE(ScanChunk(&state, {}, std::string_view("ab\0cd\n", 6), &output));
  EXPECT_EQ(output, "  ab");
  EXPECT_TRUE(ScanChunk(&state, {}, "ef\n", &output));
  EXPECT_EQ(output, "  ab ef\n");
  ConversionState piece;
  output.clear();
  EXPECT_FALSE(ScanChunk(&piece, {}, std::string_view("ab\0cd", 5), &output, ChunkEnd::kContinues));
  EXPECT_EQ(output, "  ab");
}

TEST(ScannerTest, ChunkEndingRightAfterAPieceEndsWithThatPiece) {
  // The piece after one that continues ends the chunk before any byte of its
  // own (it is empty, or opens with a zero byte): the first piece's last byte
  // is the chunk's last, and acts as such.
  const std::string firsts[] = {"xx abc",  "xx abc\n", "<PRE>a b\n", "<HEAD>t\n",
                                "x &auml", "a<B",      "ab "};
  RunSettings off;
  off.KeepLinefeeds = 0;
  for (const RunSettings& settings : {RunSettings{}, off}) {
    for (const std::string& first : firsts) {
      for (std::string_view second : {std::string_view(""), std::string_view("\0de", 3)}) {
        SCOPED_TRACE(first);
        ConversionState state;
        ByteBuffer output;
        ScanChunk(&state, settings, first, &output, ChunkEnd::kContinues);
        ScanChunk(&state, settings, second, &output);
        ScanChunk(&state, settings, "next\n", &output);
        EXPECT_EQ(output, Convert({first, "next\n"}, settings));
      }
    }
  }
}

/// Converts `chunks`, cutting chunk `index` at `at` into a piece that
/// continues and a piece that ends the chunk.
std::string ConvertSplit(const std::vector<std::string>& chunks, size_t index, size_t at,
                         const RunSettings& settings, bool crlf) {
  ConversionState state;
  state.CrLfMode = crlf;
  ByteBuffer output;
  for (size_t i = 0; i < chunks.size(); i++) {
    std::string_view chunk = chunks[i];
    if (i == index) {
      ScanChunk(&state, settings, chunk.substr(0, at), &output, ChunkEnd::kContinues);
      chunk.remove_prefix(at);
    }
    ScanChunk(&state, settings, chunk, &output);
  }
  return std::string(output.view());
}

TEST(ScannerTest, LineCutIntoPiecesConvertsLikeTheWholeLine) {
  const std::vector<std::vector<std::string>> files = {
      {"Hello <B>bold</B> world &amp; AT&T Corporation, <A HREF=\"x.htm\">link</A>.\n",
       std::string(100, 'w') + " &#65;&auml; end\n", "last line without a line feed"},
      {"<PRE>  a  b\n", "  c</PRE> <H1>Head line</H1>\n", "<UL><LI>one<LI>two</UL>x"},
      {"<A HREF=\"a.php?x=1&y=2&z=3\">t</A> <HEAD>h i</HEAD>after &#\n", "66; done\n"},
  };
  RunSettings off;
  off.KeepLinefeeds = 0;
  for (const RunSettings& settings : {RunSettings{}, off}) {
    for (const auto& file : files) {
      const std::string whole = Convert(file, settings);
      for (size_t index = 0; index < file.size(); index++) {
        for (size_t at = 1; at < file[index].size(); at++) {
          ASSERT_EQ(ConvertSplit(file, index, at, settings, false), whole)
              << "line " << index << " cut at " << at;
        }
      }
    }
  }
  // One piece that continues, then a piece that ends the chunk: the word
  // straddling the cut stays one word.
  ConversionState state;
  ByteBuffer output;
  ScanChunk(&state, {}, "abc", &output, ChunkEnd::kContinues);
  ScanChunk(&state, {}, "def\n", &output);
  EXPECT_EQ(output, "  abcdef\n");
}

// Lines handed over in blocks, each line feed ending a chunk, convert like the
// same lines one by one: also where a zero byte ends a line early, where a
// block ends inside a line, and with the source's line ends off.
TEST(ScannerTest, BlocksOfLinesConvertLikeTheLinesOneByOne) {
  using namespace std::string_literals;
  const std::vector<std::vector<std::string>> files = {
      {"Hello <B>bold</B> world &amp; AT&T\n", "<A HREF=\"x\"\n", "title=\"t\">link</A>.\n",
       "words at the end\n", "last line without a line feed"},
      {"<PRE>  a  b\n", "  c</PRE> <H1>Head</H1>\n", "a &#\n", "66; done\n", "\n", "x\n"},
      {"one\0two\n"s, "\0\n"s, "three <B\0\n"s, "four\n", "five\0"s},
      {"a\r\n", "b\rc\n", "<HEAD>t\n", "</HEAD>", "end"},
  };
  RunSettings off;
  off.KeepLinefeeds = 0;
  for (const RunSettings& settings : {RunSettings{}, off}) {
    for (const auto& file : files) {
      std::string text;
      for (const std::string& line : file) text += line;
      const std::string by_lines = Convert(file, settings);
      // Whole lines up to the line holding `at`, then that line's text up to
      // `at` as a piece its line goes on after, then the rest.
      for (size_t at = 0; at < text.size(); at++) {
        ConversionState state;
        ByteBuffer output;
        const std::string_view all = text;
        const size_t line = all.substr(0, at).rfind('\n') + 1;  // 0 for none
        ScanChunk(&state, settings, all.substr(0, line), &output, ChunkEnd::kLineFeeds);
        std::string_view rest = all.substr(at);
        if (at > line && !ScanChunk(&state, settings, all.substr(line, at - line), &output,
                                    ChunkEnd::kContinues))
          rest.remove_prefix(std::min(rest.size(), rest.find('\n') + 1));  // skipped
        if (!rest.empty()) ScanChunk(&state, settings, rest, &output, ChunkEnd::kLineFeeds);
        ASSERT_EQ(output, by_lines) << "cut at " << at;
      }
    }
  }
}

TEST(ScannerTest, ABlockOfManyLinesWithZeroBytesConvertsLikeItsLines) {
  // A zero byte on each of a hundred thousand lines: each line is a chunk of
  // its own up to the zero, however many of them one block holds.
  using namespace std::string_literals;
  const std::vector<std::string> lines(100000, "x\0y\n"s);
  std::string block;
  for (const std::string& line : lines) block += line;
  ConversionState state;
  ByteBuffer output;
  EXPECT_TRUE(ScanChunk(&state, {}, block, &output, ChunkEnd::kLineFeeds));
  EXPECT_TRUE(output == Convert(lines));  // no printed difference: it is long
}

TEST(ScannerTest, ClipboardTextCutIntoPiecesConvertsLikeTheWholeText) {
  const std::vector<std::string> text = {"<PRE>a\r\nb\r\n\r\n</PRE>x y\r\nlast\rline"};
  const std::string whole = Convert(text, {}, true);
  for (size_t at = 1; at < text[0].size(); at++)
    EXPECT_EQ(ConvertSplit(text, 0, at, {}, true), whole) << "cut at " << at;
}

TEST(ScannerTest, ReferenceInsideATagBelongsToTheTag) {
  struct Case {
    std::string line, output, target;
  };
  const Case cases[] = {
      {"<A HREF=\"a.php?x=1&y=2\">link</A> after\n", "  link[1] after\n", "a.php?x=1&y=2"},
      {"<A HREF=\"a?x=1&y=2&z=3\">t</A>\n", "  t[1]\n", "a?x=1&y=2&z=3"},
      // Given up after 7 characters: the byte that follows stays in the tag.
      {"<A HREF=\"q&abcdefgh\">t</A>\n", "  t[1]\n", "q&abcdefgh"},
      {"<A HREF=\"q&abcdefg\">t</A>\n", "  t[1]\n", "q&abcdefg"},
      // Ended by ";": decoded into the tag's text.
      {"<A HREF=\"a&lt;b\">t</A>\n", "  t[1]\n", "a<b"},
      {"<A HREF=\"x&amp;y=1\">t</A>\n", "  t[1]\n", "xy=1"},
      {"<A HREF=\"x&#0;y\">t</A>\n", "  t[1]\n", "xy"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ConversionState state;
    EXPECT_EQ(Scan(&state, {c.line}), c.output);
    EXPECT_EQ(TakeList(&state), ListText({c.target}));
  }
  EXPECT_EQ(ConvertAsFile({cases[0].line}),
            "  link[1] after\n\n\nHyperlink Reference:\n.. [1] a.php?x=1&y=2\n");
}

TEST(ScannerTest, ReferenceOpenedOutsideATagOutlivesTags) {
  // The reference takes the tag's letters (it is tried first), the empty tags
  // only end the word, and the reference gives up at "m".
  EXPECT_EQ(Convert({"AT&T <B>x</B> more\n"}), "  AT T Bx/B ore\n");
}

TEST(ScannerTest, TagTextStopsAt3071Characters) {
  // The tag text is "A", padding, and HREF="..." reaching the cap; the target
  // shows what of the last characters was kept.
  auto target_of = [](size_t length_before, const std::string& rest) {
    ConversionState state;
    std::string line = "<A";
    line.append(length_before - 8, ' ');
    line.append("HREF=\"x").append(rest).append(">");
    Scan(&state, {line});
    return state.HrefBuffer;
  };
  EXPECT_EQ(target_of(3070, "yz"), "xy");
  EXPECT_EQ(target_of(3069, "&abc"), "x&a");   // a reference given back to the tag
  EXPECT_EQ(target_of(3070, "&auml;"), "xa");  // decoded characters too
  EXPECT_EQ(target_of(3071, "&gt;"), "x");
}

/// Converts `chunks` one byte at a time, each byte a piece of its chunk, so
/// that no run, whole tag or whole word is ever seen at once.
std::string ConvertByteByByte(const std::vector<std::string>& chunks, const RunSettings& settings,
                              bool crlf) {
  ConversionState state;
  state.CrLfMode = crlf;
  ByteBuffer output;
  for (const std::string& chunk : chunks) {
    for (size_t i = 0; i < chunk.size(); i++) {
      ChunkEnd end = i + 1 == chunk.size() ? ChunkEnd::kEnds : ChunkEnd::kContinues;
      ScanChunk(&state, settings, std::string_view(chunk).substr(i, 1), &output, end);
    }
  }
  return std::string(output.view());
}

TEST(ScannerTest, WordsAndTagsTakenWholeConvertAsByteByByte) {
  const std::string a62(62, 'a'), a63(63, 'a');
  // Short words over several 64-byte stretches, with two spaces and a tab
  // among them, so that stretches of plain words end everywhere.
  std::string many;
  for (int i = 0; i < 60; i++)
    many += std::string(1 + i % 7, static_cast<char>('a' + i % 26)) + (i == 23   ? "  "
                                                                       : i == 41 ? "\t"
                                                                                 : " ");
  const std::vector<std::vector<std::string>> files = {
      {many + "end\n", "q " + a62 + " " + a62 + " r " + many + a63 + " s\n"},
      // Runs of plain words that wrap, end sentences and meet other whitespace.
      {"one two three four five six seven eight nine ten eleven twelve thirteen "
       "fourteen fifteen sixteen.\n",
       "Done. Next: words\tafter a tab  and two spaces.\n"},
      // Words at and past the word limit, before and after a space.
      {a62 + " " + a63 + " x " + a63 + "b y\n", "z " + a62 + "\n",
       "x " + a63 + " y " + std::string(33, 'c') + " z\n"},
      // Head text, preformatted text and headings around plain words.
      {"<HEAD>head words here </HEAD>x <TITLE>t t</TITLE>body words here\n",
       "<PRE> pre  words\there </PRE>after pre words\n",
       "<H1>Heading words here</H1>text <LI>item words <B>bold words</B> end\n"},
      // Whole tags, cut tags, tags with references and high bytes in them.
      {"<p class=\"x\">a <a href=\"u.htm?a=1&amp;b=2\">link words</a>. <i>i</i>\n", "<div\n",
       "id=\"d\">in <b\xe9>b</b> <x\x92y> &lt;tag&gt; <" + std::string(3100, 'q') + "> tail\n"},
      // Words that references, high bytes and link numbers join, and high
      // bytes alone between words.
      {"caf\xe9 don\x92t \xe9\xe9 \xe9\x92 x&#233;y &lt;b&gt;\n&amp; <a href=\"v\">w</a>, z\xe9\n",
       "a&lt;b<span>c</span> d\xe9<br>e <a href=\"v\">w</a>.<p>p\r\nq\xe9\r\nr\xe9",
       "w&lt;" + a62 + " v\xe9" + a63 + " u\n"},
      // Script text, whose "<" and "&" open tags and references that end
      // far on, and runs of spaces in preformatted text, cut among pieces.
      {"<script>if (a && x < 2) { b&&t<60?e[t]:\"a\"}; c&amp;d&lt;e&#65;f \x92g&ab<cd;e",
       "f&&&;h&abcdefg;i&abcdefgh&x\xe9y;</script>\n", "<PRE>    indented    code\n  x  y   ",
       "   z</PRE>\n"},
      {"x>y a;b <>empty<> c\x01"
       "d e\x1f"
       "f\n"},
  };
  RunSettings narrow;
  narrow.LeftMargin = 0;
  narrow.RightMargin = 40;
  narrow.MaxWordLength = 34;
  RunSettings spaced;
  spaced.Space2AfterPeriod = 1;
  spaced.KeepLinefeeds = 0;
  RunSettings wide;
  wide.LeftMargin = 10;
  wide.RightMargin = 999;
  for (const RunSettings& settings : {RunSettings{}, narrow, spaced, wide}) {
    for (bool crlf : {false, true}) {
      for (const auto& file : files) {
        SCOPED_TRACE(file.front());
        EXPECT_EQ(ConvertByteByByte(file, settings, crlf), Convert(file, settings, crlf));
      }
    }
  }
  // A run of plain words is written as it stands, with the margin before it.
  EXPECT_EQ(Convert({"Words go out as they stand.\n"}), "  Words go out as they stand.\n");
}

}  // namespace
