// The host's side of the tree: the two callbacks through which a module gets directories and hands
// trees back. Each directory is one block: the FileDirectory the module sees, the host's own
// bookkeeping, then the entries, zero-filled.
//
// Both callbacks run inside the module's calls, so neither throws nor crashes, whatever it is given:
// any count from 0 up is served (0 gives a directory without entries); a negative count, one too
// large to address, one that would take the entries held past the budget, or a failed allocation
// gives null; after a failed allocation every request does until the trees are all freed, so that
// the host keeps memory for its own work. hostFreeTree releases a whole tree without recursion and without allocating, so a
// tree thousands of levels deep is as safe as a flat one. Every directory of a tree must come from
// hostAllocDirectory.
//
// The host runs one command at a time on one thread, so the counts are plain process-wide state.
#ifndef QUINDLE_HOST_HOST_TREE_H
#define QUINDLE_HOST_HOST_TREE_H

#include <cstdint>

#include "filter/filter_api.h"

namespace quindle_host {

FileDirectory* QUINDLE_CALL hostAllocDirectory(int32_t count);
void QUINDLE_CALL hostFreeTree(FileDirectory* root);

// The entry count the directory was allocated with; 0 for null.
int32_t directoryEntryCount(const FileDirectory* dir);

// What the host's trees hold now, and what it has refused and spent freeing since the start.
struct TreeCounts {
  uint64_t entries = 0;      // entry records in the directories held
  uint64_t directories = 0;  // directories held
  uint64_t bytes = 0;        // memory the directories take
  uint64_t refusedOverBudget = 0;
  uint64_t refusedNoMemory = 0;
  double secondsFreeing = 0;
};
const TreeCounts& treeCounts();

// The most entries the trees held at once may have; a directory that would take them past it is
// refused. No budget at the start.
void setEntryBudget(uint64_t maxEntries);

// Called after every directory handed out (null: nothing), so that a long run can show progress.
void setAllocationWatcher(void (*watcher)());

}  // namespace quindle_host

#endif
