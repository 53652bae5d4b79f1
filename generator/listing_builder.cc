#include "generator/listing_builder.h"

#include <cstring>

#include "generator/dictionary/dictionary_entries.h"
#include "generator/draws/entry_run.h"
#include "generator/draws/size_texts.h"

namespace quindle {
namespace {

// The explicit stack of the depth-first walk, from the module's heap, so that running out of
// memory is a result, not an exception.
struct PendingStack {
  PendingDirectory* frames = nullptr;
  size_t size = 0;
  size_t capacity = 0;
};

bool reserveOneMore(ModuleHeap& heap, PendingStack& stack) {
  if (stack.size < stack.capacity) return true;
  const size_t grown = stack.capacity ? stack.capacity * 2 : 16;
  void* frames = heapResize(heap, stack.frames, grown * sizeof(PendingDirectory));
  if (!frames) return false;
  stack.frames = static_cast<PendingDirectory*>(frames);
  stack.capacity = grown;
  return true;
}

int32_t takeEntryCount(DrawBlock& block, const ListingShape& shape) {
  const uint32_t r = block.draws[block.next++];
  return shape.maxFiles ? static_cast<int32_t>(r % shape.maxFiles) : 0;
}

// A directory the host allocated with room for `count` entries, or null. A host that hands back
// a directory without entries where some were asked for has failed too: the tree is given back.
FileDirectory* allocateDirectory(const FileFilterInfo& info, int32_t count) {
  FileDirectory* dir = info.allocDirectory(count);
  if (dir && count > 0 && !dir->entries) {
    if (info.freeTree) info.freeTree(dir);
    return nullptr;
  }
  return dir;
}

// New directories are rarely in the cache. The entry runs ask for each entry's lines a few
// entries ahead (kPrefetchEntries); the first few are asked for here, as the directory comes.
void prefetchFirstEntries(FileEntry* entries, int32_t count) {
  const char* bytes = reinterpret_cast<const char*>(entries);
  const int32_t first = count < kPrefetchEntries ? count : kPrefetchEntries;
  const size_t size = static_cast<size_t>(first) * sizeof(FileEntry);
  for (size_t offset = 0; offset < size; offset += 64) __builtin_prefetch(bytes + offset, 1);
}

void markDirectory(FileEntry& entry, FileDirectory* children) {
  std::memcpy(entry.sizeText, kSizeTexts.directory.text, sizeof entry.sizeText);
  entry.flags[0] = entry.flags[1] = 1;
  entry.children = children;
}

// Walks the tree depth first from the root on the stack, whose entries come from the block from
// its `next` on; names come from the words' table or, without one, from random letters.
void fillTree(const FileFilterInfo& host, const ListingShape& shape, PendingStack& stack,
              const NameWords& words, const Kernel& kernel, ModuleHeap& heap, DrawBlock& block) {
  DictionaryRun dictionary = {};
  if (words.table) {
    dictionary = startDictionaryRun(*words.table, words.drawnLines, words.encoding);
  }

  while (stack.size > 0) {
    PendingDirectory& top = stack.frames[stack.size - 1];
    const int32_t depth = top.depth;
    const bool mayHoldDirectories = depth < shape.dirLevels;
    FileEntry* entry = words.table
                           ? kernel.fillDictionaryEntries(top, mayHoldDirectories, block, dictionary)
                           : kernel.fillEntries(top, mayHoldDirectories, block);
    if (!entry) {
      --stack.size;
      continue;
    }
    if (!reserveOneMore(heap, stack)) continue;
    const int32_t childCount = takeEntryCount(block, shape);
    FileDirectory* child = allocateDirectory(host, childCount);
    if (!child) continue;
    markDirectory(*entry, child);
    prefetchFirstEntries(child->entries, childCount);
    stack.frames[stack.size++] = {child->entries, childCount, 0, depth + 1};
  }
}

}  // namespace

FileDirectory* buildListing(const FileFilterInfo& host, const ListingShape& shape,
                            const NameWords& words, const Kernel& kernel, ModuleHeap& heap,
                            GeneratorState& generator) {
  DrawBlock& block = generator.block;
  startDrawBlock(&block, kernel.fillDraws, generator.random.state, !words.table && kernel.keepsStarts);
  int32_t rootCount = takeEntryCount(block, shape);
  // Without a stack to walk it, the root's entries could not be written: it is made empty.
  PendingStack stack;
  if (!reserveOneMore(heap, stack)) rootCount = 0;
  FileDirectory* root = allocateDirectory(host, rootCount);
  if (!root) {
    rootCount = 0;
    root = allocateDirectory(host, 0);
  }
  if (root && rootCount > 0) {
    prefetchFirstEntries(root->entries, rootCount);
    stack.frames[stack.size++] = {root->entries, rootCount, 0, 0};
    fillTree(host, shape, stack, words, kernel, heap, block);
  }
  heapFree(stack.frames);
  generator.random.state = finishDrawBlock(block);
  return root;
}


}  // namespace quindle
