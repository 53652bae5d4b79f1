#include "test_host.h"

#include <cstring>
#include <vector>

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

std::string firstDifference(const std::string& actual, const std::string& expected) {
  std::vector<std::string> path;  // the names of the directory entries above the current line
  size_t a = 0, e = 0;
  for (int64_t line = 1;; ++line) {
    const size_t aEnd = actual.find('\n', a), eEnd = expected.find('\n', e);
    const std::string aLine = actual.substr(a, aEnd == std::string::npos ? aEnd : aEnd - a);
    const std::string eLine = expected.substr(e, eEnd == std::string::npos ? eEnd : eEnd - e);
    // A line is "depth|name|size|value|kind" for an entry, "depth|<count>" for a directory.
    const size_t bar = eLine.find('|');
    const size_t depth = bar == std::string::npos ? 0 : std::stoul(eLine.substr(0, bar));
    if (path.size() > depth) path.resize(depth);
    const std::string name = eLine.substr(bar + 1, eLine.find('|', bar + 1) - bar - 1);
    if (aLine != eLine) {
      std::string where;
      for (const std::string& above : path) where += above + "/";
      return "line " + std::to_string(line) + " (" + where + (name[0] == '<' ? "" : name) +
             "): \"" + aLine + "\" built, \"" + eLine + "\" in the model";
    }
    if (aEnd == std::string::npos || eEnd == std::string::npos) return "";
    if (name[0] != '<') path.push_back(name);
    a = aEnd + 1;
    e = eEnd + 1;
  }
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
