#include "generator/listing_builder.h"

#include <cstdlib>
#include <cstring>

#include "filter/text_field.h"
#include "generator/name_generator.h"
#include "generator/random_source.h"

namespace quindle {
namespace {

constexpr int kNameBound = FILE_ENTRY_NAME_SIZE;
constexpr int kSizeModulus = 300;
constexpr int kDirectoryModulus = 20;
constexpr int kDirectoryDraw = 1;

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

int32_t drawEntryCount(const FilterPrefs& prefs) {
  const uint32_t r = static_cast<uint32_t>(drawRandom());
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

void writeSizeText(char (&sizeText)[FILE_ENTRY_SIZE_TEXT_SIZE], int kilobytes) {
  char text[FILE_ENTRY_SIZE_TEXT_SIZE] = {};
  int length = 0;
  if (kilobytes >= 100) text[length++] = static_cast<char>('0' + kilobytes / 100);
  if (kilobytes >= 10) text[length++] = static_cast<char>('0' + kilobytes / 10 % 10);
  text[length++] = static_cast<char>('0' + kilobytes % 10);
  text[length++] = 'K';
  text[length] = 'B';
  std::memcpy(sizeText, text, sizeof text);
}

// Fills every field of a file entry but the host's byte, taking the entry's draws up to and
// including its value.
void fillFileEntry(FileEntry& entry, FilterPrefs* prefs) {
  copyZeroFilled(entry.name, sizeof entry.name, makeName(prefs, kNameBound));
  writeSizeText(entry.sizeText, drawRandom() % kSizeModulus);
  entry.value = drawRandom();
  entry.flags[0] = entry.flags[1] = entry.flags[2] = 0;
  entry.children = nullptr;
}

void markDirectory(FileEntry& entry, FileDirectory* children) {
  copyZeroFilled(entry.sizeText, sizeof entry.sizeText, "[dir]");
  entry.flags[0] = entry.flags[1] = 1;
  entry.children = children;
}

}  // namespace

FileDirectory* buildListing(const FileFilterInfo& info, FilterPrefs* prefs) {
  int32_t rootCount = drawEntryCount(*prefs);
  FileDirectory* root = allocateDirectory(info, rootCount);
  if (!root) {
    rootCount = 0;
    root = allocateDirectory(info, 0);
    if (!root) return nullptr;
  }
  PendingStack stack;
  if (!reserveOneMore(stack)) return root;  // an empty root: nothing was written into it
  stack.frames[stack.size++] = {root->entries, rootCount, 0, 0};

  while (stack.size > 0) {
    PendingDirectory& top = stack.frames[stack.size - 1];
    if (top.next == top.count) {
      --stack.size;
      continue;
    }
    FileEntry& entry = top.entries[top.next++];
    const int32_t depth = top.depth;
    fillFileEntry(entry, prefs);
    if (drawRandom() % kDirectoryModulus != kDirectoryDraw || depth >= prefs->dirLevels) continue;
    if (!reserveOneMore(stack)) continue;
    const int32_t childCount = drawEntryCount(*prefs);
    FileDirectory* child = allocateDirectory(info, childCount);
    if (!child) continue;
    markDirectory(entry, child);
    stack.frames[stack.size++] = {child->entries, childCount, 0, depth + 1};
  }
  std::free(stack.frames);
  return root;
}

void writeTitle(FilterPrefs* prefs, char* title, int32_t titleLen) {
  if (!title || titleLen < 1) return;
  copyZeroFilled(title, static_cast<size_t>(titleLen), makeName(prefs, titleLen));
  title[titleLen - 1] = '\0';
}

}  // namespace quindle
