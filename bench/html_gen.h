// A deterministic generator of HTML for benchmarks and differential checks:
// realistic page mixes, dense single-feature inputs and byte soups.
#ifndef QLN_BENCH_HTML_GEN_H_
#define QLN_BENCH_HTML_GEN_H_

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

/// The kinds of input the generator makes.
enum class Shape {
  kMix,       ///< documentation pages: head, style, script, headings, text, lists, tables, code
  kProse,     ///< plain paragraphs of text, no markup
  kTags,      ///< tag-dense markup with little text
  kEntities,  ///< text dense with character references
  kLinks,     ///< lists of links to a few hundred targets
  kDistinctLinks,  ///< lists of links, every target new
  kPre,            ///< preformatted code blocks
  kLongLine,       ///< the page mix with every line end turned into a space
  kSoup,           ///< random pieces of markup, references, line ends and odd bytes
  kSoupEof,        ///< the same with an occasional 0x1A byte (end of text)
  kRandom,         ///< random bytes other than 0x1A
  kRandomEof,      ///< random bytes
};

/// Looks a shape up by its name ("mix", "prose", ...). Returns false for an
/// unknown name.
bool ShapeFromName(std::string_view name, Shape* shape);

/// The names ShapeFromName knows, separated by spaces.
std::string_view ShapeNames();

/// Makes an endless stream of one shape; the same shape and seed always give
/// the same bytes.
class HtmlGenerator {
 public:
  HtmlGenerator(Shape shape, uint64_t seed);

  /// Appends at least `bytes` more bytes of the stream to `out` (whole pages
  /// or blocks, so usually a little more).
  void Append(size_t bytes, std::string* out);

  /// How many distinct link targets the stream has had so far.
  uint64_t LinksMade() const { return link_count_; }

 private:
  uint64_t Next();
  size_t Below(size_t n) { return static_cast<size_t>(Next() % n); }
  bool Chance(int percent) { return Below(100) < static_cast<size_t>(percent); }
  std::string_view Word();
  void Sentence(bool markup, std::string* out);
  void Paragraph(std::string* out);
  void Href(std::string* out);
  void Page(std::string* out);
  void Head(std::string* out);
  void Section(std::string* out);
  void List(std::string* out);
  void Table(std::string* out);
  void Code(std::string* out);
  void MinifiedScript(std::string* out);
  void TagBlock(std::string* out);
  void EntityLine(std::string* out);
  void LinkList(bool distinct, std::string* out);
  void SoupPiece(bool with_eof, std::string* out);

  Shape shape_;
  uint64_t state_;
  uint64_t link_count_ = 0;  // distinct targets made so far
};

/// Exactly `bytes` bytes of a shape.
std::string GenerateHtml(Shape shape, size_t bytes, uint64_t seed = 1);

#endif  // QLN_BENCH_HTML_GEN_H_
