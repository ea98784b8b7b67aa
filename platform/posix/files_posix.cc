// The POSIX side of the file operations.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstring>

#include "platform/files.h"
#include "platform/temp_name.h"

namespace platform {
namespace {

/// Differs from run to run and from process to process.
uint64_t NameSeed() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  return static_cast<uint64_t>(now.tv_nsec) ^ (static_cast<uint64_t>(now.tv_sec) << 30) ^
         (static_cast<uint64_t>(getpid()) << 20);
}

/// Puts the reason for `error_number` in `*error`; returns `failed`.
template <typename T>
T Failed(int error_number, std::string* error, T failed) {
  if (error) *error = std::strerror(error_number);
  return failed;
}

/// Puts the reason for a file that is not a regular one in `*error`.
std::FILE* NotARegularFile(mode_t mode, std::string* error) {
  if (error) *error = S_ISDIR(mode) ? std::strerror(EISDIR) : "not a regular file";
  return nullptr;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, std::string* error) {
  // Non-blocking, so that a pipe does not wait for a writer before the type
  // check turns it away.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Failed(errno, error, nullptr);
  struct stat info;
  if (fstat(fd, &info) != 0) {
    const int error_number = errno;
    close(fd);
    return Failed(error_number, error, nullptr);
  }
  if (!S_ISREG(info.st_mode)) {
    close(fd);
    return NotARegularFile(info.st_mode, error);
  }
  std::FILE* file = nullptr;
  if (fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0 || !(file = fdopen(fd, "rb"))) {
    const int error_number = errno;
    close(fd);
    return Failed(error_number, error, nullptr);
  }
  return file;
}

bool IsExistingFile(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::FILE* CreateFileToReplace(const std::string& target, std::string* temp_path,
                               std::string* error) {
  mode_t mode = 0666;  // narrowed by the umask, as for any new file
  bool keeps_mode = false;
  struct stat existing;
  if (stat(target.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode)) return NotARegularFile(existing.st_mode, error);
    if (access(target.c_str(), W_OK) != 0) return Failed(errno, error, nullptr);
    mode = existing.st_mode & 0777;
    keeps_mode = true;
  }
  const uint64_t seed = NameSeed();
  for (int attempt = 0; attempt < kTempNameAttempts; attempt++) {
    std::string path = TempPathFor(target, "/", seed, attempt);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return Failed(errno, error, nullptr);
    }
    if (keeps_mode) {
      // Keep the owner where the system allows it (as root, say), then the
      // mode, which the umask must not narrow.
      if (fchown(fd, existing.st_uid, existing.st_gid) != 0) {
        // Another owner is not ours to give: the file stays the writer's.
      }
      fchmod(fd, mode);
    }
    std::FILE* file = fdopen(fd, "wb");
    if (!file) {
      const int error_number = errno;
      close(fd);
      unlink(path.c_str());
      return Failed(error_number, error, nullptr);
    }
    *temp_path = path;
    return file;
  }
  return Failed(EEXIST, error, nullptr);
}

bool SyncAndClose(std::FILE* file, std::string* error) {
  int error_number = 0;
  if (std::fflush(file) != 0 || fsync(fileno(file)) != 0) error_number = errno;
  if (std::fclose(file) != 0 && error_number == 0) error_number = errno;
  return error_number == 0 || Failed(error_number, error, false);
}

bool ReplaceFile(const std::string& from, const std::string& to, std::string* error) {
  return rename(from.c_str(), to.c_str()) == 0 || Failed(errno, error, false);
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

}  // namespace platform
