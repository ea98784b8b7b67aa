// Reading the Unix command line.
#include "app/command_line.h"

#include <string_view>

namespace {

Arguments UsageError(std::string error) {
  Arguments arguments;
  arguments.action = Arguments::Action::kUsageError;
  arguments.error = std::move(error);
  return arguments;
}

Arguments Do(Arguments::Action action) {
  Arguments arguments;
  arguments.action = action;
  return arguments;
}

/// Checks what the options ask for together.
Arguments Checked(Arguments arguments) {
  if (arguments.clipboard && (!arguments.files.empty() || arguments.has_output))
    return UsageError("--clipboard converts the clipboard: it takes no FILE and no --output");
  if (arguments.has_output && arguments.files.size() != 1)
    return UsageError("--output takes exactly one input FILE");
  if (arguments.has_output && arguments.files[0] == "-")
    return UsageError("--output takes an input FILE, not standard input");
  return arguments;
}

}  // namespace

Arguments ParseArguments(const std::vector<std::string>& args) {
  Arguments arguments;
  bool options_ended = false;
  for (size_t i = 0; i < args.size(); i++) {
    const std::string_view arg = args[i];
    if (options_ended || arg == "-" || !arg.starts_with('-')) {
      arguments.files.emplace_back(arg);
    } else if (arg == "--") {
      options_ended = true;
    } else if (arg.starts_with("--")) {
      // A long option, with its value after "=" or in the next argument.
      const size_t equals = arg.find('=');
      const std::string_view name = arg.substr(0, equals);
      const bool has_value = equals != std::string_view::npos;
      if (name == "--help" || name == "--version" || name == "--clipboard" || name == "--modern" ||
          name == "--classic") {
        if (has_value)
          return UsageError("option '" + std::string(name) + "' doesn't allow an argument");
        if (name == "--help") return Do(Arguments::Action::kHelp);
        if (name == "--version") return Do(Arguments::Action::kVersion);
        if (name == "--clipboard") arguments.clipboard = true;
        if (name == "--modern") arguments.modern_html = 1;
        if (name == "--classic") arguments.modern_html = 0;
      } else if (name == "--output") {
        if (!has_value && i + 1 == args.size())
          return UsageError("option '--output' requires an argument");
        arguments.has_output = true;
        arguments.output = has_value ? std::string(arg.substr(equals + 1)) : args[++i];
      } else {
        return UsageError("unrecognized option '" + std::string(arg) + "'");
      }
    } else {
      // Short options, which may come together ("-ch"); -o takes the rest of
      // the argument, or the next one, as its value.
      for (size_t at = 1; at < arg.size(); at++) {
        const char option = arg[at];
        if (option == 'h') return Do(Arguments::Action::kHelp);
        if (option == 'c') {
          arguments.clipboard = true;
        } else if (option == 'o') {
          if (at + 1 == arg.size() && i + 1 == args.size())
            return UsageError("option requires an argument -- 'o'");
          arguments.has_output = true;
          arguments.output = at + 1 < arg.size() ? std::string(arg.substr(at + 1)) : args[++i];
          break;
        } else {
          return UsageError(std::string("invalid option -- '") + option + "'");
        }
      }
    }
  }
  return Checked(std::move(arguments));
}
