#include <windows.h>

#include "host/settings_location.h"

namespace quindle_host {

const char kSettingsOption[] = "--settings-key";
const char kSettingsOptionValue[] = "SUBKEY";
const char kDefaultSettingsPlace[] = "HKEY_CURRENT_USER\\Software\\Quindle Host\\Quindle";

bool openSettingsKey(const std::string& chosen, SettingsKey* settings, std::string* error) {
  const std::string subkey = chosen.empty() ? "Software\\Quindle Host\\Quindle" : chosen;
  HKEY key = nullptr;
  const LONG status = RegCreateKeyExA(HKEY_CURRENT_USER, subkey.c_str(), 0, nullptr, 0,
                                      KEY_QUERY_VALUE | KEY_SET_VALUE, nullptr, &key, nullptr);
  if (status != ERROR_SUCCESS) {
    *error = "cannot open the settings key HKEY_CURRENT_USER\\" + subkey + " (error " +
             std::to_string(status) + ")";
    return false;
  }
  settings->key = key;
  settings->where = "HKEY_CURRENT_USER\\" + subkey;
  return true;
}

void closeSettingsKey(SettingsKey* settings) {
  RegCloseKey(static_cast<HKEY>(settings->key));
  *settings = SettingsKey();
}

}  // namespace quindle_host
