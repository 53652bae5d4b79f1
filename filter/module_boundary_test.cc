// The built module, loaded at run time as a host loads it: the four exports found by name, and a
// whole initialize-execute-uninitialize cycle through them.
#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "built_module.h"
#include "temp_file.h"
#include "test_host.h"
#include "test_settings.h"

namespace quindle {
namespace {

using namespace quindle_host_kit;
using namespace quindle_test;

class ModuleBoundary : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(loadBuiltModule(&module));
    initialize = module.initialize;
    userInterface = module.userInterface;
    execute = module.execute;
    uninitialize = module.uninitialize;
    resetTestHost();
    settings = createTestSettingsKey();
  }
  void TearDown() override {
    removeTestSettingsKey(settings);
    unloadModule(&module);
  }

  LoadedModule module;
  FileFilterInitializeFn initialize = nullptr;
  FileFilterUserInterfaceFn userInterface = nullptr;
  FileFilterExecuteFn execute = nullptr;
  FileFilterUninitializeFn uninitialize = nullptr;
  SettingsKey settings;
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
  FileFilterInfo info = hostInfoFor(settings.key);
  ASSERT_EQ(initialize(&info), 1);
  EXPECT_STREQ(info.name, "Quindle");
  EXPECT_EQ(info.userData->maxFiles, 100u);

  FileDirectory* hostTree = allocDirectory(2);
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
  EXPECT_LT(entryCountOf(root), 50);
  freeTree(root);
  EXPECT_EQ(allocatorCounts().directories, 0);
  uninitialize(&info);

  FileFilterInfo again = hostInfoFor(settings.key);
  ASSERT_EQ(initialize(&again), 1);
  EXPECT_EQ(again.userData->enabled, 1u) << "settings stored by the module come back";
  EXPECT_EQ(again.userData->maxFiles, 50u);
  uninitialize(&again);
}

// Every name and the title are made of the dictionary's words; the count found reaches the stored
// settings. The module is unloaded with its table still loaded, which the leak checker of the
// sanitized build would report if unloading did not free it.
TEST_F(ModuleBoundary, NamesComeFromTheDictionaryAndItsCountIsStored) {
  ASSERT_NE(initialize, nullptr);
  TempPath dictionary;
  writeFileBytes(dictionary.path, "red\r\ngreen\r\nblue\r\n");
  FileFilterInfo info = hostInfoFor(settings.key);
  ASSERT_EQ(initialize(&info), 1);
  info.userData->enabled = 1;
  std::strcpy(info.userData->dictionaryPath, dictionary.path.c_str());

  char title[600];
  FileDirectory* root = execute(&info, nullptr, title, sizeof title);
  ASSERT_NE(root, nullptr);
  EXPECT_EQ(info.userData->lineCount, 3);
  std::string names = title;
  for (int32_t i = 0; i < entryCountOf(root); ++i) names += std::string(" ") + root->entries[i].name;
  freeTree(root);
  for (const char* word : {"Red", "Green", "Blue", "red", "green", "blue"}) {
    for (size_t at = names.find(word); at != std::string::npos; at = names.find(word)) {
      names.erase(at, std::strlen(word));
    }
  }
  // What is left: spaces, and the start of a word cut at the end of a name.
  EXPECT_EQ(names.find_first_not_of(" rRgGbBeluned"), std::string::npos) << names;
  uninitialize(&info);

  std::string stored;
  ASSERT_TRUE(readRawValue(settings, "prefs", &stored));
  ASSERT_EQ(stored.size(), sizeof(FilterPrefs));
  int32_t storedCount = 0;
  std::memcpy(&storedCount, stored.data() + offsetof(FilterPrefs, lineCount), sizeof storedCount);
  EXPECT_EQ(storedCount, 3);
}

}  // namespace
}  // namespace quindle
