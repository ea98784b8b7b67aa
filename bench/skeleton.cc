// A skeleton converter, for the comparison: what a converter built like qln
// costs before it does any of qln's work. It reads standard input in blocks
// of 64 KiB, classifies each with the engine's kernel, skips each tag by the
// masks after looking its name up among a few, and writes the words between
// tags wrapped at 76 columns. No references, links, head, lists, headings,
// kept line ends or settings: only the walk over the masks and the placing
// of words that any such converter does.
#include <unistd.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

#include "engine/blocks.h"
#include "engine/kernels.h"

namespace {

using qln::detail::Blocks;
using qln::detail::ClassicMasks;

constexpr int64_t kWidth = 76;

/// A tag name of up to eight bytes, upper-cased, as one number.
uint64_t NameKey(std::string_view name) {
  uint64_t key = 0;
  std::memcpy(&key, name.data(), name.size());
  return key & ~0x2020202020202020u;
}

/// The tags that end a line here: a stand-in for a converter's tag table.
constexpr std::array<std::string_view, 8> kLineTags = {"P",  "LI", "BR", "H1",
                                                       "H2", "UL", "/P", "/UL"};

}  // namespace

int main() {
  std::array<uint64_t, kLineTags.size()> line_keys{};
  for (size_t i = 0; i < kLineTags.size(); i++) line_keys[i] = NameKey(kLineTags[i]);
  const auto classify = qln::detail::KernelFor(qln::detail::KernelChoice::kAuto).classify_classic;
  std::vector<char> input(64 * 1024);
  std::vector<ClassicMasks> masks(Blocks<ClassicMasks>::MasksFor(input.size()));
  std::vector<char> output(2 * input.size() + 16);
  int64_t column = 0;
  ssize_t got;
  while ((got = read(0, input.data(), input.size())) > 0) {
    const std::string_view text(input.data(), static_cast<size_t>(got));
    const Blocks<ClassicMasks> blocks(text, classify, '<', masks.data());
    const char* const t = text.data();
    const size_t n = text.size();
    char* out = output.data();
    size_t i = 0;
    while (i < n) {
      const auto c = static_cast<unsigned char>(t[i]);
      if (c == '<') {  // a tag: its name looked up, the rest skipped
        const size_t close = blocks.Next(i + 1, &ClassicMasks::tag_stops);
        if (close == n) break;
        const size_t length = close - i - 1;
        if (length <= 8) {
          const uint64_t key = NameKey(text.substr(i + 1, length));
          for (const uint64_t line_key : line_keys) {
            if (key == line_key && column > 0) {
              *out++ = '\n';
              column = 0;
            }
          }
        }
        i = close + 1;
      } else if (c <= ' ' || c >= 0x80) {
        i++;
      } else if (c == '&') {
        i++;
      } else {  // a word, on this line or the next
        const size_t stop = blocks.Next(i, &ClassicMasks::word_stops);
        const auto length = static_cast<int64_t>(stop - i);
        if (column + length >= kWidth) {
          *out++ = '\n';
          column = 0;
        } else if (column > 0) {
          *out++ = ' ';
          column++;
        }
        std::memcpy(out, t + i, stop - i);
        out += length;
        column += length;
        i = stop;
      }
    }
    if (fwrite(output.data(), 1, static_cast<size_t>(out - output.data()), stdout) !=
        static_cast<size_t>(out - output.data()))
      return 1;
  }
  return got < 0 ? 1 : 0;
}
