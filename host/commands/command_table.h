// The host's commands, in one table: main picks a command from it, and the program's --help lists
// it. Each command lives in a file of its own, reads its own options from `args` (what follows
// the command's name), prints its help for --help, and returns the process's exit code (see
// command_line.h). The global options may follow the command's name, so each command reads them
// too. Options are all read and checked before the module is loaded or a stored value is touched,
// so a refused command line changes nothing.
#ifndef QUINDLE_HOST_COMMANDS_COMMAND_TABLE_H
#define QUINDLE_HOST_COMMANDS_COMMAND_TABLE_H

#include <string>

#include "host/command_line.h"
#include "host/global_options.h"

namespace quindle_host {

struct Command {
  const char* name;
  const char* summary;  // one line in the program's --help
  const char* help;     // the command's own --help
  int (*run)(const Command& command, HostOptions& options, Arguments& args);
};

// The commands in the order --help lists them, ended by one whose name is null.
extern const Command kCommands[];

// The command called `name`, or null.
const Command* findCommand(const std::string& name);

// Each command's help and entry point, defined in its own file.
extern const char kRunHelp[];
extern const char kWriteHelp[];
extern const char kSettingsHelp[];
extern const char kConfigureHelp[];
int runCommand(const Command& command, HostOptions& options, Arguments& args);
int writeCommand(const Command& command, HostOptions& options, Arguments& args);
int settingsCommand(const Command& command, HostOptions& options, Arguments& args);
int configureCommand(const Command& command, HostOptions& options, Arguments& args);

}  // namespace quindle_host

#endif
