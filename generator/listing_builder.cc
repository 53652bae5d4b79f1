#include "generator/listing_builder.h"

#include <cstdlib>
#include <cstring>

#include "filter/text_field.h"
#include "generator/dictionary/dictionary_entries.h"
#include "generator/dictionary/loaded_word_table.h"
#include "generator/draws/draw_block.h"
#include "generator/draws/entry_run.h"
#include "generator/draws/random_source.h"
#include "generator/draws/size_texts.h"
#include "generator/kernels/kernel_table.h"
#include "generator/name_generator.h"

namespace quindle {
namespace {

// Module-wide like the name buffer: one execute runs at a time, and a host that calls on a small
// stack should not have to hold the block.
DrawBlock drawBlock;

// The explicit stack of the depth-first walk. Plain realloc so that running out of memory is a
// result, not an exception.
struct PendingStack {
  PendingDirectory* frames = nullptr;
  size_t size = 0;
  size_t capacity = 0;
};

bool reserveOneMore(PendingStack& stack) {
  if (stack.size < stack.capacity) return true;
  const size_t grown = stack.capacity ? stack.capacity * 2 : 16;
  void* frames = std::realloc(stack.frames, grown * sizeof(PendingDirectory));
  if (!frames) return false;
  stack.frames = static_cast<PendingDirectory*>(frames);
  stack.capacity = grown;
  return true;
}

int32_t takeEntryCount(DrawBlock& block, const FilterPrefs& prefs) {
  const uint32_t r = block.draws[block.next++];
  return prefs.maxFiles ? static_cast<int32_t>(r % prefs.maxFiles) : 0;
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

// New directories are rarely in the cache. Asking for all of a directory's lines at once lets the
// memory work on them while the first entries are being made, instead of one line at a time as
// the writes reach them.
void prefetchEntries(FileEntry* entries, int32_t count) {
  const char* bytes = reinterpret_cast<const char*>(entries);
  const size_t size = static_cast<size_t>(count) * sizeof(FileEntry);
  for (size_t offset = 0; offset < size; offset += 64) __builtin_prefetch(bytes + offset, 1);
}

void markDirectory(FileEntry& entry, FileDirectory* children) {
  std::memcpy(entry.sizeText, kSizeTexts.directory.text, sizeof entry.sizeText);
  entry.flags[0] = entry.flags[1] = 1;
  entry.children = children;
}

// Walks the tree depth first from `root`, whose entries come from the block from its `next` on;
// names come from `table` or, without one, from random letters.
void fillTree(const FileFilterInfo& info, const FilterPrefs& prefs, FileDirectory* root,
              int32_t rootCount, DrawBlock& block, const Kernel& kernel,
              const WordTable* table) {
  DictionaryRun dictionary = {};
  if (table) {
    dictionary = startDictionaryRun(*table, static_cast<uint32_t>(prefs.lineCount), kernel.fillDraws,
                                    kernel.findNameLines, kernel.writeDictionaryName);
  }
  PendingStack stack;
  if (!reserveOneMore(stack)) return;  // an empty root: nothing was written into it
  stack.frames[stack.size++] = {root->entries, rootCount, 0, 0};

  while (stack.size > 0) {
    PendingDirectory& top = stack.frames[stack.size - 1];
    const int32_t depth = top.depth;
    const bool mayHoldDirectories = depth < prefs.dirLevels;
    FileEntry* entry = table ? fillDictionaryEntries(top, mayHoldDirectories, block, dictionary)
                             : kernel.fillEntries(top, mayHoldDirectories, block);
    if (!entry) {
      --stack.size;
      continue;
    }
    if (!reserveOneMore(stack)) continue;
    const int32_t childCount = takeEntryCount(block, prefs);
    FileDirectory* child = allocateDirectory(info, childCount);
    if (!child) continue;
    markDirectory(*entry, child);
    prefetchEntries(child->entries, childCount);
    stack.frames[stack.size++] = {child->entries, childCount, 0, depth + 1};
  }
  std::free(stack.frames);
}

}  // namespace

FileDirectory* buildListing(const FileFilterInfo& info, FilterPrefs* prefs) {
  const Kernel& kernel = activeKernel();
  DrawBlock& block = drawBlock;
  startDrawBlock(&block, kernel.fillDraws, randomSource.state);
  int32_t rootCount = takeEntryCount(block, *prefs);
  FileDirectory* root = allocateDirectory(info, rootCount);
  if (!root) {
    rootCount = 0;
    root = allocateDirectory(info, 0);
  }
  if (root && rootCount > 0) {
    prefetchEntries(root->entries, rootCount);
    // Looked up once for the whole tree: nothing changes the instance's dictionary meanwhile.
    fillTree(info, *prefs, root, rootCount, block, kernel, loadWordTable(prefs));
  }
  randomSource.state = finishDrawBlock(block);
  return root;
}

void writeTitle(FilterPrefs* prefs, char* title, int32_t titleLen) {
  if (!title || titleLen < 1) return;
  copyZeroFilled(title, static_cast<size_t>(titleLen), makeName(prefs, titleLen));
  title[titleLen - 1] = '\0';
}

}  // namespace quindle
