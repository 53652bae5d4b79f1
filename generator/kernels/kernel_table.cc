#include "generator/kernels/kernel_table.h"

namespace quindle {
namespace {

const ListingKernel* forcedKernel = nullptr;

}  // namespace

const ListingKernel* const* availableListingKernels(int* count) {
  // Asked once: the processor does not change under a running process.
  static const ListingKernel* kernels[kMaxListingKernels];
  static int available = -1;
  if (available < 0) available = detectListingKernels(kernels);
  *count = available;
  return kernels;
}

const ListingKernel& activeListingKernel() {
  if (forcedKernel) return *forcedKernel;
  int count = 0;
  const ListingKernel* const* kernels = availableListingKernels(&count);
  return *kernels[count - 1];
}

bool forceListingPath(ListingPath path) {
  int count = 0;
  const ListingKernel* const* kernels = availableListingKernels(&count);
  for (int i = 0; i < count; ++i) {
    if (kernels[i]->path == path) {
      forcedKernel = kernels[i];
      return true;
    }
  }
  return false;
}

}  // namespace quindle
