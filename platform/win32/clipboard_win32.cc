// The Windows clipboard: its CF_TEXT text, in global memory. The text is
// CR LF already, so it crosses this edge unchanged.
#include <windows.h>

#include <cstring>
#include <new>

#include "platform/clipboard.h"

namespace platform {

const bool kClipboardHasCrLf = true;

struct PreparedText {
  HGLOBAL memory;  // fixed, shareable memory holding the zero-ended text
};

bool OpenClipboard() { return ::OpenClipboard(nullptr) != 0; }

std::string WhyNoClipboard() { return "the clipboard cannot be opened"; }

void CloseClipboard() { ::CloseClipboard(); }

bool GetClipboardText(std::string* text) {
  HANDLE data = GetClipboardData(CF_TEXT);
  if (data == nullptr) return false;
  const char* bytes = static_cast<const char*>(GlobalLock(data));
  if (bytes == nullptr) return false;
  // Up to the terminating zero, but never past the memory block: another
  // program may have put a text without its terminator there.
  const size_t size = GlobalSize(data);
  const void* zero = std::memchr(bytes, '\0', size);
  text->assign(bytes, zero != nullptr ? static_cast<const char*>(zero) - bytes : size);
  GlobalUnlock(data);
  return true;
}

bool EmptyClipboard() { return ::EmptyClipboard() != 0; }

PreparedText* PrepareClipboardText(std::string_view text) {
  PreparedText* prepared = new (std::nothrow) PreparedText{nullptr};
  if (prepared == nullptr) return nullptr;
  prepared->memory = GlobalAlloc(GMEM_DDESHARE, text.size() + 1);
  char* bytes =
      prepared->memory != nullptr ? static_cast<char*>(GlobalLock(prepared->memory)) : nullptr;
  if (bytes == nullptr) {
    FreeClipboardText(prepared);
    return nullptr;
  }
  std::memcpy(bytes, text.data(), text.size());
  bytes[text.size()] = '\0';
  GlobalUnlock(prepared->memory);
  return prepared;
}

bool SetClipboardText(PreparedText* prepared) {
  if (SetClipboardData(CF_TEXT, prepared->memory) == nullptr) return false;
  delete prepared;  // the memory belongs to the clipboard now
  return true;
}

void FreeClipboardText(PreparedText* prepared) {
  if (prepared->memory != nullptr) GlobalFree(prepared->memory);
  delete prepared;
}

}  // namespace platform
