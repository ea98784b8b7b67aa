// Standard input and output on POSIX systems.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/standard_streams.h"

namespace platform {

bool StandardInputIsData() {
  struct stat status;
  return fstat(STDIN_FILENO, &status) == 0 && (S_ISFIFO(status.st_mode) || S_ISREG(status.st_mode));
}

long ReadStandardInput(char* buffer, size_t size) {
  for (;;) {
    const ssize_t count = read(STDIN_FILENO, buffer, size);
    if (count >= 0) return static_cast<long>(count);
    if (errno != EINTR) return -1;
  }
}

bool WriteStandardOutput(std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t count = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (count >= 0)
      bytes.remove_prefix(static_cast<size_t>(count));
    else if (errno != EINTR)
      return false;
  }
  return true;
}

}  // namespace platform
