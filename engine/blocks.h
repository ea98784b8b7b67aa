// A text seen through its block masks: a kernel classifies all of it, 64
// bytes at a time, before a scanner walks forward through it.
#ifndef QLN_ENGINE_BLOCKS_H_
#define QLN_ENGINE_BLOCKS_H_

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string_view>

namespace qln::detail {

/// `Masks` is a struct of 64-bit masks, one bit per byte of a block, that
/// `classify` fills. Positions count from the start of the text; bytes past
/// its end read as `padding`.
template <typename Masks>
class Blocks {
 public:
  using Classify = void (*)(const char* text, size_t blocks, Masks* masks);
  using Kind = uint64_t Masks::*;

  Blocks(std::string_view text, Classify classify, char padding)
      : size_(text.size()), masks_(new Masks[text.size() / 64 + 2]) {
    const size_t whole = text.size() / 64;
    classify(text.data(), whole, masks_.get());
    // The last, partial block and the one after it, padded.
    char tail[128];
    std::memset(tail, padding, sizeof tail);
    std::memcpy(tail, text.data() + 64 * whole, text.size() % 64);
    classify(tail, 2, masks_.get() + whole);
  }

  /// The bits of mask `kind` for the 64 bytes from `at` (at most the text's
  /// size): bit i for byte at + i.
  uint64_t From(size_t at, Kind kind) const {
    const Masks* block = masks_.get() + at / 64;
    const unsigned shift = at % 64;
    return (block[0].*kind >> shift) | ((block[1].*kind << 1) << (63 - shift));
  }

  /// The first position from `at` on whose byte is in mask `kind`, or the
  /// text's size when there is none before it.
  size_t Next(size_t at, Kind kind) const {
    for (; at < size_; at += 64) {
      if (const uint64_t bits = From(at, kind)) return std::min(at + std::countr_zero(bits), size_);
    }
    return size_;
  }

 private:
  size_t size_;
  std::unique_ptr<Masks[]> masks_;
};

}  // namespace qln::detail

#endif  // QLN_ENGINE_BLOCKS_H_
