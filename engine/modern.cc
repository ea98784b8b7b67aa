// The modern profile's conversion of a piece of input, and its end.
#include "modern.h"

#include "modern_layout.h"
#include "modern_tree.h"

namespace qln::detail {

void FeedModern(const ModernRun& run, std::string_view bytes, std::string* text) {
  // As far as reading the input changes nothing, it is tokenized where it
  // stands; the rest is read into `text` first. Either way the tokenizer
  // sees the same text, cut in one more place, which changes nothing.
  const size_t unchanged = TakeUnchangedInput(run.state, bytes);
  if (unchanged > 0) {
    Tokenize(run, bytes.substr(0, unchanged));
    bytes.remove_prefix(unchanged);
  }
  if (bytes.empty()) return;
  text->clear();
  ReadModernInput(run.state, bytes, false, text);
  Tokenize(run, *text);
}

void FinishModern(const ModernRun& run, Mode mode, std::string* text) {
  text->clear();
  ReadModernInput(run.state, "", true, text);  // bytes still held are read as they are
  Tokenize(run, *text);
  FinishTokenizer(run);
  FinishTree(run);
  FinishLayout(run, mode);
}

}  // namespace qln::detail
