#include "host/module_session.h"

#include <cstring>

#include "filter/settings.h"
#include "host/command_line.h"
#include "host/file_system.h"
#include "host/stored_prefs.h"
#include "host_kit/directory_allocator.h"
#include "platform/settings_store.h"

namespace quindle_host {

using namespace quindle_host_kit;

namespace {

// The first export the module lacks, or null.
const char* missingExport(const LoadedModule& module) {
  if (!module.initialize) return "FileFilterInitialize";
  if (!module.userInterface) return "FileFilterUserInterface";
  if (!module.execute) return "FileFilterExecute";
  if (!module.uninitialize) return "FileFilterUninitialize";
  return nullptr;
}

}  // namespace

int startSession(const HostOptions& options, ModuleSession* session) {
  std::string error;
  if (!loadModule(options.modulePath, &session->module, &error)) {
    reportError("cannot load the module: " + error);
    return kExitFailure;
  }
  if (const char* missing = missingExport(session->module)) {
    reportError("the module " + options.modulePath + " has no export " + missing);
    unloadModule(&session->module);
    return kExitFailure;
  }
  if (!openSettingsKey(options.settingsPlace, SettingsAccess::change, sayWaitingForSettings,
                       &session->settings, &error)) {
    reportError(error);
    unloadModule(&session->module);
    return settingsPlaceFailure(options);
  }
  const std::string warning =
      settingsWarning(readStoredPrefs(session->settings.key), session->settings.where);
  if (!warning.empty()) reportError(warning);
  session->info = hostInfoFor(session->settings.key);
  if (session->module.initialize(&session->info) != 1) {
    reportError("the module " + options.modulePath + " refused to initialize");
    closeSettingsKey(&session->settings);
    unloadModule(&session->module);
    return kExitFailure;
  }
  return kExitOk;
}

namespace {

// Whether the module's settings as it held them at the end are what is stored now; where they
// are not, the host stores them itself, and that write says why it fails where it does.
std::string storeProblem(const SettingsKey& settings, const FilterPrefs& kept) {
  const StoredPrefs stored = readStoredPrefs(settings.key);
  if (stored.stored && stored.size == sizeof kept && std::memcmp(&stored.prefs, &kept, sizeof kept) == 0) {
    return "";
  }
  const quindle::StoreResult again =
      quindle::writeStoredValue(settings.key, quindle::kPrefsValueName, &kept, sizeof kept);
  if (again.written) return "";
  return "cannot store the settings in " +
         storedValuePlace(settings.where, quindle::kPrefsValueName) + ": " +
         systemErrorText(again.error);
}

}  // namespace

int endSession(ModuleSession* session) {
  // The settings record is the module's until uninitialize frees it.
  FilterPrefs kept;
  const bool initialized = session->info.userData != nullptr;
  if (initialized) kept = *session->info.userData;
  session->module.uninitialize(&session->info);
  const std::string problem = initialized ? storeProblem(session->settings, kept) : "";
  closeSettingsKey(&session->settings);
  unloadModule(&session->module);
  if (problem.empty()) return kExitOk;
  reportError(problem);
  return kExitFailure;
}

void sayWaitingForSettings() {
  reportError("waiting for another quindle-host using these settings");
}

}  // namespace quindle_host
