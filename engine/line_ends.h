// Line-end translations between the text the engine works on and the bytes
// outside it: files read and written in text mode, and the LF-only text of
// Linux clipboards and pipes against the CR LF text of the Windows clipboard.
#ifndef QLN_ENGINE_LINE_ENDS_H_
#define QLN_ENGINE_LINE_ENDS_H_

#include <string>
#include <string_view>

/// The bytes of a file as text mode reads them: up to the first 0x1A byte,
/// with every CR LF pair read as one LF. A lone CR stays.
std::string FromTextFile(std::string_view bytes);

/// The text as text mode writes it to a file: every LF stored as CR LF.
std::string ToTextFile(std::string_view text);

/// Copies `text` to `out` with every LF stored as CR LF and returns the end of
/// what it wrote. `out` needs room for the result plus 16 bytes, which a
/// copying step may store past it.
char* CopyWithCrLf(std::string_view text, char* out);

/// The text up to its first zero byte, with every LF that does not follow a
/// CR turned into CR LF.
std::string ToCrLfText(std::string_view text);

/// The text with every CR LF pair turned into LF; a lone CR stays.
std::string ToLfText(std::string_view text);

#endif  // QLN_ENGINE_LINE_ENDS_H_
