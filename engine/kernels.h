// The block kernels: text classified 64 bytes at a time into bit masks of the
// bytes the scanners stop at. A plain version is always built; SSE2 and AVX2
// ones on x86-64. The best one is chosen once, at run time.
#ifndef QLN_ENGINE_KERNELS_H_
#define QLN_ENGINE_KERNELS_H_

#include <cstddef>
#include <cstdint>

namespace qln::detail {

/// Which kernel a run uses: kAuto takes the best this processor has. The
/// others force one, for tests and measurements.
enum class KernelChoice : uint8_t { kAuto, kScalar, kSse2, kAvx2 };

/// The bytes of one 64-byte block that the classic scanner stops at; bit i
/// stands for the block's byte i.
struct ClassicMasks {
  /// Where a run of word text ends: whitespace, "<", "&", zero, and the bytes
  /// of 0x80 and above.
  uint64_t word_stops;
  /// Where a run of tag text ends: "<", ">", "&", zero, and the bytes of 0x80
  /// and above.
  uint64_t tag_stops;
  /// The spaces (0x20).
  uint64_t spaces;
  /// The double quotes, which an anchor's attributes are read by.
  uint64_t quotes;
};

/// The bytes of one 64-byte block that the modern tokenizer and layout stop
/// at; bit i stands for the block's byte i.
struct ModernMasks {
  /// Where text ends: "<" and "&".
  uint64_t markup;
  /// Where a word ends or needs a closer look: whitespace, "<", "&", the
  /// other control characters (below 0x20, and 0x7F), and the bytes of 0x80
  /// and above.
  uint64_t word_stops;
  /// The spaces (0x20).
  uint64_t spaces;
};

struct Kernel {
  const char* name;
  /// Classifies `blocks` blocks of 64 bytes from `text`, all readable.
  void (*classify_classic)(const char* text, size_t blocks, ClassicMasks* masks);
  void (*classify_modern)(const char* text, size_t blocks, ModernMasks* masks);
  // Line-end translations (see kernel_plain_steps.h): each returns the end
  // of what it wrote.
  char* (*lf_for_cr_lf)(const char* in, size_t n, char* out);
  char* (*cr_lf_for_lf)(const char* in, size_t n, char* out);
  char* (*cr_lf_for_bare_lf)(const char* in, size_t n, bool after_cr, char* out);
};

/// The kernel for `choice`; a kernel this build or processor lacks gives the
/// best one it has. Safe to call from any thread.
const Kernel& KernelFor(KernelChoice choice);

/// True when `choice` runs as itself here, not as a stand-in.
bool HasKernel(KernelChoice choice);

/// The kernels, each defined in its own file (the SIMD ones on x86-64 only).
extern const Kernel kScalarKernel;
extern const Kernel kSse2Kernel;
extern const Kernel kAvx2Kernel;

}  // namespace qln::detail

#endif  // QLN_ENGINE_KERNELS_H_
