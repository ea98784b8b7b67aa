// Line-end translation at the clipboard's edge.
#include "platform/posix/line_ends.h"

namespace platform {

std::string ToCrLfText(std::string_view text) {
  size_t zero = text.find('\0');
  if (zero != std::string_view::npos) text = text.substr(0, zero);
  std::string result;
  result.reserve(text.size() + text.size() / 16);
  size_t start = 0;
  for (size_t lf = text.find('\n'); lf != std::string_view::npos;
       lf = text.find('\n', start)) {
    result.append(text.substr(start, lf - start));
    if (lf == 0 || text[lf - 1] != '\r') result.push_back('\r');
    result.push_back('\n');
    start = lf + 1;
  }
  result.append(text.substr(start));
  return result;
}

std::string ToLfText(std::string_view text) {
  std::string result;
  result.reserve(text.size());
  size_t start = 0;
  for (size_t cr = text.find("\r\n"); cr != std::string_view::npos;
       cr = text.find("\r\n", start)) {
    result.append(text.substr(start, cr - start)).push_back('\n');
    start = cr + 2;
  }
  result.append(text.substr(start));
  return result;
}

}  // namespace platform
