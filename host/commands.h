// The host's commands. Each reads its own options from `args` (what follows the command's name),
// prints its help for --help, and returns the process's exit code (see command_line.h). The global
// options may follow the command's name, so each command reads them too. Options are all read and
// checked before the module is loaded or a stored value is touched, so a refused command line
// changes nothing.
#ifndef QUINDLE_HOST_COMMANDS_H
#define QUINDLE_HOST_COMMANDS_H

#include "host/command_line.h"
#include "host/module_session.h"

namespace quindle_host {

// Runs the filter once over the host's own tree and prints the tree that comes back.
int runCommand(HostOptions& options, Arguments& args);

// Shows or changes the stored settings without loading the module.
int settingsCommand(HostOptions& options, Arguments& args);

// Opens the module's settings window.
int configureCommand(HostOptions& options, Arguments& args);

}  // namespace quindle_host

#endif
