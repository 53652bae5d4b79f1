// One filter instance, driven in the order the module requires. startSession loads the module by
// path, checks its four exports, opens (and holds) the settings key, says once what a user must
// know of the stored settings (damaged, or a dictionary that cannot be read now), and calls
// FileFilterInitialize, which must return 1. The caller then makes its FileFilterUserInterface
// and FileFilterExecute calls through `module`. endSession calls FileFilterUninitialize (which is
// when the module stores its settings), checks that they arrived (the module cannot say), closes
// the key and unloads the module. Trees the host received stay valid after that: they are the
// host's memory.
#ifndef QUINDLE_HOST_MODULE_SESSION_H
#define QUINDLE_HOST_MODULE_SESSION_H

#include "filter/filter_api.h"
#include "host/global_options.h"
#include "host_kit/loaded_module.h"
#include "host_kit/settings_location.h"

namespace quindle_host {

struct ModuleSession {
  quindle_host_kit::LoadedModule module;
  quindle_host_kit::SettingsKey settings;
  FileFilterInfo info;
};

// kExitOk, or the exit status after reporting what went wrong on stderr, with nothing left open.
int startSession(const HostOptions& options, ModuleSession* session);

// kExitOk, or kExitFailure after one line saying where and why the settings could not be stored.
int endSession(ModuleSession* session);

// Says on stderr, once, that this host waits for another on the same settings.
void sayWaitingForSettings();

}  // namespace quindle_host

#endif
