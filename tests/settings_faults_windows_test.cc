// The registry failing under the module: a key the host opened for reading only, and handles that
// are no key at all.
#include <windows.h>

#include <cstring>
#include <string>

#include <gtest/gtest.h>

#include "platform/settings_store.h"
#include "silent_cycle.h"
#include "test_settings.h"

namespace quindle {
namespace {

using namespace quindle_test;

TEST(SettingsFaults, AKeyOpenedForReadingKeepsItsValuesAndTheModuleWorksOn) {
  SettingsKey settings = createTestSettingsKey();
  FilterPrefs stored;
  std::memset(&stored, 0, sizeof stored);
  stored.dirLevels = 3;
  stored.maxFiles = 7;
  writeStoredValue(settings.key, "prefs", &stored, sizeof stored);
  HKEY readOnly = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, settings.where.c_str(), 0, KEY_READ, &readOnly),
            ERROR_SUCCESS);
  const FilterPrefs read = runSilentCycle(readOnly, "a key opened with KEY_READ");
  EXPECT_EQ(std::memcmp(&read, &stored, sizeof stored), 0) << "the stored values are read";
  RegCloseKey(readOnly);
  std::string bytes;
  ASSERT_TRUE(readRawValue(settings, "prefs", &bytes));
  EXPECT_EQ(bytes, std::string(reinterpret_cast<const char*>(&stored), sizeof stored))
      << "the old value stays";
  EXPECT_FALSE(readRawValue(settings, "position", &bytes)) << "nothing new was written";
  removeTestSettingsKey(settings);
}

TEST(SettingsFaults, AHandleThatIsNoKeyLeavesTheDefaults) {
  SettingsKey settings = createTestSettingsKey();
  HKEY closed = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, settings.where.c_str(), 0, KEY_READ, &closed),
            ERROR_SUCCESS);
  RegCloseKey(closed);
  for (HKEY key : {closed, static_cast<HKEY>(nullptr)}) {
    const FilterPrefs read = runSilentCycle(key, key ? "a closed key" : "no key");
    EXPECT_EQ(read.dirLevels, 2);
    EXPECT_EQ(read.maxFiles, 100u);
  }
  removeTestSettingsKey(settings);
}

}  // namespace
}  // namespace quindle
