// The block scanner: the scanner's rules taken a word, a stretch of words, a
// tag or a reference at a time, found through the block masks of a kernel.
#ifndef QLN_ENGINE_BLOCK_SCANNER_H_
#define QLN_ENGINE_BLOCK_SCANNER_H_

#include <string>
#include <string_view>

#include "byte_buffer.h"
#include "conversion_state.h"
#include "run_settings.h"
#include "scanner.h"

namespace qln::detail {

/// Scans the piece `chunk` (no zero byte in it) from `i` on, with the kernel
/// settings.Kernel: the same output and state as the ordered rules give
/// byte by byte.
void ScanPieceInBlocks(ConversionState* state, const RunSettings& settings, std::string_view chunk,
                       size_t i, ChunkEnd end, ByteBuffer* output);

}  // namespace qln::detail

#endif  // QLN_ENGINE_BLOCK_SCANNER_H_
