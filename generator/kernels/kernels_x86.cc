// On x86 (32- and 64-bit) the AVX2 and AVX-512 kernels are built too, and the processor is asked
// through cpuid, which also checks that the operating system saves the wider registers.
#include "generator/kernels/instruction_sets.h"
#include "generator/kernels/kernel_table.h"

namespace quindle {

extern const Kernel kAvx2Kernel;
extern const Kernel kAvx512Kernel;

KernelList builtKernels() { return {{&kPortableKernel, &kAvx2Kernel, &kAvx512Kernel}, 3}; }

InstructionSets processorInstructionSets() {
  __builtin_cpu_init();
  InstructionSets sets = 0;
#define QUINDLE_ASK_FOR(bit, value, name) \
  if (__builtin_cpu_supports(name)) sets |= bit;
  QUINDLE_EACH_INSTRUCTION_SET(QUINDLE_ASK_FOR)
#undef QUINDLE_ASK_FOR
  return sets;
}

}  // namespace quindle
