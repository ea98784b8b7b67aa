// Clipboard mode: the clipboard's text is one chunk, converted with CR LF line
// ends and followed by the reference list.
#include "app/clipboard_mode.h"

#include "app/clipboard.h"
#include "engine/qln.h"

void ConvertClipboard(const Settings& settings) {
  std::optional<std::string> text = ReadClipboardText();
  if (!text || text->empty()) return;
  std::string output = qln::Convert(*text, settings, qln::Mode::kClipboard);
  text.reset();  // the input is not needed any more: free it before the output goes out
  WriteClipboardText(output);
}
