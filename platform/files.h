// The OS's file operations that file mode needs beyond reading and writing:
// opening only regular files, same-file checks, and replacing a file safely.
#ifndef QLN_PLATFORM_FILES_H_
#define QLN_PLATFORM_FILES_H_

#include <cstdio>
#include <string>

namespace platform {

// The functions that can fail put the system's reason in `*error` when they
// do (and `error` is not null): "No such file or directory", say.

/// Opens `path` for reading in binary mode when it names a regular file
/// (links are followed). nullptr when it is missing or unreadable, or names a
/// folder, a device or a pipe; opening never waits for a writer.
std::FILE* OpenRegularFile(const std::string& path, std::string* error = nullptr);

/// True when `path` names a file that exists and is not a folder.
bool IsExistingFile(const std::string& path);

/// True when `a` and `b` both exist and name the same file, as two hard links
/// to it or through a symbolic link.
bool IsSameFile(const std::string& a, const std::string& b);

/// Creates a new, empty file with a unique name in the folder of `target`,
/// open for writing in binary mode, and stores its path in `*temp_path`; it is
/// meant to replace `target` once complete. When `target` exists it must be a
/// regular file this process may write, and the new file takes its permission
/// bits and, where the system allows, its owner. nullptr when the file cannot
/// be created or `target` may not be replaced.
std::FILE* CreateFileToReplace(const std::string& target, std::string* temp_path,
                               std::string* error = nullptr);

/// Writes what `file` buffers to the disk and closes it. Returns false when
/// anything failed; the file is closed either way.
bool SyncAndClose(std::FILE* file, std::string* error = nullptr);

/// Renames the file `from` to `to` in one step, replacing a file named `to`.
bool ReplaceFile(const std::string& from, const std::string& to, std::string* error = nullptr);

/// Removes the file `path`, if it can.
void RemoveFile(const std::string& path);

}  // namespace platform

#endif  // QLN_PLATFORM_FILES_H_
