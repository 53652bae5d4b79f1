#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "filter/clock.h"
#include "filter/module_state.h"
#include "module_exports.h"
#include "platform/settings_store.h"
#include "reference_model.h"
#include "test_host.h"
#include "test_settings.h"

namespace quindle {
namespace {

using namespace quindle_test;

constexpr int64_t kFixedSecond = 1765224123;
// The generator's state for that second: the second, mixed.
constexpr uint32_t kFixedSecondState = 1285654935u;
int64_t fixedClock() { return kFixedSecond; }

class Exports : public ::testing::Test {
 protected:
  void SetUp() override {
    resetTestHost();
    settings = createTestSettingsKey();
    ASSERT_NE(settings.key, nullptr);
    moduleState().dialogPosition = {0, 0};
    previousClock = moduleState().clock;
    moduleState().clock = fixedClock;
    info = hostInfoFor(settings.key);
  }
  void TearDown() override {
    moduleState().clock = previousClock;
    removeTestSettingsKey(settings);
  }

  FilterPrefs& prefs() { return *info.userData; }

  void storeRaw(const char* name, const std::string& bytes) {
    writeStoredValue(settings.key, name, bytes.data(), bytes.size());
  }

  SettingsKey settings;
  FileFilterInfo info;
  SecondsClock previousClock = nullptr;
};

TEST_F(Exports, RefusedVersionsLeaveTheRecordUntouched) {
  EXPECT_EQ(FileFilterInitialize(nullptr), 0);
  for (uint32_t version : {0u, 1u, 3u, 0xFFFFFFFFu}) {
    FileFilterInfo record = info;
    std::memset(record.name, 'x', sizeof record.name);
    record.version = version;
    record.userData = reinterpret_cast<FilterPrefs*>(&record);
    const FileFilterInfo before = record;
    EXPECT_EQ(FileFilterInitialize(&record), 0) << version;
    EXPECT_EQ(std::memcmp(&record, &before, sizeof record), 0) << version;
  }
}

TEST_F(Exports, InitializeWithNothingStoredGivesTheDefaults) {
  std::memset(info.name, 'x', sizeof info.name);
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  EXPECT_EQ(info.version, 2u);
  EXPECT_STREQ(info.name, "Quindle");
  for (size_t i = std::strlen("Quindle"); i < sizeof info.name; ++i) ASSERT_EQ(info.name[i], 0);
  EXPECT_EQ(prefs().enabled, 0u);
  EXPECT_EQ(prefs().dirLevels, 2);
  EXPECT_EQ(prefs().maxFiles, 100u);
  EXPECT_STREQ(prefs().dictionaryPath, "");
  EXPECT_EQ(prefs().lineCount, 0);
  EXPECT_EQ(moduleState().dialogPosition.x, 0);
  EXPECT_EQ(moduleState().dialogPosition.y, 0);
  FileFilterUninitialize(&info);
}

TEST_F(Exports, StoredValuesOverlayTheDefaultsByTheirLength) {
  FilterPrefs stored;
  std::memset(&stored, 0, sizeof stored);
  stored.enabled = 1;
  stored.dirLevels = 7;
  stored.maxFiles = 9;
  std::strcpy(stored.dictionaryPath, "words.txt");
  stored.lineCount = 12;
  const std::string image(reinterpret_cast<const char*>(&stored), sizeof stored);

  // 12 bytes: only the three numbers.
  storeRaw("prefs", image.substr(0, 12));
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  EXPECT_EQ(prefs().enabled, 1u);
  EXPECT_EQ(prefs().dirLevels, 7);
  EXPECT_EQ(prefs().maxFiles, 9u);
  EXPECT_STREQ(prefs().dictionaryPath, "");
  EXPECT_EQ(prefs().lineCount, 0);
  FileFilterUninitialize(&info);

  // The whole record, and a longer value whose leading bytes are the record.
  for (const std::string& value : {image, image + std::string(300, '\x55')}) {
    storeRaw("prefs", value);
    ASSERT_EQ(FileFilterInitialize(&info), 1);
    EXPECT_EQ(std::memcmp(info.userData, &stored, sizeof stored), 0) << value.size();
    FileFilterUninitialize(&info);
  }
}

TEST_F(Exports, AStoredPathWithoutTerminatorIsCutWithinItsField) {
  FilterPrefs stored;
  std::memset(&stored, 0, sizeof stored);
  std::memset(stored.dictionaryPath, 'p', sizeof stored.dictionaryPath);
  stored.lineCount = 5;
  storeRaw("prefs", std::string(reinterpret_cast<const char*>(&stored), sizeof stored));
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  EXPECT_EQ(std::strlen(prefs().dictionaryPath), sizeof stored.dictionaryPath - 1);
  EXPECT_EQ(prefs().lineCount, 5);
  FileFilterUninitialize(&info);
}

TEST_F(Exports, PositionIsModuleWideAndOnlyAStoredOneReplacesIt) {
  moduleState().dialogPosition = {300, 200};
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  EXPECT_EQ(moduleState().dialogPosition.x, 300) << "a key without a position leaves the module's";
  FileFilterUninitialize(&info);

  const DialogPosition stored = {-40, 77};
  storeRaw("position", std::string(reinterpret_cast<const char*>(&stored), sizeof stored));
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  EXPECT_EQ(moduleState().dialogPosition.x, -40);
  EXPECT_EQ(moduleState().dialogPosition.y, 77);
  FileFilterUninitialize(&info);
}

TEST_F(Exports, SettingsRoundTripThroughUninitializeAndInitialize) {
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  prefs().enabled = 1;
  prefs().dirLevels = -4;
  prefs().maxFiles = 4000000000u;
  std::strcpy(prefs().dictionaryPath, "C:\\words\\english.txt");
  prefs().lineCount = 99171;
  const FilterPrefs expected = prefs();
  moduleState().dialogPosition = {924, 50};
  FileFilterUninitialize(&info);

  std::string stored;
  ASSERT_TRUE(readRawValue(settings, "prefs", &stored));
  ASSERT_EQ(stored.size(), 276u);
  EXPECT_EQ(std::memcmp(stored.data(), &expected, sizeof expected), 0);
  ASSERT_TRUE(readRawValue(settings, "position", &stored));
  EXPECT_EQ(stored.size(), 8u);

  moduleState().dialogPosition = {0, 0};
  FileFilterInfo again = hostInfoFor(settings.key);
  ASSERT_EQ(FileFilterInitialize(&again), 1);
  EXPECT_EQ(std::memcmp(again.userData, &expected, sizeof expected), 0);
  EXPECT_EQ(moduleState().dialogPosition.x, 924);
  EXPECT_EQ(moduleState().dialogPosition.y, 50);
  FileFilterUninitialize(&again);
}

TEST_F(Exports, ADisabledFilterPassesTheHostTreeThroughUntouched) {
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  FileDirectory* hostTree = allocDirectory(3);
  resetTestHost();
  char title[32];
  std::memset(title, 'T', sizeof title);
  EXPECT_EQ(FileFilterExecute(&info, hostTree, title, sizeof title), hostTree);
  EXPECT_EQ(allocatorCounts().calls, 0);
  EXPECT_EQ(allocatorCounts().freeTreeCalls, 0);
  for (char c : title) ASSERT_EQ(c, 'T');
  freeTree(hostTree);
  FileFilterUninitialize(&info);
}

TEST_F(Exports, AnEnabledFilterReplacesTheTreeSeededByTheClock) {
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  prefs().enabled = 1;
  FileDirectory* hostTree = allocDirectory(3);
  char title[64];
  FileDirectory* root = FileFilterExecute(&info, hostTree, title, sizeof title);
  EXPECT_EQ(allocatorCounts().freeTreeCalls, 1) << "the host's tree goes back to the host";
  EXPECT_EQ(allocatorCounts().directories, allocatorCounts().calls - 1);

  const ModelListing expected =
      modelListing(kFixedSecondState, {100, 2}, sizeof title);
  std::string problem;
  EXPECT_EQ(describeTree(root, &problem), expected.tree);
  EXPECT_EQ(problem, "");
  EXPECT_EQ(std::string(title), expected.title);

  // Within the same second the same tree comes out; another title length changes only the title.
  char longTitle[4000];
  FileDirectory* second = FileFilterExecute(&info, root, longTitle, sizeof longTitle);
  EXPECT_EQ(describeTree(second, &problem), expected.tree);
  EXPECT_EQ(std::string(longTitle),
            modelListing(kFixedSecondState, {100, 2}, 4000).title);
  freeTree(second);
  EXPECT_EQ(allocatorCounts().directories, 0);
  FileFilterUninitialize(&info);
}

// "enabled" is a flag: any nonzero value stored there, by hand or by another version, switches
// the filter on.
TEST_F(Exports, AnyNonzeroStoredEnabledReplacesTheTree) {
  for (uint32_t enabled : {1u, 2u, 0x80000000u, 0xFFFFFFFFu}) {
    storeRaw("prefs", std::string(reinterpret_cast<const char*>(&enabled), sizeof enabled));
    ASSERT_EQ(FileFilterInitialize(&info), 1);
    FileDirectory* hostTree = allocDirectory(3);
    resetTestHost();
    char title[32];
    FileDirectory* root = FileFilterExecute(&info, hostTree, title, sizeof title);
    EXPECT_NE(root, hostTree) << enabled;
    EXPECT_EQ(allocatorCounts().freeTreeCalls, 1) << enabled;
    freeTree(root);
    FileFilterUninitialize(&info);
  }
}

TEST_F(Exports, TitleBuffersAreFilledWithinTheirLength) {
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  prefs().enabled = 1;
  prefs().maxFiles = 3;
  for (int32_t titleLen : {1, 16, 511, 4000}) {
    std::string buffer(static_cast<size_t>(titleLen) + 8, '\x7f');
    freeTree(FileFilterExecute(&info, nullptr, &buffer[0], titleLen));
    const size_t length = std::strlen(buffer.c_str());
    EXPECT_LT(length, static_cast<size_t>(titleLen));
    for (size_t i = length; i < static_cast<size_t>(titleLen); ++i) ASSERT_EQ(buffer[i], '\0');
    for (size_t i = static_cast<size_t>(titleLen); i < buffer.size(); ++i) {
      ASSERT_EQ(buffer[i], '\x7f') << "written past the title buffer";
    }
  }
  // No title buffer at all: the tree still comes back.
  FileDirectory* root = FileFilterExecute(&info, nullptr, nullptr, 0);
  EXPECT_NE(root, nullptr);
  freeTree(root);
  FileFilterUninitialize(&info);
}

TEST_F(Exports, CallsWithoutAnInitializedRecordAreHarmless) {
  FileDirectory* hostTree = allocDirectory(0);
  EXPECT_EQ(FileFilterExecute(nullptr, hostTree, nullptr, 0), hostTree);
  EXPECT_EQ(FileFilterExecute(&info, hostTree, nullptr, 0), hostTree);
  FileFilterUninitialize(nullptr);
  FileFilterUninitialize(&info);

  // A host that calls on after uninitialize reaches no freed settings: it is as if it had never
  // initialized (the sanitized build would see a second free or a read of freed memory).
  ASSERT_EQ(FileFilterInitialize(&info), 1);
  prefs().enabled = 1;
  FileFilterUninitialize(&info);
  EXPECT_EQ(info.userData, nullptr);
  EXPECT_EQ(FileFilterExecute(&info, hostTree, nullptr, 0), hostTree);
  FileFilterUninitialize(&info);
  freeTree(hostTree);
}

}  // namespace
}  // namespace quindle
