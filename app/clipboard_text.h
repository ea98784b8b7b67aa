// Reading and replacing the clipboard's text, in the order of calls that keeps
// the user's clipboard whole when anything fails.
#ifndef QLN_APP_CLIPBOARD_TEXT_H_
#define QLN_APP_CLIPBOARD_TEXT_H_

#include <string>
#include <string_view>

#include "platform/clipboard.h"

/// What reading the clipboard found.
enum class ClipboardRead {
  kText,         ///< its text, with the system's line ends (platform::kClipboardHasCrLf)
  kNoClipboard,  ///< no clipboard could be reached
  kNoText,       ///< the clipboard holds no text
};

/// Copies the clipboard's text into `*text`, in `form`.
ClipboardRead ReadClipboardText(std::string* text, platform::TextForm form);

/// Makes `text` the clipboard's only content. The text is prepared before the
/// clipboard is opened, so a failure to prepare it leaves the clipboard as it
/// was. Returns false when the clipboard did not take it.
bool WriteClipboardText(std::string_view text, platform::TextForm form);

#endif  // QLN_APP_CLIPBOARD_TEXT_H_
