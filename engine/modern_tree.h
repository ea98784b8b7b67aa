// What the markup around the text means in the modern profile: the head and
// what is left out, the blocks, lists, tables, links and marks. It takes the
// tokenizer's text and tags and drives the layout.
#ifndef QLN_ENGINE_MODERN_TREE_H_
#define QLN_ENGINE_MODERN_TREE_H_

#include <string_view>

#include "modern.h"

namespace qln::detail {

/// Text of the page (references decoded), as clean UTF-8. `text_only` says it
/// is the content of a title, textarea, script or style element.
void OnText(const ModernRun& run, std::string_view text, bool text_only);

/// A complete start or end tag. A start tag of script, style, title or
/// textarea switches the tokenizer to its text-only state.
void OnTag(const ModernRun& run, const TagToken& tag);

/// The end of the input: the open link is closed, as an end tag would.
void FinishTree(const ModernRun& run);

}  // namespace qln::detail

#endif  // QLN_ENGINE_MODERN_TREE_H_
