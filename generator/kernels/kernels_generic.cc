// Processors other than x86 run the portable kernel, which needs no instruction set of the list.
#include "generator/kernels/instruction_sets.h"
#include "generator/kernels/kernel_table.h"

namespace quindle {

KernelList builtKernels() { return {{&kPortableKernel}, 1}; }

InstructionSets processorInstructionSets() { return 0; }

}  // namespace quindle
