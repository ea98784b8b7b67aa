// The POSIX side of the file operations.
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "platform/files.h"

namespace platform {
namespace {

constexpr int kNameAttempts = 100;
constexpr size_t kMaxNameKept = 200;  // of the target's name, in a temporary name

/// Six characters from [0-9a-z] that differ from call to call and from
/// process to process, for a temporary file's name.
std::string UniqueSuffix(int attempt) {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  uint64_t x = static_cast<uint64_t>(now.tv_nsec) ^
               (static_cast<uint64_t>(now.tv_sec) << 30) ^
               (static_cast<uint64_t>(getpid()) << 20) ^
               static_cast<uint64_t>(attempt) * 0x9E3779B97F4A7C15u;
  x ^= x >> 31;
  x *= 0xBF58476D1CE4E5B9u;
  x ^= x >> 29;
  constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string suffix;
  for (int i = 0; i < 6; i++, x /= 36) suffix.push_back(kDigits[x % 36]);
  return suffix;
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
  // A hidden name beside the target, ".page.txt.qln-k3x9a2", short enough
  // for the folder even when the target's name is as long as names go.
  size_t slash = target.rfind('/');
  std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  name.resize(std::min<size_t>(name.size(), kMaxNameKept));
  for (int attempt = 0; attempt < kNameAttempts; attempt++) {
    std::string path = folder;
    path.append(".").append(name).append(".qln-").append(UniqueSuffix(attempt));
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
