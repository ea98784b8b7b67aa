// The POSIX side of the file operations.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

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

}  // namespace

std::FILE* OpenRegularFile(const std::string& path) {
  // Non-blocking, so that a pipe does not wait for a writer before the type
  // check turns it away.
  int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return nullptr;
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) ||
      fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK) != 0) {
    close(fd);
    return nullptr;
  }
  std::FILE* file = fdopen(fd, "rb");
  if (!file) close(fd);
  return file;
}

bool IsSameFile(const std::string& a, const std::string& b) {
  struct stat first, second;
  return stat(a.c_str(), &first) == 0 && stat(b.c_str(), &second) == 0 &&
         first.st_dev == second.st_dev && first.st_ino == second.st_ino;
}

std::FILE* CreateFileToReplace(const std::string& target, std::string* temp_path) {
  mode_t mode = 0666;  // narrowed by the umask, as for any new file
  bool keeps_mode = false;
  struct stat existing;
  if (stat(target.c_str(), &existing) == 0) {
    if (!S_ISREG(existing.st_mode) || access(target.c_str(), W_OK) != 0) return nullptr;
    mode = existing.st_mode & 0777;
    keeps_mode = true;
  }
  const uint64_t seed = NameSeed();
  for (int attempt = 0; attempt < kTempNameAttempts; attempt++) {
    std::string path = TempPathFor(target, "/", seed, attempt);
    int fd = open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, mode);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return nullptr;
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
      close(fd);
      unlink(path.c_str());
      return nullptr;
    }
    *temp_path = path;
    return file;
  }
  return nullptr;
}

bool SyncAndClose(std::FILE* file) {
  bool ok = std::fflush(file) == 0 && fsync(fileno(file)) == 0;
  return std::fclose(file) == 0 && ok;
}

bool ReplaceFile(const std::string& from, const std::string& to) {
  return rename(from.c_str(), to.c_str()) == 0;
}

void RemoveFile(const std::string& path) { unlink(path.c_str()); }

}  // namespace platform
