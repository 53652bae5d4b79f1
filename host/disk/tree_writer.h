// Puts a host tree on disk inside an open folder: an entry marked as a directory becomes a folder,
// every other entry a file of its size text's length (tree_plan.h), named by the rule of
// disk_names.h. Depth first, and no path is ever built from the top: each folder is opened once,
// its entries are made relative to it, and it is closed. The writer keeps its own stack, so any
// depth is written (past a few hundred levels the higher folders are set aside and found again by
// "..", checked to be the same folder).
//
// With two threads the top of the tree is made first, by the calling thread, until it has
// enough subtrees for both; each thread then takes the largest subtree left and writes it whole.
// Subtrees are independent, so what ends up on disk is the same.
#ifndef QUINDLE_HOST_DISK_TREE_WRITER_H
#define QUINDLE_HOST_DISK_TREE_WRITER_H

#include <cstdint>
#include <string>

#include "filter/filter_api.h"
#include "host/disk/disk_calls.h"
#include "host/disk/file_content.h"

namespace quindle_host {

struct TreeWriting {
  FileContent content = FileContent::sparse;
  int64_t second = 0;                 // the tree's second, which seeds random content
  unsigned threads = 1;               // 1 or 2
  std::string shownTop;               // the top folder as the user named it, for messages
  bool (*stopRequested)() = nullptr;  // asked before every entry; may be null
  void (*onProgress)() = nullptr;     // called by the calling thread after every entry
};

struct WriteCounts {
  uint64_t files = 0;
  uint64_t folders = 0;
  uint64_t bytes = 0;
};

struct WriteOutcome {
  bool stopped = false;  // stopRequested said so
  std::string error;     // "cannot make PATH: REASON", or empty
};

// Writes the entries of `root` into `top`, which the writer may close and open again (it is open
// when writeTree returns). True when the whole tree was written.
bool writeTree(const FileDirectory* root, DiskFolder* top, const TreeWriting& how,
               WriteOutcome* outcome);

// What the writer has made so far in this process; safe to read from any thread while it works.
WriteCounts writtenSoFar();

}  // namespace quindle_host

#endif
