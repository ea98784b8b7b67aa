// The modern profile through the engine: characters, references, markup,
// layout and links, each group a table of pages and the text they give (file
// mode with LF line ends, so that the lines read plainly).
#include <gtest/gtest.h>
#include <qln/qln.h>

#include <string>
#include <vector>

namespace {

struct Case {
  std::string html;
  std::string text;
};

std::string Modern(std::string_view html, qln::Settings settings = {}) {
  settings.ModernHtml = 1;
  return qln::Convert(html, settings, qln::Mode::kFile, qln::LineEnds::kLf);
}

void ExpectModern(const std::vector<Case>& cases, const qln::Settings& settings = {}) {
  for (const Case& c : cases) EXPECT_EQ(c.text, Modern(c.html, settings)) << c.html;
}

TEST(ModernTest, Characters) {
  const std::string a63(63, 'a');
  std::string e70;
  for (int i = 0; i < 70; i++) e70 += "\xC3\xA9";  // é
  ExpectModern({
      {"Caf\xC3\xA9 \xC3\xBC"
       "ber \xE6\xBC\xA2\xE5\xAD\x97",
       "  Caf\xC3\xA9 \xC3\xBC"
       "ber \xE6\xBC\xA2\xE5\xAD\x97\n"},
      // Bytes that start no valid sequence are Windows-1252; its five holes give U+FFFD.
      {"Caf\xE9 it\x92s \x81 \xC3", "  Caf\xC3\xA9 it\xE2\x80\x99s \xEF\xBF\xBD \xC3\x83\n"},
      {"\xEF\xBB\xBFx", "  x\n"},                      // a leading byte-order mark goes
      {std::string("a\0b\r\nc\rd", 9), "  ab c d\n"},  // zero bytes go; CR LF and CR are line ends
      // A word is cut at the word limit in columns, never inside a character.
      {a63 + "bc", "  " + a63 + " bc\n"},
      {e70, "  " + e70.substr(0, 126) + " " + e70.substr(126) + "\n"},
      // Columns: a wide character takes two, a combining mark none; lines may
      // break between the wide characters of Chinese and Japanese.
      {"<h2>\xE6\xBC\xA2\xE5\xAD\x97 e\xCC\x81</h2>",
       "\xE6\xBC\xA2\xE5\xAD\x97 e\xCC\x81\n------\n"},
      {"<p>" + std::string(40 * 3, 'x')
                   .replace(0, 120,
                            [] {
                              std::string s;
                              for (int i = 0; i < 40; i++) s += "\xE6\xBC\xA2";
                              return s;
                            }()),
       [] {
         std::string first = "  ", second = "  ";
         for (int i = 0; i < 36; i++) first += "\xE6\xBC\xA2";  // 74 columns
         for (int i = 0; i < 4; i++) second += "\xE6\xBC\xA2";
         return first + "\n" + second + "\n";
       }()},
      // Korean breaks at its spaces.
      {"\xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 \xED\x85\x8D\xEC\x8A\xA4\xED\x8A\xB8",
       "  \xED\x95\x9C\xEA\xB5\xAD\xEC\x96\xB4 \xED\x85\x8D\xEC\x8A\xA4\xED\x8A\xB8\n"},
  });
}

TEST(ModernTest, References) {
  ExpectModern({
      {"deflateInit(&amp;strm) x &lt; 3", "  deflateInit(&strm) x < 3\n"},
      {"&copy 2024 &notit; &eacute;t&eacute; &CounterClockwiseContourIntegral;",
       "  \xC2\xA9 2024 \xC2\xACit; \xC3\xA9t\xC3\xA9 \xE2\x88\xB3\n"},
      {"&#65&#x42;&#0;&#x110000;&#xD800;&#150;",
       "  AB\xEF\xBF\xBD\xEF\xBF\xBD\xEF\xBF\xBD\xE2\x80\x93\n"},
      {"AT&T &foo; &#; &#x; & x", "  AT&T &foo; &#; &#x; & x\n"},  // no reference: as written
      {"a&#x81;b&#x8D;c", "  abc\n"},  // codes Windows-1252 leaves out: control characters
      {"x&shy;y a<wbr>b", "  xy ab\n"},
      // A space the line does not break at, written as a space.
      {"x&nbsp;y", "  x y\n"},
      {std::string(70, 'w') + "&nbsp;" + std::string(5, 'v'),
       "  " + std::string(63, 'w') + "\n  " + std::string(7, 'w') + " vvvvv\n"},
      {std::string(40, 'w') + "&nbsp;" + std::string(40, 'v'),
       "  " + std::string(40, 'w') + "\n  " + std::string(40, 'v') + "\n"},
      // In an attribute a legacy name followed by "=" or a letter stays.
      {"<a href=\"?a=1&copy=2&amp;b=3&copy;c&copyd\">q</a>",
       "  q[1]\n\nHyperlink Reference:\n.. [1] ?a=1&copy=2&b=3\xC2\xA9"
       "c&copyd\n"},
  });
}

TEST(ModernTest, Markup) {
  ExpectModern({
      {"x < 3 is true, a<3 and x <= y", "  x < 3 is true, a<3 and x <= y\n"},
      {"<h2 id=a>Head</h2>text<br/>more <b class=x>bold</b> <I>it</I> <em>em</em>",
       "Head\n----\n\n  text\n  more **bold** ~it~ _em_\n"},
      {"a<!-- c > d -->b<!---->c<!-->d<!DOCTYPE html>e<?x y?>f<![CDATA[g]]>h", "  abcdefh\n"},
      {"<html><head><title>T</title><meta charset=utf-8><script>if (a<b) x='</p>'</script>"
       "<style>p>a{}</style></head><body><p>Hello</p><template><p>no</p></template>"
       "<noscript>shown</noscript></body></html>",
       "  Hello\n\n  shown\n"},
      {"<title>gone</title>text ends the head<script>gone</script>", "  text ends the head\n"},
      // Within "<!--" a nested script's end tag does not end the script.
      {"<script><!--\ndocument.write(\"<script src=x.js></script>\");\n//--></script>a "
       "<script><!--<SCRIPT>x</Script >y</script>b <script><!--<script>--></script>c "
       "<style><!--<script></style>d",
       "  a b c d\n"},
      {"<script>a<!--<script>b</script>c</script>d", "  d\n"},
      {"<textarea><b>x</b> &amp;</textarea>", "  <b>x</b> &\n"},
      {"foo<span>bar</span> <a>x</a>y <u>u</u>v", "  foobar xy uv\n"},
      {"<select><option>One</option><option>Two</option></select><button>Go</button>Name<input>"
       "Email, <button>OK</button>, (<button>x</button>)<button>y (z)</button><button>w</button>"
       "<fieldset><legend>Who</legend>x</fieldset>",
       "  One Two Go Name Email, OK, (x) y (z) w\n  Who\n  x\n"},
      {"<p hidden>kept</p><div aria-hidden=true style=\"display:none\">too</div>",
       "  kept\n\n  too\n"},
      {"cut <b", "  cut\n"},  // a tag the input ends in is dropped
  });
}

TEST(ModernTest, Layout) {
  qln::Settings keep;
  keep.KeepLinefeeds = 1;
  std::string nested;  // 34 lists, each in the one before
  for (int i = 0; i < 34; i++) nested += "<ul>";
  ExpectModern(
      {
          {"\n\n  one\n  two   three\n\n", "  one two three\n"},
          {"<p>one</p><p>two</p><div>three</div><div>four</div><br><br><br>five",
           "  one\n\n  two\n\n  three\n  four\n\n  five\n"},
          // A block ends an open paragraph, as its end tag would.
          {"<p>a<ul><li>b</ul>c<p>d<div>e</div>f<table><tr><td><p>x<td>y</table>z",
           "  a\n\n* b\n  c\n\n  d\n\n  e\n  f\n  x  y\n  z\n"},
          // No-break spaces alone on a line would make a line that looks blank.
          {"<p>a<br>&nbsp;&nbsp;<br>\n&nbsp; </p><p>b&nbsp;&nbsp;c</p>", "  a\n\n  b  c\n"},
          {"<h1>Title</h1><h2>Sub</h2><p>x</p>", "Title\n=====\n\nSub\n---\n\n  x\n"},
          // An empty heading in an item has nothing to underline.
          {"<ul><li><h1></h1><li>b", "*\n* b\n"},
          // Rows, cells and items end their lines even when empty; a heading
          // in a cell or after an item's text underlines only itself.
          {"<table><tr><td>a<td></tr><tr><td>b</td></tr><tr><td></td><td>c</table>"
           "<ul><li></ul><p>after</p><table><tr><td>\xE6\xBC\xA2<td>\xE5\xAD\x97</table>",
           "  a\n  b\n  c\n*\n\n  after\n\n  \xE6\xBC\xA2  \xE5\xAD\x97\n"},
          {"<p>intro</p><table><tr><td><h2>Cell heading</h2></td></tr></table>"
           "<ul><li>a<h2>Title</h2></ul>",
           "  intro\n\nCell heading\n------------\n\n* a\n\n  Title\n  -----\n"},
          // Preformatted text starts a line of its own; an item outside a
          // list ends with it; a table without rows starts a new one.
          {"<ul><li><table><tr><td>a</td></tr><tr><td>b</td></tr></table></li></ul>", "* a\n  b\n"},
          {"<ul><li><pre>code\nmore</pre></ul><table><tr><td>a<td><pre>b</pre></table>",
           "*\ncode\nmore\n  a\nb\n"},
          {"<li>item</li><h2>Title</h2><table><td>a</td></table>text<table><td>b</td></table>",
           "* item\n\nTitle\n-----\n\n  a\n  text\n  b\n"},
          {"<p>Intro</p><ul><li>one</li><li>two<ul><li>deep</li></ul></li></ul>"
           "<ol start=9><li>nine<li value=20>twenty<li>next</ol><dl><dt>Term<dd>Def</dl>",
           "  Intro\n\n* one\n* two\n  * deep\n9. nine\n20. twenty\n21. next\nTerm\n  Def\n"},
          // Numbers stop at the largest; lists nest 32 deep at most.
          {"<ol start=\"+3\"><li>a</ol><ol start=\"\n4\"><li>b</ol>", "3. a\n4. b\n"},
          {"<ol start=9223372036854775807><li>a<li>b</ol>",
           "9223372036854775807. a\n9223372036854775807. b\n"},
          {nested + "<li>a</ul></ul><li>b</ul><li>c", std::string(62, ' ') + "* a\n" +
                                                          std::string(62, ' ') + "* b\n" +
                                                          std::string(60, ' ') + "* c\n"},
          // Wrapped lines stand under the item's text; a block right after the
          // marker adds no line end.
          {"<ul><li><p>" + std::string(40, 'a') + " " + std::string(40, 'b') +
               "</p><p>more</p></ul>",
           "* " + std::string(40, 'a') + "\n  " + std::string(40, 'b') + "\n\n  more\n"},
          {"<table><tr><th>A</th><th>B</th></tr><tr><td>1</td><td></td><td>3</td></tr>"
           "<tr><td><p>in a cell</p></td><td>x</td></tr></table>after",
           "  A  B\n  1  3\n  in a cell  x\n  after\n"},
          {"<p>before</p><pre>\nline one\n  line two\n\nafter &lt;b&gt; "
           "<b>bold</b></pre><p>after</p>",
           "  before\n\nline one\n  line two\n\nafter <b> **bold**\n\n  after\n"},
          // A mark before the preformatted text, and alt text within it.
          {"<b><pre>one\ntwo</b></pre><pre><img alt=\"x  y\"></pre>", "**one\ntwo**\nx  y\n"},
          {"<img src=a.png alt=\"An &amp; image\">text<img src=b.png>more<img alt=x>",
           "  An & image text more x\n"},
          {"a<hr>b",
           "  a\n    ____________________________________________________________\n\n  b\n"},
          {"", "\n"},  // an empty page still gives a line end
      },
      keep);
  qln::Settings margins;
  margins.LeftMargin = 5;
  margins.RightMargin = 40;
  margins.Space2AfterPeriod = 1;
  ExpectModern(
      {
          {"<p>One. Two three four five six seven eight</p><ul><li>item</ul>",
           "     One.  Two three four five six\n     seven eight\n\n*    item\n"},
          // Nested items stand under the text of the items around them.
          {"<ul><li>a<ul><li>b</ul></ul>", "*    a\n     * b\n"},
      },
      margins);
}

TEST(ModernTest, MarksAndNumbersStayWithTheirWords) {
  ExpectModern({
      {"<b>bold</b> <b> spaced </b> x <b></b> y <i><b></b></i>z <strong>Note:</strong> text",
       "  **bold** **spaced** x y z **Note:** text\n"},
      {"<a href=a>link </a>. <a href=a> </a>",
       "  link[1] .[1]\n\nHyperlink Reference:\n.. [1] a\n"},
      {"<p><b>x</b></p><p><b> </b>y", "  **x**\n\n  y\n"},
      // Whitespace inside an element of emphasis: its marks go with its words.
      {"a<b> b</b> c<strong> </strong>d<i></i>e Hello<em> world</em>! x<b>\xE6\xBC\xA2</b> "
       "Label<strong><br></strong>value",
       "  a **b** c de Hello _world_! x**\xE6\xBC\xA2** Label\n  value\n"},
      // A word cut at its no-break space keeps the marks that opened after it.
      {"<p>Hello&nbsp;" + std::string(55, 'y') + "<b>z</b> end</p>",
       "  Hello " + std::string(55, 'y') + "**z** end\n"},
      // A closing mark or link number stays with its word across a line break.
      {"<p><strong>Address:<br></strong>1 Main St</p><a href=x>text<br></a>next",
       "  **Address:**\n  1 Main St\n\n  text[1]\n  next\n\nHyperlink Reference:\n.. [1] x\n"},
      // A link around a heading is numbered there; one with no text after a
      // break has its number stand apart.
      {"<a href=\"/p1\"><h3>First post</h3></a>Summary<p><a href=x><img src=logo.png></a>Welcome",
       "First post[1]\n\n  Summary\n\n  [2] Welcome\n\nHyperlink Reference:\n.. [1] /p1\n.. [2] "
       "x\n"},
      // End tags with none of their kind open write no mark.
      {"<p>a</b></i> <b>b</strong></b></em>c", "  a **b**c\n"},
  });
}

TEST(ModernTest, Links) {
  const std::string list = "\n\nHyperlink Reference:\n.. [1] x.htm\n.. [2] y.htm\n";
  ExpectModern({
      {"<a href=x.htm>one</a> <A HREF='y.htm'>two</A> <a title=t href=\"x.htm\">again</a> "
       "<a href=\"#frag\">f</a> <a name=n>no</a> <a href=\"\">e</a>",
       "  one[1] two[2] again[1] f no e" + list},
      {"<a href=\"a.php?x=1&amp;y=2\">q</a>",
       "  q[1]\n\nHyperlink Reference:\n.. [1] a.php?x=1&y=2\n"},
      // Each target stands on one line of the list, as browsers read it.
      {"<a href=\" \r\n/a\tb\r\nc\x0B"
       "d\n \">q</a>",
       "  q[1]\n\nHyperlink Reference:\n.. [1] /abc%0Bd\n"},
      // A target is cut after 4,096 bytes, never inside a character: the
      // one that crosses the limit stays whole, and no byte of a later one.
      {"<a href=\"" + std::string(4095, 'a') + "\xC3\xA9\xE2\x82\xAC\xC3\xA9\">q</a>",
       "  q[1]\n\nHyperlink Reference:\n.. [1] " + std::string(4095, 'a') + "\xC3\xA9\n"},
  });
  qln::Settings no_links;
  no_links.DoURLs = 0;
  ExpectModern({{"<a href=x.htm>one</a>", "  one\n"}}, no_links);
}

TEST(ModernTest, ClipboardAndCrLf) {
  qln::Settings modern;
  modern.ModernHtml = 1;
  EXPECT_EQ("  x[1]\r\n\r\nHyperlink Reference:\r\n.. [1] a\r\n",
            qln::Convert("<a href=a>x</a>", modern, qln::Mode::kClipboard, qln::LineEnds::kCrLf));
  EXPECT_EQ("", qln::Convert("<b></b>", modern, qln::Mode::kClipboard));  // no text
  EXPECT_EQ("\r\n", qln::Convert("<b></b>", modern, qln::Mode::kFile));
  // Zero bytes are dropped, not the end of the text.
  EXPECT_EQ("  ab\n", qln::Convert(std::string("a\0b", 3), modern, qln::Mode::kClipboard,
                                   qln::LineEnds::kLf));
}

}  // namespace
