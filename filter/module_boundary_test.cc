// The built module, loaded at run time as a host loads it: the four exports found by name, and a
// whole initialize-execute-uninitialize cycle through them.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/dynamic_library.h"
#include "test_host.h"
#include "test_settings.h"

namespace quindle {
namespace {

using namespace quindle_test;

class ModuleBoundary : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string error;
    module = openDynamicLibrary(besideExecutable(QUINDLE_MODULE_FILE), &error);
    ASSERT_NE(module.handle, nullptr) << error;
    initialize = reinterpret_cast<FileFilterInitializeFn>(findExport(module, "FileFilterInitialize"));
    userInterface =
        reinterpret_cast<FileFilterUserInterfaceFn>(findExport(module, "FileFilterUserInterface"));
    execute = reinterpret_cast<FileFilterExecuteFn>(findExport(module, "FileFilterExecute"));
    uninitialize =
        reinterpret_cast<FileFilterUninitializeFn>(findExport(module, "FileFilterUninitialize"));
    resetTestHost();
    settings = createTestSettingsKey();
  }
  void TearDown() override {
    removeTestSettingsKey(settings);
    closeDynamicLibrary(module);
  }

  DynamicLibrary module;
  FileFilterInitializeFn initialize = nullptr;
  FileFilterUserInterfaceFn userInterface = nullptr;
  FileFilterExecuteFn execute = nullptr;
  FileFilterUninitializeFn uninitialize = nullptr;
  TestSettingsKey settings;
};

TEST_F(ModuleBoundary, ExportsAreFoundByTheirPlainNames) {
  EXPECT_NE(initialize, nullptr);
  EXPECT_NE(userInterface, nullptr);
  EXPECT_NE(execute, nullptr);
  EXPECT_NE(uninitialize, nullptr);
  EXPECT_EQ(findExport(module, "makeName"), nullptr);
  EXPECT_EQ(findExport(module, "_FileFilterExecute"), nullptr);
}

TEST_F(ModuleBoundary, AHostRunsAWholeCycleThroughTheModule) {
  ASSERT_NE(initialize, nullptr);
  FileFilterInfo info = makeHostInfo(settings.key);
  ASSERT_EQ(initialize(&info), 1);
  EXPECT_STREQ(info.name, "Quindle");
  EXPECT_EQ(info.userData->maxFiles, 100u);

  FileDirectory* hostTree = testAllocDirectory(2);
  char title[40];
  std::memset(title, 'T', sizeof title);
  EXPECT_EQ(execute(&info, hostTree, title, sizeof title), hostTree) << "disabled by default";
  EXPECT_EQ(title[0], 'T');

  info.userData->enabled = 1;
  info.userData->maxFiles = 50;
  FileDirectory* root = execute(&info, hostTree, title, sizeof title);
  ASSERT_NE(root, nullptr);
  std::string problem;
  describeTree(root, &problem);
  EXPECT_EQ(problem, "");
  EXPECT_LT(std::strlen(title), sizeof title);
  EXPECT_LT(entryCount(root), 50);
  testFreeTree(root);
  EXPECT_EQ(testHost.liveDirectories, 0);
  uninitialize(&info);

  FileFilterInfo again = makeHostInfo(settings.key);
  ASSERT_EQ(initialize(&again), 1);
  EXPECT_EQ(again.userData->enabled, 1u) << "settings stored by the module come back";
  EXPECT_EQ(again.userData->maxFiles, 50u);
  uninitialize(&again);
}

}  // namespace
}  // namespace quindle
