// Reading and replacing the clipboard's text over the platform's clipboard.
#include "app/clipboard_text.h"

#include "platform/clipboard.h"

ClipboardRead ReadClipboardText(std::string* text, platform::TextForm form) {
  if (!platform::OpenClipboard()) return ClipboardRead::kNoClipboard;
  const bool has_text = platform::GetClipboardText(text, form);
  platform::CloseClipboard();
  return has_text ? ClipboardRead::kText : ClipboardRead::kNoText;
}

bool WriteClipboardText(std::string_view text, platform::TextForm form) {
  platform::PreparedText* prepared = platform::PrepareClipboardText(text, form);
  if (!prepared) return false;
  bool handed_over = false;
  if (platform::OpenClipboard()) {
    if (platform::EmptyClipboard()) handed_over = platform::SetClipboardText(prepared);
    platform::CloseClipboard();
  }
  if (!handed_over) platform::FreeClipboardText(prepared);
  return handed_over;
}
