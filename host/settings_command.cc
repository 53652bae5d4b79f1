#include <cstdio>
#include <cstring>

#include "filter/settings.h"
#include "host/commands.h"
#include "host/file_system.h"
#include "host/module_text.h"
#include "platform/settings_store.h"

namespace quindle_host {
namespace {

constexpr char kSettingsHelp[] =
    "usage: quindle-host settings [--enable|--disable] [--levels N] [--max-files N]\n"
    "                             [--dictionary FILE] [--reset]\n"
    "\n"
    "With no option, shows the stored settings. With options, changes the stored settings and\n"
    "keeps every field it was not told to change; the module need not be loaded. A number out\n"
    "of range, or a dictionary that cannot be read, changes nothing.\n"
    "\n"
    "  --enable, --disable  whether running the filter replaces the host's tree\n"
    "  --levels N           subdirectory levels below the root, 0 to 2147483647\n"
    "  --max-files N        every directory holds fewer entries than N, 1 to 4294967295\n"
    "  --dictionary FILE    a text file of words or phrases, one a line (\"\" for none);\n"
    "                       stored as an absolute path and counted afresh at the next run\n"
    "  --reset              back to the defaults first: disabled, 2 levels, 100 files, none\n";

constexpr uint64_t kMaxLevels = 2147483647u;
constexpr uint64_t kMaxMaxFiles = 4294967295u;

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
};

bool anyChange(const SettingsChange& change) {
  return change.reset || change.setEnabled || change.setLevels || change.setMaxFiles ||
         change.setDictionary;
}

bool readDictionaryOption(Arguments& args, SettingsChange* change) {
  std::string path;
  if (!takeValue(args, "--dictionary", &path)) return false;
  change->setDictionary = true;
  if (path.empty()) return true;
  std::string error;
  if (!readableFilePath(path, &change->dictionary, &error)) {
    reportError("--dictionary: cannot read " + path + ": " + error);
    return false;
  }
  if (change->dictionary.size() >= FILTER_PREFS_PATH_SIZE) {
    reportError("--dictionary: the path " + change->dictionary + " is longer than " +
                std::to_string(FILTER_PREFS_PATH_SIZE - 1) + " bytes");
    return false;
  }
  return true;
}

// kExitOk to go on; otherwise the command stops (see kHelpShown).
int readSettingsOptions(Arguments& args, SettingsChange* change) {
  while (hasMore(args)) {
    const std::string option = take(args);
    std::string value;
    if (option == "--help" || option == "-h") {
      std::fputs(kSettingsHelp, stdout);
      return kHelpShown;
    } else if (option == "--enable" || option == "--disable") {
      const bool enabled = option == "--enable";
      if (change->setEnabled && change->enabled != enabled) {
        reportError("--enable and --disable cannot be used together");
        return kExitUsage;
      }
      change->setEnabled = true;
      change->enabled = enabled;
    } else if (option == "--levels") {
      if (!takeValue(args, option, &value) ||
          !parseNumber(value, option, 0, kMaxLevels, &change->levels)) {
        return kExitUsage;
      }
      change->setLevels = true;
    } else if (option == "--max-files") {
      if (!takeValue(args, option, &value) ||
          !parseNumber(value, option, 1, kMaxMaxFiles, &change->maxFiles)) {
        return kExitUsage;
      }
      change->setMaxFiles = true;
    } else if (option == "--dictionary") {
      if (!readDictionaryOption(args, change)) return kExitUsage;
    } else if (option == "--reset") {
      change->reset = true;
    } else {
      return unknownOption("settings", option);
    }
  }
  return kExitOk;
}

void applyChange(const SettingsChange& change, FilterPrefs* prefs) {
  if (change.reset) quindle::setDefaultPrefs(prefs);
  if (change.setEnabled) prefs->enabled = change.enabled ? 1 : 0;
  if (change.setLevels) prefs->dirLevels = static_cast<int32_t>(change.levels);
  if (change.setMaxFiles) prefs->maxFiles = static_cast<uint32_t>(change.maxFiles);
  if (change.setDictionary) {
    std::memset(prefs->dictionaryPath, 0, sizeof prefs->dictionaryPath);
    change.dictionary.copy(prefs->dictionaryPath, sizeof prefs->dictionaryPath - 1);
    prefs->lineCount = 0;  // a new dictionary is counted afresh
  }
}

// The store reports no failures, so the value is read back to see that it arrived.
bool storePrefs(FileFilterSettingsKey key, const FilterPrefs& prefs) {
  quindle::writeStoredValue(key, quindle::kPrefsValueName, &prefs, sizeof prefs);
  FilterPrefs stored;
  std::memset(&stored, 0xFF, sizeof stored);  // no readable record is all 0xFF bytes
  quindle::readStoredValue(key, quindle::kPrefsValueName, &stored, sizeof stored);
  return std::memcmp(&stored, &prefs, sizeof prefs) == 0;
}

void showSettings(const std::string& where, const FilterPrefs& prefs) {
  const std::string dictionary =
      moduleTextToUtf8(prefs.dictionaryPath, sizeof prefs.dictionaryPath);
  std::printf("settings: %s\n", where.c_str());
  std::printf("filter: %s\n", prefs.enabled ? "enabled" : "disabled");
  std::printf("directory levels: %ld\n", static_cast<long>(prefs.dirLevels));
  std::printf("files per directory: fewer than %lu\n", static_cast<unsigned long>(prefs.maxFiles));
  std::printf("dictionary: %s\n", dictionary.empty() ? "(none: random letters)" : dictionary.c_str());
  if (prefs.lineCount == 0) {
    std::printf("dictionary lines: not counted yet\n");
  } else {
    std::printf("dictionary lines: %ld\n", static_cast<long>(prefs.lineCount));
  }
}

}  // namespace

int settingsCommand(const HostOptions& options, Arguments& args) {
  SettingsChange change;
  const int status = readSettingsOptions(args, &change);
  if (status != kExitOk) return status == kHelpShown ? kExitOk : status;

  SettingsKey settings;
  std::string error;
  if (!openSettingsKey(options.settingsPlace, &settings, &error)) {
    reportError(error);
    return kExitFailure;
  }
  // The position belongs to the module's settings window; it is read only because the loader
  // reads both values, and it is never written here.
  FilterPrefs prefs;
  DialogPosition position{};
  quindle::setDefaultPrefs(&prefs);
  quindle::loadStoredSettings(settings.key, &prefs, &position);
  if (anyChange(change)) {
    applyChange(change, &prefs);
    if (!storePrefs(settings.key, prefs)) {
      reportError("cannot store the settings in " + settings.where);
      closeSettingsKey(&settings);
      return kExitFailure;
    }
  }
  showSettings(settings.where, prefs);
  closeSettingsKey(&settings);
  return kExitOk;
}

}  // namespace quindle_host
