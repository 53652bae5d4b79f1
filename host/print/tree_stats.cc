#include "host/print/tree_stats.h"

#include "host_kit/tree_walk.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

struct Counter {
  TreeStats stats;
  bool enter(const FileEntry& entry, int depth, bool) {
    if (isDirectoryEntry(entry)) {
      ++stats.directories;
      if (depth + 1 > stats.deepestLevel) stats.deepestLevel = depth + 1;
    } else {
      ++stats.files;
    }
    return true;
  }
  void leave(int) {}
};

}  // namespace

bool isDirectoryEntry(const FileEntry& entry) { return entry.flags[0] != 0 || entry.children; }

TreeStats measureTree(const FileDirectory* root) {
  Counter counter;
  walkTree(root, counter);
  return counter.stats;
}

}  // namespace quindle_host
