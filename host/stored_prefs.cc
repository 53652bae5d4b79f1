#include "host/stored_prefs.h"

#include <cstdio>

#include "filter/settings.h"
#include "generator/dictionary/piece_reader.h"
#include "host/file_system.h"
#include "host/print/module_text.h"
#include "platform/dictionary_file.h"
#include "platform/settings_store.h"

namespace quindle_host {

StoredPrefs readStoredPrefs(FileFilterSettingsKey key) {
  StoredPrefs stored;
  quindle::setDefaultPrefs(&stored.prefs);
  stored.size = sizeof stored.prefs;
  if (key && quindle::storedValueSize(key, quindle::kPrefsValueName, &stored.size)) {
    stored.stored = true;
    quindle::ModuleHeap heap;
    quindle::readStoredValue(key, quindle::kPrefsValueName, &stored.prefs, sizeof stored.prefs, heap);
  }
  stored.damage = quindle::damageOf(stored.prefs, stored.size);
  return stored;
}

std::string damageMessage(const StoredPrefs& stored, const std::string& where) {
  char what[128];
  quindle::describeDamage(stored.damage, stored.prefs, stored.size, what, sizeof what);
  const char* option = quindle::mendingOption(stored.damage);
  return "the stored settings in " + storedValuePlace(where, quindle::kPrefsValueName) +
         " look damaged: " + what + "; mend them with 'quindle-host settings " +
         (option ? std::string(option) + "', or '--reset' for the defaults" : "--reset'");
}

DictionaryState dictionaryStateOf(const FilterPrefs& prefs) {
  DictionaryState state;
  if (prefs.dictionaryPath[0] == '\0') return state;
  // The module's own check: a missing file, a FIFO or a folder all say why here.
  const quindle::DictionaryChoice choice = quindle::checkDictionaryChoice(prefs.dictionaryPath);
  FILE* file = choice.usable ? quindle::openDictionaryFile(prefs.dictionaryPath) : nullptr;
  if (!file) {
    state.kind = DictionaryState::unreadable;
    state.reason = choice.usable ? "it cannot be opened" : choice.reason;
    return state;
  }
  // A dictionary without lines is counted again at every run and stays at 0 lines; only the file
  // itself tells that apart from one not counted yet.
  const int32_t lines = prefs.lineCount > 0 ? prefs.lineCount : quindle::countPieces(file);
  std::fclose(file);
  state.kind = prefs.lineCount > 0 ? DictionaryState::counted
               : lines == 0        ? DictionaryState::noLines
                                   : DictionaryState::notCounted;
  return state;
}

std::string describeDictionaryState(const DictionaryState& state, const FilterPrefs& prefs) {
  switch (state.kind) {
    case DictionaryState::none: return "";
    case DictionaryState::counted: return std::to_string(prefs.lineCount);
    case DictionaryState::notCounted: return "not counted yet";
    case DictionaryState::noLines: return "no lines: random letters";
    case DictionaryState::unreadable: return "cannot be read now (" + state.reason + "): random letters";
  }
  return "";
}

std::string settingsWarning(const StoredPrefs& stored, const std::string& where) {
  if (stored.damage != quindle::Damage::none) return damageMessage(stored, where);
  const DictionaryState dictionary = dictionaryStateOf(stored.prefs);
  if (dictionary.kind != DictionaryState::unreadable) return "";
  const FilterPrefs& prefs = stored.prefs;
  return "the dictionary " + moduleTextToUtf8(prefs.dictionaryPath, sizeof prefs.dictionaryPath) +
         " cannot be read now (" +
         dictionary.reason + "): the module makes random-letter names";
}

}  // namespace quindle_host
