// The modern profile's conversion of a piece of input, and its end.
#include "modern.h"

#include "modern_layout.h"
#include "modern_tree.h"

namespace qln::detail {

void FeedModern(const ModernRun& run, std::string_view bytes, std::string* text) {
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
