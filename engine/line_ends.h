// Line-end translations between the bytes outside the engine and the text it
// works on, for input and output that arrive in pieces: files read and
// written in text mode, and LF-only text against the CR LF text of clipboards.
// The kernel does the copying.
#ifndef QLN_ENGINE_LINE_ENDS_H_
#define QLN_ENGINE_LINE_ENDS_H_

#include <string_view>

#include "byte_buffer.h"
#include "kernels.h"

namespace qln::detail {

/// Appends `text` to `out` with every CR LF pair turned into LF, as text mode
/// reads a file; a lone CR stays. A CR at the end of `text` waits in
/// `*held_cr` until the next call shows what follows it; the caller writes a
/// CR that still waits at the end.
void AppendLfForCrLf(const Kernel& kernel, std::string_view text, bool* held_cr, ByteBuffer* out);

/// Appends `text` to `out` with every LF stored as CR LF, as text mode writes.
void AppendWithCrLf(const Kernel& kernel, std::string_view text, ByteBuffer* out);

/// Appends `text` to `out` with every LF that does not follow a CR turned
/// into CR LF. `*after_cr` tells whether the text before ended with a CR,
/// and is updated.
void AppendCrBeforeLf(const Kernel& kernel, std::string_view text, bool* after_cr, ByteBuffer* out);

}  // namespace qln::detail

#endif  // QLN_ENGINE_LINE_ENDS_H_
