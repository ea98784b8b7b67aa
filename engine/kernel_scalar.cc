// The plain kernel: each byte looked up in a table of its classes. Always
// built; the SIMD kernels must give the same masks.
#include <array>

#include "byte_classes.h"
#include "kernel_plain_steps.h"
#include "kernels.h"

namespace qln::detail {
namespace {

enum : uint8_t {
  kWordStop = 1,
  kTagStop = 2,
  kSpace = 4,
  kMarkup = 8,
  kModernWordStop = 16,
  kQuote = 32,
};

constexpr std::array<uint8_t, 256> kClasses = [] {
  std::array<uint8_t, 256> classes{};
  for (int c = 0; c < 256; c++) {
    const bool high = c >= 0x80;
    const bool markup = c == '<' || c == '&';
    uint8_t bits = 0;
    if (high || markup || c == 0 || IsWhitespace(static_cast<unsigned char>(c))) bits |= kWordStop;
    if (high || markup || c == 0 || c == '>') bits |= kTagStop;
    if (c == ' ') bits |= kSpace;
    if (markup) bits |= kMarkup;
    if (high || markup || c <= 0x20 || c == 0x7F) bits |= kModernWordStop;
    if (c == '"') bits |= kQuote;
    classes[c] = bits;
  }
  return classes;
}();

/// A bit for each byte of the block at `p` that has `bit` in kClasses.
uint64_t BitsOf(const char* p, uint8_t bit) {
  uint64_t bits = 0;
  for (int i = 0; i < 64; i++)
    if (kClasses[static_cast<unsigned char>(p[i])] & bit) bits |= uint64_t{1} << i;
  return bits;
}

void ClassifyClassic(const char* text, size_t blocks, ClassicMasks* masks) {
  for (size_t b = 0; b < blocks; b++, text += 64)
    masks[b] = {BitsOf(text, kWordStop), BitsOf(text, kTagStop), BitsOf(text, kSpace),
                BitsOf(text, kQuote)};
}

void ClassifyModern(const char* text, size_t blocks, ModernMasks* masks) {
  for (size_t b = 0; b < blocks; b++, text += 64)
    masks[b] = {BitsOf(text, kMarkup), BitsOf(text, kModernWordStop), BitsOf(text, kSpace)};
}

}  // namespace

const Kernel kScalarKernel = {
    "scalar",         ClassifyClassic,  ClassifyModern,
    plain::LfForCrLf, plain::CrLfForLf, plain::CrLfForBareLf,
};

}  // namespace qln::detail
