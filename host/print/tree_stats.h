// The counts that describe a listing: directory entries, file entries, and the deepest level a
// directory reaches (the root is level 0, its subdirectories level 1).
#ifndef QUINDLE_HOST_PRINT_TREE_STATS_H
#define QUINDLE_HOST_PRINT_TREE_STATS_H

#include <cstdint>

#include "filter/filter_api.h"

namespace quindle_host {

struct TreeStats {
  uint64_t directories = 0;
  uint64_t files = 0;
  int deepestLevel = 0;
};

TreeStats measureTree(const FileDirectory* root);

bool isDirectoryEntry(const FileEntry& entry);

}  // namespace quindle_host

#endif
