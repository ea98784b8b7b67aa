// The POSIX side of the OS layer.
#include <unistd.h>

#include <cstdio>
#include <vector>

#include "platform/platform.h"

namespace platform {

const char kPathSeparator = '/';

std::string ModulePath() {
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t length = readlink("/proc/self/exe", buffer.data(), buffer.size());
    if (length < 0) return "";
    if (static_cast<size_t>(length) < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // the path may have been cut: try again
  }
}

void ShowMessage(std::string_view text, std::string_view caption) {
  std::string line;
  line.append(caption).append(": ").append(text).append("\n");
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace platform
