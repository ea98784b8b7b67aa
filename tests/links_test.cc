// Links: anchor targets, link numbers, the list of distinct targets and the
// reference list written at the end.
#include "engine/links.h"

#include <gtest/gtest.h>

#include <string>

#include "engine/tags.h"
#include "tests/engine_test_util.h"

namespace {

TEST(LinksTest, ParagraphWithOneLink) {
  EXPECT_EQ(ConvertAsFile({"<P>Hello <A HREF=\"page2.htm\">world</A>.</P>\n"}),
            "\n  Hello world[1].\n\n\nHyperlink Reference:\n.. [1] page2.htm\n");
}

TEST(LinksTest, RepeatedTargetSharesItsNumber) {
  EXPECT_EQ(ConvertAsFile({"<A HREF=\"a.htm\">one</A> and <A HREF=\"a.htm\">two</A>, "
                           "<A HREF=\"b.htm\">b</A>\n"}),
            "  one[1] and two[1], b[2]\n\n\nHyperlink Reference:\n"
            ".. [1] a.htm\n.. [2] b.htm\n");
  EXPECT_EQ(ConvertAsFile({"<A HREF=\"a.htm\">x</A> y\n", "<A HREF=\"b.htm\">z</A>\n"}),
            "  x[1] y\n  z[2]\n\n\nHyperlink Reference:\n.. [1] a.htm\n.. [2] b.htm\n");
  // A last line still open gets one blank line before the heading.
  EXPECT_EQ(ConvertAsFile({"<A HREF=\"a.htm\">x</A> y"}),
            "  x[1] y\n\nHyperlink Reference:\n.. [1] a.htm\n");
  EXPECT_EQ(ConvertAsFile({"Hello world.\n"}), "  Hello world.\n\n");
}

TEST(LinksTest, TargetsCompareByExactBytes) {
  ConversionState state;
  EXPECT_EQ(Scan(&state, {"<a href=\"Page.HTM\">a</a> <A HREF=\"page.htm\">b</A> "
                          "<A HREF=\"Page.HTM\">c</A>\n"}),
            "  a[1] b[2] c[1]\n");
  EXPECT_EQ(TakeList(&state), ListText({"Page.HTM", "page.htm"}));
}

TEST(LinksTest, FragmentTargetGetsNoNumberAndIsKept) {
  ConversionState state;
  EXPECT_EQ(Scan(&state, {"<A HREF=\"#top\">top</A>.\n"}), "  top .\n");
  EXPECT_EQ(state.HrefBuffer, "#top");
  EXPECT_EQ(TakeList(&state), "");
  EXPECT_EQ(Scan(&state, {"again</A> <A HREF=\"b\">b</A>\n"}), "  again b[1]\n");
  EXPECT_EQ(ConvertAsFile({"<A HREF=\"#top\">top</A>.\n"}), "  top .\n\n");
}

TEST(LinksTest, OnlyDoUrlsOneNumbersLinks) {
  for (int do_urls : {0, 2}) {
    RunSettings settings;
    settings.DoURLs = do_urls;
    ConversionState state;
    EXPECT_EQ(Scan(&state, {"<A HREF=\"a.htm\">one</A>.\n"}, settings), "  one.\n");
    EXPECT_EQ(TakeList(&state), "");
    EXPECT_EQ(state.HrefBuffer, "");  // the closing anchor still used it
    EXPECT_EQ(ConvertAsFile({"<A HREF=\"a.htm\">one</A>.\n"}, settings), "  one.\n\n");
  }
}

TEST(LinksTest, AnchorsWithoutQuotedTargetKeepTheLastOne) {
  EXPECT_EQ(Convert({"<A HREF=page.htm>x</A>\n"}), "  x\n");
  ConversionState state;
  EXPECT_EQ(Scan(&state, {"<A HREF=\"p.htm\"><A NAME=\"n\">x</A>\n"}), "  x[1]\n");
  EXPECT_EQ(TakeList(&state), ListText({"p.htm"}));
  EXPECT_EQ(Convert({"a<A HREF=\"h\">b</A>c d\n"}), "  ab[1]c d\n");
  EXPECT_EQ(Convert({"<AREA HREF=\"m.htm\">map</A>\n"}), "  map[1]\n");
}

TEST(LinksTest, LinkNumberCountsTowardsTheWordLimit) {
  const std::string a60(60, 'a');
  EXPECT_EQ(Convert({"<A HREF=\"h\">" + a60 + "</A>x\n"}), "  " + a60 + "[1] x\n");
}

// The target is found and copied as in the tag's text upper-cased outside
// double quotes, without that text being made.
TEST(LinksTest, ExtractHrefReadsTheTextAsUpperCasedOutsideQuotes) {
  const std::string tags[] = {
      "a href=\"Page.HTM\"",
      "A hReF=\"x\"",
      "a title=\"a HREF\" z\"yy\"",
      "a title=\"x\" href\"=\"low\"",
      "a x=\"\"\" href=\"in\"",
      "a href=low\"quoted\" href=\"Two\"",
      "a\"b href=\"c\"d\"",
      "a href=\"\"",
      "a href\"lo\"",
      "a \"href=\"abc\" q",
      "a href=\"x\"\nhref=\"y\"",
      "a hre\"f=\"x\"",
      "a x=\" HrEF=\"abc\" HREF=\"d\"",
  };
  for (const std::string& tag : tags) {
    SCOPED_TRACE(tag);
    std::string upper = tag;
    UpperCaseOutsideQuotes(&upper);
    ConversionState raw, upper_cased;
    raw.HrefBuffer = upper_cased.HrefBuffer = "old";
    ExtractHref(&raw, tag);
    ExtractHref(&upper_cased, upper);
    EXPECT_EQ(raw.HrefBuffer, upper_cased.HrefBuffer);
  }
  ConversionState state;
  ExtractHref(&state, "a title=\"a HREF\" z\"yy\"");
  EXPECT_EQ(state.HrefBuffer, " Z");  // copied from outside quotes
  ConversionState quoted;
  ExtractHref(&quoted, "a x=\" HrEF=\"abc\" HREF=\"d\"");
  EXPECT_EQ(quoted.HrefBuffer, "D");  // inside quotes only "HREF" as it stands
}

TEST(LinksTest, ExtractHref) {
  const std::string long_target(2000, 't');
  struct Case {
    std::string tag, expected;
  };
  const Case cases[] = {
      {"A HREF=\"new\"", "new"},
      {"A\t  HREF=\"x y\" NAME=\"n\"", "x y"},
      {"AHREF=\"x\"", "x"},               // looking starts at the second character
      {"A HREFLANG=\"en\"", "en"},        // a longer token beginning with HREF
      {"A HREF = \"x\"", "x"},            // the next quote, wherever it is
      {"A HREF=\"x", "x"},                // up to the end of the text
      {"A HREF=\"a\" HREF=\"b\"", "ab"},  // a second target is appended
      {"A HREF=\"", ""},                  // a quote as last character empties it
      {"A HREF=\"ab\" HREF=\"", "ab"},
      {"A HREF=\"a\"b HREF=\"c\"", "ac"},     // the token goes on past the quote
      {"A HREF=\"a b\" HREF=\"c\"", "a bc"},  // whitespace inside the target
      {"A HREF=\"p\"\tHREF=\"s t\"", "ps t"},
      {"A NAME=\"x\"", "old"},
      {"A HREF=page.htm", "old"},
      {"A XHREF=\"x\"", "old"},
      {"A", "old"},
      {"A HREF=\"" + long_target + "\"", long_target.substr(0, 1023)},
      {"A HREF=\"" + std::string(1000, 'a') + "\" HREF=\"" + std::string(100, 'b') + "\"",
       std::string(1000, 'a') + std::string(23, 'b')},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.tag.substr(0, 40));
    ConversionState state;
    state.HrefBuffer = "old";
    ExtractHref(&state, c.tag);
    EXPECT_EQ(state.HrefBuffer, c.expected);
  }
}

