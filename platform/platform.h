// The thin OS layer: the few operating-system services the front end needs.
// One implementation per OS; the build picks it.
#ifndef QLN_PLATFORM_PLATFORM_H_
#define QLN_PLATFORM_PLATFORM_H_

#include <string>
#include <string_view>
#include <vector>

namespace platform {

/// The separator between a directory and a name in the executable's path.
extern const char kPathSeparator;

/// The full path of the running executable, or "" when it cannot be found.
std::string ModulePath();

/// The folders where this system keeps settings, the user's first, then the
/// whole system's. A program's own settings are in a folder of its name
/// there. None on Windows, where settings live beside the program only.
std::vector<std::string> ConfigFolders();

/// The arguments of a command-line text, split by the system's own rules for
/// it: on Windows those of CommandLineToArgvW (quotes group, and go). None
/// elsewhere, where the shell splits the arguments.
std::vector<std::string> SplitCommandLine(std::string_view command_line);

/// Tells the user something: a message with a caption and an OK button on a
/// desktop, a line "caption: text" on standard error on a console system.
void ShowMessage(std::string_view text, std::string_view caption);

}  // namespace platform

#endif  // QLN_PLATFORM_PLATFORM_H_
