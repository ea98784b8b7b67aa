// Choosing the kernel: once per process, by what the processor has.
#include "kernels.h"

namespace qln::detail {
namespace {

const Kernel& Best() {
#if defined(QLN_X86_KERNELS)
  __builtin_cpu_init();
  if (__builtin_cpu_supports("avx2")) return kAvx2Kernel;
  return kSse2Kernel;
#else
  return kScalarKernel;
#endif
}

}  // namespace

bool HasKernel(KernelChoice choice) {
  switch (choice) {
    case KernelChoice::kAuto:
    case KernelChoice::kScalar:
      return true;
#if defined(QLN_X86_KERNELS)
    case KernelChoice::kSse2:
      return true;
    case KernelChoice::kAvx2:
      return &KernelFor(KernelChoice::kAuto) == &kAvx2Kernel;
#else
    default:
      return false;
#endif
  }
  return false;
}

const Kernel& KernelFor(KernelChoice choice) {
  static const Kernel& best = Best();  // thread-safe, once
  switch (choice) {
    case KernelChoice::kScalar:
      return kScalarKernel;
    case KernelChoice::kSse2:
      return HasKernel(choice) ? kSse2Kernel : best;
    case KernelChoice::kAvx2:
    case KernelChoice::kAuto:
      break;
  }
  return best;
}

}  // namespace qln::detail
