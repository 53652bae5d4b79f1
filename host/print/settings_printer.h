// How `settings` shows the stored settings: as "name: value" lines, or as one JSON object. A
// stored record that is plainly damaged is shown as such, never as settings.
#ifndef QUINDLE_HOST_PRINT_SETTINGS_PRINTER_H
#define QUINDLE_HOST_PRINT_SETTINGS_PRINTER_H

#include <cstdint>
#include <cstdio>
#include <string>

#include "host/stored_prefs.h"

namespace quindle_host {

// The settings as they are shown, every text UTF-8.
struct SettingsView {
  std::string where;   // the settings place
  std::string damage;  // what makes the record plainly damaged, or empty
  bool enabled = false;
  int32_t dirLevels = 0;
  uint32_t maxFiles = 0;
  std::string dictionary;  // empty for none
  int32_t lineCount = 0;
  DictionaryState dictionaryState;
  std::string dictionaryLines;  // the state in words: the count, or what names will be made of
};

void printSettingsText(std::FILE* out, const SettingsView& view);
void printSettingsJson(std::FILE* out, const SettingsView& view);

}  // namespace quindle_host

#endif
