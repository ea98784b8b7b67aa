// Reading and replacing the clipboard's text over the platform's clipboard.
#include "app/clipboard_text.h"

#include "platform/clipboard.h"

std::optional<std::string> ReadClipboardText() {
  if (!platform::OpenClipboard()) return std::nullopt;
  std::string text;
  bool has_text = platform::GetClipboardText(&text);
  platform::CloseClipboard();
  if (!has_text) return std::nullopt;
  return text;
}

bool WriteClipboardText(std::string_view text) {
  platform::PreparedText* prepared = platform::PrepareClipboardText(text);
  if (!prepared) return false;
  bool handed_over = false;
  if (platform::OpenClipboard()) {
    if (platform::EmptyClipboard()) handed_over = platform::SetClipboardText(prepared);
    platform::CloseClipboard();
  }
  if (!handed_over) platform::FreeClipboardText(prepared);
  return handed_over;
}
