// A deterministic HTML generator. All choices come from one 64-bit
// pseudo-random stream, so a shape and a seed always give the same bytes.
#include "bench/html_gen.h"

#include <algorithm>
#include <array>

namespace {

// The lists below are filled to the line.
// clang-format off
constexpr std::string_view kWords[] = {
    "the", "of", "and", "to", "a", "in", "is", "for", "that", "with", "on", "as",
    "it", "be", "by", "this", "are", "or", "from", "an", "can", "value", "file",
    "function", "returns", "option", "string", "default", "buffer", "request",
    "server", "client", "configuration", "parameter", "example", "section",
    "documentation", "argument", "instance", "module", "package", "version",
    "directory", "command", "output", "input", "error", "message", "object",
    "method", "property", "interface", "implementation", "application", "user",
    "system", "process", "thread", "memory", "index", "table", "column", "row",
    "query", "database", "network", "address", "protocol", "header", "response",
    "content", "character", "encoding", "timeout", "connection", "session",
    "token", "permission", "account", "service", "resource", "template", "layout",
    "style", "element", "attribute", "document", "page", "link", "image", "list",
    "item", "field", "record", "type", "class", "struct", "pointer", "reference",
    "callback", "handler", "event", "signal", "stream", "socket", "channel",
    "queue", "stack", "heap", "cache", "layer", "driver", "kernel", "platform",
    "compiler", "library", "runtime", "variable", "constant", "expression",
    "statement", "loop", "condition", "branch", "merge", "commit", "release",
    "deprecated", "supported", "optional", "required", "available", "specified",
    "internationalization", "HTTP", "JSON", "URL", "API", "UTF-8", "TCP/IP",
    "e.g.", "i.e.", "(see", "below)", "above,", "note:", "\"quoted\"", "it's",
};

constexpr std::string_view kSections[] = {"guide", "reference", "api", "tutorial",
                                          "faq", "howto", "library", "release-notes"};

constexpr std::string_view kInlineEntities[] = {"&amp;", "&nbsp;", "&lt;", "&gt;",
                                                "&quot;", "&#8217;", "&#39;", "&auml;",
                                                "&copy;", "&mdash;", "&#x2014;", "&#169;"};

// Odd UTF-8 and Windows-1252 bytes that real pages carry.
constexpr std::string_view kHighBytes[] = {"caf\xc3\xa9", "\xe2\x80\x94", "it\x92s",
                                           "na\xc3\xafve", "\xe2\x80\x9cquoted\xe2\x80\x9d"};

// Pieces the byte soup is made of: every character the scanner treats
// specially, tags it knows and does not know, and cut-off forms of both.
constexpr std::string_view kSoupPieces[] = {
    "<", ">", "&", ";", "</", "<A HREF=\"", "\">", "<a href=\"x.htm\">", "</A>",
    "</a>", "<A HREF=\"#top\">", "<A NAME=\"n\">", "<AREA HREF=\"m.htm\">",
    "<a href=\"p.htm\" href=\"q.htm\">", "<A HREF=\"", "<P>", "<p>", "</P>", "<BR>",
    "<br/>", "<B>", "</B>", "<STRONG>", "<I>", "</I>", "<EM>", "</EM>", "<H1>",
    "</H1>", "<H2>", "</h2>", "<H3>", "</H6>", "<HEAD>", "</HEAD>", "<TITLE>",
    "</TITLE>", "<BODY>", "<HR>", "<LI>", "<UL>", "</UL>", "<DT>", "<DD>", "<PRE>",
    "</PRE>", "<!-- c > d -->", "<FONT SIZE=2>", "&lt;", "&gt;", "&#65;", "&#0;",
    "&#256;", "&#321;", "&# 66;", "&#-5;", "&auml;", "&Ouml;", "&amp;", "&nbsp",
    "&verylongname;", "AT&T Corp", " ", "  ", "\t", "\n", "\r\n", "\r", "\n\r",
    "\v", "\f", "word", "Word.", "end.\"", "why?", "so:", "\"", "\x92", "\xe9",
    "\x80", "\xff", "\0", "a;b", "x>y",
};

// Distinct link targets in the page mix, as on a large documentation site.
constexpr uint64_t kSiteTargets = 3000;

uint64_t SplitMix(uint64_t* state) {
  uint64_t z = (*state += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return z ^ (z >> 31);
}

struct NamedShape {
  std::string_view name;
  Shape shape;
};

constexpr NamedShape kShapes[] = {
    {"mix", Shape::kMix},         {"prose", Shape::kProse},
    {"tags", Shape::kTags},       {"entities", Shape::kEntities},
    {"links", Shape::kLinks},     {"distinct-links", Shape::kDistinctLinks},
    {"pre", Shape::kPre},         {"longline", Shape::kLongLine},
    {"soup", Shape::kSoup},       {"soup-eof", Shape::kSoupEof},
    {"random", Shape::kRandom},   {"random-eof", Shape::kRandomEof},
};
// clang-format on

}  // namespace

bool ShapeFromName(std::string_view name, Shape* shape) {
  for (const NamedShape& named : kShapes) {
    if (named.name == name) {
      *shape = named.shape;
      return true;
    }
  }
  return false;
}

std::string_view ShapeNames() {
  return "mix prose tags entities links distinct-links pre longline soup soup-eof "
         "random random-eof";
}

HtmlGenerator::HtmlGenerator(Shape shape, uint64_t seed) : shape_(shape), state_(seed) {}

uint64_t HtmlGenerator::Next() { return SplitMix(&state_); }

std::string_view HtmlGenerator::Word() {
  // Short words are the commonest, as in real text: favour the list's head.
  size_t n = std::size(kWords);
  size_t i = Chance(50) ? Below(20) : Below(n);
  return kWords[i];
}

// A link into a documentation site of kSiteTargets distinct targets: pages,
// some with a query string or a fragment. Each target's text comes from its
// own number, so the same number always gives the same target.
void HtmlGenerator::Href(std::string* out) {
  uint64_t target = Below(kSiteTargets);
  uint64_t bits = SplitMix(&target);
  out->append("https://docs.example.org/");
  out->append(kSections[bits % std::size(kSections)]);
  out->push_back('/');
  out->append(kWords[(bits >> 8) % std::size(kWords)]);
  out->append(".html");
  if ((bits >> 20) % 100 < 40) {
    out->append("?version=");
    out->append(std::to_string((bits >> 28) % 12));
    out->append("&amp;lang=en");
  }
  if ((bits >> 36) % 100 < 30) {
    out->append("#sec-");
    out->append(std::to_string((bits >> 44) % 40));
  }
}

// One sentence; with `markup`, some words come wrapped in inline tags, links
// or references. Source lines are broken near column 80, as editors do.
void HtmlGenerator::Sentence(bool markup, std::string* out) {
  size_t words = 6 + Below(16);
  size_t line_start = out->rfind('\n');
  line_start = line_start == std::string::npos ? 0 : line_start + 1;
  for (size_t i = 0; i < words; i++) {
    if (i > 0) {
      if (out->size() - line_start > 80) {
        out->push_back('\n');
        line_start = out->size();
      } else {
        out->push_back(' ');
      }
    }
    std::string_view word = Word();
    if (!markup || !Chance(15)) {
      out->append(word);
    } else {
      switch (Below(8)) {
        case 0:
        case 1:
          out->append("<a href=\"");
          Href(out);
          out->append("\">").append(word).append(" ").append(Word()).append("</a>");
          break;
        case 2:
          out->append("<code>").append(word).append("()</code>");
          break;
        case 3:
          out->append("<b>").append(word).append("</b>");
          break;
        case 4:
          out->append("<em>").append(word).append("</em>");
          break;
        case 5:
          out->append(word).append(kInlineEntities[Below(std::size(kInlineEntities))]);
          break;
        case 6:
          out->append(kHighBytes[Below(std::size(kHighBytes))]);
          break;
        default:
          out->append("<span class=\"kw\">").append(word).append("</span>");
          break;
      }
    }
  }
  out->append(Chance(80) ? "." : Chance(50) ? ":" : "?");
}

void HtmlGenerator::Paragraph(std::string* out) {
  out->append("<p>");
  size_t sentences = 2 + Below(5);
  for (size_t i = 0; i < sentences; i++) {
    if (i > 0) out->push_back(' ');
    Sentence(true, out);
  }
  out->append("</p>\n");
}

void HtmlGenerator::Head(std::string* out) {
  out->append(
      "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
      "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
      "<title>");
  out->append(Word()).append(" ").append(Word()).append(" &mdash; Documentation");
  out->append(
      "</title>\n<link rel=\"stylesheet\" href=\"/_static/pygments.css?v=4f9a\" "
      "type=\"text/css\">\n<style>\n");
  size_t rules = 8 + Below(20);
  for (size_t i = 0; i < rules; i++) {
    out->append(".").append(Word()).append("-").append(Word());
    out->append(" { margin: ").append(std::to_string(Below(20)));
    out->append("px 0; color: #").append(std::to_string(100000 + Below(899999)));
    out->append("; font-family: \"Helvetica Neue\", Arial, sans-serif; }\n");
  }
  out->append("</style>\n<script>\n");
  size_t lines = 5 + Below(20);
  for (size_t i = 0; i < lines; i++) {
    out->append("  if (window.").append(Word()).append(" && x < ");
    out->append(std::to_string(Below(100))).append(") { document.getElementById(\"");
    out->append(Word()).append("\").className += \" active\"; }\n");
  }
  out->append("</script>\n</head>\n<body>\n<div class=\"related\" role=\"navigation\">\n<ul>\n");
  for (int i = 0; i < 4; i++) {
    out->append("<li><a href=\"");
    Href(out);
    out->append("\" accesskey=\"").append(std::to_string(i)).append("\">");
    out->append(Word()).append("</a></li>\n");
  }
  out->append("</ul>\n</div>\n");
}

void HtmlGenerator::List(std::string* out) {
  bool ordered = Chance(20);
  out->append(ordered ? "<ol>\n" : "<ul class=\"simple\">\n");
  size_t items = 2 + Below(8);
  for (size_t i = 0; i < items; i++) {
    out->append("<li>");
    Sentence(true, out);
    out->append("</li>\n");
  }
  out->append(ordered ? "</ol>\n" : "</ul>\n");
}

void HtmlGenerator::Table(std::string* out) {
  size_t columns = 2 + Below(4);
  size_t rows = 2 + Below(10);
  out->append("<table class=\"docutils\" border=\"1\">\n<thead>\n<tr>");
  for (size_t c = 0; c < columns; c++) out->append("<th>").append(Word()).append("</th>");
  out->append("</tr>\n</thead>\n<tbody>\n");
  for (size_t r = 0; r < rows; r++) {
    out->append("<tr class=\"row-").append(r % 2 ? "odd" : "even").append("\">");
    for (size_t c = 0; c < columns; c++) {
      out->append("<td>").append(Word());
      if (Chance(30)) out->append(" ").append(Word());
      out->append("</td>");
    }
    out->append("</tr>\n");
  }
  out->append("</tbody>\n</table>\n");
}

void HtmlGenerator::Code(std::string* out) {
  out->append("<div class=\"highlight\"><pre>");
  size_t lines = 3 + Below(15);
  for (size_t i = 0; i < lines; i++) {
    out->append(std::string(2 * Below(4), ' '));
    out->append("<span class=\"n\">").append(Word()).append("</span>");
    out->append(" <span class=\"o\">=</span> ").append(Word()).append("(");
    out->append("&quot;").append(Word()).append("&quot;, ");
    out->append(std::to_string(Below(1000))).append(")");
    if (Chance(30)) out->append("  <span class=\"c\"># ").append(Word()).append(" &lt;= n</span>");
    out->push_back('\n');
  }
  out->append("</pre></div>\n");
}

// A line of minified script, as bundlers leave at the end of a page.
void HtmlGenerator::MinifiedScript(std::string* out) {
  out->append("<script>");
  size_t statements = 50 + Below(400);
  for (size_t i = 0; i < statements; i++) {
    out->append("var ").append(Word()).append("=function(e,t){return e&&t<");
    out->append(std::to_string(Below(100))).append("?e[t]:\"").append(Word()).append("\"};");
  }
  out->append("</script>\n");
}

void HtmlGenerator::Section(std::string* out) {
  out->append(Chance(70) ? "<h2>" : "<h3>");
  out->append(Word()).append(" ").append(Word());
  out->append(Chance(50) ? "</h2>\n" : "</h3>\n");
  size_t blocks = 2 + Below(6);
  for (size_t i = 0; i < blocks; i++) {
    switch (Below(10)) {
      case 0:
        List(out);
        break;
      case 1:
        Table(out);
        break;
      case 2:
        Code(out);
        break;
      case 3:
        out->append("<dl>\n<dt>").append(Word()).append("</dt>\n<dd>");
        Sentence(true, out);
        out->append("</dd>\n</dl>\n");
        break;
      default:
        Paragraph(out);
        break;
    }
  }
  if (Chance(10)) out->append("<hr>\n");
}

void HtmlGenerator::Page(std::string* out) {
  size_t start = out->size();
  Head(out);
  out->append("<div class=\"body\" role=\"main\">\n<h1>");
  out->append(Word()).append(" ").append(Word()).append("</h1>\n");
  size_t sections = 2 + Below(6);
  for (size_t i = 0; i < sections; i++) Section(out);
  out->append("<!-- footer -->\n<div class=\"footer\">&copy; Copyright 2024, ");
  out->append(Word()).append(" contributors.<br>\n</div>\n");
  if (Chance(50)) MinifiedScript(out);
  out->append("</div>\n</body>\n</html>\n");
  // A page in ten was saved on Windows.
  if (Chance(10)) {
    std::string crlf;
    for (size_t i = start; i < out->size(); i++) {
      if ((*out)[i] == '\n') crlf.push_back('\r');
      crlf.push_back((*out)[i]);
    }
    out->replace(start, std::string::npos, crlf);
  }
}

void HtmlGenerator::TagBlock(std::string* out) {
  out->append("<div class=\"card\" id=\"c").append(std::to_string(Below(100000)));
  out->append("\"><div class=\"card-body\"><span class=\"badge badge-");
  out->append(Word()).append("\">").append(Word()).append("</span><img src=\"/img/");
  out->append(Word()).append(".png\" alt=\"\" width=\"16\" height=\"16\"></div>");
  out->append("<!-- ").append(Word()).append(" --></div>\n");
}

void HtmlGenerator::EntityLine(std::string* out) {
  size_t n = 8 + Below(8);
  for (size_t i = 0; i < n; i++) {
    out->append(Word());
    out->append(kInlineEntities[Below(std::size(kInlineEntities))]);
    out->push_back(' ');
  }
  out->append("&#65;&#66;&#67; &Auml;pfel &uuml;ber&nbsp;&lt;tag&gt;\n");
}

void HtmlGenerator::LinkList(bool distinct, std::string* out) {
  out->append("<ul>\n");
  for (int i = 0; i < 50; i++) {
    out->append("<li><a href=\"https://example.org/");
    if (distinct) {
      out->append("item/").append(std::to_string(link_count_++));
    } else {
      out->append(kSections[Below(std::size(kSections))]).append("/");
      out->append(std::to_string(Below(400)));
    }
    out->append("?ref=list\">").append(Word()).append(" ").append(Word());
    out->append("</a></li>\n");
  }
  out->append("</ul>\n");
}

void HtmlGenerator::SoupPiece(bool with_eof, std::string* out) {
  switch (Below(20)) {
    case 0:  // a long word, past the word limit
      out->append(std::string(50 + Below(100), static_cast<char>('a' + Below(26))));
      break;
    case 1:  // now and then a tag or link target past its cap
      if (Chance(3)) {
        out->append(Chance(50) ? "<A HREF=\"" : "<DIV ");
        out->append(std::string(1000 + Below(3000), 'h'));
        out->append("\">");
      } else {
        out->append(Word());
      }
      break;
    case 2:
      out->append(Word());
      break;
    case 3:
      if (with_eof && Chance(2)) out->push_back('\x1a');
      break;
    case 4:  // a stretch of ordinary text
      Sentence(false, out);
      break;
    default:
      out->append(kSoupPieces[Below(std::size(kSoupPieces))]);
      break;
  }
}

void HtmlGenerator::Append(size_t bytes, std::string* out) {
  const size_t target = out->size() + bytes;
  while (out->size() < target) {
    switch (shape_) {
      case Shape::kMix:
        Page(out);
        break;
      case Shape::kLongLine: {
        size_t start = out->size();
        Page(out);
        std::replace(out->begin() + start, out->end(), '\n', ' ');
        std::replace(out->begin() + start, out->end(), '\r', ' ');
        break;
      }
      case Shape::kProse:
        Sentence(false, out);
        out->append(Chance(20) ? "\n\n" : "\n");
        break;
      case Shape::kTags:
        TagBlock(out);
        break;
      case Shape::kEntities:
        EntityLine(out);
        break;
      case Shape::kLinks:
      case Shape::kDistinctLinks:
        LinkList(shape_ == Shape::kDistinctLinks, out);
        break;
      case Shape::kPre:
        out->append("<pre>\n");
        Code(out);
        out->append("</pre>\n");
        break;
      case Shape::kSoup:
      case Shape::kSoupEof:
        SoupPiece(shape_ == Shape::kSoupEof, out);
        break;
      case Shape::kRandom:
      case Shape::kRandomEof:
        for (int i = 0; i < 64; i++) {
          char c = static_cast<char>(Next() & 0xFF);
          if (c == '\x1a' && shape_ == Shape::kRandom) c = 'x';
          out->push_back(c);
        }
        break;
    }
  }
}

std::string GenerateHtml(Shape shape, size_t bytes, uint64_t seed) {
  HtmlGenerator generator(shape, seed);
  std::string out;
  out.reserve(bytes + 64 * 1024);
  generator.Append(bytes, &out);
  out.resize(bytes);
  return out;
}
