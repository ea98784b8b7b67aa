// One streaming conversion, for both modes.
#include "conversion.h"

#include "line_ends.h"
#include "links.h"
#include "modern.h"
#include "scanner.h"
#include "simd.h"

namespace qln::detail {
namespace {

/// Input is taken, and output handed on, in blocks of about this size, so that
/// memory stays bounded whatever the size of a piece.
constexpr size_t kBlock = 64 * 1024;

/// Hands the output to the sink with the line ends asked for. The classic
/// engine and its reference list write LF in file mode and CR LF in
/// clipboard mode; the modern profile writes LF in both.
void Flush(Conversion* c) {
  std::string_view bytes = c->output.view();
  const bool lf = c->line_ends == LineEnds::kLf;
  const bool writes_lf = c->mode == Mode::kFile || c->settings.ModernHtml;
  if (writes_lf && !lf) {
    c->wire.clear();
    AppendWithCrLf(KernelOf(c->settings), c->output.view(), &c->wire);
    bytes = c->wire.view();
  } else if (!writes_lf && lf) {
    c->wire.clear();
    AppendLfForCrLf(KernelOf(c->settings), c->output.view(), &c->output_held_cr, &c->wire);
    if (c->finished && c->output_held_cr) c->wire.push_back('\r');
    bytes = c->wire.view();
  }
  if (!bytes.empty()) c->sink(bytes.data(), bytes.size(), c->user);
  c->output.clear();
}

// File mode: each line is a chunk. A piece of text whose last line goes on in
// the next piece is scanned as far as it goes.
void ScanLines(Conversion* c, std::string_view text) {
  if (c->skipping_line) {
    const size_t line_feed = text.find('\n');
    if (line_feed == std::string_view::npos) return;
    text.remove_prefix(line_feed + 1);
    c->skipping_line = false;
  }
  if (text.empty()) return;
  const size_t last_line_feed = simd::FindLastLineFeed(text);
  if (last_line_feed != std::string_view::npos) {
    ScanChunk(&c->state, c->settings, text.substr(0, last_line_feed + 1), &c->output,
              ChunkEnd::kLineFeeds);
    c->chunk_open = false;
    text.remove_prefix(last_line_feed + 1);
  }
  if (text.empty()) return;
  c->chunk_open = ScanChunk(&c->state, c->settings, text, &c->output, ChunkEnd::kContinues);
  c->skipping_line = !c->chunk_open;  // a zero byte ended the line
}

// File mode: the bytes read as text, up to a 0x1A byte.
void FeedFileBlock(Conversion* c, std::string_view bytes) {
  const size_t end_of_text = bytes.find('\x1A');
  if (end_of_text != std::string_view::npos) {
    bytes = bytes.substr(0, end_of_text);
    c->input_ended = true;
  }
  std::string_view text = bytes;
  if (c->held_cr || bytes.find('\r') != std::string_view::npos) {
    c->input.clear();
    AppendLfForCrLf(KernelOf(c->settings), bytes, &c->held_cr, &c->input);
    if (c->input_ended && c->held_cr) {
      c->input.push_back('\r');  // a CR right before the end stands alone
      c->held_cr = false;
    }
    text = c->input.view();
  }
  ScanLines(c, text);
}

// Clipboard mode: the bytes, up to a zero byte, are one chunk.
void FeedClipboardBlock(Conversion* c, std::string_view bytes) {
  const size_t zero = bytes.find('\0');
  if (zero != std::string_view::npos) {
    bytes = bytes.substr(0, zero);
    c->input_ended = true;
  }
  std::string_view text = bytes;
  if (c->line_ends == LineEnds::kLf) {
    c->input.clear();
    AppendCrBeforeLf(KernelOf(c->settings), bytes, &c->after_cr, &c->input);
    text = c->input.view();
  }
  if (!text.empty()) ScanText(&c->state, c->settings, text, &c->output, ChunkEnd::kContinues);
}

ModernRun Modern(Conversion* c) { return ModernRun{&c->modern, c->settings, &c->output}; }

// The modern profile: the bytes as they come (in file mode up to a 0x1A byte);
// it reads line ends, zero bytes and characters itself.
void FeedModernBlock(Conversion* c, std::string_view bytes) {
  if (c->mode == Mode::kFile) {
    const size_t end_of_text = bytes.find('\x1A');
    if (end_of_text != std::string_view::npos) {
      bytes = bytes.substr(0, end_of_text);
      c->input_ended = true;
    }
  }
  FeedModern(Modern(c), bytes, &c->text);
}

}  // namespace

void StartConversion(Conversion* c, const RunSettings& settings, Mode mode, LineEnds line_ends,
                     Sink sink, void* user) {
  *c = Conversion{};
  c->settings = settings;
  c->mode = mode;
  c->line_ends = line_ends;
  c->sink = sink;
  c->user = user;
  c->state.CrLfMode = mode == Mode::kClipboard;
  // The clipboard's text is one chunk, open from the start.
  c->chunk_open = mode == Mode::kClipboard;
}

void FeedConversion(Conversion* c, std::string_view bytes) {
  while (!bytes.empty() && !c->input_ended) {
    const std::string_view block = bytes.substr(0, kBlock);
    bytes.remove_prefix(block.size());
    if (c->settings.ModernHtml)
      FeedModernBlock(c, block);
    else if (c->mode == Mode::kFile)
      FeedFileBlock(c, block);
    else
      FeedClipboardBlock(c, block);
    if (c->output.size() >= kBlock) Flush(c);
  }
  Flush(c);
}

void FinishConversion(Conversion* c) {
  if (c->settings.ModernHtml) {
    FinishModern(Modern(c), c->mode, &c->text);
    size_t next = 0;
    while (!WriteReferenceListPart(&c->modern.urls, "", "\n", &next, kBlock, &c->output)) Flush(c);
    c->finished = true;
    Flush(c);
    return;
  }
  if (c->held_cr) {
    c->held_cr = false;
    ScanLines(c, "\r");
  }
  if (c->chunk_open) ScanChunk(&c->state, c->settings, "", &c->output, ChunkEnd::kEnds);
  c->chunk_open = false;
  if (c->mode == Mode::kFile) c->output.push_back('\n');
  // The list goes out in blocks too: it may be long. File mode writes it only
  // when links are numbered; in clipboard mode the list is empty otherwise.
  size_t next = 0;
  if (c->mode == Mode::kClipboard) {
    while (!AppendUrlListPart(&c->state.Urls, &next, kBlock, &c->output)) Flush(c);
  } else if (c->settings.DoURLs == 1) {
    while (!WriteUrlListPart(&c->state.Urls, &next, kBlock, &c->output)) Flush(c);
  }
  c->finished = true;
  Flush(c);
}

}  // namespace qln::detail
