// The name of the temporary file that a new output is written to before it
// replaces the old one: hidden, beside it, unique. Shared by every OS.
#ifndef QLN_PLATFORM_TEMP_NAME_H_
#define QLN_PLATFORM_TEMP_NAME_H_

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

/// How many names to try before giving up, when each one is taken already.
constexpr int kTempNameAttempts = 100;

/// A path in the folder of `target` for try number `attempt`, such as
/// ".page.txt.qln-k3x9a2" beside "page.txt". `separators` are the characters
/// that end a folder name; `seed` should differ between runs (time, process).
/// The target's name is cut short enough for the folder to take the result.
std::string TempPathFor(const std::string& target, std::string_view separators, uint64_t seed,
                        int attempt);

}  // namespace platform

#endif  // QLN_PLATFORM_TEMP_NAME_H_
