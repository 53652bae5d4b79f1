#include <cstdio>

#include "host/commands/command_table.h"
#include "host/module_session.h"

namespace quindle_host {

const char kConfigureHelp[] =
    "usage: quindle-host configure\n"
    "\n"
    "Opens the module's settings window (on Linux, a form on the terminal). What is chosen there\n"
    "is stored when the host lets the module go, so the next run uses it.\n";

namespace {

// The settings window's end codes.
constexpr int kWindowOk = 1;
constexpr int kWindowCancelled = 0;
constexpr int kNoWindow = -1;

}  // namespace

int configureCommand(const Command& command, HostOptions& options, Arguments& args) {
  const int status = readCommandOptions(args, command.name, command.help, &options,
                                        [](const std::string&) { return Taken::unknown; });
  if (status != kGoOn) return status;
  ModuleSession session;
  const int started = startSession(options, &session);
  if (started != kExitOk) return started;
  // The host has no window of its own to own the settings window.
  const int result = session.module.userInterface(&session.info, nullptr);
  // Whatever the window ended with, what it chose (a dictionary, its position) is stored now.
  const int stored = endSession(&session);
  if (stored != kExitOk && result != kNoWindow) return stored;
  switch (result) {
    case kWindowOk:
      std::puts("settings saved");
      return kExitOk;
    case kWindowCancelled:
      std::puts("cancelled: settings unchanged");
      return kExitOk;
    case kNoWindow:
      reportError("no settings window could be shown (no terminal or display); "
                  "use quindle-host settings instead");
      return kExitFailure;
    default:
      reportError("the settings window failed (code " + std::to_string(result) + ")");
      return kExitFailure;
  }
}

}  // namespace quindle_host
