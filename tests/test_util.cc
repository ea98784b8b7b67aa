// Helpers for tests that touch files or run the real executable.
#include "tests/test_util.h"

#include <fcntl.h>
#include <grp.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
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
  RunOptions options;
  options.from = from;
  options.input = input;
  options.file_size_limit = file_size_limit;
  return RunProgram(exe, args, cwd, options);
}

RunResult RunProgram(const std::string& exe, const std::vector<std::string>& args,
                     const std::string& cwd, const RunOptions& options) {
  constexpr unsigned kKillAfterSeconds = 60;
  const Input from = options.from;
  std::string output_file = cwd + "/.stdout";
  std::string error_file = cwd + "/.stderr";
  std::string input_file = cwd + "/.stdin";
  if (from == Input::kFile) WriteFile(input_file, options.input);
  int pipe_ends[2] = {-1, -1};
  if (from == Input::kPipe && pipe(pipe_ends) != 0) return {};
  int terminal = -1;
  std::string terminal_name;
  if (from == Input::kTerminal) {
    terminal = posix_openpt(O_RDWR | O_NOCTTY);
    if (terminal < 0 || grantpt(terminal) != 0 || unlockpt(terminal) != 0) return {};
    terminal_name = ptsname(terminal);
  }
  const std::string output_target =
      options.standard_output.empty() ? output_file : options.standard_output;
  pid_t pid = fork();
  if (pid == 0) {
    int in = from == Input::kPipe       ? pipe_ends[0]
             : from == Input::kFile     ? open(input_file.c_str(), O_RDONLY)
             : from == Input::kTerminal ? open(terminal_name.c_str(), O_RDWR | O_NOCTTY)
                                        : open("/dev/null", O_RDONLY);
    int out = open(output_target.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    int err = open(error_file.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (in < 0 || out < 0 || err < 0 || chdir(cwd.c_str()) != 0) _exit(127);
    dup2(in, 0);
    dup2(out, 1);
    dup2(err, 2);
    if (from == Input::kPipe) close(pipe_ends[1]);
    if (terminal >= 0) close(terminal);
    unsetenv("DISPLAY");
    unsetenv("WAYLAND_DISPLAY");
    for (const auto& [name, value] : options.environment) setenv(name.c_str(), value.c_str(), 1);
    if (options.file_size_limit > 0) {
      rlimit limit{options.file_size_limit, options.file_size_limit};
      if (setrlimit(RLIMIT_FSIZE, &limit) != 0) _exit(127);
    }
    if (options.unprivileged && geteuid() == 0) {
      constexpr uid_t kNobody = 65534;
      if (setgroups(0, nullptr) != 0 || setgid(kNobody) != 0 || setuid(kNobody) != 0) _exit(127);
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
    if (pid > 0 && write(pipe_ends[1], options.input.data(), options.input.size()) < 0) {
      // the program went away without reading: its result tells
    }
    close(pipe_ends[1]);
  }
  RunResult result;
  int status = 0;
  if (pid > 0 && waitpid(pid, &status, 0) == pid) {
    if (WIFEXITED(status)) result.exit_code = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) result.exit_code = 128 + WTERMSIG(status);
  }
  if (terminal >= 0) close(terminal);
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
