// The POSIX side of the OS layer.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
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

std::vector<std::string> ConfigFolders() {
  // The user's: XDG_CONFIG_HOME when it is an absolute path, else ~/.config.
  std::vector<std::string> folders;
  const char* config_home = std::getenv("XDG_CONFIG_HOME");
  const char* home = std::getenv("HOME");
  if (config_home && config_home[0] == '/')
    folders.push_back(config_home);
  else if (home && home[0] != '\0')
    folders.push_back(std::string(home) + "/.config");
  folders.push_back("/etc");
  return folders;
}

std::vector<std::string> SplitCommandLine(std::string_view) { return {}; }

void ShowMessage(std::string_view text, std::string_view caption) {
  std::string line;
  line.append(caption).append(": ").append(text).append("\n");
  std::fwrite(line.data(), 1, line.size(), stderr);
}

}  // namespace platform
