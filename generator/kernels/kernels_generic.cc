// Processors without an x86 vector path run the portable kernel.
#include "generator/kernels/kernel_table.h"

namespace quindle {

int detectListingKernels(const ListingKernel* kernels[kMaxListingKernels]) {
  kernels[0] = &kPortableKernel;
  return 1;
}

}  // namespace quindle
