// The module built beside the test program (QUINDLE_MODULE_FILE, which the build defines for the
// programs that load it), loaded at run time as a host loads it.
#ifndef QUINDLE_TESTS_BUILT_MODULE_H
#define QUINDLE_TESTS_BUILT_MODULE_H

#include <cstdio>
#include <string>

#include "host_kit/loaded_module.h"

namespace quindle_test {

// False, after saying why on stderr, when it cannot be loaded or lacks an export a host calls.
inline bool loadBuiltModule(quindle_host_kit::LoadedModule* module) {
  std::string error;
  if (quindle_host_kit::loadModule(quindle_host_kit::besideExecutable(QUINDLE_MODULE_FILE), module,
                                   &error)) {
    if (module->initialize && module->execute && module->uninitialize) return true;
    error = "an export is missing";
    quindle_host_kit::unloadModule(module);
  }
  std::fprintf(stderr, "cannot load the module: %s\n", error.c_str());
  return false;
}

}  // namespace quindle_test

#endif
