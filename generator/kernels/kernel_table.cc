#include "generator/kernels/kernel_table.h"

namespace quindle {

KernelList kernelsRunnableOn(InstructionSets processor) {
  const KernelList built = builtKernels();
  KernelList available = {{}, 0};
  for (int i = 0; i < built.count; ++i) {
    if ((built.kernels[i]->needs & ~processor) == 0) available.kernels[available.count++] = built.kernels[i];
  }
  return available;
}

KernelList availableKernels() { return kernelsRunnableOn(processorInstructionSets()); }

const Kernel& activeKernel(const KernelChoice& choice) {
  if (choice.forced) return *choice.forced;
  const KernelList available = availableKernels();
  return *available.kernels[available.count - 1];
}

bool forceKernel(KernelChoice& choice, const Kernel& kernel) {
  const KernelList available = availableKernels();
  for (int i = 0; i < available.count; ++i) {
    if (available.kernels[i] == &kernel) {
      choice.forced = &kernel;
      return true;
    }
  }
  return false;
}

}  // namespace quindle
