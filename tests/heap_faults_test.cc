// The module's own allocations refused one at a time, across a whole host session: initialize,
// execute with a dictionary, the settings window, uninitialize. Whichever one is refused, the
// module neither crashes nor leaks (the sanitized build checks), the host gets a sound tree, and
// the settings stored at the end are whole.
#include <cstring>
#include <string>
#include <vector>

#if !defined(_WIN32)
#include <sys/wait.h>
#include <unistd.h>
#endif

#include <gtest/gtest.h>

#include "filter/module_listing.h"
#include "filter/module_state.h"
#include "filter/settings.h"
#include "module_exports.h"
#include "platform/settings_store.h"
#include "reference_model.h"
#include "test_dictionary.h"
#include "test_host.h"
#include "test_settings.h"

namespace quindle {
namespace {

using namespace quindle_test;

// At this second the tree at 41 files and 40 levels goes 22 levels deep with the dictionary below,
// and 30 with random letters (found with the model): the builder's stack grows either way.
constexpr int64_t kSecond = 1765226377;
constexpr uint32_t kMaxFiles = 41;
constexpr int32_t kLevels = 40;
int64_t cycleClock() { return kSecond; }
constexpr int32_t kTitleLength = 64;

// Many lines, some too long for a slot: the table's slots and its long text both grow.
std::vector<std::string> cycleLines() {
  std::vector<std::string> lines = makeWordLines(3000, 12);
  for (size_t i = 0; i < lines.size(); i += 50) lines[i] = std::string(30 + i % 90, 'q');
  return lines;
}

const std::vector<std::string>& lines() {
  static const std::vector<std::string> held = cycleLines();
  return held;
}

struct Cycle {
  uint64_t requests = 0;  // heap requests the session made
  int initialized = 0;
  FileFilterInfo after;   // the record after initialize
  std::string tree;
  std::string problem;
  FilterPrefs kept;       // the instance's settings just before uninitialize
  std::string stored;     // the stored "prefs" afterwards
  bool windowReturnedAtOnce = true;
};

class HeapFaults : public ::testing::TestWithParam<uint64_t> {
 public:
  // One session with request `refuse` refused (0: none).
  static Cycle run(uint64_t refuse) {
    Cycle cycle;
    ModuleState& state = moduleState();
    resetTestHost();
    releaseModuleTable();
    state.clock = cycleClock;
    SettingsKey settings = createTestSettingsKey();
    TestDictionary dictionary;
    FilterPrefs stored;
    setDefaultPrefs(&stored);
    stored.enabled = 1;
    stored.maxFiles = kMaxFiles;
    stored.dirLevels = kLevels;
    useDictionaryLines(&dictionary, &stored, lines());
    writeStoredValue(settings.key, kPrefsValueName, &stored, sizeof stored);

    state.heap = {0, refuse};
    FileFilterInfo info = hostInfoFor(settings.key);
    cycle.initialized = FileFilterInitialize(&info);
    cycle.after = info;
    if (cycle.initialized == 1) {
      char title[kTitleLength];
      FileDirectory* root = FileFilterExecute(&info, nullptr, title, kTitleLength);
      cycle.tree = describeTree(root, &cycle.problem);
      freeTree(root);
      cycle.windowReturnedAtOnce = windowReturnsAtOnce(&info);
      cycle.kept = *info.userData;
      FileFilterUninitialize(&info);
      readRawValue(settings, kPrefsValueName, &cycle.stored);
    }
    cycle.requests = state.heap.requests;
    state.heap = ModuleHeap();
    state.clock = systemTimeSeconds;
    removeTestSettingsKey(settings);
    return cycle;
  }

  // The requests a whole session makes, and how many of them load the word table at execute.
  struct Requests {
    uint64_t session;
    uint64_t initialize;
    uint64_t tableLoad;
  };

  static Requests count() {
    Requests requests = {};
    requests.session = run(0).requests;
    // The same steps by hand: initialize's record, then the table execute loads first.
    ModuleState& state = moduleState();
    releaseModuleTable();
    TestDictionary dictionary;
    FilterPrefs prefs;
    setDefaultPrefs(&prefs);
    useDictionaryLines(&dictionary, &prefs, lines());
    state.heap = ModuleHeap();
    void* record = heapAllocateZeroed(state.heap, sizeof(FilterPrefs));
    heapFree(record);
    requests.initialize = state.heap.requests;
    wordsFor(state, &prefs);
    requests.tableLoad = state.heap.requests - requests.initialize;
    state.heap = ModuleHeap();
    releaseModuleTable();
    return requests;
  }

 private:
  // The settings window where it cannot wait for anyone: a process without a terminal on Linux,
  // a parent that is no window on Windows. It reports that no window could be shown, or Cancel.
  static bool windowReturnsAtOnce(FileFilterInfo* info) {
#if defined(_WIN32)
    const int result = FileFilterUserInterface(info, reinterpret_cast<FileFilterWindow>(0x12345678));
    return result == 0 || result == -1;
#else
    const pid_t child = ::fork();
    if (child == 0) {
      ::setsid();
      ::_exit(FileFilterUserInterface(info, nullptr) == -1 ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) &&
           WEXITSTATUS(status) == 0;
#endif
  }
};

// Every request of a session, refused in turn; the count comes from a session refusing none.
std::vector<uint64_t> eachRequest() {
  std::vector<uint64_t> requests;
  for (uint64_t k = 1; k <= HeapFaults::run(0).requests; ++k) requests.push_back(k);
  return requests;
}

TEST_P(HeapFaults, TheModuleCopesWithAnyOneRefusal) {
  const uint64_t refused = GetParam();
  const Requests requests = count();
  ASSERT_GE(requests.session, refused);
  ASSERT_GE(requests.tableLoad, 4u) << "the table should grow its slots and its long text";
  ASSERT_GT(requests.session, requests.initialize + requests.tableLoad) << "the stack should grow";
  const Cycle cycle = run(refused);

  if (refused <= requests.initialize) {
    // No settings record: initialize refuses, and the host's record is as the host left it.
    EXPECT_EQ(cycle.initialized, 0);
    EXPECT_EQ(cycle.after.userData, nullptr);
    EXPECT_EQ(cycle.after.name[0], '\0');
    return;
  }
  ASSERT_EQ(cycle.initialized, 1);
  EXPECT_EQ(cycle.problem, "") << "request " << refused;
  EXPECT_TRUE(cycle.windowReturnedAtOnce);
  EXPECT_EQ(cycle.kept.lineCount, static_cast<int32_t>(lines().size())) << "the count is kept";
  if (refused <= requests.initialize + requests.tableLoad) {
    // A table that could not be had makes random-letter names, as any unusable dictionary does;
    // a table whose spare room could not be given back is as good as any.
    const uint32_t state = mixClockSeconds(static_cast<uint32_t>(kSecond));
    const std::string letters = modelListing(state, {kMaxFiles, kLevels}, kTitleLength).tree;
    const int32_t count = static_cast<int32_t>(lines().size());
    const std::string words =
        modelListing(state, {kMaxFiles, kLevels, &lines(), count}, kTitleLength).tree;
    EXPECT_TRUE(cycle.tree == letters || cycle.tree == words) << "request " << refused;
  }
  EXPECT_EQ(cycle.stored, std::string(reinterpret_cast<const char*>(&cycle.kept), sizeof cycle.kept))
      << "the stored settings are the instance's, whole";
}

INSTANTIATE_TEST_SUITE_P(EachRequest, HeapFaults, ::testing::ValuesIn(eachRequest()));

}  // namespace
}  // namespace quindle
