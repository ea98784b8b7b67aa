// The Windows side of the OS layer. Text crosses it as UTF-8 inside the
// program and UTF-16 for Windows.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <string>
#include <vector>

#include "platform/platform.h"
#include "platform/win32/command_line_text.h"
#include "platform/win32/utf16.h"

namespace platform {

const char kPathSeparator = '\\';

std::string ModulePath() {
  // Room for the usual 260 characters first; a longer path is read whole
  // rather than cut, so the settings are looked for in the right folder.
  std::vector<wchar_t> buffer(260);
  for (;;) {
    DWORD length = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return "";
    if (length < buffer.size()) return Utf8(std::wstring_view(buffer.data(), length));
    if (buffer.size() >= 32768) return "";  // longer than any Windows path
    buffer.resize(buffer.size() * 2);
  }
}

std::vector<std::string> ConfigFolders() { return {}; }

std::vector<std::string> SplitCommandLine(std::string_view command_line) {
  // CommandLineToArgvW reads its first argument as a program's name, by
  // rules of its own: a plain one stands in for it.
  const std::wstring whole = L"qln " + Utf16(command_line);
  int count = 0;
  wchar_t** arguments = CommandLineToArgvW(whole.c_str(), &count);
  std::vector<std::string> split;
  if (arguments == nullptr) return split;
  for (int i = 1; i < count; i++) split.push_back(Utf8(arguments[i]));
  LocalFree(arguments);
  return split;
}

void ShowMessage(std::string_view text, std::string_view caption) {
  MessageBoxW(nullptr, Utf16(text).c_str(), Utf16(caption).c_str(), MB_OK);
}

std::string CommandLineText() {
  // As WinMain's text: the program's name (whole when it is in double
  // quotes) and the spaces and control characters after it are skipped.
  const wchar_t* p = GetCommandLineW();
  if (*p == L'"') {
    while (*++p != L'\0' && *p != L'"') {
    }
    if (*p == L'"') p++;
  } else {
    while (*p > L' ') p++;
  }
  while (*p != L'\0' && *p <= L' ') p++;
  return Utf8(p);
}

}  // namespace platform
