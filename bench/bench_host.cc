#include "bench_host.h"

#include <malloc.h>

#include <cstdlib>

#include "host_kit/directory_allocator.h"
#include "host_kit/tree_walk.h"

namespace quindle_bench {

using namespace quindle_host_kit;

void keepFreedMemory() {
  // Directories are tens of kilobytes at most, but a large threshold also keeps glibc from moving the
  // mmap threshold around while the benchmarks run.
  mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, INT32_MAX);
}

FileFilterInfo benchHostInfo() {
  AllocatorRules rules;
  rules.fill = EntryFill::untouched;
  resetAllocator(rules);
  return hostInfoFor(nullptr);
}

TreeLayout layoutOf(const FileDirectory* root) {
  struct Layout {
    TreeLayout layout;
    bool enter(const FileEntry& entry, int, bool) {
      ++layout.entries;
      if (const FileDirectory* children = childrenOf(entry)) {
        layout.directoryCounts.push_back(entryCountOf(children));
      }
      return true;
    }
    void leave(int) {}
  } visitor;
  if (root) visitor.layout.directoryCounts.push_back(entryCountOf(root));
  walkTree(root, visitor);
  return visitor.layout;
}

}  // namespace quindle_bench
