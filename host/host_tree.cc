#include "host/host_tree.h"

#include <cstddef>
#include <cstdlib>

namespace quindle_host {
namespace {

struct HostDirectory {
  FileDirectory directory;  // first, so the module's pointer is the block's address
  int32_t entryCount;
  HostDirectory* nextToFree;  // links the directories still to be released
};

constexpr size_t kEntriesOffset =
    (sizeof(HostDirectory) + alignof(FileEntry) - 1) / alignof(FileEntry) * alignof(FileEntry);

HostDirectory* blockOf(const FileDirectory* dir) {
  return reinterpret_cast<HostDirectory*>(const_cast<FileDirectory*>(dir));
}

// Computed from the block rather than read from the record, which the module could overwrite.
FileEntry* entriesOf(HostDirectory* block) {
  return reinterpret_cast<FileEntry*>(reinterpret_cast<unsigned char*>(block) + kEntriesOffset);
}

}  // namespace

FileDirectory* QUINDLE_CALL hostAllocDirectory(int32_t count) {
  if (count < 0) return nullptr;
  const size_t entries = static_cast<size_t>(count);
  if (entries > (SIZE_MAX - kEntriesOffset) / sizeof(FileEntry)) return nullptr;
  void* memory = std::calloc(1, kEntriesOffset + entries * sizeof(FileEntry));
  if (!memory) return nullptr;
  HostDirectory* block = static_cast<HostDirectory*>(memory);
  block->entryCount = count;
  block->directory.entries = entriesOf(block);
  return &block->directory;
}

void QUINDLE_CALL hostFreeTree(FileDirectory* root) {
  HostDirectory* pending = root ? blockOf(root) : nullptr;
  if (pending) pending->nextToFree = nullptr;
  while (pending) {
    HostDirectory* block = pending;
    pending = block->nextToFree;
    FileEntry* entries = entriesOf(block);
    for (int32_t i = 0; i < block->entryCount; ++i) {
      if (!entries[i].children) continue;
      HostDirectory* child = blockOf(entries[i].children);
      child->nextToFree = pending;
      pending = child;
    }
    std::free(block);
  }
}

int32_t directoryEntryCount(const FileDirectory* dir) { return dir ? blockOf(dir)->entryCount : 0; }

}  // namespace quindle_host
