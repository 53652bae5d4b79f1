// The kernels: the code that fills draw blocks and writes entries, one for each group of
// instruction sets it is compiled for (portable, AVX2, AVX-512 with VBMI2's byte compress).
// Every kernel writes exactly the same bytes; only the speed differs.
//
// Each kernel carries its name and the instruction sets it needs as data (instruction_sets.h).
// Detection walks the kernels this build holds and keeps those whose needs the processor meets;
// the module runs the last of them, the fastest, unless a test forced another through the
// module's KernelChoice.
#ifndef QUINDLE_GENERATOR_KERNELS_KERNEL_TABLE_H
#define QUINDLE_GENERATOR_KERNELS_KERNEL_TABLE_H

#include "filter/filter_api.h"
#include "generator/dictionary/dictionary_entries.h"
#include "generator/dictionary/dictionary_name_field.h"
#include "generator/draws/draw_block.h"
#include "generator/draws/entry_run.h"
#include "generator/kernels/instruction_sets.h"

namespace quindle {

struct Kernel {
  const char* name;
  InstructionSets needs;  // read from the target text its code is compiled with; none for portable
  FillDraws fillDraws;
  // fillEntryRun (generator/draws/entry_run.h) with this kernel's random-letter name writer.
  FileEntry* (*fillEntries)(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block);
  // fillDictionaryRun (generator/dictionary/dictionary_entries.h) with this kernel's finder of a
  // name's first lines and its name writer.
  DictionaryEntryFill fillDictionaryEntries;
  // That finder on its own, which the tests also run over line counts no table could hold.
  NameLineFinder findNameLines;
  // Whether its random-letter names read the block's DrawStarts, which its fill then keeps.
  bool keepsStarts;
};

constexpr int kMostKernels = 8;  // enough for every kernel of any build

struct KernelList {
  const Kernel* kernels[kMostKernels];
  int count;
};

extern const Kernel kPortableKernel;

// The kernels this build holds, the portable one first and the fastest last; each processor
// family's file says (CMake picks it).
KernelList builtKernels();

// The built kernels whose needs `processor` meets, in the same order: what a processor with
// those sets would run.
KernelList kernelsRunnableOn(InstructionSets processor);

// kernelsRunnableOn this processor. The processor is asked each time: a few instructions, once
// per tree.
KernelList availableKernels();

// Which kernel runs: the fastest available one, unless another was forced.
struct KernelChoice {
  const Kernel* forced = nullptr;
};

const Kernel& activeKernel(const KernelChoice& choice);

// For tests: `choice` picks `kernel` from now on. False, changing nothing, when it is not an
// available kernel.
bool forceKernel(KernelChoice& choice, const Kernel& kernel);

}  // namespace quindle

#endif
