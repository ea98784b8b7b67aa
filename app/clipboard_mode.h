// Clipboard mode: converts the clipboard's text in one piece and puts the
// result back on the clipboard in its place.
#ifndef QLN_APP_CLIPBOARD_MODE_H_
#define QLN_APP_CLIPBOARD_MODE_H_

#include <qln/settings.h>

/// What became of the clipboard.
enum class ClipboardResult {
  kConverted,    ///< its text was replaced by its conversion
  kNoClipboard,  ///< no clipboard could be reached (platform::WhyNoClipboard says why)
  kNoText,       ///< it holds no text, or an empty one: it is left as it is
  kNotReplaced,  ///< the converted text could not be put on it
};

/// Clipboard mode. A clipboard without text, or with an empty one, is left as
/// it is; any other text is replaced by its conversion, even an empty one.
ClipboardResult ConvertClipboard(const qln::Settings& settings);

#endif  // QLN_APP_CLIPBOARD_MODE_H_
