// The lines of the modern profile's output: words between the margins,
// wrapped by display columns; breaks and blank lines only between blocks;
// list markers with their items' text aligned under them; preformatted text
// as it stands; heading underlines; and the reference list at the end.
#ifndef QLN_ENGINE_MODERN_LAYOUT_H_
#define QLN_ENGINE_MODERN_LAYOUT_H_

#include <string_view>

#include "modern.h"

namespace qln::detail {

/// Text outside preformatted blocks: whitespace separates words.
void LayoutText(const ModernRun& run, std::string_view text);
/// Text inside a preformatted block: written as it stands, line by line.
void LayoutPreformattedText(const ModernRun& run, std::string_view text);

/// Ends the pending word: it goes on the line, or on the next. Marks that
/// opened right after its text wait for the next word.
void EndWord(const ModernRun& run);
/// A mark of emphasis that opens ("**", "~", "_"): it goes before the next
/// word, whitespace after it aside.
void OpenMark(const ModernRun& run, std::string_view mark);
/// A mark that closes: it goes after the last word, the pending one or, when
/// none is pending, the one last placed. A mark that closes right after its
/// opening one takes that away.
void CloseMark(const ModernRun& run, std::string_view mark);
/// A link's number ("[1]"): it goes after the last word as a closing mark
/// does, but after a link that showed no text (not `after_text`) only on the
/// same line; with no word to join, it stands as a word of its own.
void PlaceLinkNumber(const ModernRun& run, std::string_view number, bool after_text);

/// A block begins or ends: a break of at least `kind` before the next text.
/// Right after a list marker, a definition term or a cell, none.
void BlockBoundary(const ModernRun& run, LineBreak kind);
/// <br>: the line ends; a second one in a row leaves a blank line.
void BreakLine(const ModernRun& run);
/// Ends the current line now, if it holds anything (with a heading's underline).
void EndLineNow(const ModernRun& run);
/// Writes a list item's marker ("*" or "3.") on a line of its own.
void PlaceListMarker(const ModernRun& run, std::string_view marker, int64_t marker_column);
/// A horizontal rule on a line of its own.
void PlaceRule(const ModernRun& run);

/// The last word and line, and the blank line before the reference list when
/// there is one. In file mode an output with no text at all is one line end.
void FinishLayout(const ModernRun& run, Mode mode);

}  // namespace qln::detail

#endif  // QLN_ENGINE_MODERN_LAYOUT_H_
