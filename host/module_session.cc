#include "host/module_session.h"

#include "host/command_line.h"
#include "host_kit/directory_allocator.h"

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
  session->info = hostInfoFor(session->settings.key);
  if (session->module.initialize(&session->info) != 1) {
    reportError("the module " + options.modulePath + " refused to initialize");
    closeSettingsKey(&session->settings);
    unloadModule(&session->module);
    return kExitFailure;
  }
  return kExitOk;
}

void endSession(ModuleSession* session) {
  session->module.uninitialize(&session->info);
  closeSettingsKey(&session->settings);
  unloadModule(&session->module);
}

void sayWaitingForSettings() {
  reportError("waiting for another quindle-host using these settings");
}

}  // namespace quindle_host
