// An output file that replaces a file of its name whole or not at all.
#include "app/output_file.h"

#include "platform/files.h"

OutputFile::~OutputFile() { Discard(); }

bool OutputFile::Open(const std::string& path) {
  Discard();  // a file still open from before is given up
  file_ = platform::CreateFileToReplace(path, &temp_path_);
  path_ = path;
  failed_ = false;
  return file_ != nullptr;
}

bool OutputFile::Write(std::string_view bytes) {
  if (file_ && !failed_ && !bytes.empty())
    failed_ = std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size();
  return file_ && !failed_;
}

bool OutputFile::Close() {
  if (!file_) return false;
  bool ok = !failed_;
  ok = platform::SyncAndClose(file_) && ok;
  file_ = nullptr;
  if (ok) ok = platform::ReplaceFile(temp_path_, path_);
  if (!ok) platform::RemoveFile(temp_path_);
  return ok;
}

void OutputFile::Discard() {
  if (!file_) return;
  std::fclose(file_);
  file_ = nullptr;
  platform::RemoveFile(temp_path_);
}
