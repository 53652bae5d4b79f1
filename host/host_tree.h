// The host's side of the tree: the two callbacks through which a module gets directories and hands
// trees back. Each directory is one block: the FileDirectory the module sees, the host's own
// bookkeeping, then the entries, zero-filled.
//
// Both callbacks run inside the module's calls, so neither throws nor crashes, whatever it is given:
// any count from 0 up is served (0 gives a directory without entries); a negative count, one too
// large to address, or a failed allocation gives null. hostFreeTree releases a whole tree without
// recursion and without allocating, so a tree thousands of levels deep is as safe as a flat one.
// Every directory of a tree must come from hostAllocDirectory.
#ifndef QUINDLE_HOST_HOST_TREE_H
#define QUINDLE_HOST_HOST_TREE_H

#include <cstdint>

#include "filter/filter_api.h"

namespace quindle_host {

FileDirectory* QUINDLE_CALL hostAllocDirectory(int32_t count);
void QUINDLE_CALL hostFreeTree(FileDirectory* root);

// The entry count the directory was allocated with; 0 for null.
int32_t directoryEntryCount(const FileDirectory* dir);

}  // namespace quindle_host

#endif
