// quindle-host: the reference host for the Quindle filter module.
#include <cstdio>
#include <exception>
#include <new>

#include "host/commands/command_table.h"
#include "host/console.h"
#include "host/file_system.h"
#include "host/standard_output.h"
#include "host_kit/loaded_module.h"
#include "host_kit/settings_location.h"

namespace {

using namespace quindle_host;
using namespace quindle_host_kit;

// A build folder and a Windows install keep the module beside the host; an installed Linux tree
// keeps it in its own folder. Beside wins, and is the path named when neither is there.
std::string defaultModulePath() {
  const std::string beside = quindle_host_kit::besideExecutable(QUINDLE_MODULE_FILE);
  const std::string installed = quindle_host_kit::besideExecutable(QUINDLE_INSTALLED_MODULE_FILE);
  std::string reason;
  return !isRegularFile(beside, &reason) && isRegularFile(installed, &reason) ? installed : beside;
}

std::string defaultModuleText() {
  const std::string beside = QUINDLE_MODULE_FILE " beside this program";
  const std::string installed = QUINDLE_INSTALLED_MODULE_FILE;
  return installed == QUINDLE_MODULE_FILE ? beside : beside + ", else " + installed;
}

std::string programHelp() {
  std::string help = std::string("usage: quindle-host [--module PATH] [") + kSettingsOption + " " +
                     kSettingsOptionValue +
                     "] COMMAND [OPTIONS]\n"
                     "       quindle-host --help | --version\n"
                     "Options may also be written --name=value; the global ones may follow the "
                     "command.\n"
                     "\n"
                     "The reference host for the Quindle filter module: it loads the module, "
                     "hands it a\n"
                     "tree of files and directories, and shows the tree that comes back.\n"
                     "\n"
                     "Commands (each has --help):\n";
  for (const Command* command = kCommands; command->name; ++command) {
    char line[160];
    std::snprintf(line, sizeof line, "  %-10s %s\n", command->name, command->summary);
    help += line;
  }
  return help + "\n"
                "Options:\n"
                "  --module PATH   the module to load (default: " + defaultModuleText() + ")\n"
                "  " + kSettingsOption + " " + kSettingsOptionValue +
         "  where the settings live (default: " + kDefaultSettingsPlace + ")\n"
         "\n" + kExitCodesHelp;
}

int runProgram(Arguments& args) {
  HostOptions options;
  options.modulePath = defaultModulePath();
  std::string option;
  for (Next next; (next = nextOption(args, &option)) != Next::end;) {
    int status = kExitOk;
    if (next == Next::refused) {
      return kExitUsage;
    } else if (option == "--help" || option == "-h") {
      if (!takesNoValue(args)) return kExitUsage;
      std::fputs(programHelp().c_str(), stdout);
      return kExitOk;
    } else if (option == "--version") {
      if (!takesNoValue(args)) return kExitUsage;
      std::puts("quindle-host " QUINDLE_HOST_VERSION);
      return kExitOk;
    } else if (takeGlobalOption(args, option, &options, &status)) {
      if (status != kExitOk) return status;
    } else if (const Command* command = findCommand(option)) {
      return command->run(*command, options, args);
    } else {
      reportError("unknown command or option \"" + option + "\" (see quindle-host --help)");
      return kExitUsage;
    }
  }
  reportError("no command given (see quindle-host --help)");
  return kExitUsage;
}

}  // namespace

int main(int argc, char** argv) {
  prepareConsole();
  Arguments args;
  args.items.assign(argv + 1, argv + argc);
  int status = kExitFailure;
  try {
    status = runProgram(args);
  } catch (const std::bad_alloc&) {
    reportError("out of memory");
  } catch (const std::exception& e) {
    reportError(e.what());
  }
  return finishOutput(status);
}
