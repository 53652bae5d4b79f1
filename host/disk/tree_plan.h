// What a tree needs on disk, added up before anything is created: files, folders, the bytes
// the files hold, and the space they take in blocks of the file system's size.
#ifndef QUINDLE_HOST_DISK_TREE_PLAN_H
#define QUINDLE_HOST_DISK_TREE_PLAN_H

#include <cstdint>

#include "filter/filter_api.h"

namespace quindle_host {

struct TreePlan {
  uint64_t files = 0;
  uint64_t folders = 0;  // below the top folder
  uint64_t bytes = 0;
  uint64_t blockBytes = 0;  // the files' bytes rounded up to whole blocks, and a block per folder
};

// A file entry's length: N × 1024 bytes for its size text "NKB"; 0 for any other text.
uint64_t fileBytes(const FileEntry& entry);

TreePlan planTree(const FileDirectory* root, uint64_t blockSize);

// The entries of the tree below `dir`, all levels.
uint64_t entriesBelow(const FileDirectory* dir);

}  // namespace quindle_host

#endif
