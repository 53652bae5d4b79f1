// The filter's settings record: its defaults, and its persistence with the dialog position as the
// two stored values "prefs" (276 bytes) and "position" (8 bytes) under the host's key.
#ifndef QUINDLE_FILTER_SETTINGS_H
#define QUINDLE_FILTER_SETTINGS_H

#include "filter/filter_api.h"
#include "filter/module_heap.h"

namespace quindle {

constexpr char kPrefsValueName[] = "prefs";
constexpr char kPositionValueName[] = "position";
constexpr char kFilterDisplayName[] = "Quindle";

constexpr int32_t kDefaultDirLevels = 2;
constexpr uint32_t kDefaultMaxFiles = 100;

// Disabled, 2 levels, 100 files, no dictionary, not counted.
void setDefaultPrefs(FilterPrefs* prefs);

// Chooses `path` as the dictionary ("" for none): the path is stored and the file will be counted
// afresh. A path that does not fit the field is refused and nothing changes.
bool chooseDictionaryPath(FilterPrefs* prefs, const char* path);

// Overlays the stored values on `prefs` and `position`: an absent value leaves its record as it
// was. The path always ends up zero-terminated within its field.
void loadStoredSettings(FileFilterSettingsKey key, ModuleHeap& heap, FilterPrefs* prefs,
                        DialogPosition* position);

// Writes "position", then "prefs". Failures are silent.
void storeSettings(FileFilterSettingsKey key, const FilterPrefs& prefs,
                   const DialogPosition& position);

}  // namespace quindle

#endif
