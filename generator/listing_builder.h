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
// The draws are taken ahead in blocks (generator/draws/draw_block.h) by the fastest kernel the
// processor runs (generator/kernels/kernel_table.h) and written straight into the host's entries;
// the output is byte for byte what drawing one number at a time gives. The builder's own memory is
// the module-wide block and its stack, one frame per level. The dictionary is looked up once per
// tree, not per name: an unusable one gives random letters for the whole tree, and is tried again
// at the title.
#ifndef QUINDLE_GENERATOR_LISTING_BUILDER_H
#define QUINDLE_GENERATOR_LISTING_BUILDER_H

#include <cstdint>

#include "filter/filter_api.h"

namespace quindle {

// Builds a whole tree with the current random state. When the host cannot allocate a
// subdirectory, its entry stays a plain file and generation goes on; a root that cannot be had is
// asked for once more as an empty directory, and null comes back only if that fails too.
FileDirectory* buildListing(const FileFilterInfo& info, FilterPrefs* prefs);

// Writes a random title of at most titleLen - 1 characters, zero-filling the rest of the buffer.
// A null buffer or a titleLen below 1 is left alone and takes no draw.
void writeTitle(FilterPrefs* prefs, char* title, int32_t titleLen);

}  // namespace quindle

#endif
