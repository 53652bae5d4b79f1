#include <windows.h>

#include <atomic>

#include "test_settings.h"

namespace quindle_test {
namespace {

std::atomic<int> keysMade{0};

}  // namespace

SettingsKey createTestSettingsKey() {
  SettingsKey result;
  result.where = "Software\\Quindle Tests\\run-" + std::to_string(GetCurrentProcessId()) + "-" +
                 std::to_string(keysMade++);
  HKEY key = nullptr;
  RegDeleteTreeA(HKEY_CURRENT_USER, result.where.c_str());
  if (RegCreateKeyExA(HKEY_CURRENT_USER, result.where.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                      nullptr, &key, nullptr) == ERROR_SUCCESS) {
    result.key = key;
  }
  return result;
}

SettingsKey createFastTestSettingsKey() { return createTestSettingsKey(); }

void removeTestSettingsKey(SettingsKey& key) {
  if (key.key) RegCloseKey(static_cast<HKEY>(key.key));
  RegDeleteTreeA(HKEY_CURRENT_USER, key.where.c_str());
  key = SettingsKey();
}

bool readRawValue(const SettingsKey& key, const char* name, std::string* bytes) {
  DWORD size = 0;
  if (RegQueryValueExA(static_cast<HKEY>(key.key), name, nullptr, nullptr, nullptr, &size) !=
      ERROR_SUCCESS) {
    return false;
  }
  bytes->assign(size, '\0');
  return RegQueryValueExA(static_cast<HKEY>(key.key), name, nullptr, nullptr,
                          reinterpret_cast<BYTE*>(&(*bytes)[0]), &size) == ERROR_SUCCESS;
}

}  // namespace quindle_test
