// A fresh, empty settings key for one test (a folder on POSIX systems, a registry key under
// HKEY_CURRENT_USER on Windows), and its removal afterwards. It is the host kit's SettingsKey,
// made where no user's settings are, and not held against other hosts.
#ifndef QUINDLE_TESTS_TEST_SETTINGS_H
#define QUINDLE_TESTS_TEST_SETTINGS_H

#include <cstddef>
#include <string>
#include <vector>

#include "filter/filter_api.h"
#include "host_kit/settings_location.h"

namespace quindle_test {

using quindle_host_kit::SettingsKey;

SettingsKey createTestSettingsKey();

// The same where storing costs little, for tests that store thousands of times: every stored
// value is synced, which takes milliseconds on a disk, so on Linux the folder is made in memory
// (/dev/shm) where there is one.
SettingsKey createFastTestSettingsKey();
void removeTestSettingsKey(SettingsKey& key);

// The raw bytes of a stored value, and whether it exists.
bool readRawValue(const SettingsKey& key, const char* name, std::string* bytes);

#if !defined(_WIN32)
// The names in a folder, without "." and "..".
std::vector<std::string> folderNames(const std::string& folder);
#endif

}  // namespace quindle_test

#endif
