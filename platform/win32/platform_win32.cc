// The Windows side of the OS layer.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/platform.h"

namespace platform {

const char kPathSeparator = '\\';

std::string ModulePath() {
  // Room for the usual 256 characters first; a longer path is read whole
  // rather than cut, so the settings are looked for in the right folder.
  std::vector<char> buffer(256);
  for (;;) {
    DWORD length = GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return "";
    if (length < buffer.size()) return std::string(buffer.data(), length);
    if (buffer.size() >= 32768) return "";  // longer than any Windows path
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::string> ConfigFolders() { return {}; }

void ShowMessage(std::string_view text, std::string_view caption) {
  const std::string zero_ended_text(text);
  const std::string zero_ended_caption(caption);
  MessageBoxA(nullptr, zero_ended_text.c_str(), zero_ended_caption.c_str(), MB_OK);
}

}  // namespace platform
