#include "host/global_options.h"

#include "host/file_system.h"
#include "host_kit/loaded_module.h"
#include "host_kit/settings_location.h"

namespace quindle_host {

using namespace quindle_host_kit;

bool takeGlobalOption(Arguments& args, const std::string& option, HostOptions* options,
                      int* status) {
  std::string* value = option == "--module"        ? &options->modulePath
                       : option == kSettingsOption ? &options->settingsPlace
                                                   : nullptr;
  if (!value) return false;
  *status = kExitUsage;
  if (!takeValue(args, value)) return true;
  if (value->empty()) {
    reportError(option + " needs a non-empty value");
    return true;
  }
  std::string reason;
  if (option == "--module") {
    // A bare file name means the file in the current folder, not one the loader searches for.
    *value = pathInCurrentFolder(*value);
    if (!isRegularFile(*value, &reason) || !isReadableFile(*value, &reason) ||
        !isWholeModuleImage(*value, &reason)) {
      reportError("--module: cannot use " + *value + ": " + reason);
      return true;
    }
  }
  *status = kExitOk;
  return true;
}

int settingsPlaceFailure(const HostOptions& options) {
  return options.settingsPlace.empty() ? kExitFailure : kExitUsage;
}

}  // namespace quindle_host
