// Reading and replacing the clipboard's text, in the order of calls that keeps
// the user's clipboard whole when anything fails.
#ifndef QLN_APP_CLIPBOARD_TEXT_H_
#define QLN_APP_CLIPBOARD_TEXT_H_

#include <optional>
#include <string>
#include <string_view>

/// A copy of the clipboard's text, with the system's line ends (see
/// platform::kClipboardHasCrLf), or nothing when the clipboard cannot be
/// opened or holds no text.
std::optional<std::string> ReadClipboardText();

/// Makes `text` the clipboard's only content. The text is prepared before the
/// clipboard is opened, so a failure to prepare it leaves the clipboard as it
/// was. Returns false when the clipboard did not take it.
bool WriteClipboardText(std::string_view text);

#endif  // QLN_APP_CLIPBOARD_TEXT_H_
