// quindle-host: the reference host for the Quindle filter module.
#include <cstdio>
#include <exception>
#include <new>

#include "host/commands.h"
#include "host/console.h"
#include "host/file_system.h"
#include "platform/dynamic_library.h"

namespace {

using namespace quindle_host;

// A build folder and a Windows install keep the module beside the host; an installed Linux tree
// keeps it in its own folder. Beside wins, and is the path named when neither is there.
std::string defaultModulePath() {
  const std::string beside = quindle::besideExecutable(QUINDLE_MODULE_FILE);
  const std::string installed = quindle::besideExecutable(QUINDLE_INSTALLED_MODULE_FILE);
  std::string absolute, error;
  if (!readableFilePath(beside, &absolute, &error) &&
      readableFilePath(installed, &absolute, &error)) {
    return installed;
  }
  return beside;
}

std::string defaultModuleText() {
  const std::string beside = QUINDLE_MODULE_FILE " beside this program";
  const std::string installed = QUINDLE_INSTALLED_MODULE_FILE;
  return installed == QUINDLE_MODULE_FILE ? beside : beside + ", else " + installed;
}

std::string programHelp() {
  return std::string(
             "usage: quindle-host [--module PATH] [") +
         kSettingsOption + " " + kSettingsOptionValue +
         "] COMMAND [OPTIONS]\n"
         "       quindle-host --help | --version\n"
         "\n"
         "The reference host for the Quindle filter module: it loads the module, hands it a\n"
         "tree of files and directories, and shows the tree that comes back.\n"
         "\n"
         "Commands (each has --help):\n"
         "  run        run the filter once and print the listing that comes back\n"
         "  settings   show or change the stored settings\n"
         "  configure  open the module's settings window\n"
         "\n"
         "Options:\n"
         "  --module PATH   the module to load (default: " + defaultModuleText() + ")\n"
         "  " + kSettingsOption + " " + kSettingsOptionValue +
         "  where the settings live (default: " + kDefaultSettingsPlace + ")\n";
}

int runProgram(Arguments& args) {
  HostOptions options;
  options.modulePath = defaultModulePath();
  while (hasMore(args)) {
    const std::string option = take(args);
    if (option == "--help" || option == "-h") {
      std::fputs(programHelp().c_str(), stdout);
      return kExitOk;
    } else if (option == "--version") {
      std::puts("quindle-host " QUINDLE_HOST_VERSION);
      return kExitOk;
    } else if (option == "--module") {
      if (!takeValue(args, option, &options.modulePath)) return kExitUsage;
    } else if (option == kSettingsOption) {
      if (!takeValue(args, option, &options.settingsPlace)) return kExitUsage;
      if (options.settingsPlace.empty()) {
        reportError(option + " needs a non-empty value");
        return kExitUsage;
      }
    } else if (option == "run") {
      return runCommand(options, args);
    } else if (option == "settings") {
      return settingsCommand(options, args);
    } else if (option == "configure") {
      return configureCommand(options, args);
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
  try {
    return runProgram(args);
  } catch (const std::bad_alloc&) {
    reportError("out of memory");
  } catch (const std::exception& e) {
    reportError(e.what());
  }
  return kExitFailure;
}
