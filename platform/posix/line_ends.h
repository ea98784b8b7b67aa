// Line-end translation at the clipboard's edge: Linux clipboards and pipes use
// LF, while the engine works on text as the Windows clipboard holds it (CR LF).
#ifndef QLN_PLATFORM_POSIX_LINE_ENDS_H_
#define QLN_PLATFORM_POSIX_LINE_ENDS_H_

#include <string>
#include <string_view>

namespace platform {

/// The text up to its first zero byte, with every LF that does not follow a
/// CR turned into CR LF.
std::string ToCrLfText(std::string_view text);

/// The text with every CR LF pair turned into LF; a lone CR stays.
std::string ToLfText(std::string_view text);

}  // namespace platform

#endif  // QLN_PLATFORM_POSIX_LINE_ENDS_H_
