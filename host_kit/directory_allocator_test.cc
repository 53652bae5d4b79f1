#include "host_kit/directory_allocator.h"

#include <gtest/gtest.h>

#include <cstdint>

#include "host_kit/directory_arena.h"
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

// Makes `child` the directory below `entry`, as the module would.
void attach(FileEntry& entry, FileDirectory* child) {
  entry.flags[0] = entry.flags[1] = 1;
  entry.children = child;
}

// Each test runs with blocks from the heap and from the arena, from a careful host's rules, and
// leaves the program's own rules behind.
class DirectoryAllocator : public ::testing::TestWithParam<bool> {
 protected:
  void SetUp() override {
    kept = allocatorRules();
    AllocatorRules rules;
    rules.fromArena = GetParam();
    resetAllocator(rules);
  }
  void TearDown() override { resetAllocator(kept); }
  AllocatorRules kept;
};

TEST_P(DirectoryAllocator, ServesEveryCountAndRefusesOnlyImpossibleOnes) {
  FileDirectory* empty = allocDirectory(0);
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(entryCountOf(empty), 0);
  freeTree(empty);

  // More than an arena chunk holds.
  FileDirectory* large = allocDirectory(1000000);
  ASSERT_NE(large, nullptr);
  EXPECT_EQ(entryCountOf(large), 1000000);
  const FileEntry& last = large->entries[999999];
  EXPECT_EQ(last.name[0], '\0');  // zero-filled, so unwritten fields read as empty
  EXPECT_EQ(last.hostByte, 0);
  EXPECT_EQ(last.children, nullptr);
  freeTree(large);

  EXPECT_EQ(allocDirectory(-1), nullptr);
  EXPECT_EQ(allocDirectory(INT32_MIN), nullptr);
  // More than most systems will reserve or commit: a directory with room for every entry, or
  // null, and then the host goes on serving once its trees are back.
  const uint64_t refusedBefore = allocatorCounts().refusedNoMemory;
  if (FileDirectory* huge = allocDirectory(INT32_MAX)) {
    EXPECT_EQ(entryCountOf(huge), INT32_MAX);
    huge->entries[INT32_MAX - 1].name[0] = 'x';
    freeTree(huge);
  } else if (sizeof(size_t) >= 8) {
    // (A 32-bit host refuses it before asking: it could not even address it.)
    EXPECT_EQ(allocatorCounts().refusedNoMemory, refusedBefore + 1);
  }
  FileDirectory* after = allocDirectory(3);
  ASSERT_NE(after, nullptr) << "a refused request left the allocator unusable";
  freeTree(after);
  freeTree(nullptr);
}

TEST_P(DirectoryAllocator, EveryDirectoryAndEntryArrayIsAligned) {
  FileDirectory* root = allocDirectory(300);
  ASSERT_NE(root, nullptr);
  for (int32_t count = 0; count < 300; ++count) {
    FileDirectory* dir = allocDirectory(count);
    ASSERT_NE(dir, nullptr);
    attach(root->entries[count], dir);
    const uintptr_t at = reinterpret_cast<uintptr_t>(dir);
    const uintptr_t entries = reinterpret_cast<uintptr_t>(dir->entries);
    EXPECT_EQ(at % alignof(FileDirectory), 0u) << count;
    EXPECT_EQ(entries % alignof(FileEntry), 0u) << count;
    if (GetParam()) {
      EXPECT_EQ(at % kArenaBlockAlignment, 0u) << count;
    }
  }
  freeTree(root);
  EXPECT_EQ(allocatorCounts().directories, 0u);
}

