// The desktop clipboard on Linux and other POSIX systems, reached through its
// command-line tools: wl-paste and wl-copy under Wayland, xclip under X11,
// started directly (no shell). Its text has LF line ends.
#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <new>
#include <string>
#include <string_view>
#include <vector>

#include "platform/clipboard.h"

extern char** environ;

namespace platform {

const bool kClipboardHasCrLf = false;

struct PreparedText {
  std::string text;
  TextForm form;
};

namespace {

/// A desktop clipboard tool: how to start it to read, and to write, text as
/// it comes and UTF-8 text.
struct Tool {
  const char* display_variable;  // the tool is used when this is set
  const char* package;           // the Debian package that has it
  std::vector<const char*> read_arguments;
  std::vector<const char*> write_arguments;
  std::vector<const char*> read_utf8_arguments;
  std::vector<const char*> write_utf8_arguments;
};

const Tool kTools[] = {
    {"WAYLAND_DISPLAY",
     "wl-clipboard",
     {"wl-paste", "--no-newline", "--type", "text", nullptr},
     {"wl-copy", "--type", "text/plain", nullptr},
     {"wl-paste", "--no-newline", "--type", "text/plain;charset=utf-8", nullptr},
     {"wl-copy", "--type", "text/plain;charset=utf-8", nullptr}},
    {"DISPLAY",
     "xclip",
     {"xclip", "-selection", "clipboard", "-out", nullptr},
     {"xclip", "-selection", "clipboard", "-in", nullptr},
     {"xclip", "-selection", "clipboard", "-target", "UTF8_STRING", "-out", nullptr},
     {"xclip", "-selection", "clipboard", "-target", "UTF8_STRING", "-in", nullptr}},
};

bool IsSet(const char* variable) {
  const char* value = std::getenv(variable);
  return value != nullptr && *value != '\0';
}

/// True when `program` is an executable file in a folder of PATH.
bool OnPath(const char* program) {
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "/usr/local/bin:/usr/bin:/bin";
  while (true) {
    const size_t colon = folders.find(':');
    std::string file(folders.substr(0, colon));
    file.append(file.empty() ? "./" : "/").append(program);
    if (access(file.c_str(), X_OK) == 0) return true;
    if (colon == std::string_view::npos) return false;
    folders.remove_prefix(colon + 1);
  }
}

/// True when the tool's display runs and the tool is installed.
bool Usable(const Tool& tool) {
  return IsSet(tool.display_variable) && OnPath(tool.read_arguments[0]) &&
         OnPath(tool.write_arguments[0]);
}

bool ReadAll(int fd, std::string* bytes) {
  char block[64 * 1024];
  for (;;) {
    ssize_t count = read(fd, block, sizeof block);
    if (count > 0) {
      bytes->append(block, static_cast<size_t>(count));
    } else if (count == 0) {
      return true;
    } else if (errno != EINTR) {
      return false;
    }
  }
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t count = write(fd, bytes.data(), bytes.size());
    if (count >= 0) {
      bytes.remove_prefix(static_cast<size_t>(count));
    } else if (errno != EINTR) {
      return false;
    }
  }
  return true;
}

bool ExitedCleanly(pid_t child) {
  int status = 0;
  while (waitpid(child, &status, 0) < 0)
    if (errno != EINTR) return false;
  return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

/// Starts `arguments` with `fd` as its standard input (when `child_fd` is 0)
/// or standard output (when it is 1); the other standard streams go to
/// /dev/null, so that a tool that stays behind to serve the clipboard holds
/// none of ours, and no terminal either. Returns the child, or -1 when it
/// cannot be started.
pid_t Start(const std::vector<const char*>& arguments, int fd, int child_fd) {
  posix_spawn_file_actions_t actions;
  if (posix_spawn_file_actions_init(&actions) != 0) return -1;
  for (int stream = 0; stream <= 2; stream++) {
    if (stream == child_fd) {
      posix_spawn_file_actions_adddup2(&actions, fd, stream);
    } else {
      posix_spawn_file_actions_addopen(&actions, stream, "/dev/null",
                                       stream == 0 ? O_RDONLY : O_WRONLY, 0);
    }
  }
  pid_t child = -1;
  // In a session of its own: a tool that stays behind to serve the clipboard
  // must outlive the terminal qln was started from.
  posix_spawnattr_t attributes;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return -1;
  }
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSID);
  int error = posix_spawnp(&child, arguments[0], &actions, &attributes,
                           const_cast<char* const*>(arguments.data()), environ);
  posix_spawnattr_destroy(&attributes);
  posix_spawn_file_actions_destroy(&actions);
  return error == 0 ? child : -1;
}

