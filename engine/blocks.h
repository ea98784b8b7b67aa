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

  /// The number of Masks a text of `size` bytes needs.
  static constexpr size_t MasksFor(size_t size) { return size / 64 + 2; }

  /// Classifies `text` into `storage`, which holds MasksFor(text.size())
  /// Masks, or, when that is null, into storage of its own.
  Blocks(std::string_view text, Classify classify, char padding, Masks* storage = nullptr)
      : size_(text.size()) {
    if (storage == nullptr) {
      owned_.reset(new Masks[MasksFor(text.size())]);
      storage = owned_.get();
    }
    masks_ = storage;
    const size_t whole = text.size() / 64;
    classify(text.data(), whole, storage);
    // The last, partial block and the one after it, padded.
    char tail[128];
    std::memset(tail, padding, sizeof tail);
    std::memcpy(tail, text.data() + 64 * whole, text.size() % 64);
    classify(tail, 2, storage + whole);
  }

  /// The bits of mask `kind` for the 64 bytes from `at` (at most the text's
  /// size): bit i for byte at + i.
  uint64_t From(size_t at, Kind kind) const {
    const Masks* block = masks_ + at / 64;
    const unsigned shift = at % 64;
    return (block[0].*kind >> shift) | ((block[1].*kind << 1) << (63 - shift));
  }

  /// The first position from `at` on whose byte is in mask `kind`, or the
  /// text's size when there is none before it.
  size_t Next(size_t at, Kind kind) const { return Find(at, kind, 0); }

  /// The first position from `at` on whose byte is not in mask `kind`, or
  /// the text's size when there is none before it.
  size_t NextOutside(size_t at, Kind kind) const { return Find(at, kind, ~uint64_t{0}); }

  /// True when an odd number of bytes from `from` up to `to` are in mask
  /// `kind`. (The parity by a multiply stays inline where a population
  /// count would be a library call on plain x86-64: each nibble's parity
  /// goes to its low bit, and the multiply sums them into the top nibble.)
  bool OddCount(size_t from, size_t to, Kind kind) const {
    uint64_t all = 0;
    for (; from < to; from = (from | 63) + 1) {
      uint64_t bits = masks_[from / 64].*kind >> (from % 64);
      if (to - from < 64) bits &= (uint64_t{1} << (to - from)) - 1;
      all ^= bits;
    }
    all ^= all >> 1;
    all ^= all >> 2;
    constexpr uint64_t kNibbles = 0x1111111111111111u;
    return (((all & kNibbles) * kNibbles) >> 60) & 1;
  }

 private:
  /// Next, with each block's bits flipped by `flip` first.
  size_t Find(size_t at, Kind kind, uint64_t flip) const {
    if (at >= size_) return size_;
    const Masks* block = masks_ + at / 64;
    uint64_t bits = (block->*kind ^ flip) >> (at % 64);
    while (bits == 0) {
      at = (at | 63) + 1;
      if (at >= size_) return size_;
      bits = (++block)->*kind ^ flip;
    }
    // No bit past the first byte of padding can be the first one found: every
    // padding byte is alike, so either the first one is found or none is.
    return at + static_cast<size_t>(std::countr_zero(bits));
  }

  size_t size_;
  std::unique_ptr<Masks[]> owned_;
  const Masks* masks_;
};

/// What a stretch of plain words takes from one window of 64 bytes.
struct WindowWords {
  bool taken;    // false when no word is
  bool ended;    // the stretch ends in this window
  size_t start;  // the last word taken: its first byte
  size_t next;   // and the space after it
};

/// The words a stretch of plain words takes from the 64 bytes at `window`,
/// where `stops` marks the bytes that end a word, `spaces` the spaces among
/// them, and `ends` other places that end the stretch. A word is taken when
/// it is not empty and ends at a space of its own whose position lies before
/// `bound`; all the words up to the first end are taken (only the first when
/// `one_at_a_time`). Both profiles' stretches of plain words take their
/// words this way.
inline WindowWords TakeWindowWords(uint64_t stops, uint64_t spaces, uint64_t ends, size_t window,
                                   size_t bound, bool one_at_a_time) {
  ends |= (stops & ~spaces) | (stops & (stops << 1 | 1));
  if (bound < window + 64) ends |= bound > window ? ~uint64_t{0} << (bound - window) : ~uint64_t{0};
  const int first_end = ends ? std::countr_zero(ends) : 64;
  uint64_t taken = first_end < 64 ? stops & ((uint64_t{1} << first_end) - 1) : stops;
  if (one_at_a_time) taken &= -taken;
  if (taken == 0) return {};
  const size_t next = window + 63 - std::countl_zero(taken);
  const uint64_t before = taken & ~(uint64_t{1} << (next - window));
  return {true, first_end < 64 && !one_at_a_time,
          before ? window + 64 - std::countl_zero(before) : window, next};
}

}  // namespace qln::detail

#endif  // QLN_ENGINE_BLOCKS_H_
