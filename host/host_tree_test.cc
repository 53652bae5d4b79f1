#include "host/host_tree.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "host/tree_stats.h"

namespace quindle_host {
namespace {

TEST(HostTree, ServesEveryCountAndRefusesOnlyImpossibleOnes) {
  FileDirectory* empty = hostAllocDirectory(0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(directoryEntryCount(empty), 0);
  hostFreeTree(empty);

  FileDirectory* large = hostAllocDirectory(1000000);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(directoryEntryCount(large), 1000000);
  const FileEntry& last = large->entries[999999];
  EXPECT_EQ(last.name[0], '\0');  // zero-filled, so unwritten fields read as empty
  EXPECT_EQ(last.children, nullptr);
  hostFreeTree(large);

  EXPECT_EQ(hostAllocDirectory(-1), nullptr);
  EXPECT_EQ(hostAllocDirectory(INT32_MIN), nullptr);
  // Too large to address on a 32-bit system, too large to have on most others: either a usable
  // directory or null, never a crash.
  if (FileDirectory* huge = hostAllocDirectory(INT32_MAX)) {
    EXPECT_EQ(directoryEntryCount(huge), INT32_MAX);
    hostFreeTree(huge);
  }
  hostFreeTree(nullptr);
}

// A chain far deeper than any call stack would survive if either walk recursed.
TEST(HostTree, DeepTreesAreMeasuredAndFreedWithoutRecursion) {
  constexpr int kDepth = 200000;
  FileDirectory* root = hostAllocDirectory(2);
  FileDirectory* dir = root;
  for (int level = 1; level <= kDepth; ++level) {
    FileDirectory* child = hostAllocDirectory(level == kDepth ? 0 : 2);
    ASSERT_NE(child, nullptr);
    dir->entries[0].flags[0] = dir->entries[0].flags[1] = 1;
    dir->entries[0].children = child;
    dir = child;
  }
  const TreeStats stats = measureTree(root);
  EXPECT_EQ(stats.directories, static_cast<uint64_t>(kDepth));
  EXPECT_EQ(stats.files, static_cast<uint64_t>(kDepth));
  EXPECT_EQ(stats.deepestLevel, kDepth);
  hostFreeTree(root);  // AddressSanitizer reports anything left or freed twice
}

TEST(HostTree, RefusesDirectoriesPastTheEntryBudgetUntilEntriesAreFreed) {
  const TreeCounts start = treeCounts();
  setEntryBudget(start.entries + 100);
  FileDirectory* first = hostAllocDirectory(60);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(hostAllocDirectory(41), nullptr);
  FileDirectory* second = hostAllocDirectory(40);  // exactly at the budget
  ASSERT_NE(second, nullptr);
  FileDirectory* empty = hostAllocDirectory(0);  // costs no entry
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(hostAllocDirectory(1), nullptr);
  EXPECT_EQ(treeCounts().refusedOverBudget, start.refusedOverBudget + 2);
  EXPECT_EQ(treeCounts().entries, start.entries + 100);
  EXPECT_EQ(treeCounts().directories, start.directories + 3);

  hostFreeTree(first);
  FileDirectory* again = hostAllocDirectory(60);
  EXPECT_NE(again, nullptr) << "freed entries count no more";
  for (FileDirectory* dir : {second, empty, again}) hostFreeTree(dir);
  EXPECT_EQ(treeCounts().entries, start.entries);
  EXPECT_EQ(treeCounts().bytes, start.bytes);
  setEntryBudget(UINT64_MAX);
}

}  // namespace
}  // namespace quindle_host
