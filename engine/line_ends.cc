// Line-end translations for input and output in pieces.
#include "line_ends.h"

namespace qln::detail {
namespace {

/// Room a kernel's step may store past the end of what it writes.
constexpr size_t kSlack = 32;

/// Makes room for `most` bytes at the end of `out` and returns where they go.
char* Room(ByteBuffer* out, size_t most) { return out->Reserve(most + kSlack); }

/// Ends `out` at `end`, the end of what was written into its room.
void Trim(ByteBuffer* out, const char* end) { out->Commit(end); }

}  // namespace

void AppendLfForCrLf(const Kernel& kernel, std::string_view text, bool* held_cr, ByteBuffer* out) {
  if (text.empty()) return;
  if (*held_cr) {
    *held_cr = false;
    if (text[0] != '\n') out->push_back('\r');  // the pair's LF follows as it is
  }
  if (text.back() == '\r') {
    *held_cr = true;
    text.remove_suffix(1);
  }
  Trim(out, kernel.lf_for_cr_lf(text.data(), text.size(), Room(out, text.size())));
}

void AppendWithCrLf(const Kernel& kernel, std::string_view text, ByteBuffer* out) {
  Trim(out, kernel.cr_lf_for_lf(text.data(), text.size(), Room(out, 2 * text.size())));
}

void AppendCrBeforeLf(const Kernel& kernel, std::string_view text, bool* after_cr,
                      ByteBuffer* out) {
  if (text.empty()) return;
  Trim(out,
       kernel.cr_lf_for_bare_lf(text.data(), text.size(), *after_cr, Room(out, 2 * text.size())));
  *after_cr = text.back() == '\r';
}

}  // namespace qln::detail
