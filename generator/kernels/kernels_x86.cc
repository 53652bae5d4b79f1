// On x86 (32- and 64-bit) the processor is asked through cpuid, which also checks that the
// operating system saves the wider registers.
#include "generator/kernels/kernel_table.h"

namespace quindle {

extern const ListingKernel kAvx2Kernel;
extern const ListingKernel kAvx512Kernel;

int detectListingKernels(const ListingKernel* kernels[kMaxListingKernels]) {
  __builtin_cpu_init();
  int count = 0;
  kernels[count++] = &kPortableKernel;
  const bool avx2 = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("bmi2") &&
                    __builtin_cpu_supports("popcnt");
  if (avx2) kernels[count++] = &kAvx2Kernel;
  if (avx2 && __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw") &&
      __builtin_cpu_supports("avx512vbmi") && __builtin_cpu_supports("avx512vbmi2")) {
    kernels[count++] = &kAvx512Kernel;
  }
  return count;
}

}  // namespace quindle
