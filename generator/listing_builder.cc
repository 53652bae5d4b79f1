#include "generator/listing_builder.h"

#include <cstdlib>
#include <cstring>

#include "filter/text_field.h"
#include "generator/dictionary_name_field.h"
#include "generator/draw_block.h"
#include "generator/draw_math.h"
#include "generator/listing_paths.h"
#include "generator/name_generator.h"
#include "generator/random_source.h"
#include "generator/size_texts.h"
#include "generator/word_table.h"

namespace quindle {
namespace {

constexpr uint32_t kDirectoryDraw = 1;

// Module-wide like the name buffer: one execute runs at a time, and a host that calls on a small
// stack should not have to hold the block.
DrawBlock drawBlock;

// A directory whose entries are still being filled.
struct PendingDirectory {
  FileEntry* entries;
  int32_t count;
  int32_t next;
  int32_t depth;
};

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

// How entry names are made for this run: from the dictionary's lines, or random letters.
struct NameSource {
  const ListingKernel* kernel;
  const WordTable* table;
  uint32_t drawnLines;
};

// Fills every field of a file entry but the host's byte, taking the entry's draws up to and
// including its value; returns the entry's directory draw.
uint32_t fillFileEntry(FileEntry& entry, DrawBlock& block, const NameSource& names) {
  int at = names.table
               ? writeDictionaryName(block, block.next, *names.table, names.drawnLines, entry.name)
               : names.kernel->writeLetterName(block, block.next, entry.name);
  const uint32_t size = block.draws[at];
  std::memcpy(entry.sizeText, kSizeTexts.sizes[remainderOf(size, kDivideBy300)].text, sizeof entry.sizeText);
  entry.value = block.draws[at + 1];
  entry.flags[0] = entry.flags[1] = entry.flags[2] = 0;
  entry.children = nullptr;
  block.next = at + 3;
  return block.draws[at + 2];
}

void markDirectory(FileEntry& entry, FileDirectory* children) {
  std::memcpy(entry.sizeText, kSizeTexts.directory.text, sizeof entry.sizeText);
  entry.flags[0] = entry.flags[1] = 1;
  entry.children = children;
}

// Walks the tree depth first from `root`, whose entries come from the block from its `next` on.
void fillTree(const FileFilterInfo& info, const FilterPrefs& prefs, FileDirectory* root,
              int32_t rootCount, DrawBlock& block, const NameSource& names) {
  PendingStack stack;
  if (!reserveOneMore(stack)) return;  // an empty root: nothing was written into it
  stack.frames[stack.size++] = {root->entries, rootCount, 0, 0};

  while (stack.size > 0) {
    PendingDirectory& top = stack.frames[stack.size - 1];
    if (top.next == top.count) {
      --stack.size;
      continue;
    }
    FileEntry& entry = top.entries[top.next++];
    const int32_t depth = top.depth;
    reserveEntryDraws(&block, *names.kernel);
    const uint32_t directoryDraw = fillFileEntry(entry, block, names);
    if (remainderOf(directoryDraw, kDivideBy20) != kDirectoryDraw || depth >= prefs.dirLevels) continue;
    if (!reserveOneMore(stack)) continue;
    const int32_t childCount = takeEntryCount(block, prefs);
    FileDirectory* child = allocateDirectory(info, childCount);
    if (!child) continue;
    markDirectory(entry, child);
    stack.frames[stack.size++] = {child->entries, childCount, 0, depth + 1};
  }
  std::free(stack.frames);
}

}  // namespace

FileDirectory* buildListing(const FileFilterInfo& info, FilterPrefs* prefs) {
  const ListingKernel& kernel = activeListingKernel();
  DrawBlock& block = drawBlock;
  startDrawBlock(&block, kernel, randomSource.state);
  int32_t rootCount = takeEntryCount(block, *prefs);
  FileDirectory* root = allocateDirectory(info, rootCount);
  if (!root) {
    rootCount = 0;
    root = allocateDirectory(info, 0);
  }
  if (root && rootCount > 0) {
    // Looked up once for the whole tree: nothing changes the instance's dictionary meanwhile.
    const WordTable* table = loadWordTable(prefs);
    const NameSource names = {&kernel, table, table ? static_cast<uint32_t>(prefs->lineCount) : 0u};
    fillTree(info, *prefs, root, rootCount, block, names);
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
