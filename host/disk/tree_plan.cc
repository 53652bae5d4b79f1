#include "host/disk/tree_plan.h"

#include "host/print/tree_stats.h"
#include "host_kit/tree_walk.h"

namespace quindle_host {

using namespace quindle_host_kit;
namespace {

// Enough digits for any size a tree can hold, with "KB" and the end byte inside the 16-byte field.
constexpr int kMostDigits = 13;

struct Planner {
  TreePlan plan;
  uint64_t blockSize;
  bool enter(const FileEntry& entry, int, bool) {
    if (isDirectoryEntry(entry)) {
      ++plan.folders;
      plan.blockBytes += blockSize;
      return true;
    }
    const uint64_t bytes = fileBytes(entry);
    ++plan.files;
    plan.bytes += bytes;
    plan.blockBytes += (bytes + blockSize - 1) / blockSize * blockSize;
    return true;
  }
  void leave(int) {}
};

struct Counter {
  uint64_t entries = 0;
  bool enter(const FileEntry&, int, bool) {
    ++entries;
    return true;
  }
  void leave(int) {}
};

}  // namespace

uint64_t fileBytes(const FileEntry& entry) {
  const char* text = entry.sizeText;
  uint64_t kilobytes = 0;
  int digits = 0;
  for (; digits < kMostDigits && text[digits] >= '0' && text[digits] <= '9'; ++digits) {
    kilobytes = kilobytes * 10 + static_cast<uint64_t>(text[digits] - '0');
  }
  const bool sized =
      digits > 0 && text[digits] == 'K' && text[digits + 1] == 'B' && text[digits + 2] == '\0';
  return sized ? kilobytes * 1024 : 0;
}

TreePlan planTree(const FileDirectory* root, uint64_t blockSize) {
  Planner planner{{}, blockSize ? blockSize : 1};
  walkTree(root, planner);
  return planner.plan;
}

uint64_t entriesBelow(const FileDirectory* dir) {
  Counter counter;
  walkTree(dir, counter);
  return counter.entries;
}

}  // namespace quindle_host
