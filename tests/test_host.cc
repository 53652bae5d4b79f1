#include "test_host.h"

#include <cstdlib>
#include <cstring>
#include <vector>

#include "reference_model.h"

namespace quindle_test {

TestHostCounters testHost;

void resetTestHost() { testHost = TestHostCounters(); }

FileDirectory* QUINDLE_CALL testAllocDirectory(int32_t count) {
  ++testHost.allocCalls;
  const bool refuse = testHost.failAllocationNumber != 0 &&
                      (testHost.allocCalls == testHost.failAllocationNumber ||
                       (testHost.failEveryAllocationAfter &&
                        testHost.allocCalls > testHost.failAllocationNumber));
  const bool overBudget =
      testHost.entryBudget != 0 && testHost.entriesHanded + count > testHost.entryBudget;
  if (refuse || overBudget || count < 0) return nullptr;
  testHost.entriesHanded += count;
  const size_t bytes = sizeof(FileDirectory) + static_cast<size_t>(count) * sizeof(FileEntry);
  FileDirectory* dir = static_cast<FileDirectory*>(std::malloc(bytes));
  if (!dir) return nullptr;
  std::memset(dir, kUnwrittenByte, bytes);
  dir->hostField = reinterpret_cast<void*>(static_cast<intptr_t>(count));
  dir->entries = reinterpret_cast<FileEntry*>(dir + 1);
  ++testHost.liveDirectories;
  return dir;
}

int32_t entryCount(const FileDirectory* dir) {
  return static_cast<int32_t>(reinterpret_cast<intptr_t>(dir->hostField));
}

void QUINDLE_CALL testFreeTree(FileDirectory* root) {
  ++testHost.freeTreeCalls;
  std::vector<FileDirectory*> pending;
  if (root) pending.push_back(root);
  while (!pending.empty()) {
    FileDirectory* dir = pending.back();
    pending.pop_back();
    for (int32_t i = 0; i < entryCount(dir); ++i) {
      if (dir->entries[i].flags[0] == 1 && dir->entries[i].children) {
        pending.push_back(dir->entries[i].children);
      }
    }
    std::free(dir);
    --testHost.liveDirectories;
  }
}

FileFilterInfo makeHostInfo(FileFilterSettingsKey key) {
  FileFilterInfo info;
  std::memset(&info, 0, sizeof info);
  info.version = FILE_FILTER_INTERFACE_VERSION;
  info.settingsKey = key;
  info.allocDirectory = testAllocDirectory;
  info.freeTree = testFreeTree;
  return info;
}

namespace {

bool fieldIsZeroFilled(const char* field, size_t size) {
  const size_t length = strnlen(field, size);
  if (length == size) return false;
  for (size_t i = length; i < size; ++i) {
    if (field[i] != '\0') return false;
  }
  return true;
}

// Visits the root's count, then every entry depth first, each directory entry followed by its
// own count and its contents.
template <typename OnDirectory, typename OnEntry>
void walkTree(const FileDirectory* root, OnDirectory onDirectory, OnEntry onEntry) {
  struct Pending {
    const FileDirectory* dir;
    int32_t next;
    int depth;
  };
  std::vector<Pending> stack;
  if (root) {
    onDirectory(0, entryCount(root));
    stack.push_back({root, 0, 0});
  }
  while (!stack.empty()) {
    Pending& top = stack.back();
    if (top.next == entryCount(top.dir)) {
      stack.pop_back();
      continue;
    }
    const FileEntry& e = top.dir->entries[top.next++];
    const int depth = top.depth;
    onEntry(e, depth);
    if (e.flags[0] == 1 && e.children) {
      onDirectory(depth + 1, entryCount(e.children));
      stack.push_back({e.children, 0, depth + 1});
    }
  }
}

}  // namespace

std::string describeTree(const FileDirectory* root, std::string* problem) {
  std::string text;
  auto onDirectory = [&](int depth, int32_t count) {
    text += std::to_string(depth) + "|<" + std::to_string(count) + ">\n";
  };
  walkTree(root, onDirectory, [&](const FileEntry& e, int depth) {
    if (!fieldIsZeroFilled(e.name, sizeof e.name)) *problem += "name not zero-filled; ";
    if (!fieldIsZeroFilled(e.sizeText, sizeof e.sizeText)) *problem += "size not zero-filled; ";
    if (e.hostByte != kUnwrittenByte) *problem += "host byte written; ";
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
  walkTree(root, onDirectory, [&](const FileEntry& e, int) {
    const bool isDirectory = e.flags[0] == 1 && e.flags[1] == 1 && e.children;
    const bool isFile = e.flags[0] == 0 && e.flags[1] == 0 && !e.children;
    if ((!isDirectory && !isFile) || e.flags[2] != 0 || e.hostByte != kUnwrittenByte) {
      ++*malformedEntries;
    }
  });
}

}  // namespace quindle_test
