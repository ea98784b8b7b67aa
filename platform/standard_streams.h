// Standard input and output as byte streams, for the filter: qln converts its
// standard input to its standard output when the input is a pipe or a file.
#ifndef QLN_PLATFORM_STANDARD_STREAMS_H_
#define QLN_PLATFORM_STANDARD_STREAMS_H_

#include <cstddef>
#include <string_view>

namespace platform {

/// True when standard input is a pipe or a regular file (not a terminal, not
/// /dev/null, not missing): a text to filter.
bool StandardInputIsData();

/// Reads what standard input has, at most `size` bytes, into `buffer`: waits
/// for at least one byte. Returns the number read, 0 at the end of the input,
/// or -1 when reading failed.
long ReadStandardInput(char* buffer, size_t size);

/// Writes all of `bytes` to standard output. False when that failed (a full
/// disk, a reader that went away).
bool WriteStandardOutput(std::string_view bytes);

}  // namespace platform

#endif  // QLN_PLATFORM_STANDARD_STREAMS_H_
