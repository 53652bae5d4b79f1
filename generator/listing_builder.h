// The random tree that an enabled filter hands back to the host, and its title.
//
// The tree is built depth first in exactly the order of a recursive walk (a directory's whole
// subtree, with all its draws, comes before its parent's next entry), but with an explicit stack on
// the heap, so no dirLevels can overflow the calling thread's stack. Directories come from the
// host's allocDirectory; the builder keeps nothing of the tree once it returns and allocates
// nothing per entry.
//
// Draws per directory: the entry count, then per entry the name's draws, the size, the value, and
// the directory draw (taken even where depth allows no directory).
//
// The draws are taken ahead in blocks (generator/draws/draw_block.h) by a kernel
// (generator/kernels/kernel_table.h) and written straight into the host's entries; the output is
// byte for byte what drawing one number at a time gives. The builder's own memory is the block
// and its stack, one frame per level, from the module's heap.
//
// The builder only reads the settings: it is handed the tree's shape and the words names are made
// of, looked up once per tree by the caller.
#ifndef QUINDLE_GENERATOR_LISTING_BUILDER_H
#define QUINDLE_GENERATOR_LISTING_BUILDER_H

#include <cstdint>

#include "filter/filter_api.h"
#include "filter/module_heap.h"
#include "generator/dictionary/loaded_word_table.h"
#include "generator/draws/draw_block.h"
#include "generator/draws/random_source.h"
#include "generator/kernels/kernel_table.h"
#include "generator/name_generator.h"

namespace quindle {

// What making listings and titles keeps from one call to the next: the random source, and the
// block and the name buffer, which are large for a host's stack. The module keeps one in its state.
struct GeneratorState {
  RandomSource random;
  DrawBlock block;
  NameBuffer names;
};

// The settings that shape a tree.
struct ListingShape {
  uint32_t maxFiles;
  int32_t dirLevels;
};

inline ListingShape shapeOf(const FilterPrefs& prefs) { return {prefs.maxFiles, prefs.dirLevels}; }

// Builds a whole tree with the current random state. When the host cannot allocate a
// subdirectory, or the builder's stack cannot grow, the entry stays a plain file and generation
// goes on; a root that cannot be had is asked for once more as an empty directory, and null comes
// back only if that fails too.
FileDirectory* buildListing(const FileFilterInfo& host, const ListingShape& shape,
                            const NameWords& words, const Kernel& kernel, ModuleHeap& heap,
                            GeneratorState& generator);


}  // namespace quindle

#endif
