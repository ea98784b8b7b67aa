// The Windows clipboard: its CF_TEXT text as bytes, or its CF_UNICODETEXT
// text as UTF-8, in global memory. The text is CR LF already, so its line
// ends cross this edge unchanged.
#include <windows.h>

#include <cstring>
#include <new>
#include <string>

#include "platform/clipboard.h"
#include "platform/win32/utf16.h"

namespace platform {

const bool kClipboardHasCrLf = true;

struct PreparedText {
  HGLOBAL memory;  // fixed, shareable memory holding the zero-ended text
  UINT format;     // CF_TEXT or CF_UNICODETEXT
};

bool OpenClipboard() { return ::OpenClipboard(nullptr) != 0; }

std::string WhyNoClipboard() { return "the clipboard cannot be opened"; }

void CloseClipboard() { ::CloseClipboard(); }

bool GetClipboardText(std::string* text, TextForm form) {
  HANDLE data = GetClipboardData(form == TextForm::kUtf8 ? CF_UNICODETEXT : CF_TEXT);
  if (data == nullptr) return false;
  const void* memory = GlobalLock(data);
  if (memory == nullptr) return false;
  // Up to the terminating zero, but never past the memory block: another
  // program may have put a text without its terminator there.
  const size_t size = GlobalSize(data);
  if (form == TextForm::kUtf8) {
    const wchar_t* wide = static_cast<const wchar_t*>(memory);
    const size_t most = size / sizeof(wchar_t);
    size_t length = 0;
    while (length < most && wide[length] != L'\0') length++;
    *text = Utf8(std::wstring_view(wide, length));
  } else {
    const char* bytes = static_cast<const char*>(memory);
    const void* zero = std::memchr(bytes, '\0', size);
    text->assign(bytes, zero != nullptr ? static_cast<const char*>(zero) - bytes : size);
  }
  GlobalUnlock(data);
  return true;
}

bool EmptyClipboard() { return ::EmptyClipboard() != 0; }

PreparedText* PrepareClipboardText(std::string_view text, TextForm form) {
  const bool unicode = form == TextForm::kUtf8;
  PreparedText* prepared =
      new (std::nothrow) PreparedText{nullptr, unicode ? UINT{CF_UNICODETEXT} : UINT{CF_TEXT}};
  if (prepared == nullptr) return nullptr;
  std::wstring wide;
  std::string_view bytes = text;
  if (unicode) {
    wide = Utf16(text);
    bytes =
        std::string_view(reinterpret_cast<const char*>(wide.data()), wide.size() * sizeof(wchar_t));
  }
  const size_t terminator = unicode ? sizeof(wchar_t) : 1;
  prepared->memory = GlobalAlloc(GMEM_DDESHARE, bytes.size() + terminator);
  char* memory =
      prepared->memory != nullptr ? static_cast<char*>(GlobalLock(prepared->memory)) : nullptr;
  if (memory == nullptr) {
    FreeClipboardText(prepared);
    return nullptr;
  }
  std::memcpy(memory, bytes.data(), bytes.size());
  std::memset(memory + bytes.size(), 0, terminator);
  GlobalUnlock(prepared->memory);
  return prepared;
}

bool SetClipboardText(PreparedText* prepared) {
  if (SetClipboardData(prepared->format, prepared->memory) == nullptr) return false;
  delete prepared;  // the memory belongs to the clipboard now
  return true;
}

void FreeClipboardText(PreparedText* prepared) {
  if (prepared->memory != nullptr) GlobalFree(prepared->memory);
  delete prepared;
}

}  // namespace platform
