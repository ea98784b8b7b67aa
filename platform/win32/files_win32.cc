// The Windows side of the file operations, over the Win32 file calls, with
// C streams on top so the front end reads and writes the same way everywhere.
// Paths arrive as UTF-8 and go to the "W" calls as UTF-16.
#include <fcntl.h>
#include <io.h>
#include <windows.h>
#undef ReplaceFile  // the Win32 macro would rename this layer's function

#include <cstdint>

#include "platform/files.h"
#include "platform/temp_name.h"
#include "platform/win32/utf16.h"

namespace platform {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

/// Differs from run to run and from process to process.
uint64_t NameSeed() {
  LARGE_INTEGER counter{};
  QueryPerformanceCounter(&counter);
  return static_cast<uint64_t>(counter.QuadPart) ^
         (static_cast<uint64_t>(GetCurrentProcessId()) << 20);
}

/// True when `handle` is an ordinary file on a disk: not a folder, a console,
/// a device or a pipe.
bool IsDiskFile(HANDLE handle) {
  BY_HANDLE_FILE_INFORMATION info;
  return GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
         (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

/// A C stream over `handle`, which it then owns; nullptr (and the handle
/// closed) when that fails.
std::FILE* StreamFor(HANDLE handle, int flags, const char* mode) {
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(handle), flags | _O_BINARY);
  if (fd < 0) {
    CloseHandle(handle);
    return nullptr;
  }
  std::FILE* file = _fdopen(fd, mode);
  if (file == nullptr) _close(fd);
  return file;
}

/// The full path of `path`, or "" when it cannot be found.
std::wstring FullPath(const std::wstring& path) {
  const DWORD size = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (size == 0) return L"";
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(path.c_str(), size, full.data(), nullptr);
  if (length == 0 || length >= size) return L"";
  full.resize(length);
  return full;
}

/// Puts the system's text for the last error in `*error`; returns `failed`.
template <typename T>
T Failed(std::string* error, T failed) {
  if (error) {
    wchar_t* text = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, GetLastError(), 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    *error = Utf8(std::wstring_view(text != nullptr ? text : L"", text != nullptr ? length : 0));
    while (!error->empty() &&
           (error->back() == '\n' || error->back() == '\r' || error->back() == '.'))
      error->pop_back();
    LocalFree(text);
  }
  return failed;
}

}  // namespace

std::FILE* OpenRegularFile(const std::string& path, std::string* error) {
  HANDLE handle = CreateFileW(Utf16(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
  if (handle == INVALID_HANDLE_VALUE) return Failed(error, nullptr);
  if (!IsDiskFile(handle)) {
    CloseHandle(handle);
    if (error) *error = "not a regular file";
    return nullptr;
  }
  return StreamFor(handle, _O_RDONLY, "rb");
}

bool IsSameFile(const std::string& a, const std::string& b) {
  BY_HANDLE_FILE_INFORMATION info[2];
  const std::string* paths[2] = {&a, &b};
  for (int i = 0; i < 2; i++) {
    // No access asked for: only the file's identity is read. Folders open too.
    HANDLE handle = CreateFileW(Utf16(*paths[i]).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (handle == INVALID_HANDLE_VALUE) return false;
    const bool known = GetFileInformationByHandle(handle, &info[i]);
    CloseHandle(handle);
    if (!known) return false;
  }
  return info[0].dwVolumeSerialNumber == info[1].dwVolumeSerialNumber &&
         info[0].nFileIndexHigh == info[1].nFileIndexHigh &&
         info[0].nFileIndexLow == info[1].nFileIndexLow;
}

std::FILE* CreateFileToReplace(const std::string& target, std::string* temp_path,
                               std::string* error) {
  // An existing target must be an ordinary file this process may write; a
  // read-only one is left alone, as opening it for writing would fail.
  const std::wstring wide_target = Utf16(target);
  const DWORD attributes = GetFileAttributesW(wide_target.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES) {
    if (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) {
      if (error) *error = "not a file that may be replaced";
      return nullptr;
    }
    HANDLE existing = CreateFileW(wide_target.c_str(), GENERIC_WRITE, kShareAll, nullptr,
                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    // In use, or no right to.
    if (existing == INVALID_HANDLE_VALUE) return Failed(error, nullptr);
    const bool replaceable = IsDiskFile(existing);
    CloseHandle(existing);
    if (!replaceable) {
      if (error) *error = "not a regular file";
      return nullptr;
    }
  }
  const uint64_t seed = NameSeed();
  for (int attempt = 0; attempt < kTempNameAttempts; attempt++) {
    std::string path = TempPathFor(target, "\\/", seed, attempt);
    HANDLE handle = CreateFileW(Utf16(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
      const DWORD last_error = GetLastError();
      if (last_error == ERROR_FILE_EXISTS || last_error == ERROR_ALREADY_EXISTS) continue;
      return Failed(error, nullptr);
    }
    std::FILE* file = StreamFor(handle, _O_WRONLY, "wb");
    if (file == nullptr) {
      DeleteFileW(Utf16(path).c_str());
      if (error) *error = "cannot write the file";
      return nullptr;
    }
    *temp_path = path;
    return file;
  }
  if (error) *error = "no free name for a new file";
  return nullptr;
}

bool SyncAndClose(std::FILE* file, std::string* error) {
  bool ok = std::fflush(file) == 0 &&
            FlushFileBuffers(reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file))));
  ok = std::fclose(file) == 0 && ok;
  if (!ok && error) *error = "cannot write the file";
  return ok;
}

bool ReplaceFile(const std::string& from, const std::string& to, std::string* error) {
  // An existing file is replaced so that it keeps its attributes and access
  // rights, as an overwritten file would. ReplaceFileW wants full paths (some
  // implementations fail on relative ones), and where it cannot work (some
  // file systems do not support it) both files are as they were, so a plain
  // rename is tried next. A new file is simply renamed.
  const std::wstring wide_from = Utf16(from), wide_to = Utf16(to);
  if (GetFileAttributesW(wide_to.c_str()) != INVALID_FILE_ATTRIBUTES) {
    const std::wstring full_from = FullPath(wide_from);
    const std::wstring full_to = FullPath(wide_to);
    if (!full_from.empty() && !full_to.empty() &&
        ReplaceFileW(full_to.c_str(), full_from.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                     nullptr, nullptr)) {
      return true;
    }
  }
  return MoveFileExW(wide_from.c_str(), wide_to.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0 ||
         Failed(error, false);
}

void RemoveFile(const std::string& path) { DeleteFileW(Utf16(path).c_str()); }

bool IsExistingFile(const std::string& path) {
  const DWORD attributes = GetFileAttributesW(Utf16(path).c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace platform
