// A fresh, empty settings key for one test (a folder on POSIX systems, a registry key under
// HKEY_CURRENT_USER on Windows), and its removal afterwards.
#ifndef QUINDLE_TESTS_TEST_SETTINGS_H
#define QUINDLE_TESTS_TEST_SETTINGS_H

#include <cstddef>
#include <string>

#include "filter/filter_api.h"

namespace quindle_test {

struct TestSettingsKey {
  FileFilterSettingsKey key = nullptr;
  std::string where;  // the folder path or the registry subkey
};

TestSettingsKey createTestSettingsKey();
void removeTestSettingsKey(TestSettingsKey& key);

// The raw bytes of a stored value, and whether it exists.
bool readRawValue(const TestSettingsKey& key, const char* name, std::string* bytes);

}  // namespace quindle_test

#endif
