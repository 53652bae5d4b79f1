#include "host/host_tree.h"

#include <chrono>
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

TreeCounts counts;
uint64_t entryBudget = UINT64_MAX;
void (*allocationWatcher)() = nullptr;

// A tree that fills memory leaves none for what the host does next (a message, printing the
// tree), so some is held back from the start and given up when memory first runs out; from then
// on every directory is refused, until the trees are all given back.
constexpr size_t kReserveBytes = 16u << 20;
void* reserve = nullptr;
bool memoryRanOut = false;

HostDirectory* blockOf(const FileDirectory* dir) {
  return reinterpret_cast<HostDirectory*>(const_cast<FileDirectory*>(dir));
}

// Computed from the block rather than read from the record, which the module could overwrite.
FileEntry* entriesOf(HostDirectory* block) {
  return reinterpret_cast<FileEntry*>(reinterpret_cast<unsigned char*>(block) + kEntriesOffset);
}

size_t blockSize(size_t entries) { return kEntriesOffset + entries * sizeof(FileEntry); }

}  // namespace

FileDirectory* QUINDLE_CALL hostAllocDirectory(int32_t count) {
  if (count < 0) return nullptr;
  const size_t entries = static_cast<size_t>(count);
  if (entries > (SIZE_MAX - kEntriesOffset) / sizeof(FileEntry)) return nullptr;
  if (counts.entries > entryBudget || entries > entryBudget - counts.entries) {
    ++counts.refusedOverBudget;
    return nullptr;
  }
  if (counts.directories == 0) memoryRanOut = false;
  if (!reserve && !memoryRanOut) reserve = std::malloc(kReserveBytes);
  void* memory = memoryRanOut ? nullptr : std::calloc(1, blockSize(entries));
  if (!memory) {
    ++counts.refusedNoMemory;
    memoryRanOut = true;
    std::free(reserve);
    reserve = nullptr;
    return nullptr;
  }
  HostDirectory* block = static_cast<HostDirectory*>(memory);
  block->entryCount = count;
  block->directory.entries = entriesOf(block);
  counts.entries += entries;
  counts.directories += 1;
  counts.bytes += blockSize(entries);
  if (allocationWatcher) allocationWatcher();
  return &block->directory;
}

void QUINDLE_CALL hostFreeTree(FileDirectory* root) {
  const auto started = std::chrono::steady_clock::now();
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
    const size_t held = static_cast<size_t>(block->entryCount);
    counts.entries -= held;
    counts.directories -= 1;
    counts.bytes -= blockSize(held);
    std::free(block);
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  counts.secondsFreeing += took.count();
}

int32_t directoryEntryCount(const FileDirectory* dir) { return dir ? blockOf(dir)->entryCount : 0; }

const TreeCounts& treeCounts() { return counts; }

void setEntryBudget(uint64_t maxEntries) { entryBudget = maxEntries; }

void setAllocationWatcher(void (*watcher)()) { allocationWatcher = watcher; }

}  // namespace quindle_host
