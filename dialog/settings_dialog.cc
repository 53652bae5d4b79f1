#include <cstring>

#include "dialog/settings_dialog.h"

namespace quindle {

bool chooseDictionaryPath(FilterPrefs* prefs, const char* path) {
  const size_t length = strnlen(path, sizeof prefs->dictionaryPath);
  if (length == sizeof prefs->dictionaryPath) return false;
  std::memcpy(prefs->dictionaryPath, path, length + 1);
  prefs->lineCount = 0;
  return true;
}

}  // namespace quindle
