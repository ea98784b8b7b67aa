// Finding and reading the settings file.
#include "app/settings_file.h"

#include <cstdio>
#include <vector>

#include "platform/files.h"
#include "platform/platform.h"

namespace {

/// A settings file is small: what lies past its first 64 KiB is not read.
constexpr size_t kMostBytesRead = 64 * 1024;

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
  const std::string separator(1, platform::kPathSeparator);
  std::vector<std::string> candidates;
  const std::string program = platform::ModulePath();
  const size_t program_folder = program.rfind(platform::kPathSeparator);
  if (program_folder != std::string::npos)
    candidates.push_back(program.substr(0, program_folder + 1) + "qln.ini");
  for (const std::string& folder : platform::ConfigFolders())
    candidates.push_back(folder + separator + "qln" + separator + "qln.ini");
  qln::Settings settings;
  for (const std::string& path : candidates)
    if (LoadSettingsFile(path, &settings)) break;
  return settings;
}
