// Text-mode files done by hand over binary I/O.
#include "app/text_file.h"

#include <algorithm>
#include <bit>
#include <cstring>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QLN_TEXT_FILE_SSE2 1
#endif

#include "engine/line_ends.h"
#include "platform/files.h"

namespace {

constexpr char kEndOfText = 0x1A;
constexpr size_t kWriteBlock = 64 * 1024;

/// Writes the text of a CR whose next byte is at `next`: a CR LF pair reads as
/// one LF, a CR alone as itself. Returns where reading goes on.
const char* AfterCr(const char* next, char** out) {
  if (*next == '\n') {
    *(*out)++ = '\n';
    return next + 1;
  }
  *(*out)++ = '\r';
  return next;
}

/// Where the last LF of `text` is, or npos; sixteen bytes at a time from the
/// end where the processor has SSE2.
size_t FindLastLineFeed(std::string_view text) {
  size_t end = text.size();
#ifdef QLN_TEXT_FILE_SSE2
  const __m128i line_feeds = _mm_set1_epi8('\n');
  for (; end >= 16; end -= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text.data() + end - 16));
    const unsigned found =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, line_feeds)));
    if (found != 0) return end - 16 + (31 - std::countl_zero(found));
  }
#endif
  return text.substr(0, end).rfind('\n');
}

}  // namespace

TextReader::TextReader(size_t buffer_size)
    : buffer_(std::max<size_t>(buffer_size, 4)) {}

TextReader::~TextReader() {
  if (file_) std::fclose(file_);
}

bool TextReader::Open(const std::string& path) {
  file_ = platform::OpenRegularFile(path);
  return file_ != nullptr;
}

// Translates `length` raw bytes at `raw` (which lies at or after end_) into
// text appended at end_. A CR at the end of the block is held back until the
// next block shows whether a LF follows it. The text between CRs is moved in
// whole stretches.
void TextReader::Translate(char* raw, size_t length) {
  char* out = buffer_.data() + end_;
  const char* in = raw;
  if (const void* eot = std::memchr(raw, kEndOfText, length)) {
    length = static_cast<const char*>(eot) - raw;
    at_end_ = true;
  }
  const char* stop = raw + length;
  if (held_cr_ && in < stop) {
    held_cr_ = false;
    in = AfterCr(in, &out);
  }
  while (in < stop) {
    const char* cr = static_cast<const char*>(std::memchr(in, '\r', stop - in));
    const size_t plain = (cr ? cr : stop) - in;
    if (out != in) std::memmove(out, in, plain);
    out += plain;
    in += plain;
    if (!cr) break;
    if (++in == stop) {
      held_cr_ = true;
      break;
    }
    in = AfterCr(in, &out);
  }
  // Text ended by 0x1A: a CR just before it stands alone.
  if (at_end_ && held_cr_) {
    *out++ = '\r';
    held_cr_ = false;
  }
  end_ = out - buffer_.data();
}

void TextReader::Refill() {
  tail_has_no_lf_ = false;
  std::memmove(buffer_.data(), buffer_.data() + begin_, end_ - begin_);
  end_ -= begin_;
  begin_ = 0;
  // One byte of room stays free for a held CR that turns out to stand alone;
  // without one the block is read where its text goes, and translated in
  // place.
  size_t room = buffer_.size() - end_ - 1;
  char* raw = buffer_.data() + end_ + (held_cr_ ? 1 : 0);
  size_t got = std::fread(raw, 1, room, file_);
  if (got > 0) Translate(raw, got);
  if (got < room && (std::feof(file_) || std::ferror(file_))) {
    failed_ = std::ferror(file_) != 0;
    if (held_cr_) {
      buffer_[end_++] = '\r';
      held_cr_ = false;
    }
    at_end_ = true;
  }
}

bool TextReader::NextPiece(std::string_view* piece, bool* line_ends) {
  return Next(piece, line_ends, false);
}

bool TextReader::NextLines(std::string_view* piece, bool* line_ends) {
  return Next(piece, line_ends, true);
}

bool TextReader::Next(std::string_view* piece, bool* line_ends, bool all_lines) {
  if (!file_) return false;
  for (;;) {
    const char* text = buffer_.data() + begin_;
    const size_t length = end_ - begin_;
    const size_t lf = !all_lines          ? std::string_view(text, length).find('\n')
                      : tail_has_no_lf_ ? std::string_view::npos
                                        : FindLastLineFeed(std::string_view(text, length));
    if (lf != std::string_view::npos && !(all_lines && at_end_)) {
      size_t n = lf + 1;
      tail_has_no_lf_ = all_lines;
      *piece = std::string_view(text, n);
      *line_ends = true;
      begin_ += n;
      return true;
    }
    if (at_end_) {
      if (length == 0) return false;
      *piece = std::string_view(text, length);
      *line_ends = true;
      begin_ = end_;
      return true;
    }
    if (begin_ == 0 && end_ + 1 >= buffer_.size()) {
      // A line longer than the buffer. Its last byte waits, so that the piece
      // that turns out to end the input is known to end it.
      *piece = std::string_view(text, length - 1);
      *line_ends = false;
      begin_ = end_ - 1;
      return true;
    }
    Refill();
  }
}

TextWriter::~TextWriter() { Discard(); }

bool TextWriter::Open(const std::string& path) {
  Discard();  // a file still open from before is given up
  file_ = platform::CreateFileToReplace(path, &temp_path_);
  path_ = path;
  failed_ = false;
  used_ = 0;
  return file_ != nullptr;
}

bool TextWriter::Write(std::string_view text) {
  // Room for what waits (under a block) and a part of up to a block
  // translated (twice its size at most, plus what a copying step overshoots).
  if (buffer_.empty()) buffer_.resize(3 * kWriteBlock + 16);
  while (!text.empty()) {
    const std::string_view part = text.substr(0, kWriteBlock);
    used_ = CopyWithCrLf(part, buffer_.data() + used_) - buffer_.data();
    text.remove_prefix(part.size());
    if (used_ >= kWriteBlock) Flush();
  }
  return !failed_;
}

void TextWriter::Flush() {
  if (file_ && !failed_ && used_ > 0)
    failed_ = std::fwrite(buffer_.data(), 1, used_, file_) != used_;
  used_ = 0;
}

bool TextWriter::Close() {
  if (!file_) return false;
  Flush();
  bool ok = !failed_;
  ok = platform::SyncAndClose(file_) && ok;
  file_ = nullptr;
  if (ok) ok = platform::ReplaceFile(temp_path_, path_);
  if (!ok) platform::RemoveFile(temp_path_);
  return ok;
}

void TextWriter::Discard() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  platform::RemoveFile(temp_path_);
  used_ = 0;
}
