// The markup scanner: sorts every input byte into the pending word, an open
// tag, an open character reference, or nothing, and drives the tag actions and
// the formatter. Its state carries over from one chunk to the next.
#ifndef QLN_ENGINE_SCANNER_H_
#define QLN_ENGINE_SCANNER_H_

#include <string>
#include <string_view>

#include "byte_buffer.h"
#include "conversion_state.h"
#include "run_settings.h"

namespace qln::detail {

/// How a piece of input handed to ScanChunk relates to the chunk it belongs to.
enum class ChunkEnd {
  kEnds,       ///< the piece is a whole chunk: its last byte ends the chunk
  kContinues,  ///< the chunk goes on in the next piece (a long line cut in two)
  kLineFeeds,  ///< the piece is several chunks: each line feed in it ends one,
               ///< and so does its last byte (lines of a file, read in blocks)
};

/// Scans one piece of input and appends converted text to `output`, the way
/// settings.Scan asks (both ways give the same output and state). A zero
/// byte ends the chunk there; the rest of that chunk is not scanned (under
/// kLineFeeds scanning goes on after the next line feed). Returns false when
/// a zero byte ended a chunk whose rest lies beyond the piece, true otherwise.
bool ScanChunk(ConversionState* state, const RunSettings& settings, std::string_view chunk,
               ByteBuffer* output, ChunkEnd end = ChunkEnd::kEnds);

/// ScanChunk for a piece known to hold no zero byte.
void ScanText(ConversionState* state, const RunSettings& settings, std::string_view text,
              ByteBuffer* output, ChunkEnd end);

/// Appends the decoded text of a collected reference (the characters after
/// "&", without ";") to `destination`: "gt" and "lt", "#" and a number from 1
/// to 255, a letter followed by "uml". Anything else decodes to nothing.
void DecodeEntity(std::string_view reference, ByteBuffer* destination);

}  // namespace qln::detail

#endif  // QLN_ENGINE_SCANNER_H_
