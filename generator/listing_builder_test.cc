#include "generator/listing_builder.h"

#include <climits>
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "filter/module_listing.h"
#include "generator/draws/random_source.h"
#include "generator/kernels/kernel_table.h"
#include "every_kernel.h"
#include "reference_model.h"
#include "small_stack.h"
#include "system_encoding.h"
#include "test_dictionary.h"
#include "test_host.h"

namespace quindle {
namespace {

using namespace quindle_test;

// A tree as execute builds it, with the module's state, on `kernel`, from `seed`.
FileDirectory* buildFrom(uint32_t seed, const FileFilterInfo& info, FilterPrefs* prefs,
                         const Kernel& kernel) {
  ModuleState& state = moduleState();
  EXPECT_TRUE(forceKernel(state.kernels, kernel));
  seedRandom(state.generator.random, seed);
  FileDirectory* root = buildModuleListing(state, info, prefs);
  state.kernels = KernelChoice();
  return root;
}

// The builder with the tests' host and fresh settings, on the fastest kernel unless a test says.
class BuilderFixture : public ::testing::Test {
 protected:
  void SetUp() override {
    resetTestHost();
    std::memset(&prefs, 0, sizeof prefs);
    prefs.enabled = 1;
    info = hostInfoFor(nullptr);
  }
  void TearDown() override {
    EXPECT_EQ(allocatorCounts().directories, 0u) << "the host leaked a tree";
  }

  FileDirectory* build(uint32_t seed) { return buildFrom(seed, info, &prefs, *kernel); }

  // Builds the tree and title for `seed`, checks the tree is well formed, and frees it.
  ModelListing build(uint32_t seed, int32_t titleLen) {
    FileDirectory* root = build(seed);
    std::string title(static_cast<size_t>(titleLen > 0 ? titleLen : 0), '\x7f');
    writeModuleTitle(moduleState(), &prefs, title.empty() ? nullptr : &title[0], titleLen);
    ModelListing result;
    std::string problem;
    result.tree = describeTree(root, &problem);
    EXPECT_EQ(problem, "") << "seed " << seed;
    result.title = title.c_str();
    if (titleLen > 0) {
      EXPECT_EQ(title.find_first_not_of('\0', std::strlen(title.c_str())), std::string::npos)
          << "title not zero-filled";
    }
    freeTree(root);
    return result;
  }

  void expectModel(uint32_t seed, int32_t titleLen, const std::vector<std::string>* lines = nullptr,
                   int32_t lineCount = 0, const ModelEncoding& encoding = {}) {
    const ModelListing expected =
        modelListing(seed, {prefs.maxFiles, prefs.dirLevels, lines, lineCount}, titleLen, encoding);
    const ModelListing actual = build(seed, titleLen);
    ASSERT_EQ(firstDifference(actual.tree, expected.tree), "")
        << "seed " << seed << " maxFiles " << prefs.maxFiles << " dirLevels " << prefs.dirLevels;
    ASSERT_EQ(actual.title, expected.title) << "seed " << seed << " titleLen " << titleLen;
  }

