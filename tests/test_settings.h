// A fresh, empty settings key for one test (a folder on POSIX systems, a registry key under
// HKEY_CURRENT_USER on Windows), and its removal afterwards.
#ifndef QUINDLE_TESTS_TEST_SETTINGS_H
#define QUINDLE_TESTS_TEST_SETTINGS_H

#include <cstddef>
#include <string>
#include <vector>

#include "filter/filter_api.h"

namespace quindle_test {

struct TestSettingsKey {
  FileFilterSettingsKey key = nullptr;
  std::string where;  // the folder path or the registry subkey
};

TestSettingsKey createTestSettingsKey();

// The same where storing costs little, for tests that store thousands of times: every stored
// value is synced, which takes milliseconds on a disk, so on Linux the folder is made in memory
// (/dev/shm) where there is one.
TestSettingsKey createFastTestSettingsKey();
void removeTestSettingsKey(TestSettingsKey& key);

// The raw bytes of a stored value, and whether it exists.
bool readRawValue(const TestSettingsKey& key, const char* name, std::string* bytes);

#if !defined(_WIN32)
// The names in a folder, without "." and "..".
std::vector<std::string> folderNames(const std::string& folder);
#endif

}  // namespace quindle_test

#endif
