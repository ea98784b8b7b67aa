// The Unix command line.
#include "app/cli.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <string_view>

#include "app/clipboard_mode.h"
#include "app/command_line.h"
#include "app/filter.h"
#include "app/modes.h"
#include "app/settings_file.h"
#include "platform/clipboard.h"
#include "platform/standard_streams.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: qln [OPTION]... [FILE]...\n"
    "       qln < page.html > page.txt\n"
    "       qln --clipboard\n";

constexpr std::string_view kTryHelp = "Try 'qln --help'.\n";

constexpr std::string_view kHelp =
    "Usage: qln [OPTION]... [FILE]...\n"
    "Convert HTML to readable plain text.\n"
    "\n"
    "Each FILE (.htm, .html or .txt) is converted into a text file beside it:\n"
    "page.htm gives page.txt, notes.txt gives notes_qln.txt. A FILE of - is\n"
    "standard input, converted to standard output. With no FILE, a pipe or a\n"
    "file on standard input is converted to standard output.\n"
    "\n"
    "  -o, --output=OUT  write the text of the one FILE to OUT instead; with\n"
    "                    -o -, to standard output, with LF line ends\n"
    "  -c, --clipboard   convert the desktop clipboard's text in place\n"
    "      --modern      read today's pages: UTF-8, every character reference,\n"
    "                    scripts and styles left out, tidy blank lines\n"
    "      --classic     the classic conversion, ASCII only (the default)\n"
    "  -h, --help        show this help and exit\n"
    "      --version     show the version and exit\n"
    "\n"
    "Settings come from the first qln.ini found: beside qln, in\n"
    "$XDG_CONFIG_HOME/qln (by default ~/.config/qln), or in /etc/qln. A line\n"
    "ModernHtml=1 there chooses the modern profile; --modern and --classic\n"
    "override it.\n"
    "\n"
    "Exit status: 0 when everything was converted, 1 when anything was not,\n"
    "2 for a wrong command line.\n";

void Print(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

/// Writes `text` to standard output. Returns the exit status.
int Show(std::string_view text) {
  Print(stdout, text);
  if (std::fflush(stdout) == 0) return 0;
  const std::string reason = std::strerror(errno);
  Print(stderr, "qln: standard output: " + reason + "\n");
  return 1;
}

/// "qln: PATH: reason" for a file not converted. Returns the exit status.
int Report(const FileResult& result) {
  std::string why = result.reason;
  switch (result.status) {
    case FileStatus::kConverted:
      return 0;
    case FileStatus::kNoExtension:
    case FileStatus::kWrongType:
      why = kWrongTypeMessage;
      break;
    case FileStatus::kOtherFolder:
      why = "the output would be written outside the input's folder";
      break;
    case FileStatus::kSameFile:
      why = "the output would replace the input";
      break;
    case FileStatus::kCannotOpen:
    case FileStatus::kCannotCreate:
    case FileStatus::kReadFailed:
    case FileStatus::kWriteFailed:
      break;
  }
  Print(stderr, "qln: " + result.path + ": " + why + "\n");
  return 1;
}

int RunClipboard(const qln::Settings& settings) {
  switch (ConvertClipboard(settings)) {
    case ClipboardResult::kConverted:
      return 0;
    case ClipboardResult::kNoClipboard:
      Print(stderr, "qln: " + platform::WhyNoClipboard() + "\n");
      break;
    case ClipboardResult::kNoText:
      Print(stderr, "qln: the clipboard holds no text\n");
      break;
    case ClipboardResult::kNotReplaced:
      Print(stderr, "qln: the clipboard did not take the converted text\n");
      break;
  }
  return 1;
}

}  // namespace

int RunArguments(const std::vector<std::string>& args) {
  if (!args.empty() && args[0].starts_with('!')) return 0;
  const Arguments arguments = ParseArguments(args);
  switch (arguments.action) {
    case Arguments::Action::kHelp:
      return Show(kHelp);
    case Arguments::Action::kVersion:
      return Show("qln " QLN_VERSION "\n");
    case Arguments::Action::kUsageError:
      Print(stderr, "qln: " + arguments.error + "\n");
      Print(stderr, kTryHelp);
      return 2;
    case Arguments::Action::kConvert:
      break;
  }
  qln::Settings settings = LoadSettings();
  if (arguments.modern_html >= 0) settings.ModernHtml = arguments.modern_html;
  if (arguments.clipboard) return RunClipboard(settings);
  if (arguments.files.empty()) {
    switch (platform::StandardInputKind()) {
      case platform::InputKind::kData:
        return Report(FilterStandardInput(settings));
      case platform::InputKind::kTerminal:
        // Someone typing "qln" to see what it does: the clipboard is only
        // converted when asked for.
        Print(stderr, kUsage);
        Print(stderr, kTryHelp);
        return 2;
      case platform::InputKind::kOther:
        // Started from a desktop launcher or a key binding.
        return RunClipboard(settings);
    }
  }
  FileTarget target;
  if (arguments.has_output) {
    target.kind =
        arguments.output == "-" ? FileTarget::Kind::kStandardOutput : FileTarget::Kind::kNamed;
    target.path = arguments.output;
  }
  int status = 0;
  for (const std::string& file : arguments.files) {
    const FileResult result =
        file == "-" ? FilterStandardInput(settings) : ConvertFileAt(file, target, settings);
    if (Report(result) != 0) status = 1;
  }
  return status;
}
