// Fuzzes the conversion engine: arbitrary bytes cut into arbitrary pieces,
// with arbitrary settings, through ScanChunk and then the reference list.
//
// The input's last bytes pick the settings and the mode; the rest is the text.
// Two byte values that the scanner only ever drops mark the cuts: 0xFF ends a
// chunk, 0xFE cuts a chunk into two pieces (ChunkEnd::kContinues). Optionally
// every line feed also ends a chunk, as in file mode. The pieces are fed as
// file mode feeds them, and the result must equal that of the same text fed
// with no 0xFE cuts: cutting a chunk into pieces never changes the output.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/conversion_state.h"
#include "engine/links.h"
#include "engine/scanner.h"
#include "fuzz/fuzz_settings.h"

namespace {

constexpr char kChunkCut = '\xff';
constexpr char kPieceCut = '\xfe';

struct Piece {
  std::string_view text;
  ChunkEnd end;
};

/// Cuts `text` at the markers (dropping them) and, when `by_line`, after every
/// line feed. With `merge_pieces`, 0xFE cuts are dropped without cutting.
std::vector<Piece> CutIntoPieces(std::string_view text, bool by_line,
                                 bool merge_pieces, std::string* storage) {
  // The merged text lives in `storage`, so the pieces can point into it.
  storage->clear();
  std::vector<size_t> cuts;  // end offsets in storage
  std::vector<ChunkEnd> ends;
  for (char c : text) {
    if (c == kChunkCut || (c == kPieceCut && !merge_pieces)) {
      cuts.push_back(storage->size());
      ends.push_back(c == kChunkCut ? ChunkEnd::kEnds : ChunkEnd::kContinues);
      continue;
    }
    if (c == kPieceCut) continue;
    storage->push_back(c);
    if (by_line && c == '\n') {
      cuts.push_back(storage->size());
      ends.push_back(ChunkEnd::kEnds);
    }
  }
  cuts.push_back(storage->size());
  ends.push_back(ChunkEnd::kEnds);
  std::vector<Piece> pieces;
  size_t begin = 0;
  for (size_t i = 0; i < cuts.size(); i++) {
    pieces.push_back({std::string_view(*storage).substr(begin, cuts[i] - begin), ends[i]});
    begin = cuts[i];
  }
  return pieces;
}

/// Feeds the pieces as file mode does (after a zero byte, the rest of its
/// chunk is skipped), then appends the reference list.
std::string Convert(const std::vector<Piece>& pieces, const Settings& settings,
                    bool crlf) {
  ConversionState state;
  state.CrLfMode = crlf;
  std::string output;
  bool skipping = false;
  for (const Piece& piece : pieces) {
    if (skipping) {
      skipping = piece.end == ChunkEnd::kContinues;
      continue;
    }
    if (!ScanChunk(&state, settings, piece.text, &output, piece.end))
      skipping = piece.end == ChunkEnd::kContinues;
    Check(state.TagBuffer.size() <= kMaxTagLength, "tag text within its cap");
    Check(state.EntityBuffer.size() <= kMaxEntityLength, "reference within its cap");
    Check(state.HrefBuffer.size() <= kMaxHrefLength, "link target within its cap");
  }
  if (crlf)
    AppendUrlList(&state.Urls, &output);
  else if (settings.DoURLs == 1)
    WriteUrlList(&state.Urls, &output);
  Check(state.Urls.ends.empty() && state.Urls.text.empty(), "list emptied");
  return output;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size) {
  FuzzedDataProvider data(bytes, size);
  const Settings settings = ConsumeSettings(&data);
  const bool crlf = data.ConsumeBool();
  const bool by_line = data.ConsumeBool();
  const std::string text = data.ConsumeRemainingBytesAsString();

  std::string cut_storage, merged_storage;
  std::string cut = Convert(CutIntoPieces(text, by_line, false, &cut_storage), settings, crlf);
  std::string merged =
      Convert(CutIntoPieces(text, by_line, true, &merged_storage), settings, crlf);
  Check(cut == merged, "pieces of a chunk convert as the whole chunk");
  return 0;
}
