// Picks the versions of the byte-scanning helpers the engine uses: SSE2 where
// the processor has it, else the plain ones; a build with QLN_SCALAR_ONLY
// defined uses the plain ones everywhere. Callers write simd::FindEither etc.
#ifndef QLN_ENGINE_SIMD_H_
#define QLN_ENGINE_SIMD_H_

#include "simd_scalar.h"

#if !defined(QLN_SCALAR_ONLY) && (defined(__SSE2__) || defined(_M_X64))
#define QLN_SSE2 1
#include "simd_sse2.h"
namespace qln::detail {
namespace simd = sse2;
}
#else
#define QLN_SSE2 0
namespace qln::detail {
namespace simd = scalar;
}
#endif

#endif  // QLN_ENGINE_SIMD_H_
