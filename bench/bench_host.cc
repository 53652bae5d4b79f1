#include "bench_host.h"

#include <malloc.h>

#include <cstdlib>
#include <cstring>

namespace quindle_bench {

void keepFreedMemory() {
  // Directories are at most 32 KB, but a large threshold also keeps glibc from moving the
  // mmap threshold around while the benchmarks run.
  mallopt(M_MMAP_THRESHOLD, 64 * 1024 * 1024);
  mallopt(M_TRIM_THRESHOLD, INT32_MAX);
}

FileDirectory* QUINDLE_CALL benchAllocDirectory(int32_t count) {
  if (count < 0) return nullptr;
  FileDirectory* dir = static_cast<FileDirectory*>(
      std::malloc(sizeof(FileDirectory) + static_cast<size_t>(count) * sizeof(FileEntry)));
  if (!dir) return nullptr;
  dir->hostField = reinterpret_cast<void*>(static_cast<intptr_t>(count));
  dir->entries = reinterpret_cast<FileEntry*>(dir + 1);
  return dir;
}

namespace {

int32_t countOf(const FileDirectory* dir) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(dir->hostField));
}

bool isDirectory(const FileEntry& entry) { return entry.flags[0] == 1 && entry.children; }

}  // namespace

void QUINDLE_CALL benchFreeTree(FileDirectory* root) {
  std::vector<FileDirectory*> pending;
  if (root) pending.push_back(root);
  while (!pending.empty()) {
    FileDirectory* dir = pending.back();
    pending.pop_back();
    for (int32_t i = 0; i < countOf(dir); ++i) {
      if (isDirectory(dir->entries[i])) pending.push_back(dir->entries[i].children);
    }
    std::free(dir);
  }
}

FileFilterInfo benchHostInfo() {
  FileFilterInfo info;
  std::memset(&info, 0, sizeof info);
  info.version = FILE_FILTER_INTERFACE_VERSION;
  info.allocDirectory = benchAllocDirectory;
  info.freeTree = benchFreeTree;
  return info;
}

TreeShape shapeOf(const FileDirectory* root) {
  TreeShape shape;
  struct Pending {
    const FileDirectory* dir;
    int32_t next;
  };
  std::vector<Pending> stack;
  if (root) {
    shape.directoryCounts.push_back(countOf(root));
    stack.push_back({root, 0});
  }
  while (!stack.empty()) {
    Pending& top = stack.back();
    if (top.next == countOf(top.dir)) {
      stack.pop_back();
      continue;
    }
    const FileEntry& entry = top.dir->entries[top.next++];
    ++shape.entries;
    if (isDirectory(entry)) {
      shape.directoryCounts.push_back(countOf(entry.children));
      stack.push_back({entry.children, 0});
    }
  }
  return shape;
}

}  // namespace quindle_bench
