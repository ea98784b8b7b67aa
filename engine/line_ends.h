// Line-end translations between the bytes outside the engine and the text it
// works on, for input and output that arrive in pieces: files read and
// written in text mode, and LF-only text against the CR LF text of clipboards.
#ifndef QLN_ENGINE_LINE_ENDS_H_
#define QLN_ENGINE_LINE_ENDS_H_

#include <string>
#include <string_view>

namespace qln::detail {

/// Appends `bytes` to `text` as text mode reads them: every CR LF pair as one
/// LF, a lone CR as itself. A CR at the end of `bytes` waits in `*held_cr`
/// until the next call shows what follows it; the caller writes a CR that
/// still waits at the end of the input.
void AppendAsText(std::string_view bytes, bool* held_cr, std::string* text);

/// Appends `text` to `out` with every LF stored as CR LF, as text mode writes.
void AppendWithCrLf(std::string_view text, std::string* out);

/// Appends `text` to `out` with every LF that does not follow a CR turned
/// into CR LF. `*after_cr` tells whether the text before ended with a CR,
/// and is updated.
void AppendCrBeforeLf(std::string_view text, bool* after_cr, std::string* out);

/// Appends `text` to `out` with every CR LF pair turned into LF; a lone CR
/// stays. A CR at the end of `text` waits in `*held_cr` until the next call
/// shows what follows it; the caller writes a CR that still waits at the end.
void AppendLfForCrLf(std::string_view text, bool* held_cr, std::string* out);

}  // namespace qln::detail

#endif  // QLN_ENGINE_LINE_ENDS_H_
