// Line-end translations for files and clipboards.
#include "engine/line_ends.h"

#include <algorithm>
#include <bit>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#define QLN_LINE_ENDS_SSE2 1
#endif

std::string FromTextFile(std::string_view bytes) {
  const size_t end_of_text = bytes.find('\x1A');
  if (end_of_text != std::string_view::npos) bytes = bytes.substr(0, end_of_text);
  return ToLfText(bytes);
}

std::string ToTextFile(std::string_view text) {
  const size_t line_feeds = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
  std::string result(text.size() + line_feeds + 16, '\0');
  result.resize(static_cast<size_t>(CopyWithCrLf(text, result.data()) - result.data()));
  return result;
}

// Sixteen bytes at a time where the processor has SSE2: each step stores a
// whole block, and moves on past its first LF only.
char* CopyWithCrLf(std::string_view text, char* out) {
  const char* in = text.data();
  const char* const end = in + text.size();
#ifdef QLN_LINE_ENDS_SSE2
  const __m128i line_feeds = _mm_set1_epi8('\n');
  while (end - in >= 16) {
    const __m128i block = _mm_loadu_si128(reinterpret_cast<const __m128i*>(in));
    _mm_storeu_si128(reinterpret_cast<__m128i*>(out), block);
    const unsigned found =
        static_cast<unsigned>(_mm_movemask_epi8(_mm_cmpeq_epi8(block, line_feeds)));
    if (found == 0) {
      in += 16;
      out += 16;
      continue;
    }
    const int before = std::countr_zero(found);  // bytes before the first LF
    out[before] = '\r';
    out[before + 1] = '\n';
    in += before + 1;
    out += before + 2;
  }
#endif
  for (; in < end; in++) {
    if (*in == '\n') *out++ = '\r';
    *out++ = *in;
  }
  return out;
}

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
