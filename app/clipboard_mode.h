// Clipboard mode: converts the clipboard's text in one piece, with CR LF line
// ends, and puts the result back on the clipboard in its place.
#ifndef QLN_APP_CLIPBOARD_MODE_H_
#define QLN_APP_CLIPBOARD_MODE_H_

#include <string>
#include <string_view>

#include "engine/settings.h"

/// Converts a whole clipboard text: one chunk, CR LF line ends, the reference
/// list after it, and no closing line end.
std::string ConvertClipboardText(std::string_view text, const Settings& settings);

/// Clipboard mode. A clipboard without text, or with an empty one, is left as
/// it is; any other text is replaced by its conversion, even an empty one.
void ConvertClipboard(const Settings& settings);

#endif  // QLN_APP_CLIPBOARD_MODE_H_
