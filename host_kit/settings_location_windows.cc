#include <windows.h>

#include <cstdio>

#include "host_kit/settings_location.h"

namespace quindle_host_kit {

const char kSettingsOption[] = "--settings-key";
const char kSettingsOptionValue[] = "SUBKEY";
const char kDefaultSettingsPlace[] = "HKEY_CURRENT_USER\\Software\\Quindle Host\\Quindle";

namespace {

// Registry paths ignore case and may be longer than a mutex's name, so the name is a hash of the
// path in lower case (FNV-1a).
std::string mutexName(const std::string& where) {
  uint64_t hash = 14695981039346656037ull;
  for (const char c : where) {
    const unsigned char lower = static_cast<unsigned char>(c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c);
    hash = (hash ^ lower) * 1099511628211ull;
  }
  char name[64];
  std::snprintf(name, sizeof name, "Local\\quindle-host-settings-%016llx",
                static_cast<unsigned long long>(hash));
  return name;
}

HANDLE holdKey(const std::string& where, void (*onWait)()) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, mutexName(where).c_str());
  if (!mutex) return nullptr;
  if (WaitForSingleObject(mutex, 0) == WAIT_TIMEOUT) {
    if (onWait) onWait();
    // An abandoned mutex (its host died) is as good as a free one.
    WaitForSingleObject(mutex, INFINITE);
  }
  return mutex;
}

}  // namespace

bool openSettingsKey(const std::string& chosen, SettingsAccess access, void (*onWait)(),
                     SettingsKey* settings, std::string* error) {
  const std::string subkey = chosen.empty() ? "Software\\Quindle Host\\Quindle" : chosen;
  settings->where = "HKEY_CURRENT_USER\\" + subkey;
  HKEY key = nullptr;
  const REGSAM rights = KEY_QUERY_VALUE | KEY_SET_VALUE;
  const LONG status =
      access == SettingsAccess::change
          ? RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0, rights, nullptr, &key,
                            nullptr)
          : RegOpenKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, rights, &key);
  if (access == SettingsAccess::look && status == ERROR_FILE_NOT_FOUND) return true;
  if (status != ERROR_SUCCESS) {
    *error = "cannot open the settings key " + settings->where + " (error " +
             std::to_string(status) + ")";
    return false;
  }
  settings->lock = reinterpret_cast<intptr_t>(holdKey(settings->where, onWait));
  settings->key = key;
  return true;
}

void closeSettingsKey(SettingsKey* settings) {
  if (settings->key) RegCloseKey(static_cast<HKEY>(settings->key));
  if (HANDLE mutex = reinterpret_cast<HANDLE>(settings->lock)) {
    ReleaseMutex(mutex);
    CloseHandle(mutex);
  }
  *settings = SettingsKey();
}

}  // namespace quindle_host_kit
