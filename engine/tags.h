// The tag actions: turn a complete tag into formatter requests (line ends,
// headings, bullets, rules, emphasis marks); anchors go to the links module.
#ifndef QLN_ENGINE_TAGS_H_
#define QLN_ENGINE_TAGS_H_

#include <string>
#include <string_view>

#include "byte_buffer.h"
#include "conversion_state.h"
#include "links.h"
#include "run_settings.h"
#include "tag_names.h"

namespace qln::detail {

/// Acts on one tag whose text (without "<" and ">") is `tag`; case does not
/// matter outside quotes. May emit the pending word (state->WordBuffer) to
/// `output`, or append marks or a link number to it.
void HandleTag(ConversionState* state, const RunSettings& settings, std::string_view tag,
               ByteBuffer* output);

/// The action for a closing anchor that numbers a link.
void CloseAnchorAction(ConversionState* state, const RunSettings& settings, ByteBuffer* output);

/// The action HandleTag takes for `tag`, which is not an anchor, or nullptr
/// when the tag only ends the pending word (outside head text).
inline TagAction ActionFor(const ConversionState& state, std::string_view tag) {
  if (tag.size() > kMaxNameLength) return nullptr;
  const uint64_t bytes = NameBytes(tag);
  const uint64_t key = NameKey(bytes, tag.size());
  const TagAction act = key != NameKey("/A")   ? FindTagAction(key)
                        : HasLinkTarget(state) ? CloseAnchorAction
                                               : nullptr;
  // A key that matched stands for the name unless a control character
  // stood in for a digit or "/".
  return act != nullptr && !HasControlByte(bytes, tag.size()) ? act : nullptr;
}

/// True when HandleTag would do nothing with `tag` but end the pending word
/// (outside head text): no anchor, no closing anchor that numbers a link,
/// no tag that acts.
inline bool OnlyEndsWord(const ConversionState& state, std::string_view tag) {
  if (!tag.empty() && (tag[0] == 'A' || tag[0] == 'a')) return false;
  return ActionFor(state, tag) == nullptr;
}

}  // namespace qln::detail

#endif  // QLN_ENGINE_TAGS_H_
