// Clipboard mode: the clipboard's text is one chunk, converted with the
// clipboard's own line ends and followed by the reference list.
#include "app/clipboard_mode.h"

#include <qln/qln.h>

#include "app/clipboard_text.h"
#include "platform/clipboard.h"

void ConvertClipboard(const qln::Settings& settings) {
  std::optional<std::string> text = ReadClipboardText();
  // The text ends at its first zero byte: an empty one is left as it is.
  if (!text || text->empty() || (*text)[0] == '\0') return;
  const qln::LineEnds line_ends =
      platform::kClipboardHasCrLf ? qln::LineEnds::kCrLf : qln::LineEnds::kLf;
  std::string output = qln::Convert(*text, settings, qln::Mode::kClipboard, line_ends);
  text.reset();  // the input is not needed any more: free it before the output goes out
  WriteClipboardText(output);
}
