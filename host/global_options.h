// The options every command takes, before or after the command's name: the module to load and
// where its settings live.
#ifndef QUINDLE_HOST_GLOBAL_OPTIONS_H
#define QUINDLE_HOST_GLOBAL_OPTIONS_H

#include <string>

#include "host/command_line.h"

namespace quindle_host {

struct HostOptions {
  std::string modulePath;     // checked to be a regular file when given with --module
  std::string settingsPlace;  // empty for the default place
};

// Whether `option` is a global option. If it is, its value is taken and checked, and `*status`
// is kExitOk, or kExitUsage after a message when the value is refused.
bool takeGlobalOption(Arguments& args, const std::string& option, HostOptions* options,
                      int* status);

// The exit status for a settings place that cannot be opened: a place named on the command line
// is a path that cannot be used, the default one a failure of the system.
int settingsPlaceFailure(const HostOptions& options);

}  // namespace quindle_host

#endif
