// Finding and reading the settings file.
#include "app/settings_file.h"

#include <cstdio>

#include "platform/files.h"
#include "platform/platform.h"

namespace {

/// Only the first six lines of at most 1023 characters count: no more bytes
/// than can hold them are read.
constexpr size_t kMostBytesRead = 6 * 1024 + 16;

}  // namespace

bool LoadSettingsFile(const std::string& path, qln::Settings* settings) {
  std::FILE* file = platform::OpenRegularFile(path);
  if (!file) return false;
  std::string bytes(kMostBytesRead, '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  std::fclose(file);
  *settings = qln::ParseSettings(bytes);
  return true;
}

qln::Settings LoadSettings() {
  qln::Settings settings;
  std::string path = platform::ModulePath();
  const size_t separator = path.rfind(platform::kPathSeparator);
  if (separator == std::string::npos) return settings;
  path.resize(separator + 1);
  path.append("qln.ini");
  LoadSettingsFile(path, &settings);
  return settings;
}
