// The markup scanner: the input cut into pieces at zero bytes, each piece
// scanned by the ordered rules alone or by the block scanner.
#include "scanner.h"

#include "block_scanner.h"
#include "byte_classes.h"
#include "scanner_rules.h"

namespace qln::detail {
namespace {

// ScanChunk for a piece that holds no zero byte.
void ScanPiece(ConversionState* state, const RunSettings& settings, std::string_view chunk,
               ByteBuffer* output, ChunkEnd end) {
  if (chunk.empty()) {
    if (end != ChunkEnd::kContinues) EndChunkAfterPiece(state, settings, output);
    return;
  }
  state->PieceEndedWith = ConversionState::ContinuedByte::kNone;
  size_t i = 0;
  // A CR LF pair cut between two pieces: the line feed belongs to the line end
  // the carriage return already made.
  if (state->CrEndedPiece && chunk[0] == '\n') {
    state->WordBuffer.back() = '\n';
    i = 1;
  }
  state->CrEndedPiece = false;

  if (settings.Scan == ScanWay::kRulesOnly) {
    while (i < chunk.size()) i += ApplyRules(state, settings, chunk, i, end, output);
  } else {
    ScanPieceInBlocks(state, settings, chunk, i, end, output);
  }
}

}  // namespace

void ScanText(ConversionState* state, const RunSettings& settings, std::string_view text,
              ByteBuffer* output, ChunkEnd end) {
  ScanPiece(state, settings, text, output, end);
}

bool ScanChunk(ConversionState* state, const RunSettings& settings, std::string_view chunk,
               ByteBuffer* output, ChunkEnd end) {
  size_t zero = chunk.find('\0');
  if (zero != std::string_view::npos && end != ChunkEnd::kLineFeeds) {
    ScanPiece(state, settings, chunk.substr(0, zero), output, ChunkEnd::kEnds);
    return false;
  }
  // Lines read in blocks: a zero byte ends its own line's chunk, and scanning
  // goes on after that line's line feed. A loop, not recursion, as a block
  // may hold thousands of such lines.
  while (zero != std::string_view::npos) {
    const size_t line = chunk.substr(0, zero).rfind('\n') + 1;  // 0 for none
    if (line > 0) ScanPiece(state, settings, chunk.substr(0, line), output, end);
    ScanPiece(state, settings, chunk.substr(line, zero - line), output, ChunkEnd::kEnds);
    const size_t line_feed = chunk.find('\n', zero);
    if (line_feed == std::string_view::npos) return false;
    chunk.remove_prefix(line_feed + 1);
    if (chunk.empty()) return true;
    zero = chunk.find('\0');
  }
  ScanPiece(state, settings, chunk, output, end);
  return true;
}

void DecodeEntity(std::string_view reference, ByteBuffer* destination) {
  if (reference == "gt") {
    destination->push_back('>');
  } else if (reference == "lt") {
    destination->push_back('<');
  } else if (!reference.empty() && reference[0] == '#') {
    // The number as atoi reads it: leading whitespace, a sign, then digits
    // (a reference holds too few to overflow).
    std::string_view digits = reference.substr(1);
    while (!digits.empty() && IsWhitespace(static_cast<unsigned char>(digits.front())))
      digits.remove_prefix(1);
    const bool negative = !digits.empty() && digits.front() == '-';
    if (!digits.empty() && (digits.front() == '-' || digits.front() == '+'))
      digits.remove_prefix(1);
    long value = 0;
    for (char c : digits) {
      if (c < '0' || c > '9') break;
      value = 10 * value + (c - '0');
    }
    if (negative) value = -value;
    if (value >= 1 && value <= 255) destination->push_back(static_cast<char>(value));
  } else if (reference.size() == 4 && reference.substr(1) == "uml") {
    destination->push_back(reference[0]);
    destination->push_back('e');
  }
}

}  // namespace qln::detail
