// One filter instance, driven in the order the module requires. startSession loads the module by
// path, finds its four exports by name, opens (and holds) the settings key and calls FileFilterInitialize,
// which must return 1. The caller then makes its FileFilterUserInterface and FileFilterExecute
// calls. endSession calls FileFilterUninitialize (which is when the module stores its settings),
// closes the key and unloads the module. Trees the host received stay valid after that: they are
// the host's memory.
#ifndef QUINDLE_HOST_MODULE_SESSION_H
#define QUINDLE_HOST_MODULE_SESSION_H

#include <string>

#include "filter/filter_api.h"
#include "host/global_options.h"
#include "host/settings_location.h"
#include "platform/dynamic_library.h"

namespace quindle_host {

struct ModuleExports {
  FileFilterInitializeFn initialize = nullptr;
  FileFilterUserInterfaceFn userInterface = nullptr;
  FileFilterExecuteFn execute = nullptr;
  FileFilterUninitializeFn uninitialize = nullptr;
};

struct ModuleSession {
  quindle::DynamicLibrary library;
  ModuleExports exports;
  SettingsKey settings;
  FileFilterInfo info;
};

// kExitOk, or the exit status after reporting what went wrong on stderr, with nothing left open.
int startSession(const HostOptions& options, ModuleSession* session);

void endSession(ModuleSession* session);

}  // namespace quindle_host

#endif
