// A helper for the Wine tests of qln.exe, run under Wine beside it.
//   wine_probe run          starts the command line held in the environment
//                           variable QLN_COMMAND_LINE exactly as written (no
//                           quoting added), as Unicode, waits, and exits with
//                           its code.
//   wine_probe clipboard    prints the clipboard's CF_TEXT as it is; exits 1
//                           when the clipboard holds no text.
//   wine_probe unicode      prints the clipboard's CF_UNICODETEXT in UTF-8;
//                           exits 1 when the clipboard holds no text.
//   wine_probe dialog NAME  waits up to 30 s for a top-level window titled NAME
//                           and prints its class, then each child's class and
//                           text in UTF-8, one per line ("Button: OK"); exits
//                           1 if none.
//   wine_probe version FILE prints the version resource of FILE as Windows
//                           reads it: the fixed file and product versions, then
//                           the strings of its first language, one per line
//                           ("ProductName: qln"); exits 1 if it has none.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <initializer_list>
#include <string>
#include <vector>

namespace {

/// `text` in UTF-8.
std::string Utf8(const wchar_t* text) {
  const int length = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  std::string narrow(length > 0 ? length - 1 : 0, '\0');
  if (length > 1)
    WideCharToMultiByte(CP_UTF8, 0, text, -1, narrow.data(), length, nullptr, nullptr);
  return narrow;
}

int Run() {
  std::vector<wchar_t> command_line(32768);
  const DWORD length = GetEnvironmentVariableW(L"QLN_COMMAND_LINE", command_line.data(),
                                               static_cast<DWORD>(command_line.size()));
  if (length == 0 || length >= command_line.size()) {
    std::fprintf(stderr, "wine_probe: QLN_COMMAND_LINE is not set\n");
    return 2;
  }
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  // Wine now and then fails to start a process for reasons of its own (error
  // 1359, an internal error): such a start is tried again, a few times.
  bool started = false;
  for (int attempt = 0; attempt < 5 && !started; attempt++) {
    if (attempt > 0) Sleep(200);
    // CreateProcessW may write to the command line, so it gets a copy.
    std::vector<wchar_t> writable = command_line;
    started = CreateProcessW(nullptr, writable.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process);
    if (!started) {
      std::fprintf(stderr, "wine_probe: cannot start: %s (error %lu)\n",
                   Utf8(command_line.data()).c_str(), GetLastError());
      if (GetLastError() == ERROR_FILE_NOT_FOUND) break;
    }
  }
  if (!started) return 2;
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = 2;
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return static_cast<int>(code);
}

int PrintClipboard() {
  if (!OpenClipboard(nullptr)) return 2;
  int status = 1;
  HANDLE data = GetClipboardData(CF_TEXT);
  const char* text = data != nullptr ? static_cast<const char*>(GlobalLock(data)) : nullptr;
  if (text != nullptr) {
    _setmode(_fileno(stdout), _O_BINARY);
    std::fwrite(text, 1, strnlen(text, GlobalSize(data)), stdout);
    std::fflush(stdout);
    GlobalUnlock(data);
    status = 0;
  }
  CloseClipboard();
  return status;
}

int PrintUnicodeClipboard() {
  if (!OpenClipboard(nullptr)) return 2;
  int status = 1;
  HANDLE data = GetClipboardData(CF_UNICODETEXT);
  const wchar_t* text = data != nullptr ? static_cast<const wchar_t*>(GlobalLock(data)) : nullptr;
  if (text != nullptr) {
    _setmode(_fileno(stdout), _O_BINARY);
    const std::string utf8 = Utf8(text);
    std::fwrite(utf8.data(), 1, utf8.size(), stdout);
    std::fflush(stdout);
    GlobalUnlock(data);
    status = 0;
  }
  CloseClipboard();
  return status;
}

BOOL CALLBACK PrintChild(HWND window, LPARAM) {
  char class_name[256] = "";
  wchar_t text[1024] = L"";
  GetClassNameA(window, class_name, sizeof class_name);
  GetWindowTextW(window, text, sizeof text / sizeof text[0]);
  std::printf("%s: %s\n", class_name, Utf8(text).c_str());
  return TRUE;
}

int Dialog(const char* title) {
  for (int waited = 0; waited < 300; waited++) {
    HWND window = FindWindowA(nullptr, title);
    if (window != nullptr) {
      char class_name[256] = "";
      GetClassNameA(window, class_name, sizeof class_name);
      std::printf("%s\n", class_name);
      EnumChildWindows(window, PrintChild, 0);
      std::fflush(stdout);
      return 0;
    }
    Sleep(100);
  }
  std::fprintf(stderr, "wine_probe: no window titled %s\n", title);
  return 1;
}

void PrintFixedVersion(const char* name, DWORD high, DWORD low) {
  std::printf("%s: %u.%u.%u.%u\n", name, unsigned{HIWORD(high)}, unsigned{LOWORD(high)},
              unsigned{HIWORD(low)}, unsigned{LOWORD(low)});
}

int PrintVersion(const char* file) {
  DWORD ignored = 0;
  const DWORD size = GetFileVersionInfoSizeA(file, &ignored);
  if (size == 0) return 1;
  char* info = static_cast<char*>(std::malloc(size));
  if (info == nullptr || !GetFileVersionInfoA(file, 0, size, info)) {
    std::free(info);
    return 1;
  }
  void* value = nullptr;
  UINT length = 0;
  if (VerQueryValueA(info, "\\", &value, &length) && length >= sizeof(VS_FIXEDFILEINFO)) {
    const auto* fixed = static_cast<const VS_FIXEDFILEINFO*>(value);
    PrintFixedVersion("Fixed file version", fixed->dwFileVersionMS, fixed->dwFileVersionLS);
    PrintFixedVersion("Fixed product version", fixed->dwProductVersionMS,
                      fixed->dwProductVersionLS);
  }
  struct Translation {
    WORD language;
    WORD code_page;
  };
  if (VerQueryValueA(info, "\\VarFileInfo\\Translation", &value, &length) &&
      length >= sizeof(Translation)) {
    const auto* translation = static_cast<const Translation*>(value);
    for (const char* name : {"FileDescription", "FileVersion", "InternalName", "OriginalFilename",
                             "ProductName", "ProductVersion"}) {
      char query[128];
      std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translation->language,
                    translation->code_page, name);
      if (VerQueryValueA(info, query, &value, &length) && length > 0)
        std::printf("%s: %s\n", name, static_cast<const char*>(value));
    }
  }
  std::free(info);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 2 && std::strcmp(argv[1], "run") == 0) return Run();
  if (argc == 2 && std::strcmp(argv[1], "clipboard") == 0) return PrintClipboard();
  if (argc == 2 && std::strcmp(argv[1], "unicode") == 0) return PrintUnicodeClipboard();
  if (argc == 3 && std::strcmp(argv[1], "dialog") == 0) return Dialog(argv[2]);
  if (argc == 3 && std::strcmp(argv[1], "version") == 0) return PrintVersion(argv[2]);
  std::fprintf(stderr,
               "usage: wine_probe run | clipboard | unicode | dialog NAME | version FILE\n");
  return 2;
}
