// The code paths that fill draw blocks and write names, chosen once per process
// from what the processor can do: a portable path that runs anywhere, an AVX2 + BMI2 path and an
// AVX-512 path (with VBMI2's byte compress). Every path writes exactly the same bytes; only the
// speed differs. Tests force each path the machine has and compare it with the simple model.
#ifndef QUINDLE_GENERATOR_KERNELS_KERNEL_TABLE_H
#define QUINDLE_GENERATOR_KERNELS_KERNEL_TABLE_H

#include <cstdint>

#include "filter/filter_api.h"
#include "generator/dictionary/dictionary_name_field.h"
#include "generator/draws/draw_block.h"

namespace quindle {

enum class ListingPath { kPortable, kAvx2, kAvx512 };

struct PendingDirectory;

struct ListingKernel {
  ListingPath path;
  const char* name;
  FillDraws fillDraws;
  // Writes the random-letter entry name (bound 64) whose length draw is at `at` into an entry's
  // 64-byte name field, zero-filled and with its first letter upper-cased; returns the draw after
  // the name. It may also write into the size text after the field, which the entry's own is
  // written over afterwards.
  int (*writeLetterName)(const DrawBlock& block, int at, char* field);
  // fillEntryRun (entry_run.h) with this path's random-letter name writer.
  FileEntry* (*fillEntries)(PendingDirectory& dir, bool mayHoldDirectories, DrawBlock& block);
  // The dictionary name's first lines (findNameLines) and its writer (writeDictionaryName).
  NameLineFinder findNameLines;
  DictionaryNameWriter writeDictionaryName;
};

// The kernel in use: the fastest the processor supports, unless a test forced another.
const ListingKernel& activeListingKernel();

// The kernels this processor can run, fastest last; `count` receives how many.
const ListingKernel* const* availableListingKernels(int* count);

// For tests and benchmarks: uses `path` from now on. False, changing nothing, when the processor
// cannot run it.
bool forceListingPath(ListingPath path);

constexpr int kMaxListingKernels = 3;

extern const ListingKernel kPortableKernel;

// Fills `kernels` with the kernels this processor runs, the portable one first and the fastest
// last, and returns how many. Each platform's file (CMake picks it) asks the processor.
int detectListingKernels(const ListingKernel* kernels[kMaxListingKernels]);

}  // namespace quindle

#endif
