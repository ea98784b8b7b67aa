// The Windows program's entry logic: reads the settings and runs file mode
// or clipboard mode for the one command-line text Windows hands it.
#ifndef QLN_APP_ENTRY_H_
#define QLN_APP_ENTRY_H_

#include <string_view>

/// Runs qln for the command-line text (everything after the program name).
/// A leading "!" does nothing; fewer than two characters convert the
/// clipboard. Anything else is the path of a file to convert (double quotes
/// removed), unless it names no file but splits into several that each
/// exist: then each is converted. Returns the process exit code: 1 when
/// reading or writing a file failed, else 0.
int RunCommandLine(std::string_view command_line);

#endif  // QLN_APP_ENTRY_H_
