#include <cstdio>
#include <cstring>

#include "filter/settings.h"
#include "filter/settings_rules.h"
#include "host/commands/command_table.h"
#include "host/file_system.h"
#include "host/module_session.h"
#include "host/print/module_text.h"
#include "host/print/settings_printer.h"
#include "host/stored_prefs.h"
#include "platform/dictionary_file.h"
#include "platform/settings_store.h"

namespace quindle_host {

const char kSettingsHelp[] =
    "usage: quindle-host settings [--enable|--disable] [--levels N] [--max-files N]\n"
    "                             [--dictionary FILE] [--recount] [--reset] [--format text|json]\n"
    "\n"
    "With no option, shows the stored settings (and creates nothing). With options, changes the\n"
    "stored settings and keeps every field it was not told to change; the module need not be\n"
    "loaded. A number out of range, or a dictionary that cannot be read, changes nothing.\n"
    "\n"
    "  --enable, --disable  whether running the filter replaces the host's tree\n"
    "  --levels N           subdirectory levels below the root, 0 to 2147483647\n"
    "  --max-files N        every directory holds fewer entries than N, 1 to 4294967295\n"
    "  --dictionary FILE    a text file of words or phrases, one a line (\"\" for none);\n"
    "                       stored as an absolute path and counted afresh at the next run\n"
    "  --recount            count the dictionary afresh at the next run (after editing it)\n"
    "  --reset              back to the defaults first: disabled, 2 levels, 100 files, none\n"
    "  --format text|json   how the settings are shown (default text)\n";


using namespace quindle_host_kit;
namespace {

struct SettingsChange {
  bool reset = false;
  bool setEnabled = false;
  bool enabled = false;
  bool setLevels = false;
  uint64_t levels = 0;
  bool setMaxFiles = false;
  uint64_t maxFiles = 0;
  bool setDictionary = false;
  std::string dictionary;  // absolute, or empty for none
  bool recount = false;
  bool json = false;
};

bool anyChange(const SettingsChange& change) {
  return change.reset || change.setEnabled || change.setLevels || change.setMaxFiles ||
         change.setDictionary || change.recount;
}

bool readDictionaryOption(Arguments& args, SettingsChange* change) {
  std::string path;
  if (!takeValue(args, &path)) return false;
  change->setDictionary = true;
  if (path.empty()) return true;
  // The module's own check, the one its form applies to a typed path.
  const quindle::DictionaryChoice choice = quindle::checkDictionaryChoice(path.c_str());
  if (!choice.usable) {
    reportError("--dictionary: cannot use " + path + ": " + choice.reason);
    return false;
  }
  change->dictionary = choice.absolutePath;
  return true;
}

bool readNumber(Arguments& args, const std::string& option, quindle::NumberRange range, bool* set,
                uint64_t* number) {
  std::string value;
  *set = true;
  return takeValue(args, &value) && parseNumber(value, option, range.least, range.most, number);
}

Taken takeSettingsOption(Arguments& args, const std::string& option, SettingsChange* change) {
  bool ok = true;
  if (option == "--enable" || option == "--disable") {
    const bool enabled = option == "--enable";
    if (change->setEnabled && change->enabled != enabled) {
      reportError("--enable and --disable cannot be used together");
      ok = false;
    }
    change->setEnabled = true;
    change->enabled = enabled;
  } else if (option == "--levels") {
    ok = readNumber(args, option, quindle::kDirLevelsRange, &change->setLevels, &change->levels);
  } else if (option == "--max-files") {
    ok = readNumber(args, option, quindle::kMaxFilesRange, &change->setMaxFiles, &change->maxFiles);
  } else if (option == "--dictionary") {
    ok = readDictionaryOption(args, change);
  } else if (option == "--recount") {
    change->recount = true;
  } else if (option == "--reset") {
    change->reset = true;
  } else if (option == "--format") {
    size_t chosen = 0;
    ok = takeChoice(args, {"text", "json"}, &chosen);
    change->json = ok && chosen == 1;
  } else {
    return Taken::unknown;
  }
  return ok ? Taken::ok : Taken::refused;
}

void applyChange(const SettingsChange& change, FilterPrefs* prefs) {
  if (change.reset) quindle::setDefaultPrefs(prefs);
  if (change.setEnabled) prefs->enabled = change.enabled ? 1 : 0;
  if (change.setLevels) prefs->dirLevels = static_cast<int32_t>(change.levels);
  if (change.setMaxFiles) prefs->maxFiles = static_cast<uint32_t>(change.maxFiles);
  // The module's own check made the path fit the field; what the host stores has no stale bytes
  // after it.
  if (change.setDictionary) {
    std::memset(prefs->dictionaryPath, 0, sizeof prefs->dictionaryPath);
    quindle::chooseDictionaryPath(prefs, change.dictionary.c_str());
  }
  // A dictionary edited since it was counted is counted afresh.
  if (change.recount) prefs->lineCount = 0;
}

// Stores `prefs` and reads them back, since a store on a network or a full disk can lose what it
// was told it kept: "", or why they are not stored.
std::string storePrefs(FileFilterSettingsKey key, const std::string& where, const FilterPrefs& prefs) {
  const quindle::StoreResult result =
      quindle::writeStoredValue(key, quindle::kPrefsValueName, &prefs, sizeof prefs);
  const StoredPrefs stored = readStoredPrefs(key);
  if (result.written && stored.size == sizeof prefs &&
      std::memcmp(&stored.prefs, &prefs, sizeof prefs) == 0) {
    return "";
  }
  return "cannot store the settings in " + storedValuePlace(where, quindle::kPrefsValueName) +
         ": " + (result.written ? "what was stored reads back otherwise" : systemErrorText(result.error));
}

// Shows a damaged record as such, never as settings; false then.
bool show(const std::string& where, const StoredPrefs& stored, bool json) {
  const FilterPrefs& prefs = stored.prefs;
  SettingsView view;
  view.where = where;
  if (stored.damage != quindle::Damage::none) {
    char what[128];
    quindle::describeDamage(stored.damage, prefs, stored.size, what, sizeof what);
    view.damage = what;
  } else {
    view.enabled = prefs.enabled != 0;
    view.dirLevels = prefs.dirLevels;
    view.maxFiles = prefs.maxFiles;
    view.dictionary = moduleTextToUtf8(prefs.dictionaryPath, sizeof prefs.dictionaryPath);
    view.lineCount = prefs.lineCount;
    view.dictionaryState = dictionaryStateOf(prefs);
    view.dictionaryLines = describeDictionaryState(view.dictionaryState, prefs);
  }
  json ? printSettingsJson(stdout, view) : printSettingsText(stdout, view);
  if (stored.damage == quindle::Damage::none) return true;
  reportError(damageMessage(stored, where));
  return false;
}

}  // namespace

int settingsCommand(const Command& command, HostOptions& options, Arguments& args) {
  SettingsChange change;
  const int status = readCommandOptions(args, command.name, command.help, &options,
                                        [&](const std::string& option) {
                                          return takeSettingsOption(args, option, &change);
                                        });
  if (status != kGoOn) return status;

  SettingsKey settings;
  std::string error;
  const SettingsAccess access = anyChange(change) ? SettingsAccess::change : SettingsAccess::look;
  if (!openSettingsKey(options.settingsPlace, access, sayWaitingForSettings, &settings, &error)) {
    reportError(error);
    return settingsPlaceFailure(options);
  }
  // Read as the module reads it, without the mending the module does on loading, so that damage
  // shows. The position belongs to the module's settings window and is never touched here.
  StoredPrefs stored = readStoredPrefs(settings.key);
  const std::string where = settings.where;
  if (anyChange(change)) {
    // A damaged record is changed only into a sound one: by --reset, or by the values it lacks.
    FilterPrefs changed = stored.prefs;
    applyChange(change, &changed);
    const quindle::Damage left =
        quindle::damageOf(changed, change.reset ? sizeof changed : stored.size);
    if (stored.damage != quindle::Damage::none && left != quindle::Damage::none) {
      closeSettingsKey(&settings);
      reportError(damageMessage(stored, where) + "; nothing was changed");
      return kExitFailure;
    }
    const std::string failure = storePrefs(settings.key, where, changed);
    if (!failure.empty()) {
      closeSettingsKey(&settings);
      reportError(failure);
      return kExitFailure;
    }
    stored = readStoredPrefs(settings.key);
  }
  closeSettingsKey(&settings);
  return show(where, stored, change.json) ? kExitOk : kExitFailure;
}

}  // namespace quindle_host
