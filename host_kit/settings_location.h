// Where the host keeps the module's stored values, opened as the key the module is handed.
// POSIX systems: a folder, by default ${XDG_CONFIG_HOME:-~/.config}/quindle-host/Quindle, opened
// with O_DIRECTORY; the key is its descriptor. Windows: a registry key under HKEY_CURRENT_USER, by
// default Software\Quindle Host\Quindle. Another place is chosen with kSettingsOption, which is
// how tests and the demo keep away from the user's own settings.
//
// The module writes its settings when it is let go, whatever they were when it started, so two
// hosts on one place would undo each other's changes. An open key is therefore held by one host
// at a time (flock on the folder; a named mutex derived from the key's path on Windows) until it
// is closed; a second host waits, and is told so first through `onWait`.
#ifndef QUINDLE_HOST_KIT_SETTINGS_LOCATION_H
#define QUINDLE_HOST_KIT_SETTINGS_LOCATION_H

#include <cstdint>
#include <string>

#include "filter/filter_api.h"

namespace quindle_host_kit {

extern const char kSettingsOption[];       // "--settings" or "--settings-key"
extern const char kSettingsOptionValue[];  // what the option takes, for the help text
extern const char kDefaultSettingsPlace[]; // the default, for the help text

struct SettingsKey {
  FileFilterSettingsKey key = nullptr;  // null when the place does not exist and was not made
  std::string where;                    // the folder or the full key name, for messages
  intptr_t lock = 0;                    // the Windows mutex; the folder's descriptor holds it elsewhere
};

enum class SettingsAccess {
  change,  // create the place when missing
  look,    // leave a missing place missing: nothing is created by looking
};

// Opens `chosen`, or the default place when it is empty, and holds it; `onWait` (which may be
// null) is called once before waiting for another host.
bool openSettingsKey(const std::string& chosen, SettingsAccess access, void (*onWait)(),
                     SettingsKey* settings, std::string* error);

void closeSettingsKey(SettingsKey* settings);

}  // namespace quindle_host_kit

#endif
