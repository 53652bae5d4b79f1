// Visits every entry of a host tree in listing order: each directory's contents come right after
// its own entry. The walk keeps an explicit stack, so the tree's depth is bounded by memory, not
// by the thread's stack, and it holds nothing per entry, so huge listings stream. It follows what
// childrenOf gives, so a marked tree's unwritten pointers are never followed.
//
// The visitor provides
//   bool enter(const FileEntry& entry, int depth, bool lastInDirectory)
//     for every entry; depth 0 is the root's entries. Returning false stops the walk.
//   void leave(int depth)
//     after the contents of a directory entry at `depth` (also when they are empty).
// walkTree returns false when the visitor stopped it.
#ifndef QUINDLE_HOST_KIT_TREE_WALK_H
#define QUINDLE_HOST_KIT_TREE_WALK_H

#include <vector>

#include "filter/filter_api.h"
#include "host_kit/directory_allocator.h"

namespace quindle_host_kit {

template <typename Visitor>
bool walkTree(const FileDirectory* root, Visitor& visitor) {
  struct Frame {
    const FileDirectory* dir;
    int32_t count;
    int32_t next;
  };
  std::vector<Frame> stack;
  if (root) stack.push_back({root, entryCountOf(root), 0});
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.next == top.count) {
      stack.pop_back();
      if (!stack.empty()) visitor.leave(static_cast<int>(stack.size()) - 1);
      continue;
    }
    const FileEntry& entry = top.dir->entries[top.next++];
    const bool last = top.next == top.count;
    if (!visitor.enter(entry, static_cast<int>(stack.size()) - 1, last)) return false;
    if (const FileDirectory* children = childrenOf(entry)) {
      stack.push_back({children, entryCountOf(children), 0});
    }
  }
  return true;
}

}  // namespace quindle_host_kit

#endif
