// Standard input and output on POSIX systems.
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>

#include "platform/standard_streams.h"

namespace platform {

InputKind StandardInputKind() {
  if (isatty(STDIN_FILENO)) return InputKind::kTerminal;
  struct stat status;
  if (fstat(STDIN_FILENO, &status) == 0 &&
      (S_ISFIFO(status.st_mode) || S_ISREG(status.st_mode) || S_ISSOCK(status.st_mode)))
    return InputKind::kData;
  return InputKind::kOther;
}

long ReadStandardInput(char* buffer, size_t size, std::string* error) {
  for (;;) {
    const ssize_t count = read(STDIN_FILENO, buffer, size);
    if (count >= 0) return static_cast<long>(count);
    if (errno != EINTR) {
      *error = std::strerror(errno);
      return -1;
    }
  }
}

bool WriteStandardOutput(std::string_view bytes, std::string* error) {
  while (!bytes.empty()) {
    const ssize_t count = write(STDOUT_FILENO, bytes.data(), bytes.size());
    if (count >= 0) {
      bytes.remove_prefix(static_cast<size_t>(count));
    } else if (errno == EPIPE) {
      // The reader is gone (qln < page.html | head): end as cat does, killed
      // by the signal the program otherwise ignores.
      std::signal(SIGPIPE, SIG_DFL);
      std::raise(SIGPIPE);
    } else if (errno != EINTR) {
      *error = std::strerror(errno);
      return false;
    }
  }
  return true;
}

}  // namespace platform
