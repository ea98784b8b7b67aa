// Links: anchors record their target, closing anchors number the link text,
// and the distinct targets are listed at the end under "Hyperlink Reference:".
#ifndef QLN_ENGINE_LINKS_H_
#define QLN_ENGINE_LINKS_H_

#include <cstddef>
#include <string>
#include <string_view>

#include "blocks.h"
#include "byte_buffer.h"
#include "conversion_state.h"
#include "kernels.h"
#include "run_settings.h"

namespace qln::detail {

/// Anchor opening: copies the quoted target after HREF in the `tag` text, read
/// as if upper-cased outside double quotes, into state->HrefBuffer. A tag
/// without a quoted HREF leaves it.
void ExtractHref(ConversionState* state, std::string_view tag);

/// ExtractHref for a whole tag, without "<" and ">", that lies in a piece
/// classified into `blocks` from position `offset` on: its whitespace and
/// quotes are read from the masks. The same result.
void ExtractHrefInBlocks(ConversionState* state, std::string_view tag,
                         const Blocks<ClassicMasks>& blocks, size_t offset);

/// True when a closing anchor now would number a link: HrefBuffer holds a
/// target that is not a fragment ("#...").
inline bool HasLinkTarget(const ConversionState& state) {
  return !state.HrefBuffer.empty() && state.HrefBuffer[0] != '#';
}

/// Anchor closing: appends "[n]" to the pending word when DoURLs is 1 and
/// empties HrefBuffer.
void CloseAnchor(ConversionState* state, const RunSettings& settings);

/// Returns the 0-based position of `target` in the link list, appending it
/// when it is new. Takes constant time on average.
size_t RegisterUrl(UrlList* urls, std::string_view target);

/// Appends the reference list from entry `*next` on (0 to begin): `lead` and
/// the heading "Hyperlink Reference:" first, then one ".. [i] target" line per
/// entry, each ended by `newline`, until `output` holds `limit` bytes or
/// more; advances `*next`. Returns true when the list is done; it is then
/// emptied. Nothing when the list is empty.
bool WriteReferenceListPart(UrlList* urls, std::string_view lead, std::string_view newline,
                            size_t* next, size_t limit, ByteBuffer* output);

/// Appends the reference list with "\n" line ends, for file mode, and empties
/// the list. Nothing when the list is empty.
void WriteUrlList(UrlList* urls, ByteBuffer* output);

/// WriteUrlList a part at a time, so that a long list need not be held whole:
/// appends from entry `*next` (0 to begin) on until `output` holds `limit`
/// bytes or more, and advances `*next`. Returns true when the list is done;
/// it is then emptied.
bool WriteUrlListPart(UrlList* urls, size_t* next, size_t limit, ByteBuffer* output);

/// Appends the reference list with "\r\n" line ends and a blank line before
/// it, for clipboard mode, and empties the list. Nothing when it is empty.
void AppendUrlList(UrlList* urls, ByteBuffer* output);

/// AppendUrlList a part at a time, as WriteUrlListPart does.
bool AppendUrlListPart(UrlList* urls, size_t* next, size_t limit, ByteBuffer* output);

}  // namespace qln::detail

#endif  // QLN_ENGINE_LINKS_H_
