// The command-line text of the Windows program, read as Unicode: what follows
// the program's name, as WinMain's text does, as UTF-8.
#ifndef QLN_PLATFORM_WIN32_COMMAND_LINE_TEXT_H_
#define QLN_PLATFORM_WIN32_COMMAND_LINE_TEXT_H_

#include <string>

namespace platform {

/// GetCommandLineW's text without the program's name (whole when it is in
/// double quotes) and the spaces and control characters after it, as UTF-8.
std::string CommandLineText();

}  // namespace platform

#endif  // QLN_PLATFORM_WIN32_COMMAND_LINE_TEXT_H_
