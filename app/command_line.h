// The Unix command line's options and files, read from the arguments as GNU
// programs read theirs: -h, --help, --version, -o FILE, -c, --modern,
// --classic, "--" and "-".
#ifndef QLN_APP_COMMAND_LINE_H_
#define QLN_APP_COMMAND_LINE_H_

#include <string>
#include <vector>

/// What the arguments ask for.
struct Arguments {
  enum class Action {
    kConvert,     ///< convert the files, standard input or the clipboard
    kHelp,        ///< show the help
    kVersion,     ///< show the version
    kUsageError,  ///< the arguments make no sense: `error` says why
  };
  Action action = Action::kConvert;
  /// The files in order, each one argument as it is; "-" is standard input.
  std::vector<std::string> files;
  /// -o: where the one file's text goes; "-" is standard output.
  bool has_output = false;
  std::string output;
  /// -c: convert the clipboard.
  bool clipboard = false;
  /// --modern (1) or --classic (0), the last one given; -1 for neither: the
  /// settings file decides.
  int modern_html = -1;
  std::string error;
};

/// Reads the arguments that follow the program's name. Options and files may
/// come in any order; "--" ends the options. The first of --help, --version
/// and a wrong option decides.
Arguments ParseArguments(const std::vector<std::string>& args);

#endif  // QLN_APP_COMMAND_LINE_H_
