// Where the host keeps the module's stored values, opened as the key the module is handed.
// POSIX systems: a folder, by default ${XDG_CONFIG_HOME:-~/.config}/quindle-host/Quindle, created
// (with its parents) when missing and opened with O_DIRECTORY; the key is its descriptor.
// Windows: a registry key under HKEY_CURRENT_USER, by default Software\Quindle Host\Quindle,
// created when missing.
// Another place is chosen with kSettingsOption, which is how tests and the demo keep away from the
// user's own settings.
#ifndef QUINDLE_HOST_SETTINGS_LOCATION_H
#define QUINDLE_HOST_SETTINGS_LOCATION_H

#include <string>

#include "filter/filter_api.h"

namespace quindle_host {

extern const char kSettingsOption[];       // "--settings" or "--settings-key"
extern const char kSettingsOptionValue[];  // what the option takes, for the help text
extern const char kDefaultSettingsPlace[]; // the default, for the help text

struct SettingsKey {
  FileFilterSettingsKey key = nullptr;
  std::string where;  // the folder or the full key name, for messages
};

// Opens `chosen`, or the default place when it is empty, creating it when missing.
bool openSettingsKey(const std::string& chosen, SettingsKey* settings, std::string* error);

void closeSettingsKey(SettingsKey* settings);

}  // namespace quindle_host

#endif
