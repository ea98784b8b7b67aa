// Clipboard mode: the clipboard's text is one chunk, converted with CR LF line
// ends and followed by the reference list.
#include "app/clipboard_mode.h"

#include "app/clipboard.h"
#include "engine/conversion_state.h"
#include "engine/links.h"
#include "engine/scanner.h"

std::string ConvertClipboardText(std::string_view text, const Settings& settings) {
  ConversionState state;
  state.CrLfMode = true;
  std::string output;
  output.reserve(text.size() + text.size() / 5);
  ScanChunk(&state, settings, text, &output);
  AppendUrlList(&state.Urls, &output);
  return output;
}

void ConvertClipboard(const Settings& settings) {
  std::optional<std::string> text = ReadClipboardText();
  if (!text || text->empty()) return;
  std::string output = ConvertClipboardText(*text, settings);
  text.reset();  // the input is not needed any more: free it before the output goes out
  WriteClipboardText(output);
}
