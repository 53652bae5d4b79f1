#include "host_kit/directory_allocator.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "host_kit/tree_walk.h"

namespace quindle_host_kit {
namespace {

// How many entries a walk visits, and how deep.
struct Measure {
  int64_t entries = 0;
  int deepest = 0;
  bool enter(const FileEntry&, int depth, bool) {
    ++entries;
    if (depth > deepest) deepest = depth;
    return true;
  }
  void leave(int) {}
};

// Each test starts from a careful host's rules and leaves the program's own ones behind.
class DirectoryAllocator : public ::testing::Test {
 protected:
  void SetUp() override {
    kept = allocatorRules();
    resetAllocator(AllocatorRules());
  }
  void TearDown() override { resetAllocator(kept); }
  AllocatorRules kept;
};

TEST_F(DirectoryAllocator, ServesEveryCountAndRefusesOnlyImpossibleOnes) {
  FileDirectory* empty = allocDirectory(0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(entryCountOf(empty), 0);
  freeTree(empty);

  FileDirectory* large = allocDirectory(1000000);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(entryCountOf(large), 1000000);
  const FileEntry& last = large->entries[999999];
  EXPECT_EQ(last.name[0], '\0');  // zero-filled, so unwritten fields read as empty
  EXPECT_EQ(last.children, nullptr);
  freeTree(large);

  EXPECT_EQ(allocDirectory(-1), nullptr);
  EXPECT_EQ(allocDirectory(INT32_MIN), nullptr);
  // Too large to address on a 32-bit system, too large to have on most others: either a usable
  // directory or null, never a crash.
  if (FileDirectory* huge = allocDirectory(INT32_MAX)) {
    EXPECT_EQ(entryCountOf(huge), INT32_MAX);
    freeTree(huge);
  }
  freeTree(nullptr);
}

// A chain far deeper than any call stack would survive if either walk recursed.
TEST_F(DirectoryAllocator, DeepTreesAreMeasuredAndFreedWithoutRecursion) {
  constexpr int kDepth = 200000;
  FileDirectory* root = allocDirectory(2);
  FileDirectory* dir = root;
  for (int level = 1; level <= kDepth; ++level) {
    FileDirectory* child = allocDirectory(level == kDepth ? 0 : 2);
    ASSERT_NE(child, nullptr);
    dir->entries[0].flags[0] = dir->entries[0].flags[1] = 1;
    dir->entries[0].children = child;
    dir = child;
  }
  Measure measure;
  walkTree(root, measure);
  EXPECT_EQ(measure.entries, int64_t{2} * kDepth);
  EXPECT_EQ(measure.deepest, kDepth - 1);
  freeTree(root);  // AddressSanitizer reports anything left or freed twice
}

TEST_F(DirectoryAllocator, RefusesDirectoriesPastTheEntryBudgetUntilEntriesAreFreed) {
  const AllocatorCounts start = allocatorCounts();
  allocatorRules().entryBudget = start.entries + 100;
  FileDirectory* first = allocDirectory(60);
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(allocDirectory(41), nullptr);
  FileDirectory* second = allocDirectory(40);  // exactly at the budget
  ASSERT_NE(second, nullptr);
  FileDirectory* empty = allocDirectory(0);  // costs no entry
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(allocDirectory(1), nullptr);
  EXPECT_EQ(allocatorCounts().refusedOverBudget, start.refusedOverBudget + 2);
  EXPECT_EQ(allocatorCounts().entries, start.entries + 100);
  EXPECT_EQ(allocatorCounts().directories, start.directories + 3);

  freeTree(first);
  FileDirectory* again = allocDirectory(60);
  EXPECT_NE(again, nullptr) << "freed entries count no more";
  for (FileDirectory* dir : {second, empty, again}) freeTree(dir);
  EXPECT_EQ(allocatorCounts().entries, start.entries);
  EXPECT_EQ(allocatorCounts().bytes, start.bytes);
}

}  // namespace
}  // namespace quindle_host_kit
