// Where file mode's output goes.
#include "app/output_file.h"

#include <cerrno>
#include <cstring>

#include "platform/files.h"
#include "platform/standard_streams.h"

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(const std::string& path) {
  Discard();  // a file still open from before is given up
  to_standard_output_ = false;
  failed_ = false;
  error_.clear();
  file_ = platform::CreateFileToReplace(path, &temp_path_, &error_);
  path_ = path;
  return file_ != nullptr;
}

void OutputFile::OpenStandardOutput() {
  Discard();
  to_standard_output_ = true;
  failed_ = false;
  error_.clear();
}

bool OutputFile::Write(std::string_view bytes) {
  if (failed_ || bytes.empty()) return !failed_;
  if (to_standard_output_) {
    failed_ = !platform::WriteStandardOutput(bytes, &error_);
  } else if (file_) {
    failed_ = std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size();
    if (failed_) error_ = std::strerror(errno);
  } else {
    failed_ = true;
  }
  return !failed_;
}

bool OutputFile::Close() {
  if (to_standard_output_) return !failed_;
  if (!file_) return false;
  bool ok = !failed_;
  std::string sync_error;
  ok = platform::SyncAndClose(file_, &sync_error) && ok;
  if (!failed_ && !ok) error_ = sync_error;
  file_ = nullptr;
  if (ok) ok = platform::ReplaceFile(temp_path_, path_, &error_);
  if (!ok) platform::RemoveFile(temp_path_);
  failed_ = !ok;
  return ok;
}

void OutputFile::Discard() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  platform::RemoveFile(temp_path_);
}