// A chain far deeper than any call stack would survive if either walk recursed.
TEST_P(DirectoryAllocator, DeepTreesAreWalkedAndFreedWithoutRecursion) {
  constexpr int kDepth = 200000;
  FileDirectory* root = allocDirectory(2);
  FileDirectory* dir = root;
  for (int level = 1; level <= kDepth; ++level) {
    FileDirectory* child = allocDirectory(level == kDepth ? 0 : 2);
    ASSERT_NE(child, nullptr);
    attach(dir->entries[0], child);
    dir = child;
  }
  Measure measure;
  walkTree(root, measure);
  EXPECT_EQ(measure.entries, int64_t{2} * kDepth);
  EXPECT_EQ(measure.deepest, kDepth - 1);
  freeTree(root);  // AddressSanitizer reports anything left or freed twice
  EXPECT_EQ(allocatorCounts().directories, 0u);
  EXPECT_EQ(allocatorCounts().bytes, 0u);
}

TEST_P(DirectoryAllocator, RefusesDirectoriesPastTheEntryBudgetUntilTheTreeIsFreed) {
  allocatorRules().entryBudget = 100;
  FileDirectory* root = allocDirectory(60);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(allocDirectory(41), nullptr);
  FileDirectory* atTheBudget = allocDirectory(40);
  ASSERT_NE(atTheBudget, nullptr);
  FileDirectory* empty = allocDirectory(0);  // costs no entry
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(allocDirectory(1), nullptr);
  attach(root->entries[0], atTheBudget);
  attach(root->entries[1], empty);
  EXPECT_EQ(allocatorCounts().refusedOverBudget, 2u);
  EXPECT_EQ(allocatorCounts().entries, 100u);
  EXPECT_EQ(allocatorCounts().directories, 3u);

  freeTree(root);
  EXPECT_EQ(allocatorCounts().entries, 0u);
  EXPECT_EQ(allocatorCounts().bytes, 0u);
  FileDirectory* again = allocDirectory(100);
  EXPECT_NE(again, nullptr) << "freed entries count no more";
  freeTree(again);
}

// A host sets new rules between trees while it still holds one (its own, say): the directories
// held stay counted, so that the budget stays true and freeing them brings the counts to zero.
TEST_P(DirectoryAllocator, ANewSetOfRulesKeepsCountingWhatIsHeld) {
  FileDirectory* held = allocDirectory(30);
  ASSERT_NE(held, nullptr);
  const uint64_t bytes = allocatorCounts().bytes;
  AllocatorRules rules = allocatorRules();
  rules.entryBudget = 50;
  resetAllocator(rules);
  EXPECT_EQ(allocatorCounts().directories, 1u);
  EXPECT_EQ(allocatorCounts().entries, 30u);
  EXPECT_EQ(allocatorCounts().bytes, bytes);
  EXPECT_EQ(allocDirectory(21), nullptr) << "the held entries count against the new budget";
  freeTree(held);
  EXPECT_EQ(allocatorCounts().directories, 0u);
  EXPECT_EQ(allocatorCounts().entries, 0u);
  EXPECT_EQ(allocatorCounts().bytes, 0u);
}

INSTANTIATE_TEST_SUITE_P(Blocks, DirectoryAllocator, ::testing::Bool(),
                         [](const ::testing::TestParamInfo<bool>& from) {
                           return from.param ? "FromTheArena" : "FromTheHeap";
                         });

// The arena holds one tree at a time: another tree handed back stays until the oldest goes, and
// then everything goes together.
TEST(DirectoryArena, KeepsEveryTreeUntilTheOldestIsFreed) {
  const AllocatorRules kept = allocatorRules();
  AllocatorRules rules;
  rules.fromArena = true;
  resetAllocator(rules);
  FileDirectory* oldest = allocDirectory(5);
  FileDirectory* other = allocDirectory(7);
  freeTree(other);
  EXPECT_EQ(allocatorCounts().entries, 12u) << "the other tree's memory is still held";
  freeTree(oldest);
  EXPECT_EQ(allocatorCounts().entries, 0u);
  EXPECT_EQ(allocatorCounts().directories, 0u);
  resetAllocator(kept);
}

}  // namespace
}  // namespace quindle_host_kit
