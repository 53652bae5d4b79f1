// The options every command takes, before or after the command's name: the module to load and
// where its settings live.
#ifndef QUINDLE_HOST_GLOBAL_OPTIONS_H
#define QUINDLE_HOST_GLOBAL_OPTIONS_H

#include <cstdio>
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

// What a command made of one of its own options.
enum class Taken { ok, refused, unknown };

// Reads a command's options to the end: --help prints `help`, the global options go into
// `options`, and every other option is handed to `takeOwn(option)`, which takes its value from
// `args` and says what it made of it (after a message when it refused it). Returns kGoOn, or the
// status to stop with.
template <typename TakeOwn>
int readCommandOptions(Arguments& args, const char* command, const char* help,
                       HostOptions* options, TakeOwn takeOwn) {
  std::string option;
  for (Next next; (next = nextOption(args, &option)) != Next::end;) {
    int status = kExitOk;
    if (next == Next::refused) return kExitUsage;
    if (option == "--help" || option == "-h") {
      if (!takesNoValue(args)) return kExitUsage;
      std::fputs(help, stdout);
      return kExitOk;
    }
    if (takeGlobalOption(args, option, options, &status)) {
      if (status != kExitOk) return status;
      continue;
    }
    const Taken taken = takeOwn(option);
    if (taken == Taken::unknown) return unknownOption(command, option);
    if (taken == Taken::refused) return kExitUsage;
  }
  return kGoOn;
}

// The exit status for a settings place that cannot be opened: a place named on the command line
// is a path that cannot be used, the default one a failure of the system.
int settingsPlaceFailure(const HostOptions& options);

}  // namespace quindle_host

#endif
