// The stored "prefs" as the host shows and changes them, read once and judged by the module's own
// rules (filter/stored_settings.h): settings, run, configure and the JSON printer all see the same
// record, the same damage and the same state of the dictionary.
#ifndef QUINDLE_HOST_STORED_PREFS_H
#define QUINDLE_HOST_STORED_PREFS_H

#include <cstddef>
#include <string>

#include "filter/filter_api.h"
#include "filter/stored_settings.h"

namespace quindle_host {

struct StoredPrefs {
  FilterPrefs prefs;  // the defaults, overlaid with the stored value as the module reads it
  bool stored = false;  // whether there is a value at all (else the defaults, undamaged)
  size_t size = 0;
  quindle::Damage damage = quindle::Damage::none;
};

// An unopened place (a key that is null) reads as nothing stored.
StoredPrefs readStoredPrefs(FileFilterSettingsKey key);

// One line: what is damaged, where, and how to mend it.
std::string damageMessage(const StoredPrefs& stored, const std::string& where);

// How the module will name entries with the dictionary, as the file stands now.
struct DictionaryState {
  enum Kind { none, counted, notCounted, noLines, unreadable } kind = none;
  std::string reason;  // for unreadable: the system's words, or what the path names instead
};

DictionaryState dictionaryStateOf(const FilterPrefs& prefs);

// "2", "not counted yet", "no lines: random letters", "cannot be read now (REASON): random letters".
std::string describeDictionaryState(const DictionaryState& state, const FilterPrefs& prefs);

// The one line `run` and `configure` print before they go on with settings a person should know
// about (damaged, or a dictionary that cannot be read now), or "".
std::string settingsWarning(const StoredPrefs& stored, const std::string& where);

}  // namespace quindle_host

#endif
