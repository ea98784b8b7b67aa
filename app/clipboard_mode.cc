// Clipboard mode: the clipboard's text is one chunk, converted with the
// clipboard's own line ends and followed by the reference list.
#include "app/clipboard_mode.h"

#include <qln/qln.h>

#include "app/clipboard_text.h"
#include "platform/clipboard.h"

ClipboardResult ConvertClipboard(const qln::Settings& settings) {
  // The modern profile reads and writes Unicode text, the classic one bytes.
  const platform::TextForm form =
      settings.ModernHtml == 1 ? platform::TextForm::kUtf8 : platform::TextForm::kBytes;
  std::string text;
  switch (ReadClipboardText(&text, form)) {
    case ClipboardRead::kText:
      break;
    case ClipboardRead::kNoClipboard:
      return ClipboardResult::kNoClipboard;
    case ClipboardRead::kNoText:
      return ClipboardResult::kNoText;
  }
  // The text ends at its first zero byte: an empty one is left as it is.
  if (text.empty() || text[0] == '\0') return ClipboardResult::kNoText;
  const qln::LineEnds line_ends =
      platform::kClipboardHasCrLf ? qln::LineEnds::kCrLf : qln::LineEnds::kLf;
  std::string output = qln::Convert(text, settings, qln::Mode::kClipboard, line_ends);
  std::string().swap(text);  // free the input before the output goes out
  return WriteClipboardText(output, form) ? ClipboardResult::kConverted
                                          : ClipboardResult::kNotReplaced;
}