TEST(LinksTest, CloseAnchorNumbersThePendingWord) {
  ConversionState state;
  EXPECT_FALSE(HasLinkTarget(state));
  state.HrefBuffer = "#x";
  EXPECT_FALSE(HasLinkTarget(state));
  state.HrefBuffer = "t";
  EXPECT_TRUE(HasLinkTarget(state));
  state.WordBuffer = " x";
  CloseAnchor(&state, {});
  EXPECT_EQ(state.WordBuffer, " x[1]");
  EXPECT_EQ(state.HrefBuffer, "");
  RegisterUrl(&state.Urls, "u");
  state.HrefBuffer = "t";
  CloseAnchor(&state, {});
  EXPECT_EQ(state.WordBuffer, " x[1][1]");
}

TEST(LinksTest, ManyDistinctTargetsAreNumberedInOrder) {
  constexpr size_t kCount = 10000;
  UrlList urls;
  std::string expected = "\nHyperlink Reference:\n";
  const auto target = [](size_t i) { return std::string(1, 'u').append(std::to_string(i)); };
  for (size_t i = 0; i < kCount; i++) {
    ASSERT_EQ(RegisterUrl(&urls, target(i)), i);
    expected += ".. [" + std::to_string(i + 1) + "] " + target(i) + "\n";
  }
  for (size_t i = kCount; i-- > 0;) ASSERT_EQ(RegisterUrl(&urls, target(i)), i);
  EXPECT_EQ(RegisterUrl(&urls, "U1"), kCount);
  EXPECT_EQ(RegisterUrl(&urls, ""), kCount + 1);
  EXPECT_EQ(RegisterUrl(&urls, "u1"), 1u);
  expected += ".. [10001] U1\n.. [10002] \n";
  ByteBuffer output;
  output.append("text");
  WriteUrlList(&urls, &output);
  EXPECT_EQ(output, "text" + expected);
  // The list is empty afterwards: numbering starts again from the beginning.
  EXPECT_EQ(RegisterUrl(&urls, "u5"), 0u);
  EXPECT_EQ(RegisterUrl(&urls, "u6"), 1u);
  EXPECT_EQ(RegisterUrl(&urls, "u5"), 0u);
}

