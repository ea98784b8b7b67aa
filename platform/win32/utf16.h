// Text between the program, which holds paths and messages as UTF-8, and the
// Windows calls, which take UTF-16 (the "W" functions): any name works, not
// only those the ANSI code page can hold.
#ifndef QLN_PLATFORM_WIN32_UTF16_H_
#define QLN_PLATFORM_WIN32_UTF16_H_

#include <string>
#include <string_view>

namespace platform {

/// `utf8` as UTF-16. Bytes that are not valid UTF-8 become U+FFFD.
std::wstring Utf16(std::string_view utf8);

/// `utf16` as UTF-8. A lone surrogate becomes U+FFFD.
std::string Utf8(std::wstring_view utf16);

}  // namespace platform

#endif  // QLN_PLATFORM_WIN32_UTF16_H_
