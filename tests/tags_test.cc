// The tag actions: every known tag through a realistic line, whole-text
// matching, case, head text and upper-casing outside quotes.
#include "engine/tags.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/engine_test_util.h"

namespace {

const std::string kRule = "    " + std::string(60, '_');

TEST(TagsTest, InlineMarksJoinThePendingWord) {
  ExpectConversions({
      {{"<B>bold</B> and <I>it</I> and <EM>em</EM>\n"}, "  **bold** and ~it~ and _em_\n"},
      {{"<STRONG>s</STRONG>, <B>bold</B>,\n"}, "  **s**, **bold**,\n"},
      {{"a<ADDRESS>b\n"}, "  ab\n"},  // any tag beginning with "A" opens an anchor
  });
}

TEST(TagsTest, LineBreaksParagraphsAndRules) {
  ExpectConversions({
      {{"one<BR>two\n"}, "  one\n  two\n"},
      {{"a<BR><BR>b\n"}, "  a\n\n  b\n"},
      {{"one<P>two\n"}, "  one\n\n  two\n"},
      {{"<P>Hello\n"}, "\n  Hello\n"},
      {{"text<HR>more\n"}, "  text\n" + kRule + "\n\n  more\n"},
      // The rule leaves the column alone: a short PRE line is not ended, and
      // the next word still counts the two characters before it.
      {{"<PRE>ab<HR></PRE>x\n"}, "ab" + kRule + "\n\nx\n"},
  });
  ExpectConversions({{{"text<HR>more"}, "  text\r\n" + kRule + "\r\n\r\n  more"}}, {}, true);
}

TEST(TagsTest, Headings) {
  ExpectConversions({
      {{"<H1>Title</H1>\n"}, "\nTitle\n=====\n\n\n"},
      {{"<H2>Sub title</H2>\n"}, "\nSub title\n---------\n\n\n"},
      {{"<H3>Three</H3>\n"}, "\nThree\n\n\n"},
      {{"<H6>Six</H6>x\n"}, "\nSix\n\n  x\n"},
      {{"<H1>A</H2>\n"}, "\nA\n=\n\n\n"},  // any closing heading ends any heading
      // A word directly before the heading is placed as part of its start.
      {{"intro<H1>T</H1>\n"}, "intro\n\nT\n=\n\n\n"},
      {{"<H2>a</H2>b\n"}, "\na\n-\n\n  b\n"},  // the underline stops with the heading
  });
}

TEST(TagsTest, ListsAndDefinitions) {
  ExpectConversions({
      {{"<UL><LI>one<LI>two</UL>\n"}, "\n* one\n* two\n\n\n"},
      {{"<DL><DT>Term<DD>Definition</DL>\n"}, "Term\n  Definition\n"},
  });
}

TEST(TagsTest, HeadAndTitleTextIsDropped) {
  ExpectConversions({
      {{"<TITLE>My Page</TITLE>Body\n"}, "  Body\n"},
      {{"<HEAD><TITLE>t</TITLE>between</HEAD>after\n"}, "  after\n"},
      {{"<HEAD><TITLE>t</TITLE>between </HEAD>after\n"}, "  between after\n"},
      {{"<HEAD>x<BODY>y\n"}, "  y\n"},
      {{"<HEAD>x<FONT>y</HEAD>z\n"}, "  z\n"},  // unknown tags emit nothing in head
      {{"<HEAD>\n", "<TITLE>T</TITLE>\n", "</HEAD>\n", "Body\n"}, "\n\n  Body\n"},
  });
}

TEST(TagsTest, PreformattedDoesNotNest) {
  ExpectConversions({{{"<PRE><PRE>a  b</PRE>c  d\n"}, "a bc d\n"}});
}

TEST(TagsTest, UnknownTagsOnlyEndTheWord) {
  ExpectConversions({
      {{"Hello <FONT SIZE=2>world</FONT> again\n"}, "  Hello world again\n"},
      {{"a<P ALIGN=\"x\">b\n"}, "  a b\n"},
      {{"a<BR/>b\n"}, "  a b\n"},
      {{"a<H1 ID=\"a\">b\n"}, "  a b\n"},
      {{"a<B >b\n"}, "  a b\n"},
      {{"a</A>b\n"}, "  a b\n"},  // no target recorded
      {{"a<!-- note -->b\n"}, "  a b\n"},
      {{"a<!-- x > y -->b\n"}, "  a y -->b\n"},  // the first ">" ends the comment
      {{"<SCRIPT>var x = 1;</SCRIPT>\n"}, "  var x = 1;\n"},
      // Bytes that only look like letters or digits once bit 7 or 5 changes.
      {{"a<&#226;>b\n"}, "  a b\n"},
      {{"c<h&#17;>d\n"}, "  c d\n"},
      {{"e<&#15;UL>f<H\x12>g<\x0fI>h\n"}, "  e f g h\n"},
  });
}

TEST(TagsTest, TagNamesIgnoreCase) {
  const std::pair<std::string, std::string> pairs[] = {
      {"a<p>b\n", "a<P>b\n"},
      {"<h1>T</H1>\n", "<H1>T</H1>\n"},
      {"<Br>x<sTrOnG>y</strong>\n", "<BR>x<STRONG>y</STRONG>\n"},
      {"<ul><li>i</ul>\n", "<UL><LI>i</UL>\n"},
      {"<head>h</head>b\n", "<HEAD>h</HEAD>b\n"},
      {"e<&#98;>f<pRe>g</prE>\n", "e<B>f<PRE>g</PRE>\n"},
  };
  for (const auto& [lower, upper] : pairs) {
    SCOPED_TRACE(lower);
    EXPECT_EQ(Convert({lower}), Convert({upper}));
  }
  ConversionState state;
  Scan(&state, {"<a href=\"Page.htm\">P</a>\n"});
  EXPECT_EQ(TakeList(&state), ListText({"Page.htm"}));
}

TEST(TagsTest, UpperCaseOutsideQuotes) {
  const std::pair<std::string, std::string> cases[] = {
      {"a href=\"Page.htm\" x", "A HREF=\"Page.htm\" X"},
      {"\"a\"b\"c", "\"a\"B\"c"},
      {"h1/{}`@[z", "H1/{}`@[Z"},
      {"\xe9z", "\xe9Z"},
      {"", ""},
  };
  for (auto [text, expected] : cases) {
    UpperCaseOutsideQuotes(&text);
    EXPECT_EQ(text, expected);
  }
}

TEST(TagsTest, HandleTagWorksOnThePendingWord) {
  ConversionState state;
  ByteBuffer output;
  std::string bold = "sTrOnG", paragraph = "p";
  state.WordBuffer = " x";
  HandleTag(&state, {}, bold, &output);
  EXPECT_EQ(state.WordBuffer, " x**");
  EXPECT_EQ(output, "");
  HandleTag(&state, {}, paragraph, &output);
  EXPECT_EQ(state.WordBuffer, "");
  EXPECT_EQ(output, "  x**\n\n");
}

}  // namespace
