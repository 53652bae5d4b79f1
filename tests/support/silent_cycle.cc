#include "silent_cycle.h"

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "filter/module_state.h"
#include "module_exports.h"
#include "test_host.h"

namespace quindle_test {

FilterPrefs runSilentCycle(FileFilterSettingsKey key, const char* what) {
  resetTestHost();
  quindle::moduleState().dialogPosition = {0, 0};
  FileFilterInfo info = hostInfoFor(key);
  FilterPrefs read;
  std::memset(&read, 0, sizeof read);
  ::testing::internal::CaptureStdout();
  ::testing::internal::CaptureStderr();
  const int initialized = FileFilterInitialize(&info);
  FileDirectory* root = nullptr;
  if (initialized == 1) {
    read = *info.userData;
    info.userData->enabled = 1;
    info.userData->maxFiles = 30;
    char title[64];
    root = FileFilterExecute(&info, nullptr, title, sizeof title);
    info.userData->dirLevels = 9;
    quindle::moduleState().dialogPosition = {10, 20};
    FileFilterUninitialize(&info);
  }
  EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << what;
  EXPECT_EQ(::testing::internal::GetCapturedStderr(), "") << what;
  EXPECT_EQ(initialized, 1) << what;
  std::string problem;
  describeTree(root, &problem);
  EXPECT_EQ(problem, "") << what;
  freeTree(root);
  EXPECT_EQ(allocatorCounts().directories, 0) << what;
  return read;
}

}  // namespace quindle_test
