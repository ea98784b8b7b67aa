// The thin OS layer: the few operating-system services the front end needs.
// One implementation per OS; the build picks it.
#ifndef QLN_PLATFORM_PLATFORM_H_
#define QLN_PLATFORM_PLATFORM_H_

#include <string>
#include <string_view>

namespace platform {

/// The separator between a directory and a name in the executable's path.
extern const char kPathSeparator;

/// The full path of the running executable, or "" when it cannot be found.
std::string ModulePath();

/// Tells the user something: a message with a caption and an OK button on a
/// desktop, a line "caption: text" on standard error on a console system.
void ShowMessage(std::string_view text, std::string_view caption);

}  // namespace platform

#endif  // QLN_PLATFORM_PLATFORM_H_
