// Clipboard mode: converts the clipboard's text in one piece and puts the
// result back on the clipboard in its place.
#ifndef QLN_APP_CLIPBOARD_MODE_H_
#define QLN_APP_CLIPBOARD_MODE_H_

#include <qln/settings.h>

/// Clipboard mode. A clipboard without text, or with an empty one, is left as
/// it is; any other text is replaced by its conversion, even an empty one.
void ConvertClipboard(const qln::Settings& settings);

#endif  // QLN_APP_CLIPBOARD_MODE_H_
