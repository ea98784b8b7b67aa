// The steps the SIMD kernels take alike, written once over a vector type V:
//   V::kWidth                     bytes per vector (16 or 32)
//   V::Find(const char* p, char c) a bit for each of the kWidth bytes at p equal to c
//   V::Copy(const char* p, char* out) stores the kWidth bytes at p to out
// Each kernel defines its V in an anonymous namespace, so that these
// templates are instantiated apart for each (and, for AVX2, built for it).
// Every step ends with the plain one, for the bytes short of a vector.
#ifndef QLN_ENGINE_KERNEL_STEPS_H_
#define QLN_ENGINE_KERNEL_STEPS_H_

#include <bit>
#include <cstddef>
#include <cstdint>

#include "kernel_plain_steps.h"

namespace qln::detail::steps {

/// See plain::LfForCrLf. Each vector is stored whole; the step moves on past
/// its first carriage return only.
template <typename V>
char* LfForCrLf(const char* in, size_t n, char* out) {
  const char* const end = in + n;
  while (end - in > V::kWidth) {  // a byte after the vector: a CR's follower is readable
    const uint64_t returns = V::Find(in, '\r');
    V::Copy(in, out);
    if (returns == 0) {
      in += V::kWidth;
      out += V::kWidth;
      continue;
    }
    const int before = std::countr_zero(returns);
    in += before;
    out += before;
    if (in[1] != '\n') *out++ = '\r';  // else the pair's LF follows on its own
    in++;
  }
  return plain::LfForCrLf(in, static_cast<size_t>(end - in), out);
}

/// See plain::CrLfForLf.
template <typename V>
char* CrLfForLf(const char* in, size_t n, char* out) {
  const char* const end = in + n;
  while (end - in >= V::kWidth) {
    const uint64_t line_feeds = V::Find(in, '\n');
    V::Copy(in, out);
    if (line_feeds == 0) {
      in += V::kWidth;
      out += V::kWidth;
      continue;
    }
    const int before = std::countr_zero(line_feeds);
    out[before] = '\r';
    out[before + 1] = '\n';
    in += before + 1;
    out += before + 2;
  }
  return plain::CrLfForLf(in, static_cast<size_t>(end - in), out);
}

/// See plain::CrLfForBareLf.
template <typename V>
char* CrLfForBareLf(const char* in, size_t n, bool after_cr, char* out) {
  const char* const begin = in;
  const char* const end = in + n;
  while (end - in >= V::kWidth) {
    const uint64_t line_feeds = V::Find(in, '\n');
    V::Copy(in, out);
    if (line_feeds == 0) {
      in += V::kWidth;
      out += V::kWidth;
      continue;
    }
    const int before = std::countr_zero(line_feeds);
    in += before;
    out += before;
    if (!(in == begin ? after_cr : in[-1] == '\r')) *out++ = '\r';
    *out++ = '\n';
    in++;
  }
  return plain::CrLfForBareLf(in, static_cast<size_t>(end - in),
                              in == begin ? after_cr : in[-1] == '\r', out);
}

}  // namespace qln::detail::steps

#endif  // QLN_ENGINE_KERNEL_STEPS_H_
