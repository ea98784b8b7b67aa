// Helpers for tests that touch files or run the real executable: a private
// temporary folder, whole-file reads and writes, and running qln in it.
#ifndef QLN_TESTS_TEST_UTIL_H_
#define QLN_TESTS_TEST_UTIL_H_

#include <string>
#include <utility>
#include <vector>

/// A fresh folder under the system's temporary folder, removed with its
/// contents when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& path() const { return path_; }
  /// The path of `name` inside the folder.
  std::string operator/(const std::string& name) const { return path_ + "/" + name; }

 private:
  std::string path_;
};

void WriteFile(const std::string& path, const std::string& bytes);
/// The file's bytes, or "<missing>" when it cannot be read.
std::string ReadFile(const std::string& path);
bool FileExists(const std::string& path);
/// The names in the folder `dir`, sorted.
std::vector<std::string> FileNames(const std::string& dir);

/// The result of running the executable.
struct RunResult {
  /// The exit status, or 128 plus the signal that ended the program, as a
  /// shell shows it.
  int exit_code = -1;
  std::string standard_output;
  std::string standard_error;
};

/// Where the program's standard input comes from.
enum class Input {
  kNull,      ///< /dev/null, as when started from a desktop
  kPipe,      ///< a pipe that carries `input` (keep it under 64 KiB)
  kFile,      ///< a regular file that holds `input`
  kTerminal,  ///< a terminal (a pseudo-terminal), as when typed in a shell
};

struct RunOptions {
  Input from = Input::kNull;
  std::string input;
  /// Above 0: limits the size of every file the program writes (RLIMIT_FSIZE).
  size_t file_size_limit = 0;
  /// When the tests run as root, run the program as the user nobody, for whom
  /// file permissions hold. The folder must let nobody in.
  bool unprivileged = false;
  /// Where standard output goes instead of a file the result reads, such as
  /// /dev/full.
  std::string standard_output;
  /// Variables set for the program (after DISPLAY and WAYLAND_DISPLAY are
  /// removed).
  std::vector<std::pair<std::string, std::string>> environment;
};

/// Runs `exe` with `args` (each one argument, no shell) in the folder `cwd`.
/// The program sees no desktop display, so it never reaches a real clipboard.
/// A program still running after a minute is killed.
RunResult RunProgram(const std::string& exe, const std::vector<std::string>& args,
                     const std::string& cwd, const RunOptions& options);

/// RunProgram with standard input from `from`, holding `input`.
RunResult RunProgram(const std::string& exe, const std::vector<std::string>& args,
                     const std::string& cwd, Input from = Input::kNull,
                     const std::string& input = "", size_t file_size_limit = 0);

/// Copies the built qln into `dir`, so that a qln.ini there is the one it reads.
/// Returns the copy's path.
std::string InstallQln(const TempDir& dir);

#endif  // QLN_TESTS_TEST_UTIL_H_
