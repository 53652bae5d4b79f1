#include "host_kit/directory_allocator.h"

#include <chrono>
#include <cstddef>
#include <cstdlib>
#include <cstring>

#include "host_kit/directory_arena.h"

namespace quindle_host_kit {
namespace {

struct HostDirectory {
  FileDirectory directory;  // first, so the module's pointer is the block's address
  int32_t entryCount;
  HostDirectory* nextToFree;  // links the directories still to be released
};

constexpr size_t kEntriesOffset =
    (sizeof(HostDirectory) + alignof(FileEntry) - 1) / alignof(FileEntry) * alignof(FileEntry);

AllocatorRules rules;
AllocatorCounts counts;
void (*allocationWatcher)() = nullptr;

// A tree that fills memory leaves none for what the host does next (a message, printing the
// tree), so some is held back while trees are held and given up when memory first runs out.
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

bool refusedByRule() {
  if (rules.refuseCall == 0) return false;
  return counts.calls == rules.refuseCall || (rules.refuseLaterCalls && counts.calls > rules.refuseCall);
}

bool overBudget(size_t entries) {
  return counts.entries > rules.entryBudget || entries > rules.entryBudget - counts.entries;
}

void giveBackReserve() {
  std::free(reserve);
  reserve = nullptr;
}

void* allocateBlock(size_t bytes) {
  if (counts.directories == 0) memoryRanOut = false;
  if (!reserve && !memoryRanOut) reserve = std::malloc(kReserveBytes);
  if (memoryRanOut) return nullptr;
  void* memory = rules.fromArena                  ? carveBlock(bytes)
                 : rules.fill == EntryFill::zeros ? std::calloc(1, bytes)
                                                  : std::malloc(bytes);
  if (!memory) {
    memoryRanOut = true;
    giveBackReserve();
  }
  return memory;
}

// The arena holds one tree at a time: the oldest tree's root takes every block with it.
void freeArenaTree(const FileDirectory* root) {
  if (!isOldestBlock(root)) return;
  releaseArena();
  counts.entries = counts.directories = counts.bytes = 0;
  giveBackReserve();
}

// Each block of the tree goes back to the heap on its own.
void freeHeapTree(FileDirectory* root) {
  HostDirectory* pending = root ? blockOf(root) : nullptr;
  if (pending) pending->nextToFree = nullptr;
  while (pending) {
    HostDirectory* block = pending;
    pending = block->nextToFree;
    FileEntry* entries = entriesOf(block);
    for (int32_t i = 0; i < block->entryCount; ++i) {
      FileDirectory* children = childrenOf(entries[i]);
      if (!children) continue;
      HostDirectory* child = blockOf(children);
      child->nextToFree = pending;
      pending = child;
    }
    const size_t held = static_cast<size_t>(block->entryCount);
    counts.entries -= held;
    counts.directories -= 1;
    counts.bytes -= blockSize(held);
    std::free(block);
  }
  if (counts.directories == 0) giveBackReserve();
}

}  // namespace

AllocatorRules& allocatorRules() { return rules; }

const AllocatorCounts& allocatorCounts() { return counts; }

void resetAllocator(const AllocatorRules& chosen) {
  rules = chosen;
  AllocatorCounts fresh;
  fresh.directories = counts.directories;
  fresh.entries = counts.entries;
  fresh.bytes = counts.bytes;
  counts = fresh;
}

FileDirectory* QUINDLE_CALL allocDirectory(int32_t count) {
  ++counts.calls;
  if (count < 0) return nullptr;
  const size_t entries = static_cast<size_t>(count);
  if (entries > (SIZE_MAX - kEntriesOffset) / sizeof(FileEntry)) return nullptr;
  if (refusedByRule()) {
    ++counts.refusedByRule;
    return nullptr;
  }
  if (overBudget(entries)) {
    ++counts.refusedOverBudget;
    return nullptr;
  }
  void* memory = allocateBlock(blockSize(entries));
  if (!memory) {
    ++counts.refusedNoMemory;
    return nullptr;
  }
  HostDirectory* block = static_cast<HostDirectory*>(memory);
  if (rules.fill == EntryFill::marked) std::memset(block, kMarkerByte, blockSize(entries));
  block->directory.hostField = nullptr;
  block->entryCount = count;
  block->directory.entries = entriesOf(block);
  counts.entries += entries;
  counts.directories += 1;
  counts.bytes += blockSize(entries);
  if (allocationWatcher) allocationWatcher();
  return &block->directory;
}

void QUINDLE_CALL freeTree(FileDirectory* root) {
  const auto started = std::chrono::steady_clock::now();
  ++counts.freeTreeCalls;
  if (rules.fromArena) {
    freeArenaTree(root);
  } else {
    freeHeapTree(root);
  }
  const std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
  counts.secondsFreeing += took.count();
}

int32_t entryCountOf(const FileDirectory* dir) { return dir ? blockOf(dir)->entryCount : 0; }

FileDirectory* childrenOf(const FileEntry& entry) {
  FileDirectory* marker;
  std::memset(&marker, kMarkerByte, sizeof marker);
  return rules.fill == EntryFill::marked && entry.children == marker ? nullptr : entry.children;
}

void setAllocationWatcher(void (*watcher)()) { allocationWatcher = watcher; }

FileFilterInfo hostInfoFor(FileFilterSettingsKey key) {
  FileFilterInfo info;
  std::memset(&info, 0, sizeof info);
  info.version = FILE_FILTER_INTERFACE_VERSION;
  info.settingsKey = key;
  info.allocDirectory = allocDirectory;
  info.freeTree = freeTree;
  return info;
}

}  // namespace quindle_host_kit