TEST(LinksTest, ReferenceListWriters) {
  UrlList urls;
  ByteBuffer output;
  output.append("text");
  WriteUrlList(&urls, &output);
  AppendUrlList(&urls, &output);
  EXPECT_EQ(output, "text");  // nothing for an empty list

  RegisterUrl(&urls, "a.htm");
  RegisterUrl(&urls, "b.htm");
  WriteUrlList(&urls, &output);
  EXPECT_EQ(output, "text\nHyperlink Reference:\n.. [1] a.htm\n.. [2] b.htm\n");
  WriteUrlList(&urls, &output);  // the list is empty afterwards
  EXPECT_EQ(output, "text\nHyperlink Reference:\n.. [1] a.htm\n.. [2] b.htm\n");

  RegisterUrl(&urls, "b.htm");
  RegisterUrl(&urls, "a.htm");
  output.clear();
  output.append("text");
  AppendUrlList(&urls, &output);
  EXPECT_EQ(output, "text\r\n\r\nHyperlink Reference:\r\n.. [1] b.htm\r\n.. [2] a.htm\r\n");
  output.clear();
  AppendUrlList(&urls, &output);
  EXPECT_EQ(output, "");
}

TEST(LinksTest, ReferenceListInParts) {
  // Written in parts of any size, handed on between parts, the list is the
  // same text as written whole, and the list is empty afterwards.
  for (size_t limit : {0, 1, 30, 45, 1000}) {
    UrlList urls;
    for (const char* target : {"a.htm", "bb.htm", "c.htm"}) RegisterUrl(&urls, target);
    std::string written;
    ByteBuffer part;
    size_t next = 0;
    int parts = 1;
    while (!WriteUrlListPart(&urls, &next, limit, &part)) {
      written += part.view();
      part.clear();
      parts++;
    }
    written += part.view();
    EXPECT_EQ(written, ListText({"a.htm", "bb.htm", "c.htm"})) << limit;
    EXPECT_EQ(parts, limit < 30 ? 3 : limit < 1000 ? 2 : 1) << limit;
    EXPECT_EQ(RegisterUrl(&urls, "c.htm"), 0u);
  }
  UrlList empty;
  ByteBuffer output;
  size_t next = 0;
  EXPECT_TRUE(WriteUrlListPart(&empty, &next, 0, &output));
  EXPECT_EQ(output, "");
}

}  // namespace