  FilterPrefs prefs;
  FileFilterInfo info;
  const Kernel* kernel = kernelsThisMachineRuns().back();
};

// Every test runs once on each kernel this processor has.
class ListingBuilder : public BuilderFixture, public ::testing::WithParamInterface<const Kernel*> {
 protected:
  void SetUp() override {
    kernel = GetParam();
    BuilderFixture::SetUp();
  }
};

// What the builder owns whatever the kernel (no recursion, its own memory growing with the depth
// only) runs on the fastest kernel.
using ListingBuilderDepth = BuilderFixture;

// Seeds per setting, fewer where trees grow large: at 300 files a level multiplies the tree by
// about 7.5, so four levels and more would take millions of entries per seed.
uint32_t seedsFor(uint32_t maxFiles, int32_t dirLevels) {
  if (maxFiles <= 7) return 30;
  if (maxFiles == 100) return dirLevels <= 3 ? 20 : 3;
  if (dirLevels <= 1) return 10;
  return dirLevels == 2 ? 3 : dirLevels == 3 ? 1 : 0;
}

TEST_P(ListingBuilder, MatchesTheModelOverSeedsAndSettings) {
  for (uint32_t maxFiles : {0u, 1u, 2u, 7u, 100u, 300u}) {
    for (int32_t dirLevels : {-3, 0, 1, 2, 3, 4, 5}) {
      prefs.maxFiles = maxFiles;
      prefs.dirLevels = dirLevels;
      for (uint32_t seed = 0; seed < seedsFor(maxFiles, dirLevels); ++seed) {
        expectModel(1765224000u + seed * 977u, 64);
      }
    }
  }
}

TEST_P(ListingBuilder, MatchesTheModelWithADictionary) {
  TestDictionary dictionary;
  std::vector<std::string> lines = makeWordLines(500, 30);
  lines.push_back(std::string(511, 'z'));
  useDictionaryLines(&dictionary, &prefs, lines);
  prefs.maxFiles = 100;
  prefs.dirLevels = 2;
  // The 511-character line is one piece, and its line feed another.
  const int32_t pieces = static_cast<int32_t>(lines.size()) + 1;
  for (uint32_t seed = 0; seed < 40; ++seed) {
    for (int32_t titleLen : {64, 700}) {
      expectModel(seed * 7u + 1, titleLen, &dictionary.lines, pieces);
    }
    ASSERT_EQ(prefs.lineCount, pieces);
  }
}

// A dictionary too big to stay in the cache, whose lines are looked up ahead of the entries:
// subdirectories, long lines, names that reach their bound, block refills and a stored count
// beyond the lines held (indexes wrap) all make the look-ahead expect wrongly now and then.
TEST_P(ListingBuilder, MatchesTheModelWithALargeDictionary) {
  TestDictionary dictionary;
  std::vector<std::string> lines = makeWordLines(40000, 20);
  for (size_t i = 0; i < lines.size(); i += 97) lines[i] = std::string(40 + i % 200, 'q');
  useDictionaryLines(&dictionary, &prefs, lines);
  prefs.maxFiles = 100;
  prefs.dirLevels = 3;
  for (uint32_t seed = 0; seed < 6; ++seed) {
    expectModel(seed * 104729u + 5, 64, &dictionary.lines, static_cast<int32_t>(lines.size()));
  }
  prefs.lineCount = 45000;  // stale: the file has fewer lines now
  for (uint32_t seed = 0; seed < 3; ++seed) {
    expectModel(seed * 7919u + 3, 64, &dictionary.lines, 45000);
  }
}

// Lines of characters of several bytes in the system's encoding, after each number of single
// bytes, short and long: the bounds of entry names and titles (and the title buffer's, past 511)
// fall on every byte of a character, and names and titles keep whole characters, as the model
// says. Natively the environment names a UTF-8 locale; under Wine it runs once more in the
// double-byte code page 932.
TEST_P(ListingBuilder, NamesAndTitlesKeepWholeCharactersInTheSystemsEncoding) {
  const SystemEncoding encoding;
  if (!encoding.missing().empty()) GTEST_SKIP() << encoding.missing();
  std::vector<std::string> lines;
  for (const std::string& character : encoding.characters()) {
    for (size_t before = 0; before < 4; ++before) {
      std::string line(before, 'y');
      while (line.size() + character.size() <= 14) line += character;
      lines.push_back(line);
      lines.push_back(line + line + line);
    }
  }
  TestDictionary dictionary;
  useDictionaryLines(&dictionary, &prefs, lines);
  prefs.maxFiles = 60;
  prefs.dirLevels = 2;
  for (uint32_t seed = 0; seed < 12; ++seed) {
    for (int32_t titleLen : {64, 65, 66, 67, 700}) {
      expectModel(seed * 7u + 11, titleLen, &dictionary.lines, static_cast<int32_t>(lines.size()), encoding.model());
    }
  }
}

TEST_P(ListingBuilder, TitleTakesTheDrawsAfterTheTreeWithinItsBuffer) {
  prefs.maxFiles = 100;
  prefs.dirLevels = 2;
  for (int32_t titleLen : {1, 2, 16, 511, 512, 4000}) {
    for (uint32_t seed = 0; seed < 30; ++seed) {
      expectModel(seed * 31337u, titleLen);
      const ModelListing listing = build(seed * 31337u, titleLen);
      ASSERT_LE(listing.title.size(), static_cast<size_t>(std::min(titleLen - 1, 511)));
    }
  }
  // Every bound up to the name buffer's, each after a tree that ends at a different draw.
  prefs.maxFiles = 20;
  prefs.dirLevels = 1;
  for (int32_t titleLen = 1; titleLen <= 512; ++titleLen) expectModel(static_cast<uint32_t>(titleLen) * 7777u, titleLen);
}

TEST_P(ListingBuilder, EveryEntryIsAWellFormedFileOrDirectory) {
  prefs.maxFiles = 100;
  prefs.dirLevels = 3;
  for (uint32_t seed = 0; seed < 20; ++seed) {
    const std::string tree = build(seed, 64).tree;
    size_t start = 0;
    while (start < tree.size()) {
      const size_t end = tree.find('\n', start);
      const std::string line = tree.substr(start, end - start);
      start = end + 1;
      if (line.find("|<") != std::string::npos) continue;
      const size_t kind = line.rfind('|');
      const size_t valueAt = line.rfind('|', kind - 1);
      const size_t sizeAt = line.rfind('|', valueAt - 1);
      const std::string size = line.substr(sizeAt + 1, valueAt - sizeAt - 1);
      const int value = std::stoi(line.substr(valueAt + 1, kind - valueAt - 1));
      ASSERT_TRUE(value >= 0 && value <= 32767) << line;
      if (line.back() == 'd') {
        ASSERT_EQ(size, "[dir]");
        ASSERT_LT(line[0] - '0', 3) << "a directory below the deepest level: " << line;
        continue;
      }
      ASSERT_GE(size.size(), 3u);
      ASSERT_EQ(size.substr(size.size() - 2), "KB") << line;
      const std::string digits = size.substr(0, size.size() - 2);
      ASSERT_EQ(digits.find_first_not_of("0123456789"), std::string::npos) << line;
      ASSERT_TRUE(digits == "0" || digits[0] != '0') << "leading zero: " << line;
      ASSERT_LT(std::stoi(digits), 300) << line;
    }
  }
}

TEST_P(ListingBuilder, OneFileAtMostMeansOneEmptyRoot) {
  prefs.maxFiles = 1;
  prefs.dirLevels = 5;
  FileDirectory* root = build(42);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(entryCountOf(root), 0);
  EXPECT_EQ(allocatorCounts().calls, 1);
  freeTree(root);
}

// A host that, at its call number `brokenCall`, hands back a directory without entries although
// some were asked for. The module is to give it back and go on as if it had been refused; the
// host then finds its entries again to free it.
int64_t brokenCall = 0;
FileDirectory* brokenDirectory = nullptr;
FileEntry* brokenEntries = nullptr;

FileDirectory* QUINDLE_CALL allocBroken(int32_t count) {
  FileDirectory* dir = allocDirectory(count);
  if (dir && count > 0 && allocatorCounts().calls == brokenCall) {
    brokenDirectory = dir;
    brokenEntries = dir->entries;
    dir->entries = nullptr;
  }
  return dir;
}

void QUINDLE_CALL freeBroken(FileDirectory* root) {
  if (root && root == brokenDirectory) root->entries = brokenEntries;
  freeTree(root);
}

enum class Failure { refused, refusedFromThenOn, noEntries };

TEST_P(ListingBuilder, FailedAllocationsLeaveAConsistentTree) {
  prefs.maxFiles = 60;
  prefs.dirLevels = 3;
  const uint32_t seed = 2024;
  freeTree(build(seed));
  const int allocations = allocatorCounts().calls;
  ASSERT_GT(allocations, 5) << "pick a seed with more subdirectories";

  for (Failure failure : {Failure::refused, Failure::refusedFromThenOn, Failure::noEntries}) {
    for (int k = 1; k <= allocations + 1; ++k) {
      SCOPED_TRACE("call " + std::to_string(k) + ", failure " + std::to_string(static_cast<int>(failure)));
      resetTestHost();
      info.allocDirectory = allocDirectory;
      info.freeTree = freeTree;
      if (failure == Failure::noEntries) {
        brokenCall = k;
        info.allocDirectory = allocBroken;
        info.freeTree = freeBroken;
      } else {
        allocatorRules().refuseCall = k;
        allocatorRules().refuseLaterCalls = failure == Failure::refusedFromThenOn;
      }
      FileDirectory* root = build(seed);
      if (k == 1 && failure == Failure::refusedFromThenOn) {
        EXPECT_EQ(root, nullptr) << "no root could be had at all";
        continue;
      }
      ASSERT_NE(root, nullptr);
      if (k == 1) {
        EXPECT_EQ(entryCountOf(root), 0) << "the root is retried as an empty directory";
      }
      std::string problem;
      describeTree(root, &problem);
      EXPECT_EQ(problem, "");
      freeTree(root);
      EXPECT_EQ(allocatorCounts().directories, 0) << "every directory went back to the host";
    }
  }
  info.allocDirectory = allocDirectory;
  info.freeTree = freeTree;
}

// A seed whose tree at 41 files and unbounded levels goes 316 levels deep in about 150,000
// entries (found by scanning seeds with the model).
constexpr uint32_t kDeepTreeSeed = 204791;
constexpr int kDeepTreeLevels = 316;

// A seed whose tree at 41 files and unbounded levels goes exactly 2,000 levels deep, in
// 21,481,894 entries and 1,074,901 directories: about 2.3 GB of host records with 8-byte
// pointers. Found by tools/deep_seed_scan.cc.
constexpr uint32_t kTwoThousandLevelsSeed = 3004773941u;

struct DeepRun {
  FilterPrefs* prefs;
  const FileFilterInfo* info;
  const Kernel* kernel;
  uint32_t seed;
  FileDirectory* root;
};

void buildDeep(void* raw) {
  DeepRun* run = static_cast<DeepRun*>(raw);
  run->root = buildFrom(run->seed, *run->info, run->prefs, *run->kernel);
}

TEST_P(ListingBuilder, ADeepTreeBuildsOnASmallStack) {
  prefs.maxFiles = 41;
  prefs.dirLevels = 1000000;
  const ModelListing expected = modelListing(kDeepTreeSeed, {41, 1000000}, 64);
  ASSERT_GE(expected.deepestLevel, kDeepTreeLevels);
  DeepRun run{&prefs, &info, kernel, kDeepTreeSeed, nullptr};
  ASSERT_TRUE(runOnSmallStack(buildDeep, &run, 64 * 1024));
  std::string problem;
  EXPECT_EQ(firstDifference(describeTree(run.root, &problem), expected.tree), "");
  EXPECT_EQ(problem, "");
  freeTree(run.root);
}

// Too large to describe as text: compared with the model by its shape.
TEST_F(ListingBuilderDepth, TwoThousandLevelsBuildOnASmallStack) {
  if (sizeof(void*) < 8) GTEST_SKIP() << "2.3 GB of host records do not fit a 32-bit process";
#if defined(__SANITIZE_ADDRESS__)
  // Minutes and several more gigabytes there; the 316-level tree above runs on a small stack too.
  GTEST_SKIP() << "too large for the sanitized build";
#endif
  prefs.maxFiles = 41;
  prefs.dirLevels = INT32_MAX;
  const TreeShape expected = modelShape(kTwoThousandLevelsSeed, 41, INT32_MAX);
  ASSERT_EQ(expected.deepestLevel, 2000);
  ASSERT_EQ(expected.entries, 21481894);
  DeepRun run{&prefs, &info, kernel, kTwoThousandLevelsSeed, nullptr};
  ASSERT_TRUE(runOnSmallStack(buildDeep, &run, 64 * 1024));
  ASSERT_NE(run.root, nullptr);
  TreeShape actual;
  int64_t malformed = 0;
  shapeOfTree(run.root, &actual, &malformed);
  freeTree(run.root);
  EXPECT_EQ(malformed, 0);
  EXPECT_EQ(actual.deepestLevel, expected.deepestLevel);
  EXPECT_EQ(actual.entries, expected.entries);
  EXPECT_EQ(actual.directories, expected.directories);
  EXPECT_EQ(actual.signature, expected.signature) << "same depths and counts, in the same order";
}

QUINDLE_FOR_EVERY_KERNEL(ListingBuilder);

}  // namespace
}  // namespace quindle
