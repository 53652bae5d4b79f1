#include "test_host.h"

#include <cstring>

#include "host_kit/tree_walk.h"
#include "reference_model.h"

namespace quindle_test {
namespace {

bool fieldIsZeroFilled(const char* field, size_t size) {
  const size_t length = strnlen(field, size);
  if (length == size) return false;
  for (size_t i = length; i < size; ++i) {
    if (field[i] != '\0') return false;
  }
  return true;
}

// Calls onDirectory(depth, count) for the root and for every directory below an entry, as the
// walk comes to it, and onEntry(entry, depth) for every entry.
template <typename OnDirectory, typename OnEntry>
void visitTree(const FileDirectory* root, OnDirectory onDirectory, OnEntry onEntry) {
  struct Visitor {
    OnDirectory& onDirectory;
    OnEntry& onEntry;
    bool enter(const FileEntry& entry, int depth, bool) {
      onEntry(entry, depth);
      if (const FileDirectory* children = quindle_host_kit::childrenOf(entry)) {
        onDirectory(depth + 1, entryCountOf(children));
      }
      return true;
    }
    void leave(int) {}
  } visitor{onDirectory, onEntry};
  if (root) onDirectory(0, entryCountOf(root));
  quindle_host_kit::walkTree(root, visitor);
}

}  // namespace

void resetTestHost() {
  quindle_host_kit::AllocatorRules rules;
  rules.fill = quindle_host_kit::EntryFill::marked;
  quindle_host_kit::resetAllocator(rules);
}

// Every program that hosts the module through the tests' host starts with marked entries.
const bool startsMarked = (resetTestHost(), true);

std::string describeTree(const FileDirectory* root, std::string* problem) {
  std::string text;
  auto onDirectory = [&](int depth, int32_t count) {
    text += std::to_string(depth) + "|<" + std::to_string(count) + ">\n";
  };
  visitTree(root, onDirectory, [&](const FileEntry& e, int depth) {
    if (!fieldIsZeroFilled(e.name, sizeof e.name)) *problem += "name not zero-filled; ";
    if (!fieldIsZeroFilled(e.sizeText, sizeof e.sizeText)) *problem += "size not zero-filled; ";
    if (e.hostByte != kMarkerByte) *problem += "host byte written; ";
    if (e.flags[2] != 0) *problem += "flags[2] not 0; ";
    const bool isDirectory = e.flags[0] == 1;
    if (isDirectory) {
      if (e.flags[1] != 1 || !e.children || std::strcmp(e.sizeText, "[dir]") != 0) {
        *problem += "malformed directory entry; ";
      }
    } else if (e.flags[0] != 0 || e.flags[1] != 0 || e.children) {
      *problem += "malformed file entry; ";
    }
    text += std::to_string(depth) + "|" + std::string(e.name, strnlen(e.name, sizeof e.name)) +
            "|" + std::string(e.sizeText, strnlen(e.sizeText, sizeof e.sizeText)) + "|" +
            std::to_string(e.value) + "|" + (isDirectory ? "d" : "f") + "\n";
  });
  return text;
}

void shapeOfTree(const FileDirectory* root, TreeShape* shape, int64_t* malformedEntries) {
  auto onDirectory = [&](int depth, int32_t count) { addDirectoryToShape(shape, depth, count); };
  visitTree(root, onDirectory, [&](const FileEntry& e, int) {
    const bool isDirectory = e.flags[0] == 1 && e.flags[1] == 1 && e.children;
    const bool isFile = e.flags[0] == 0 && e.flags[1] == 0 && !e.children;
    if ((!isDirectory && !isFile) || e.flags[2] != 0 || e.hostByte != kMarkerByte) {
      ++*malformedEntries;
    }
  });
}

}  // namespace quindle_test
