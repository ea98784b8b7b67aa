// Helpers for tests that touch files or run the real executable.
#include "tests/test_util.h"

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace fs = std::filesystem;

TempDir::TempDir() {
  std::string pattern = (fs::temp_directory_path() / "qln-test-XXXXXX").string();
  if (!mkdtemp(pattern.data())) std::abort();
  path_ = pattern;
}

TempDir::~TempDir() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream bytes;
  bytes << in.rdbuf();
  return bytes.str();
}

bool FileExists(const std::string& path) { return fs::exists(path); }

std::vector<std::string> FileNames(const std::string& dir) {
  std::vector<std::string> names;
  for (const fs::directory_entry& entry : fs::directory_iterator(dir))
    names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  return names;
}

RunResult RunProgram(const std::string& exe, const std::vector<std::string>& args,
                     const std::string& cwd, Input from, const std::string& input,
                     size_t file_size_limit) {
  constexpr unsigned kKillAfterSeconds = 60;
  std::string output_file = cwd + "/.stdout";
  std::string error_file = cwd + "/.stderr";
  std::string input_file = cwd + "/.stdin";
  if (from == Input::kFile) WriteFile(input_file, input);
  int pipe_ends[2] = {-1, -1};
  if (from == Input::kPipe && pipe(pipe_ends) != 0) return {};
  pid_t pid = fork();
  if (pid == 0) {
    int in = from == Input::kPipe   ? pipe_ends[0]
             : from == Input::kFile ? open(input_file.c_str(), O_RDONLY)
                                    : open("/dev/null", O_RDONLY);
    int out = open(output_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || chdir(cwd.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (from == Input::kPipe) close(pipe_ends[1]);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    if (file_size_limit > 0) {
      rlimit limit{file_size_limit, file_size_limit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
    }
    alarm(kKillAfterSeconds);  // lasts through exec
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(exe.c_str()));
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    execv(exe.c_str(), argv.data());
    _exit(127);
  }
  if (from == Input::kPipe) {
    std::signal(SIGPIPE, SIG_IGN);  // a program that reads nothing must not kill the test
    close(pipe_ends[0]);
    if (pid > 0 && write(pipe_ends[1], input.data(), input.size()) < 0) {
      // the program went away without reading: its result tells
    }
    close(pipe_ends[1]);
  }
  RunResult result;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status))
    result.exit_code = WEXITSTATUS(status);
  result.standard_output = ReadFile(output_file);
  result.standard_error = ReadFile(error_file);
  for (const std::string& file : {output_file, error_file, input_file}) fs::remove(file);
  return result;
}

std::string InstallQln(const TempDir& dir) {
  std::string copy = dir / "qln";
  fs::copy_file(QLN_EXE, copy, fs::copy_options::overwrite_existing);
  return copy;
}
