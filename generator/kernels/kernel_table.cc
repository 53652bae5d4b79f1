#include "generator/kernels/kernel_table.h"

namespace quindle {
namespace {

// Enough for every kernel of any build.
constexpr int kMostKernels = 8;

const Kernel* forcedKernel = nullptr;

}  // namespace

KernelList availableKernels() {
  static const Kernel* available[kMostKernels];
  static int count = -1;
  if (count < 0) {
    const InstructionSets processor = processorInstructionSets();
    const KernelList built = builtKernels();
    count = 0;
    for (int i = 0; i < built.count && count < kMostKernels; ++i) {
      if ((built.kernels[i]->needs & ~processor) == 0) available[count++] = built.kernels[i];
    }
  }
  return {available, count};
}

const Kernel& activeKernel() {
  if (forcedKernel) return *forcedKernel;
  const KernelList available = availableKernels();
  return *available.kernels[available.count - 1];
}

bool forceKernel(const Kernel& kernel) {
  const KernelList available = availableKernels();
  for (int i = 0; i < available.count; ++i) {
    if (available.kernels[i] == &kernel) {
      forcedKernel = &kernel;
      return true;
    }
  }
  return false;
}

}  // namespace quindle
