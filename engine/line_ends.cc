// Line-end translations for input and output in pieces.
#include "line_ends.h"

#include <cstring>

#include "simd.h"

namespace qln::detail {

void AppendAsText(std::string_view bytes, bool* held_cr, std::string* text) {
  if (*held_cr && !bytes.empty()) {
    *held_cr = false;
    if (bytes[0] != '\n') text->push_back('\r');  // a CR LF pair reads as its LF
  }
  // The text between CRs is copied in whole stretches.
  while (!bytes.empty()) {
    const void* cr = std::memchr(bytes.data(), '\r', bytes.size());
    const size_t plain =
        cr ? static_cast<size_t>(static_cast<const char*>(cr) - bytes.data()) : bytes.size();
    text->append(bytes.substr(0, plain));
    bytes.remove_prefix(plain);
    if (bytes.empty()) break;
    if (bytes.size() == 1) {
      *held_cr = true;
      break;
    }
    if (bytes[1] != '\n') text->push_back('\r');
    bytes.remove_prefix(1);
  }
}

void AppendWithCrLf(std::string_view text, std::string* out) {
  const size_t start = out->size();
  // Room for every byte doubled, and for what a copying step stores past the end.
  out->resize(start + 2 * text.size() + 16);
  char* end = simd::CopyWithCrLf(text, out->data() + start);
  out->resize(static_cast<size_t>(end - out->data()));
}

void AppendCrBeforeLf(std::string_view text, bool* after_cr, std::string* out) {
  if (text.empty()) return;
  size_t start = 0;
  for (size_t lf = text.find('\n'); lf != std::string_view::npos; lf = text.find('\n', start)) {
    out->append(text.substr(start, lf - start));
    const bool follows_cr = lf == 0 ? *after_cr : text[lf - 1] == '\r';
    if (!follows_cr) out->push_back('\r');
    out->push_back('\n');
    start = lf + 1;
  }
  out->append(text.substr(start));
  *after_cr = text.back() == '\r';
}

void AppendLfForCrLf(std::string_view text, bool* held_cr, std::string* out) {
  if (*held_cr && !text.empty()) {
    *held_cr = false;
    if (text[0] != '\n') out->push_back('\r');  // the pair's LF follows as it is
  }
  size_t start = 0;
  for (size_t cr = text.find('\r'); cr != std::string_view::npos; cr = text.find('\r', start)) {
    out->append(text.substr(start, cr - start));
    start = cr + 1;
    if (cr + 1 == text.size()) {
      *held_cr = true;
      return;
    }
    if (text[cr + 1] != '\n') out->push_back('\r');
  }
  out->append(text.substr(start));
}

}  // namespace qln::detail
