// The system clipboard's text, reached through a handful of calls that mirror
// the Windows clipboard API. One implementation per OS; the build picks it.
#ifndef QLN_PLATFORM_CLIPBOARD_H_
#define QLN_PLATFORM_CLIPBOARD_H_

#include <string>
#include <string_view>

namespace platform {

/// A text made ready for the clipboard before the clipboard is touched, so a
/// failure to prepare it cannot cost the user the clipboard's old content.
/// Owned by the caller until `SetClipboardText` succeeds.
struct PreparedText;

/// Opens the clipboard for this run; false when no clipboard can be reached.
bool OpenClipboard();

/// Why no clipboard can be reached, for the user: what to install, say.
std::string WhyNoClipboard();

/// Closes what `OpenClipboard` opened.
void CloseClipboard();

/// True where the clipboard's text has CR LF line ends (Windows), false where
/// it has LF ones (X11, Wayland).
extern const bool kClipboardHasCrLf;

/// How the clipboard's text is exchanged.
enum class TextForm {
  kBytes,  ///< as bytes: CF_TEXT on Windows, the tools' default elsewhere
  kUtf8,   ///< as UTF-8 inside the program: CF_UNICODETEXT on Windows, UTF-8 elsewhere
};

/// Copies the clipboard's text into `*text`, with the system's line ends.
/// False when the clipboard holds no text.
bool GetClipboardText(std::string* text, TextForm form);

/// Removes the clipboard's content; false when that fails.
bool EmptyClipboard();

/// A copy of `text` (with the system's line ends) ready to hand over, or
/// nullptr.
PreparedText* PrepareClipboardText(std::string_view text, TextForm form);

/// Hands `prepared` to the clipboard, which owns it from then on. On failure
/// it stays the caller's to free.
bool SetClipboardText(PreparedText* prepared);

/// Frees a prepared text that the clipboard did not take.
void FreeClipboardText(PreparedText* prepared);

}  // namespace platform

#endif  // QLN_PLATFORM_CLIPBOARD_H_
