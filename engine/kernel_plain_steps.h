// The plain versions of the kernels' steps, a byte at a time: the scalar
// kernel's own, and the tails of the SIMD ones.
#ifndef QLN_ENGINE_KERNEL_PLAIN_STEPS_H_
#define QLN_ENGINE_KERNEL_PLAIN_STEPS_H_

#include <cstddef>

namespace qln::detail::plain {

/// Copies the `n` bytes at `in` to `out` with every CR LF pair as its LF;
/// any other CR, the last byte included, stays. Returns the end of what it
/// wrote. `out` needs room for `n` bytes plus 32, which a step may store
/// past its end.
inline char* LfForCrLf(const char* in, size_t n, char* out) {
  for (size_t i = 0; i < n; i++)
    if (!(in[i] == '\r' && i + 1 < n && in[i + 1] == '\n')) *out++ = in[i];
  return out;
}

/// Copies the `n` bytes at `in` to `out` with every LF as CR LF. `out`
/// needs room for 2 * `n` bytes plus 32.
inline char* CrLfForLf(const char* in, size_t n, char* out) {
  for (size_t i = 0; i < n; i++) {
    if (in[i] == '\n') *out++ = '\r';
    *out++ = in[i];
  }
  return out;
}

/// Copies the `n` bytes at `in` to `out` with every LF that does not follow
/// a CR as CR LF; `after_cr` tells whether the byte before `in` is a CR.
/// `out` needs room for 2 * `n` bytes plus 32.
inline char* CrLfForBareLf(const char* in, size_t n, bool after_cr, char* out) {
  for (size_t i = 0; i < n; i++) {
    if (in[i] == '\n' && !(i == 0 ? after_cr : in[i - 1] == '\r')) *out++ = '\r';
    *out++ = in[i];
  }
  return out;
}

}  // namespace qln::detail::plain

#endif  // QLN_ENGINE_KERNEL_PLAIN_STEPS_H_