enum class ToolResult { kNotStarted, kFailed, kDone };

/// Runs a tool with a pipe on its standard input, to which all of `input` is
/// written in one go (`child_fd` 0), or on its standard output, all of which
/// is read into `*output` (`child_fd` 1). Done only when the tool ends
/// cleanly: one that finds no text on the clipboard ends with an error.
ToolResult RunTool(const std::vector<const char*>& arguments, int child_fd, std::string_view input,
                   std::string* output) {
  int pipe_ends[2];
  if (pipe2(pipe_ends, O_CLOEXEC) != 0) return ToolResult::kNotStarted;
  bool writing = child_fd == STDIN_FILENO;
  int ours = writing ? pipe_ends[1] : pipe_ends[0];
  int theirs = writing ? pipe_ends[0] : pipe_ends[1];
  pid_t child = Start(arguments, theirs, child_fd);
  close(theirs);
  if (child < 0) {
    close(ours);
    return ToolResult::kNotStarted;
  }
  bool transferred = writing ? WriteAll(ours, input) : ReadAll(ours, output);
  close(ours);
  bool clean = ExitedCleanly(child);
  return transferred && clean ? ToolResult::kDone : ToolResult::kFailed;
}

}  // namespace

bool OpenClipboard() {
  for (const Tool& tool : kTools)
    if (Usable(tool)) return true;
  return false;
}

std::string WhyNoClipboard() {
  std::string packages;
  for (const Tool& tool : kTools) {
    if (!IsSet(tool.display_variable)) continue;
    if (!packages.empty()) packages.append(" or ");
    packages.append(tool.package);
  }
  if (packages.empty())
    return "no desktop clipboard to reach: neither WAYLAND_DISPLAY nor DISPLAY is set";
  return "cannot reach the desktop clipboard: install " + packages;
}

void CloseClipboard() {}

bool GetClipboardText(std::string* text, TextForm form) {
  // The first tool for a running display that can be started decides.
  ToolResult result = ToolResult::kNotStarted;
  for (const Tool& tool : kTools) {
    if (!Usable(tool)) continue;
    text->clear();
    result = RunTool(form == TextForm::kUtf8 ? tool.read_utf8_arguments : tool.read_arguments,
                     STDOUT_FILENO, "", text);
    if (result != ToolResult::kNotStarted) break;
  }
  return result == ToolResult::kDone;
}

// The next text replaces the desktop clipboard's whole content, so there is
// nothing to remove first.
bool EmptyClipboard() { return true; }

PreparedText* PrepareClipboardText(std::string_view text, TextForm form) {
  try {
    return new PreparedText{std::string(text), form};
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

bool SetClipboardText(PreparedText* prepared) {
  bool taken = false;
  for (const Tool& tool : kTools) {
    if (!Usable(tool)) continue;
    ToolResult result = RunTool(
        prepared->form == TextForm::kUtf8 ? tool.write_utf8_arguments : tool.write_arguments,
        STDIN_FILENO, prepared->text, nullptr);
    if (result == ToolResult::kNotStarted) continue;
    taken = result == ToolResult::kDone;
    break;
  }
  if (taken) delete prepared;  // the text now lives on the clipboard
  return taken;
}

void FreeClipboardText(PreparedText* prepared) { delete prepared; }

}  // namespace platform
