#include "host/module_session.h"

#include <cstring>

#include "host/command_line.h"
#include "host/host_tree.h"

namespace quindle_host {
namespace {

template <typename Function>
bool findNamedExport(const ModuleSession& session, const HostOptions& options, const char* name,
                     Function* function) {
  *function = reinterpret_cast<Function>(quindle::findExport(session.library, name));
  if (!*function) reportError("the module " + options.modulePath + " has no export " + name);
  return *function != nullptr;
}

bool findExports(const HostOptions& options, ModuleSession* session) {
  ModuleExports& exports = session->exports;
  return findNamedExport(*session, options, "FileFilterInitialize", &exports.initialize) &&
         findNamedExport(*session, options, "FileFilterUserInterface", &exports.userInterface) &&
         findNamedExport(*session, options, "FileFilterExecute", &exports.execute) &&
         findNamedExport(*session, options, "FileFilterUninitialize", &exports.uninitialize);
}

}  // namespace

int startSession(const HostOptions& options, ModuleSession* session) {
  std::string error;
  session->library = quindle::openDynamicLibrary(options.modulePath, &error);
  if (!session->library.handle) {
    reportError("cannot load the module: " + error);
    return kExitFailure;
  }
  if (!findExports(options, session)) {
    quindle::closeDynamicLibrary(session->library);
    return kExitFailure;
  }
  if (!openSettingsKey(options.settingsPlace, SettingsAccess::change, &session->settings, &error)) {
    reportError(error);
    quindle::closeDynamicLibrary(session->library);
    return settingsPlaceFailure(options);
  }
  FileFilterInfo& info = session->info;
  std::memset(&info, 0, sizeof info);
  info.version = FILE_FILTER_INTERFACE_VERSION;
  info.settingsKey = session->settings.key;
  info.allocDirectory = hostAllocDirectory;
  info.freeTree = hostFreeTree;
  if (session->exports.initialize(&info) != 1) {
    reportError("the module " + options.modulePath + " refused to initialize");
    closeSettingsKey(&session->settings);
    quindle::closeDynamicLibrary(session->library);
    return kExitFailure;
  }
  return kExitOk;
}

void endSession(ModuleSession* session) {
  session->exports.uninitialize(&session->info);
  closeSettingsKey(&session->settings);
  quindle::closeDynamicLibrary(session->library);
}

}  // namespace quindle_host
