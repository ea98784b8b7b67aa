// Standard input and output as byte streams, for the filter and for output to
// standard output, and what kind of thing standard input is.
#ifndef QLN_PLATFORM_STANDARD_STREAMS_H_
#define QLN_PLATFORM_STANDARD_STREAMS_H_

#include <cstddef>
#include <string>
#include <string_view>

namespace platform {

/// What standard input is.
enum class InputKind {
  kTerminal,  ///< someone typing: there is no text to filter
  kData,      ///< a pipe, a regular file or a socket: a text to filter
  kOther,     ///< nothing to read, such as /dev/null (as desktop launchers give)
};

InputKind StandardInputKind();

/// Reads what standard input has, at most `size` bytes, into `buffer`: waits
/// for at least one byte. Returns the number read, 0 at the end of the input,
/// or -1 when reading failed, with the system's reason in `*error`.
long ReadStandardInput(char* buffer, size_t size, std::string* error);

/// Writes all of `bytes` to standard output. False when that failed (a full
/// disk), with the system's reason in `*error`. A reader that went away ends
/// the process as the signal for a broken pipe does, with no message.
bool WriteStandardOutput(std::string_view bytes, std::string* error);

}  // namespace platform

#endif  // QLN_PLATFORM_STANDARD_STREAMS_H_
