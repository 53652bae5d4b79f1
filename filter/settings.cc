#include "filter/settings.h"

#include <cstring>

#include "platform/settings_store.h"

namespace quindle {

void setDefaultPrefs(FilterPrefs* prefs) {
  std::memset(prefs, 0, sizeof *prefs);
  prefs->enabled = 0;
  prefs->dirLevels = kDefaultDirLevels;
  prefs->maxFiles = kDefaultMaxFiles;
  prefs->lineCount = 0;
}

bool chooseDictionaryPath(FilterPrefs* prefs, const char* path) {
  const size_t length = strnlen(path, sizeof prefs->dictionaryPath);
  if (length == sizeof prefs->dictionaryPath) return false;
  std::memcpy(prefs->dictionaryPath, path, length + 1);
  prefs->lineCount = 0;
  return true;
}

void loadStoredSettings(FileFilterSettingsKey key, ModuleHeap& heap, FilterPrefs* prefs,
                        DialogPosition* position) {
  readStoredValue(key, kPrefsValueName, prefs, sizeof *prefs, heap);
  // A stored path may fill its whole field; cut its last byte rather than read past the field.
  char* path = prefs->dictionaryPath;
  if (!std::memchr(path, '\0', sizeof prefs->dictionaryPath)) {
    path[sizeof prefs->dictionaryPath - 1] = '\0';
  }
  readStoredValue(key, kPositionValueName, position, sizeof *position, heap);
}

void storeSettings(FileFilterSettingsKey key, const FilterPrefs& prefs,
                   const DialogPosition& position) {
  writeStoredValue(key, kPositionValueName, &position, sizeof position);
  writeStoredValue(key, kPrefsValueName, &prefs, sizeof prefs);
}

}  // namespace quindle
