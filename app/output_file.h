// Where file mode's output goes: a file that replaces a file of its name whole
// or not at all (it is written beside that name and takes it only once
// complete and on the disk), or standard output.
#ifndef QLN_APP_OUTPUT_FILE_H_
#define QLN_APP_OUTPUT_FILE_H_

#include <cstdio>
#include <string>
#include <string_view>

class OutputFile {
 public:
  OutputFile() = default;
  /// Discards the bytes unless Close succeeded.
  ~OutputFile();
  OutputFile(const OutputFile&) = delete;
  OutputFile& operator=(const OutputFile&) = delete;

  /// Starts writing the file `path`. Returns false when that fails, with the
  /// system's reason in Error().
  bool Open(const std::string& path);
  /// Writes to standard output instead, as it comes.
  void OpenStandardOutput();
  /// Returns false once any write has failed (a full disk, a size limit);
  /// later bytes are dropped.
  bool Write(std::string_view bytes);
  /// True once a write has failed.
  bool Failed() const { return failed_; }
  /// Flushes the bytes to the disk and puts the file in place under its name.
  /// Returns false when anything failed: the file is then discarded.
  bool Close();
  /// Drops the bytes written: no file of the name is made or changed.
  void Discard();
  /// Why the last step failed, in the system's words.
  const std::string& Error() const { return error_; }

 private:
  std::FILE* file_ = nullptr;
  bool to_standard_output_ = false;
  std::string path_;       // the name the file takes on Close
  std::string temp_path_;  // where it is written until then
  bool failed_ = false;
  std::string error_;
};

#endif  // QLN_APP_OUTPUT_FILE_H_
