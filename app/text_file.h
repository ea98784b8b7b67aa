// Text-mode files done by hand over binary I/O, so that every OS reads and
// writes the same bytes: reading turns CR LF into LF and stops at a 0x1A byte;
// writing turns every LF into CR LF. Both are buffered in large blocks.
#ifndef QLN_APP_TEXT_FILE_H_
#define QLN_APP_TEXT_FILE_H_

#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

/// Reads a file as text, handing it out line by line in bounded pieces.
class TextReader {
 public:
  /// `buffer_size` bounds the memory used and the length of a piece (min 4).
  explicit TextReader(size_t buffer_size = 64 * 1024);
  ~TextReader();
  TextReader(const TextReader&) = delete;
  TextReader& operator=(const TextReader&) = delete;

  /// Opens `path` for reading. Returns false when it cannot be opened or is
  /// not a regular file (a folder, a device, a pipe).
  bool Open(const std::string& path);

  /// The next piece of text: a line up to and including its line feed, or the
  /// last line of the input without one (`*line_ends` true), or, for a line
  /// longer than the buffer, a part of it that the line goes on after
  /// (`*line_ends` false). The piece stays valid until the next call. Returns
  /// false at the end of the input, or when reading fails.
  bool NextPiece(std::string_view* piece, bool* line_ends);

  /// Like NextPiece, but a piece that ends a line holds all the whole lines
  /// the buffer has (and, at the end of the input, its last line without a
  /// line feed): fewer, larger pieces for a caller that splits them itself.
  bool NextLines(std::string_view* piece, bool* line_ends);

  /// True when reading failed: the input ended early, not at its end.
  bool Failed() const { return failed_; }

 private:
  bool Next(std::string_view* piece, bool* line_ends, bool all_lines);
  void Refill();
  void Translate(char* raw, size_t length);

  std::FILE* file_ = nullptr;
  std::vector<char> buffer_;  // translated text in [begin_, end_)
  size_t begin_ = 0;
  size_t end_ = 0;
  bool at_end_ = false;   // no more text will be read from the file
  bool failed_ = false;   // reading failed before the end of the file
  bool held_cr_ = false;  // the last block read ended in CR: is a LF next?
  bool tail_has_no_lf_ = false;  // [begin_, end_) follows the last LF read
};

/// Writes text to a file, storing every line feed as CR LF. The text goes to
/// a new file beside the one named, which takes that name only when Close
/// succeeds: an existing file of the name is replaced whole or not at all.
class TextWriter {
 public:
  TextWriter() = default;
  /// Discards the text unless Close succeeded.
  ~TextWriter();
  TextWriter(const TextWriter&) = delete;
  TextWriter& operator=(const TextWriter&) = delete;

  /// Starts writing the file `path`. Returns false when that fails.
  bool Open(const std::string& path);
  /// Returns false once any write has failed (a full disk, a size limit);
  /// later text is dropped.
  bool Write(std::string_view text);
  /// Writes what is buffered, flushes it to the disk and puts the file in
  /// place under its name. Returns false when anything failed: the file is
  /// then discarded.
  bool Close();
  /// Drops the text written: no file of the name is made or changed.
  void Discard();

 private:
  void Flush();

  std::FILE* file_ = nullptr;
  std::string path_;       // the name the file takes on Close
  std::string temp_path_;  // where it is written until then
  std::vector<char> buffer_;  // sized once; text waiting in [0, used_)
  size_t used_ = 0;
  bool failed_ = false;
};

#endif  // QLN_APP_TEXT_FILE_H_
